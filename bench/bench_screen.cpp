// tervo-bench screen: one host screen of 60 fields, with 179 definitions in
// the store, from the identification value through the choice of definition,
// the capture and the field texts to a fresh terminal screen encoded for the
// radio (but not sent).  Prints the median and 99th percentile per screen.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "../tests/support/fake_host_display.h"
#include "bench_registry.h"
#include "config/daily_counters.h"
#include "config/general_options.h"
#include "config/log.h"
#include "config/screen_store.h"
#include "editors/fit_field_text.h"
#include "platform/os/clock.h"
#include "screens/capture.h"
#include "screens/field_texts.h"
#include "screens/identification.h"
#include "screens/render.h"

namespace tervo::bench {
namespace {

// Encodes every content call into one byte buffer, as a link would before
// handing the screen to its transport, and sends nothing.
class EncodingRadioLink : public radio::RadioLink {
 public:
  std::string buffer;

  void TCPIP_Start(const std::string&) override {}
  int InitializeComm(int, int) override { return 1; }
  void ForceResetOnAllTerminal() override {}
  void TCPIP_AcceptTerminalId(const std::string&) override {}
  void TerminateComm(int) override {}
  bool TakeMessage(radio::TerminalMessage*) override { return false; }
  void T_InitScreen(const std::string& id, const std::string& name, int format, int, int) override {
    buffer.clear();
    Text(id);
    Text(name);
    Int(format);
  }
  void T_Cls() override { Op(1); }
  void T_NewLine() override { Op(2); }
  void T_WaitChar() override { Op(3); }
  void T_HardReset() override { Op(4); }
  void T_GetCheckEnter() override { Op(5); }
  void T_PrintString(const std::string& t) override { Op(6, t); }
  void T_PrintInverse(const std::string& t) override { Op(7, t); }
  void T_PrintLarge(const std::string& t) override { Op(8, t); }
  void T_Say(const std::string& t) override { Op(9, t); }
  void T_Scroll(const std::string& a, const std::string& b) override {
    Op(10, a);
    Text(b);
  }
  void T_NoSay(std::uint8_t n) override {
    Op(11);
    Int(n);
  }
  void T_GetText(const std::string& b, int size, int attr) override {
    Op(12, b);
    Int(size);
    Int(attr);
  }
  void T_Read() override { Op(13); }
  void T_Delay(int u) override {
    Op(14);
    Int(u);
  }
  void T_Beep(int f, int d) override {
    Op(15);
    Int(f);
    Int(d);
  }
  void T_CapsLock(int on) override {
    Op(16);
    Int(on);
  }
  void T_SetLargeFunctionKeys(const std::string& legend, std::uint8_t count) override {
    Op(17, legend);
    Int(count);
  }
  void T_ChangeScreenAttributtes(int format, int item, int attr) override {
    Op(18);
    Int(format);
    Int(item);
    Int(attr);
  }
  void T_SendScreen() override {}
  void T_SendScreenToPc(const std::string& name, int code) override {
    Text(name);
    Int(code);
  }
  void T_WaitAnyScreenFromPc() override {}
  int BatteryLevel(const std::string&) const override { return 4800; }

 private:
  void Op(std::uint8_t code) { buffer.push_back(static_cast<char>(code)); }
  void Op(std::uint8_t code, const std::string& t) {
    Op(code);
    Text(t);
  }
  void Int(std::int32_t v) {
    for (int i = 0; i < 4; ++i) buffer.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
  }
  void Text(const std::string& t) {
    Int(static_cast<std::int32_t>(t.size()));
    buffer += t;
  }
};

// A warehouse screen: a title, then label / input pairs, menu lines and a
// function-key line, 60 fields in all.
void BuildHostScreen(testing::FakeHostDisplay& d) {
  d.AddField(1, 25, "Stock movements", 15, true);
  int row = 3;
  while (d.fields.Count() < 56) {
    const int n = d.fields.Count();
    d.AddField(row, 2, "Item quantity location " + std::to_string(n), 30, true);
    d.AddField(row, 40, std::to_string(1000 + n), 10, false, 0, 1);
    ++row;
    if (row > 21) row = 3;
  }
  d.AddField(22, 2, "1. Orders", 9, true);
  d.AddField(22, 20, "2. Returns", 10, true);
  d.AddField(23, 2, "F3=Exit   F12=Cancel", 20, true);
  d.AddField(24, 2, "", 60, true);
}

int Run(const std::vector<std::string>& args) {
  int iterations = 5000;
  if (!args.empty()) iterations = std::max(100, std::atoi(args[0].c_str()));

  config::ScreenStore store;
  config::GeneralOptions options;
  options.SetText(config::Option::kDisplayLen, "20");
  options.SetText(config::Option::kScreenIdAreaX, "25");
  options.SetText(config::Option::kScreenIdAreaY, "1");
  options.SetText(config::Option::kScreenIdAreaLen, "15");
  screens::SessionState sessions;
  sessions.SessionCount = 4;
  store.TerminalIDDef[0] = "T1";
  EncodingRadioLink radio;
  config::NullLog log;
  os::VirtualClock clock(os::LocalTime{2026, 3, 7, 9, 5, 0});
  config::DailyCounters counters;
  testing::FakeHostDisplay display;
  BuildHostScreen(display);

  screens::ScreenContext ctx(store, options, sessions, radio, log, clock, counters);
  ctx.displayOf = [&](int s) { return s == 0 ? &display : nullptr; };
  ctx.fitFieldText = [&](const std::string& t, int w) {
    return editors::FitFieldText(t, w, options, log);
  };

  // 179 definitions; three share the live screen's value, the best one by
  // terminal check is number 150.
  store.NumeroMaximoDeEcrans = config::kHighestAllocatedScreen;
  store.GrowScreenTables();
  screens::CalculateChecksum(ctx, 0);
  const std::int32_t liveId = sessions[0].ScreenIdValue;
  for (int s = 1; s <= config::kHighestAllocatedScreen; ++s) {
    config::ScreenDef& def = store.Screens[static_cast<std::size_t>(s)];
    def.ScreenId = liveId + s;
    def.Master = config::kScreenDefined;
    def.TeclasFuncao[0] = "Exit";
    def.TeclasFuncaoVal[0] = "@3";
    def.TeclasFuncao[1] = "Cancel";
    def.TeclasFuncaoVal[1] = "@c";
    for (int f = 0; f < 60; ++f) {
      config::FieldDef& fd = def.Screen[static_cast<std::size_t>(f)];
      const bool input = f >= 1 && f < 56 && f % 2 == 0;
      fd.Show = f == 59 ? 0 : 1;
      fd.Order = f;
      fd.NewLine = input || f == 0 || f >= 56 ? 1 : 0;
      fd.InputField = input ? 1 : 0;
      fd.Size = input ? 10 : 10;
      fd.flag2 = input ? config::kFlag2Truncated : config::kFlag2Summarized;
      fd.SendWithEnter = f >= 56 ? 1 : 0;
      fd.Title = f == 0 ? 1 : 0;
    }
  }
  for (int s : {40, 150, 170}) store.Screens[static_cast<std::size_t>(s)].ScreenId = liveId;
  store.Screens[40].CheckScreenIdTerm = 1;
  store.Screens[40].ScreenIdTerminal = "T9";
  store.Screens[150].CheckScreenIdTerm = 1;
  store.Screens[150].ScreenIdTerminal = "T1";

  std::vector<double> micros;
  micros.reserve(static_cast<std::size_t>(iterations));
  std::size_t bytes = 0;
  for (int i = 0; i < iterations + 200; ++i) {
    const auto start = std::chrono::steady_clock::now();
    screens::CalculateChecksum(ctx, 0);
    std::int32_t screen = 0;
    if (!screens::FindBestScreen(ctx, 0, sessions[0].ScreenIdValue, screen)) return 1;
    sessions[0].CurrentScreen = screen;
    screens::ReadAs400Data(ctx, 0, screen);
    screens::PrepareFieldTexts(ctx, 0);
    const std::string name = "AS400" + std::to_string(sessions[0].ScreenIdValue);
    radio.T_InitScreen("T1", name, 2081, 0, 0);
    screens::RenderTerminalScreen(ctx, name, "T1");
    const auto end = std::chrono::steady_clock::now();
    bytes = radio.buffer.size();
    if (i >= 200) micros.push_back(std::chrono::duration<double, std::micro>(end - start).count());
  }
  if (sessions[0].CurrentScreen != 150 || bytes == 0) return 1;
  std::sort(micros.begin(), micros.end());
  const auto at = [&](double q) {
    return micros[std::min(micros.size() - 1, static_cast<std::size_t>(q * micros.size()))];
  };
  Report("screen_median_us", at(0.5), "us");
  Report("screen_p99_us", at(0.99), "us");
  Report("screen_program_bytes", static_cast<double>(bytes), "bytes");
  return 0;
}

Register r("screen", Run);

}  // namespace
}  // namespace tervo::bench
