// What each terminal was last shown, kept apart from the shared tables.
//
// A screen definition, its last capture and its field texts are shared by
// every session that meets the same host screen, and each new host screen of
// any session overwrites the capture and the texts.  A build for one
// terminal that comes later than its own session's capture (the terminal
// asks for its screen again) would otherwise show whatever session met the
// screen last: another warehouse worker's item.  So the capture and texts a
// terminal's screen was built from are kept per session, and such builds run
// with them put back in the tables for the time of the build.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "config/screen_store.h"

namespace tervo::core {

class SentScreens {
  struct Entry;

 public:
  // Keeps what the tables hold now for `screen` as session s's screen.
  void Keep(int s, const config::ScreenStore& store, int screen);
  void Forget(int s);

  // For its lifetime the tables hold session s's kept capture and texts of
  // `screen` (when what was kept is that screen); what they held before is
  // back afterwards.
  class Overlay {
   public:
    Overlay(SentScreens& kept, config::ScreenStore& store, int s, int screen);
    ~Overlay();
    Overlay(const Overlay&) = delete;
    Overlay& operator=(const Overlay&) = delete;

   private:
    void Swap();
    Entry* entry_ = nullptr;
    config::ScreenStore& store_;
    int screen_;
  };

 private:
  struct Entry {
    int screen = -1;
    std::size_t fields = 0;  // the capture's Count: what is kept of each table
    config::ScreenOriginal capture;
    std::vector<std::string> texts;     // empty for screens above 180
    std::vector<std::string> prefixes;  // AuxText of the fields
  };
  std::array<Entry, config::kSessionSlots> kept_;
};

}  // namespace tervo::core
