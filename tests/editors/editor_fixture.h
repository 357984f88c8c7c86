// A store with one captured host screen for the editor models, a context
// around it, and a prompt and log that record what they are asked.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config/menu_commands.h"
#include "editors/fit_field_text.h"
#include "screens/screen_context.h"
#include "support/recording_radio_link.h"

namespace tervo::editors::testing {

class RecordingPrompt : public config::Prompt {
 public:
  std::vector<std::string> asked;
  Answer answer = Answer::No;
  Answer Message(const std::string& text, const std::string&, Buttons) override {
    asked.push_back(text);
    return answer;
  }
  std::string Input(const std::string& prompt, const std::string&, const std::string& d) override {
    asked.push_back(prompt);
    return d;
  }
};

class RecordingLog : public config::Log {
 public:
  std::vector<std::string> shown;  // messages for the caption
  void WriteLog(const std::string& message, bool showInTitle) override {
    if (showInTitle) shown.push_back(message);
  }
};

class EditorFixture : public ::testing::Test {
 protected:
  static constexpr int kScr = 3;
  static constexpr int kSession = 1;

  EditorFixture() : ctx{store, options, sessions, radio, log, clock, counters} {
    options.SetText("DisplayLen", "20");
    options.SetText("SendMinimal", "0");
    ctx.fitFieldText = [this](const std::string& t, int w) {
      return FitFieldText(t, w, options, log);
    };
    store.NumeroMaximoDeEcrans = 6;
    store.GrowScreenTables();
    for (int s = 0; s <= 6; ++s) store.ResetScreenDef(s);
    sessions.SessionCount = 2;
    sessions[kSession].CurrentScreen = kScr;
    sessions[kSession].SessionUser = "ALICE";
    store.TerminalIDDef[kSession] = "T2";
    store.Screens[kScr].ScreenId = 4711;
    store.Screens[kScr].Master = config::kScreenDefined;
    // 0 a label, 1..3 blank protected, 4 label, 5 input, 6 label, 7 input.
    Add(1, 30, "Warehouse", 9, true);
    Add(2, 60, "", 10, true);
    Add(3, 60, "", 10, true);
    Add(4, 60, "", 10, true);
    Add(5, 2, "Item", 4, true);
    Add(5, 10, "", 6, false);
    Add(6, 2, "Qty", 3, true);
    Add(6, 10, "", 4, false);
    for (int j = 0; j < 8; ++j) Def(j).Order = j;
  }

  int Add(int row, int col, const std::string& text, int length, bool prot) {
    config::ScreenOriginal& o = store.Originals[kScr];
    const int j = o.Count++;
    o[j].Text = text;
    o[j].Length = o[j].Size = length;
    o[j].Protected = prot;
    o[j].StartRow = o[j].EndRow = row;
    o[j].StartColumn = col;
    o[j].EndColumn = col + length - 1;
    store.Indice[kScr][row * 80 + col] = j;
    return j;
  }
  config::FieldDef& Def(int j) { return store.Screens[kScr].Screen[j]; }
  std::string& Text(int j) { return store.ScreensText[kScr][j]; }

  config::ScreenStore store;
  config::GeneralOptions options;
  screens::SessionState sessions;
  tervo::testing::RecordingRadioLink radio;
  RecordingLog log;
  os::VirtualClock clock;
  config::DailyCounters counters;
  screens::ScreenContext ctx;
  RecordingPrompt prompt;
};

}  // namespace tervo::editors::testing
