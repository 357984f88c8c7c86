#include "reports/config_report.h"

#include <algorithm>

namespace tervo::reports {

namespace {

std::string Number(long n) { return (n >= 0 ? " " : "") + std::to_string(n); }

}  // namespace

ConfigReportCounts CountReportedScreens(const config::ScreenStore& store) {
  ConfigReportCounts c;
  const int last = std::min<int>(store.NumeroMaximoDeEcrans, store.ScreenTableSize() - 1);
  for (int s = 0; s <= last; ++s) {
    const config::ScreenDef& d = store.Screens[static_cast<std::size_t>(s)];
    if (d.ScreenId == 0) continue;
    if (d.Master == config::kScreenDefined) ++c.defined;
    if (d.Master == config::kScreenMaster) ++c.masters;
    if (d.Master == config::kScreenCopy) ++c.copies;
  }
  return c;
}

// The last line says what the link is: a report that always read "OK"
// would tell the operator the radio base answers when it does not.
std::string ConfigReportText(const config::ScreenStore& store, bool radioUp) {
  const ConfigReportCounts c = CountReportedScreens(store);
  std::string t;
  t += "Numero total de ecrans       : " + Number(store.NumeroMaximoDeEcrans) + "\r\n";
  t += "Numero total de ecrans usados: " + std::to_string(c.defined) + "\r\n";
  t += "Numero total de ecrans master: " + std::to_string(c.masters) + "\r\n";
  t += "Numero total de Copias do master: " + std::to_string(c.copies) + "\r\n";
  t += "\r\n";
  t += "Com Ports Connected...\r\n";
  t += radioUp ? "RADIO BASE OK\r\n" : "RADIO BASE NOT CONNECTED\r\n";
  return t;
}

}  // namespace tervo::reports
