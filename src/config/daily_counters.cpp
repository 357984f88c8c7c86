#include "config/daily_counters.h"

#include <cstdio>

#include "config/atomic_file.h"

namespace tervo::config {

std::string ScreensCounterPath(const std::string& base) { return base + ".TVH"; }
std::string ErrorsCounterPath(const std::string& base) { return base + ".TVI"; }

bool LoadDayTable(const std::string& path, DayTable* table, std::string* err) {
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) {
    if (err) *err = "cannot open \"" + path + "\"";
    return false;
  }
  unsigned char bytes[kCounterRecords * 4] = {};
  const std::size_t got = std::fread(bytes, 1, sizeof bytes, f);
  const bool failed = std::ferror(f) != 0;
  std::fclose(f);
  if (failed) {
    if (err) *err = "cannot read \"" + path + "\"";
    return false;
  }
  (void)got;  // a short file leaves zeros in the rest of bytes
  for (int r = 0; r < kCounterRecords; ++r) {
    const unsigned char* b = bytes + r * 4;
    const std::uint32_t u = std::uint32_t(b[0]) | std::uint32_t(b[1]) << 8 |
                            std::uint32_t(b[2]) << 16 | std::uint32_t(b[3]) << 24;
    (*table)[r / kCounterSlots][r % kCounterSlots] = static_cast<std::int32_t>(u);
  }
  return true;
}

std::string EncodeDayTable(const DayTable& table) {
  std::string out;
  out.reserve(kCounterRecords * 4);
  for (const auto& day : table) {
    for (std::int32_t v : day) {
      const auto u = static_cast<std::uint32_t>(v);
      for (int k = 0; k < 4; ++k) out.push_back(static_cast<char>(u >> (8 * k) & 0xFF));
    }
  }
  return out;
}

bool SaveDayTable(const std::string& path, const DayTable& table, std::string* err) {
  return WriteFileAtomically(path, EncodeDayTable(table), err);
}

bool LoadDailyCounters(const std::string& base, DailyCounters* counters) {
  const bool screens = LoadDayTable(ScreensCounterPath(base), &counters->DailyScreens, nullptr);
  const bool errors = LoadDayTable(ErrorsCounterPath(base), &counters->DailyErrors, nullptr);
  return screens && errors;
}

bool SaveDailyCounters(const std::string& base, const DailyCounters& counters, std::string* err) {
  std::string e1, e2;
  const bool screens = SaveDayTable(ScreensCounterPath(base), counters.DailyScreens, &e1);
  const bool errors = SaveDayTable(ErrorsCounterPath(base), counters.DailyErrors, &e2);
  if (err) *err = !screens ? e1 : e2;
  return screens && errors;
}

void ClearElapsedDays(DayTable& table, int lastDay, int today) {
  if (today < 1 || today > 31 || lastDay < 1 || lastDay > 31 || today == lastDay) return;
  int d = lastDay + 1;
  if (d >= 32) d = 1;
  for (;;) {
    table[d].fill(0);
    if (d == today) return;
    if (++d >= 32) d = 1;
  }
}

void TurnDay(DailyCounters* counters, int today) {
  if (today < 1 || today > 31) return;
  ClearElapsedDays(counters->DailyScreens, counters->day, today);
  ClearElapsedDays(counters->DailyErrors, counters->day, today);
  counters->day = today;
}

void CountScreen(DailyCounters* counters, int today, int slot) {
  if (today < 0 || today >= kCounterDays || slot < 0 || slot >= kCounterSlots) return;
  TurnDay(counters, today);
  ++counters->DailyScreens[static_cast<std::size_t>(today)][static_cast<std::size_t>(slot)];
}

}  // namespace tervo::config
