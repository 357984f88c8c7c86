#include "config/config_summary.h"

#include <algorithm>

namespace tervo::config {

ConfigSummary Summarize(const ScreenStore& store) {
  ConfigSummary s;
  const int last = std::min<int>(store.NumeroMaximoDeEcrans, store.ScreenTableSize() - 1);
  for (int i = 0; i <= last; ++i) {
    ++s.screens;
    switch (store.Screens[i].Master) {
      case kScreenFree:
        // Automatic configuration leaves the status at 0 and the gateway
        // gives the screen its identification: a learned screen, not an
        // empty slot.
        if (store.Screens[i].ScreenId != 0 || store.Originals[i].Count > 0)
          ++s.automatic;
        else
          ++s.undefined;
        break;
      case kScreenMaster:
        ++s.masters;
        break;
      case kScreenDefined:
        ++s.defined;
        break;
      case kScreenCopy:
        ++s.copies;
        break;
      default:
        ++s.otherStatus;
        break;
    }
    s.fields += std::clamp<std::int32_t>(store.Originals[i].Count, 0, kFieldSlots);
  }
  s.dividedEntries = store.DivideFieldsCt;
  return s;
}

std::string FormatSummary(const ConfigSummary& s) {
  std::string out;
  out += "screens: " + std::to_string(s.screens) + "\n";
  out += "  UNDEFINED: " + std::to_string(s.undefined) + "\n";
  out += "  AUTOMATIC: " + std::to_string(s.automatic) + "\n";
  out += "  MASTER: " + std::to_string(s.masters) + "\n";
  out += "  DEFINED: " + std::to_string(s.defined) + "\n";
  out += "  COPY FROM MASTER: " + std::to_string(s.copies) + "\n";
  if (s.otherStatus) out += "  other status: " + std::to_string(s.otherStatus) + "\n";
  out += "fields: " + std::to_string(s.fields) + "\n";
  out += "divided entries: " + std::to_string(s.dividedEntries) + "\n";
  return out;
}

}  // namespace tervo::config
