// Storing one value of the configuration file into the tables.  The reader
// resolves every key line to up to three names (enclosing blocks, then the
// key) and their indexes and hands them here.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "config/general_options.h"
#include "config/screen_store.h"

namespace tervo::config {

// An index the line did not give.
constexpr std::int32_t kNoIndex = INT32_MIN;

// The highest NumeroMaximoDeEcrans a file may set.  New screens are numbered
// up to 179, so a larger number is a typing error, and a huge one would make
// the tables take gigabytes.
constexpr std::int32_t kMaxScreenNumber = 999;

// Stores value under the names.  Names are compared exactly.  Returns false
// with *err set when the line is bad (an index outside its table, a missing
// index, a value that does not convert); a combination of names the
// configuration does not hold is ignored and returns true.
bool DeclareVariable(ScreenStore& store, GeneralOptions& options, std::string_view name0,
                     std::string_view name1, std::string_view name2, std::string_view value,
                     std::int32_t index0, std::int32_t index1, std::int32_t index2,
                     std::string* err);

// Integer conversion of a stored value: blanks around it allowed, a fraction
// rounds halves to even ("2.5" -> 2, "3.5" -> 4).
bool ReadNumber(std::string_view value, std::int32_t* out, std::string* err);

}  // namespace tervo::config
