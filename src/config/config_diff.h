// The difference of two configurations by what they mean, not by their
// lines: the general options, the sessions' device names and terminal ids,
// each screen and each of its fields by number, the screen images row by row
// and the divided-field entries, with the members that changed, old and new.
// What the file leaves out (zero numbers, empty or blank texts) counts as its
// default, so two files that differ only in the order of their lines, in
// blank lines or in the encoding of the same values are the same.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "config/general_options.h"
#include "config/screen_store.h"

namespace tervo::config {

struct DiffValue {
  enum Kind { kNumber, kText, kFlag };
  Kind kind = kNumber;
  std::int64_t number = 0;
  std::string text;  // Windows-1252
  bool flag = false;
};

struct MemberChange {
  std::string member;  // "Size", "host.Text", "AdvScreens.Keys1", "Indice[81]"
  DiffValue before;
  DiffValue after;
};

struct DiffEntry {
  enum Scope { kGeneral, kSession, kScreen, kField, kImageRow, kDivision };
  enum State { kChanged, kAdded, kRemoved };
  Scope scope = kGeneral;
  int number = -1;  // the session, screen or division entry
  int field = -1;   // kField
  int row = -1;     // kImageRow, 1..25
  State state = kChanged;
  std::vector<MemberChange> changes;
};

// What changed from `before` to `after`; empty when they are the same.
std::vector<DiffEntry> DiffConfigurations(const ScreenStore& before,
                                          const GeneralOptions& beforeOptions,
                                          const ScreenStore& after,
                                          const GeneralOptions& afterOptions);

// One line per entry, UTF-8:
//   screen 3 field 4: Size 10 → 12, host.Text "Qty" → "Quantity"
std::string FormatDiff(const std::vector<DiffEntry>& entries);

// The entries as JSON (docs/config-tools.md).
std::string DiffToJson(const std::vector<DiffEntry>& entries);

}  // namespace tervo::config
