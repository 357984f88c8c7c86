#include "demo_config.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <array>
#include <functional>
#include <vector>

#include "config/text.h"
#include "editors/auto_fill.h"
#include "editors/fit_field_text.h"
#include "platform/host5250/host_router.h"
#include "screens/capture.h"
#include "screens/identification.h"
#include "screens/screen_context.h"
#include "support/recording_radio_link.h"

namespace tervo::e2e {

namespace {

std::size_t U(int i) { return static_cast<std::size_t>(i); }

// How one host field shows on the terminal.  Fields without a look are
// hidden.  A choice is a menu entry: a line the operator selects, which
// sends the entry's number with Enter.
struct FieldLook {
  int row, col;
  enum Kind { kTitle, kLabel, kChoice, kOutput, kInput } kind;
  std::string text;  // titles, labels and choices: the text shown
  int size;
  int newLine;
  std::string prefix;  // AuxText shown before the field
  int userId;
};

struct ScreenLook {
  int number;
  std::vector<FieldLook> fields;
  std::string escKey;
  int dontSend;
};

using K = FieldLook::Kind;

// Terminal F3 is host F3 (Exit); terminal F4 stands for host F12 (Cancel),
// which the terminal keyboard lacks.
void FunctionKeys(config::ScreenDef& d) {
  d.TeclasFuncao = {};
  d.TeclasFuncaoVal = {};
  d.TeclasFuncao[2] = "Exit";
  d.TeclasFuncaoVal[2] = "@3";
  d.TeclasFuncao[3] = "Cancel";
  d.TeclasFuncaoVal[3] = "@c";
}

FieldLook Title(int r, int c, const std::string& t) { return {r, c, K::kTitle, t, 20, 1, "", 0}; }
FieldLook Choice(int r, int c, const std::string& t) { return {r, c, K::kChoice, t, 20, 1, "", 0}; }
FieldLook Out(int r, int c, int size, int nl, const std::string& prefix) {
  return {r, c, K::kOutput, "", size, nl, prefix, 0};
}
FieldLook In(int r, int c, int size, const std::string& prefix, int userId = 0) {
  return {r, c, K::kInput, "", size, 1, prefix, userId};
}

const std::vector<ScreenLook>& Looks() {
  static const std::vector<ScreenLook> looks = {
      {kSignOn,
       {Title(1, 37, "Sign On"), In(6, 53, 10, "User", config::kUserIdGetUser),
        In(7, 53, 10, "Password")},
       "@3",
       0},
      {kMenu,
       // Option first: an entry followed by a field with its own prefix
       // would be plain text rather than a line to choose.
       {Title(2, 36, "Main Menu"), In(20, 19, 2, "Option"), Choice(7, 7, "1. Receiving"),
        Choice(8, 7, "2. Picking"), Choice(9, 7, "3. Item inquiry"),
        Choice(10, 7, "4. Stock transfer"), Choice(12, 6, "90. Sign off")},
       "@3",
       0},
      {kInquiry, {Title(2, 35, "Item Inquiry"), In(7, 31, 6, "Item")}, "@3", 0},
      {kItem,
       {Title(2, 35, "Item Inquiry"), Out(5, 31, 6, 1, "Item"), Out(6, 31, 20, 1, ""),
        Out(7, 31, 8, 1, "On hand"), Out(8, 31, 8, 1, "Location"), Out(9, 31, 4, 1, "Unit")},
       "@3",
       0},
      {kPicking, {Title(2, 35, "Picking List"), In(19, 22, 2, "Line")}, "@3", 0},
      {kPick,
       {Title(2, 35, "Confirm Pick"), Out(5, 31, 8, 1, "Order"), Out(6, 31, 6, 1, "Item"),
        Out(7, 31, 8, 1, "Location"), Out(8, 31, 5, 1, "To pick"), In(10, 31, 5, "Picked")},
       "@3",
       0},
      {kReceiving,
       {Title(2, 36, "Receiving"), In(7, 31, 8, "Order"), In(8, 31, 6, "Item"),
        In(9, 31, 7, "Qty")},
       "@3",
       0},
      {kReceipt,
       {Title(2, 33, "Confirm Receipt"), Out(5, 31, 8, 1, "Order"), Out(6, 31, 6, 1, "Item"),
        Out(6, 39, 20, 1, ""), Out(7, 31, 7, 0, "Qty"), Out(7, 39, 4, 1, "")},
       "@3",
       0},
      {kReceived, {}, "@E", 1},
  };
  return looks;
}

constexpr int kPrefixWidth = 9;

void Apply(config::ScreenStore& store, const ScreenLook& look, int displayLen) {
  const int scr = look.number;
  config::ScreenDef& def = store.Screens[U(scr)];
  const config::ScreenOriginal& org = store.Originals[U(scr)];
  for (int j = 0; j < org.Count; ++j) {
    config::FieldDef& f = def.Screen[U(j)];
    f.Show = 0;
    f.NewLine = 0;
    f.Order = j;
    f.Title = 0;
    f.AuxText.clear();
    f.SizeTextAux = 0;
    store.ScreensText[U(scr)][U(j)].clear();
  }
  // The terminal shows the fields in the order of the looks; the hidden
  // ones follow (the order numbers must run 0, 1, 2, ... without a gap).
  std::vector<int> order;
  for (const FieldLook& s : look.fields) {
    int j = 0;
    while (j < org.Count && !(org[j].StartRow == s.row && org[j].StartColumn == s.col)) ++j;
    if (j >= org.Count) continue;  // a look for a field the host no longer has
    order.push_back(j);
    config::FieldDef& f = def.Screen[U(j)];
    f.Show = 1;
    f.Size = s.size;
    f.NewLine = s.newLine;
    f.UserId = s.userId;
    // Titles, choices and inputs send with Enter; labels and outputs are
    // plain text (a title that does not send with Enter would be shown
    // twice).  A choice's text is what Enter on it sends: "3. Item inquiry"
    // types 3 and presses Enter.
    f.SendWithEnter =
        s.kind == K::kInput || s.kind == K::kTitle || s.kind == K::kChoice ? 1 : 0;
    f.InputField = s.kind == K::kInput ? 1 : 0;
    f.flag2 = s.kind == K::kInput || s.kind == K::kOutput ? config::kFlag2Truncated : 0;
    f.Title = s.kind == K::kTitle ? 1 : 0;
    if (s.kind == K::kTitle) f.Size = displayLen;
    store.ScreensText[U(scr)][U(j)] = s.text;
    if (!s.prefix.empty()) {
      f.AuxText = text::PadRight(s.prefix, kPrefixWidth);
      f.SizeTextAux = kPrefixWidth;
    }
  }
  for (int j = 0; j < org.Count; ++j)
    if (std::find(order.begin(), order.end(), j) == order.end()) order.push_back(j);
  for (std::size_t k = 0; k < order.size(); ++k) def.Screen[U(order[k])].Order = static_cast<int>(k);
  def.EscKey = look.escKey;
  def.DontSendToTerminal = look.dontSend;
  def.Master = config::kScreenDefined;
  def.ScreenIdTerminal.clear();
  if (scr != kSignOn && scr != kReceived) FunctionKeys(def);
}

// One 5250 session to the demo host, stepping from screen to screen.
class Walker {
 public:
  explicit Walker(const std::string& address) {
    host5250::RouterOptions ro;
    ro.demoHostAddress = address;
    std::string err;
    display_ = host5250::CreateHostDisplay("DemoHost", ro, &err);
    if (!display_) return;
    display_->Link().DeviceName = "DEMO01";
    display_->SetEvents({[this](bool state) { fresh_ = fresh_ || state; }, {}, {}, {}});
  }
  host5250::HostDisplay* Display() { return display_.get(); }

  bool Connect(std::string* err) {
    fresh_ = false;
    return display_ && display_->Connect(err) && Settle(err);
  }
  // Types values into the input fields at (row, column), then the keys.
  struct Typed {
    int row, col;
    std::string value;
  };
  bool Step(const std::vector<Typed>& values, const std::string& keys, std::string* err) {
    for (const Typed& v : values) {
      const host5250::FieldCollection& fields = display_->Fields();
      int i = 0;
      while (i < fields.Count() &&
             !(fields.Item(i).StartRow == v.row && fields.Item(i).StartColumn == v.col))
        ++i;
      if (i >= fields.Count() || !display_->Fields().SetText(i, v.value)) {
        *err = "no input field at " + std::to_string(v.row) + "," + std::to_string(v.col);
        return false;
      }
    }
    fresh_ = false;
    return display_->SendKeys(keys, err) && Settle(err);
  }

 private:
  bool Settle(std::string* err) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 5000) {
      if (fresh_ && !display_->InputInhibited()) return true;
      QTimer wake;
      wake.start(10);
      QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
    *err = "the demo host sent no screen";
    return false;
  }

  std::unique_ptr<host5250::HostDisplay> display_;
  bool fresh_ = false;
};

}  // namespace

std::string DemoConfigBase() { return std::string(TERVO_TEST_DATA) + "/../../demo/warehouse"; }

bool BuildDemoConfiguration(const std::string& address, config::ScreenStore& store,
                            config::GeneralOptions& options, std::string* err) {
  store = config::ScreenStore();
  options = config::GeneralOptions();
  options.ApplyFallbacks();
  const std::pair<const char*, const char*> general[] = {
      {"SessionCt", "4"},       {"DisplayCol", "2"},      {"DisplayRow", "2"},
      {"DisplayLen", "20"},     {"TCPIP", "1"},           {"TCPIPAddr", "127.0.0.1"},
      {"ComPort", "1"},         {"DebugFile", "1"},       {"NewScreenTimeout", "1.5"},
      {"SendMinimal", "1"},     {"SendUnderline", "1"},   {"DontShowData", "0"},
      {"SendErrorLine24", "1"}, {"SendErrorLine25", "1"}, {"AutoSave", "0"},
  };
  for (const auto& [k, v] : general) options.SetText(k, v);
  for (int i = 0; i < 4; ++i) {
    store.TerminalIDDef[U(i)] = kDemoTerminals[i];
    store.DeviceName[U(i)] = "DEMO0" + std::to_string(i + 1);
  }
  store.NumeroMaximoDeEcrans = kMaster;
  store.GrowScreenTables();

  screens::SessionState sessions;
  sessions.SessionCount = 1;
  config::NullLog log;
  config::DailyCounters counters;
  os::SystemClock clock;
  // ScreenContext wants a radio link; captures and auto-fill never use it.
  tervo::testing::RecordingRadioLink radio;
  screens::ScreenContext ctx{store, options, sessions, radio, log, clock, counters};
  Walker walker(address);
  if (!walker.Display()) {
    *err = "no display for the demo host";
    return false;
  }
  ctx.displayOf = [&walker](int s) { return s == 0 ? walker.Display() : nullptr; };
  ctx.fitFieldText = [&](const std::string& t, int w) {
    return editors::FitFieldText(t, w, options, log);
  };
  const int displayLen = options.Number("DisplayLen");

  auto capture = [&](int n) {
    sessions[0].CurrentScreen = n;
    screens::ReadAs400Data(ctx, 0, n);
    screens::CalculateChecksum(ctx, 0);
    store.Screens[U(n)].ScreenId = sessions[0].ScreenIdValue;
    editors::AutoFillScreen(ctx, 0);
    for (const ScreenLook& s : Looks())
      if (s.number == n) Apply(store, s, displayLen);
  };

  // The master: the menu's capture, matched by its "Warehouse Management"
  // header; it lends the function keys and the hidden header to every
  // screen of the application's standard layout.
  auto makeMaster = [&] {
    const int m = kMaster;
    sessions[0].CurrentScreen = m;
    screens::ReadAs400Data(ctx, 0, m);
    editors::AutoFillScreen(ctx, 0);
    config::ScreenDef& d = store.Screens[U(m)];
    d.ScreenId = 0;  // a master is never a live screen's definition
    d.Master = config::kScreenMaster;
    d.EscKey = "@3";
    FunctionKeys(d);
    // Only the header row takes part: the master's other fields are not
    // indexed, so they pair with no field of the screens that copy it.
    const auto& org = store.Originals[U(m)];
    for (int j = 0; j < org.Count; ++j) {
      config::FieldDef& f = d.Screen[U(j)];
      f.Show = 0;
      f.NewLine = 0;
      const int pos = org[j].StartRow * 80 + org[j].StartColumn;
      if (org[j].StartRow != 1) store.Indice[U(m)][U(pos)] = -1;
      if (text::TrimBlanks(org[j].Text) == "Warehouse Management")
        f.Flag |= config::kFlagMasterKey;
    }
  };

  std::string e;
  if (!walker.Connect(&e)) {
    *err = "connect: " + e;
    return false;
  }
  // The sign-on screen first.
  capture(kSignOn);
  auto step = [&](const std::vector<Walker::Typed>& values, const std::string& keys, int n) {
    if (!walker.Step(values, keys, &e)) {
      *err = keys + ": " + e;
      return false;
    }
    if (n == kMaster) {
      makeMaster();
    } else if (n > 0) {
      capture(n);
    }
    return true;
  };
  // Input fields by their place on the host screens (warehouse.app).
  auto menu = [](const std::string& v) { return Walker::Typed{20, 19, v}; };  // Selection
  return step({{6, 53, "DEMO"}, {7, 53, "DEMO"}}, "@E", kMaster) && (capture(kMenu), true) &&
         step({menu("3")}, "@E", kInquiry) && step({{7, 31, "100234"}}, "@E", kItem) &&
         step({}, "@3", 0) && step({menu("2")}, "@E", kPicking) &&
         step({{19, 22, "1"}}, "@E", kPick) && step({}, "@3", 0) &&
         step({menu("1")}, "@E", kReceiving) &&
         step({{7, 31, "12345678"}, {8, 31, "100234"}, {9, 31, "5"}}, "@E", kReceipt) &&
         step({}, "@E", kReceived) && (walker.Display()->Disconnect(), true);
}

}  // namespace tervo::e2e
