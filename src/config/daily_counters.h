// Screens delivered and errors, per day of month (0..31) and session slot
// (0..32).  Stored beside the configuration file as ".TVH" and ".TVI".
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace tervo::config {

constexpr int kCounterDays = 32;
constexpr int kCounterSlots = 33;
constexpr int kCounterRecords = kCounterDays * kCounterSlots;  // 1,056

using DayTable = std::array<std::array<std::int32_t, kCounterSlots>, kCounterDays>;

struct DailyCounters {
  DayTable DailyScreens{};
  DayTable DailyErrors{};
  // The day of the month the tables count into now (1..31); 0 until the
  // gateway has cleared the days that passed while it was stopped.
  int day = 0;
};

// base + ".TVH" (screens) and base + ".TVI" (errors).
std::string ScreensCounterPath(const std::string& base);
std::string ErrorsCounterPath(const std::string& base);

// The file holds 1,056 little-endian signed 32-bit records, day-major (day 0
// slots 0..32, day 1 ...), no header.  Loading a file that cannot be opened
// returns false and leaves the table as it was; records missing at the end of
// a short file read as 0, bytes beyond the last record are ignored.
bool LoadDayTable(const std::string& path, DayTable* table, std::string* err);
// Replaces the file only when it was written completely (see atomic_file.h).
bool SaveDayTable(const std::string& path, const DayTable& table, std::string* err);
std::string EncodeDayTable(const DayTable& table);

// Both tables beside the configuration base; a file that cannot be read or
// written is skipped.  Returns false when either was skipped.
bool LoadDailyCounters(const std::string& base, DailyCounters* counters);
bool SaveDailyCounters(const std::string& base, const DailyCounters& counters, std::string* err);

// Zeroes every day after lastDay up to and including today, wrapping from 31
// to 1; nothing when they are equal.  Day 0 is never touched.  A day outside
// 1..31 (a hand-edited setting, a broken clock) clears nothing: counts are
// only ever dropped for days known to have passed.
void ClearElapsedDays(DayTable& table, int lastDay, int today);

// The tables count into today from now on: a day that began since they last
// counted (midnight while the gateway runs) is cleared in both tables, as a
// day that passed while the gateway was stopped is cleared at start.  Sets
// counters->day when today is 1..31.
void TurnDay(DailyCounters* counters, int today);
// TurnDay, then one more screen for slot on today.
void CountScreen(DailyCounters* counters, int today, int slot);

}  // namespace tervo::config
