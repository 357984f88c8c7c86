// "Report": a one-page summary of the configuration for the operator.
#pragma once

#include <string>

#include "config/screen_store.h"

namespace tervo::reports {

struct ConfigReportCounts {
  int defined = 0;  // status 2
  int masters = 0;  // status 1
  int copies = 0;   // status 4
};

// Over screen numbers 0..NumeroMaximoDeEcrans that have an identification
// value (a number never used has none).
ConfigReportCounts CountReportedScreens(const config::ScreenStore& store);

// The report's lines, each ended by CR LF:
//   Numero total de ecrans       :  <highest screen number>
//   Numero total de ecrans usados: <defined>
//   Numero total de ecrans master: <masters>
//   Numero total de Copias do master: <copies>
//   (empty line)
//   Com Ports Connected...
//   RADIO BASE OK              (while the radio link is up)
//   RADIO BASE NOT CONNECTED   (otherwise)
// The highest screen number carries a leading space where a sign would go.
std::string ConfigReportText(const config::ScreenStore& store, bool radioUp);

}  // namespace tervo::reports
