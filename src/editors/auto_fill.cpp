#include "editors/auto_fill.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "config/text.h"
#include "editors/exit_key.h"
#include "editors/fit_field_text.h"
#include "editors/master_copy.h"
#include "screens/capture.h"
#include "screens/legend.h"

namespace tervo::editors {

namespace {

std::size_t U(int i) { return static_cast<std::size_t>(i); }

void ResetScreen(config::ScreenStore& store, int scr) {
  store.AdvScreens[U(scr)].Active = false;
  config::ScreenDef& d = store.Screens[U(scr)];
  d.EscKey.clear();
  d.KeysAfterEnter.clear();
  d.ScreenIdUser.clear();
  d.ScreenIdTerminal.clear();
  d.Master = config::kScreenFree;
  d.MultipleInputFather = 0;
  d.DontSendToTerminal = 0;
  d.CheckScreenIdUser = 0;
  d.CheckScreenIdTerm = 0;
}

void ResetField(config::FieldDef& f) {
  f.AutoEnter = 0;
  f.Barcode = 0;
  f.NewLine = 0;
  f.Order = 0;
  f.Show = 0;
  f.Title = 0;
  f.Size = 0;
  f.SizeTextAux = 0;
  f.SendWithEnter = 0;
  f.Protected = 0;
  f.Flag = 0;
  f.UserId = 0;
  f.flag2 = 0;
  f.Divided = false;
  f.AuxText.clear();
}

// The host's title: 5250 applications (IBM i's own menus and sign-on among
// them) write the screen's name centred on one of the first rows, with a
// menu or program name at the left and the system name at the right.  The
// first field of rows 1-3 whose text stands in the middle of the row (its
// centre within three columns of the row's) is taken for it.
bool IsCentredTitle(const config::ScreenOriginal& o, int j) {
  const auto k = U(j);
  if (o[k].StartRow < 1 || o[k].StartRow > 3) return false;
  const std::string& t = o[k].Text;
  const std::size_t first = t.find_first_not_of(' ');
  if (first == std::string::npos) return false;
  const std::size_t last = t.find_last_not_of(' ');
  const int from = o[k].StartColumn + static_cast<int>(first);
  const int to = o[k].StartColumn + static_cast<int>(last);
  if (to > 80 || to - from + 1 > 50) return false;
  return std::abs(from + to - 81) <= 6;
}

}  // namespace

void AutoFillScreen(screens::ScreenContext& ctx, int session) {
  config::ScreenStore& store = ctx.store;
  const int scr = ctx.CurrentScreenOf(session);
  if (!store.ValidScreen(scr)) return;
  const config::ScreenOriginal& org = store.Originals[U(scr)];
  const int count = std::clamp<int>(org.Count, 0, config::kFieldSlots);
  const bool hasText = config::ScreenStore::ValidTextScreen(scr);
  auto textOf = [&](int j) -> std::string& { return store.ScreensText[U(scr)][U(j)]; };

  ResetScreen(store, scr);
  config::ScreenDef& def = store.Screens[U(scr)];
  for (int j = 0; j < count; ++j) {
    ResetField(def.Screen[U(j)]);
    if (hasText) textOf(j).clear();
  }
  std::fill(store.Indice[U(scr)].begin(), store.Indice[U(scr)].end(), -1);
  def.EscKey = FindExitKey(store.ScreenAspect[U(scr)], ctx.options.Text(config::Option::kExitWord));

  const int displayLen = ctx.options.Number(config::Option::kDisplayLen);
  const int half = static_cast<int>(text::RoundHalfEven(displayLen / 2.0));
  const bool sendMinimal = ctx.options.Checked(config::Option::kSendMinimal);
  const bool clearScreen = ctx.options.Checked(config::Option::kDontShowData);
  auto rowOf = [&](int j) { return j >= 0 && j < count ? org[j].StartRow : -1; };

  bool previousLine = true;
  int previousRow = 0;
  bool titleFound = false;
  std::vector<int> inputs;  // the fields made input, in host order
  for (int j = 0; j < count; ++j) {
    config::FieldDef& f = def.Screen[U(j)];
    const std::string trimmed = text::TrimBlanks(org[j].Text);
    std::string label = trimmed;
    f.SendWithEnter = 1;
    f.Protected = org[j].Protected ? 1 : 0;
    f.Size = half;
    f.Order = j;
    const bool inputJ = screens::InputField(ctx, session, j);
    if (trimmed.empty() && !inputJ) {
      f.Show = 0;
    } else if (!inputJ && !titleFound && IsCentredTitle(org, j)) {
      // The title names the screen: it is kept, as an inverse line.
      titleFound = true;
      f.Show = 1;
      f.NewLine = 1;
      f.Title = 1;
      f.Size = displayLen;
      f.InputField = 0;
      f.flag2 = config::kFlag2Summarized | config::kFlag2Words;
      label = FitWords(label, f.Size, ctx.options);
      previousLine = true;
      previousRow = rowOf(j);
    } else {
      const int n = screens::NextUsefulField(ctx, session, j);
      const bool inputN = n >= 0 && screens::InputField(ctx, session, n);
      const bool sameRow = rowOf(n) == rowOf(j);
      f.Show = 1;
      f.NewLine = 1;
      if (!sameRow || (!inputJ && !inputN)) f.Size = displayLen;
      if (sameRow && !inputJ && inputN) f.NewLine = 0;
      if (sameRow && rowOf(j) != previousRow && !inputN && inputJ) f.NewLine = 0;
      if (inputJ) {
        f.flag2 = config::kFlag2Truncated;
        f.InputField = 1;
        f.Size = std::min(org[j].Length, 25);
        inputs.push_back(j);
      } else {
        // Whole words: a menu entry keeps its number and its first words
        // rather than a letter or two of each.
        label = FitWords(label, f.Size, ctx.options);
        f.InputField = 0;
        f.flag2 = config::kFlag2Summarized | config::kFlag2Words;
      }
      int noted = f.NewLine;
      if (sendMinimal && !inputJ && f.NewLine == 1 && previousLine && !IsNumberedMenuEntry(label)) {
        f.Show = 0;
        f.NewLine = 0;
        noted = 1;
      }
      previousLine = noted == 1;
      previousRow = rowOf(j);
    }
    if (hasText) textOf(j) = label;
    const int pos = org[j].StartRow * 80 + org[j].StartColumn;
    if (config::ScreenStore::ValidPosition(pos)) store.Indice[U(scr)][U(pos)] = j;
    if (clearScreen) f.Show = 0;
  }

  // Enter sends the screen from its last input only: Enter in an earlier
  // one goes on to the next input, so a sign-on is not sent with the user
  // and no password.  A non-display input (a password) sends as well when
  // no other non-display input follows it: it is the last thing a user must
  // type, and on IBM i's sign-on only optional fields come after it.
  bool hiddenAfter = false;
  for (auto it = inputs.rbegin(); it != inputs.rend(); ++it) {
    const int j = *it;
    const bool hidden = org[j].Hidden;
    const bool sends = it == inputs.rbegin() || (hidden && !hiddenAfter);
    def.Screen[U(j)].SendWithEnter = sends ? 1 : 0;
    hiddenAfter = hiddenAfter || hidden;
  }

  for (int k = 0; k <= store.DivideFieldsCt && config::ScreenStore::ValidDivision(k); ++k) {
    if (store.DivideFields[U(k)].ScrNum == scr) store.DivideFields[U(k)].ScrNum = -1;
  }
  MasterCopyContext master{store, ctx.options, ctx.log};
  CopyFromMaster(master, scr);
  if (config::ScreenStore::ValidSession(session))
    def.ScreenIdTerminal = store.TerminalIDDef[U(session)];
}

}  // namespace tervo::editors
