// A store with a few captured host screens and a context around it, for the
// report models.  Fields are added with their text written into the screen
// image too, as a capture leaves them.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "config/text.h"
#include "editors/fit_field_text.h"
#include "reports/screen_image.h"
#include "screens/screen_context.h"
#include "support/recording_radio_link.h"

namespace tervo::reports::testing {

class ReportsFixture : public ::testing::Test {
 protected:
  ReportsFixture() : ctx{store, options, sessions, radio, log, clock, counters} {
    options.SetText("DisplayLen", "20");
    options.SetText("SendMinimal", "0");
    options.SetText("DontShowData", "0");
    ctx.fitFieldText = [this](const std::string& t, int w) {
      return editors::FitFieldText(t, w, options, log);
    };
    store.NumeroMaximoDeEcrans = 8;
    store.GrowScreenTables();
    store.ClearAllScreens();
    store.NumeroMaximoDeEcrans = 8;
    std::string blank;
    for (int r = 0; r < 25; ++r) blank += std::string(80, ' ') + "\r\n";
    for (auto& image : store.ScreenAspect) image = text::PadRight(blank, config::kScreenAspectSize);
  }

  // Captured field of screen scr from (row, col) over length characters,
  // running on over row ends as host fields do.
  int Add(int scr, int row, int col, const std::string& text, int length, bool prot) {
    config::ScreenOriginal& o = store.Originals[scr];
    const int j = o.Count++;
    o[j].Text = text::PadRight(text, length);
    o[j].Length = o[j].Size = length;
    o[j].Protected = prot;
    o[j].StartRow = row;
    o[j].StartColumn = col;
    const int last = (col - 1) + length - 1;
    o[j].EndRow = row + last / 80;
    o[j].EndColumn = last % 80 + 1;
    store.Indice[scr][row * 80 + col] = j;
    std::string& image = store.ScreenAspect[scr];
    for (int t = 0; t < length; ++t) {
      const int c0 = col - 1 + t;
      image[ImageOffset(row + c0 / 80, c0 % 80 + 1)] = o[j].Text[t];
    }
    return j;
  }
  // Gives screen scr an identification value and a status.
  void Define(int scr, std::int32_t status = config::kScreenDefined, std::int32_t id = 0) {
    store.Screens[scr].ScreenId = id != 0 ? id : 1000 + scr;
    store.Screens[scr].Master = status;
  }
  config::FieldDef& Def(int scr, int j) { return store.Screens[scr].Screen[j]; }

  config::ScreenStore store;
  config::GeneralOptions options;
  screens::SessionState sessions;
  tervo::testing::RecordingRadioLink radio;
  config::NullLog log;
  os::VirtualClock clock;
  config::DailyCounters counters;
  screens::ScreenContext ctx;
};

}  // namespace tervo::reports::testing
