// The recorded IBM i session in tests/data/5250-traces and helpers to feed
// host bytes to a session in pieces.
#pragma once

#include <random>
#include <string>
#include <vector>

#include "platform/host5250/tn5250_session.h"

namespace tervo::host5250::testing {

struct TraceStep {
  bool fromServer = false;
  std::string bytes;
};

std::string TracePath(const std::string& name);
std::vector<TraceStep> LoadTrace(const std::string& name);
// The 24 rows of one of the recorded HTML screens.
std::vector<std::string> HtmlScreen(const std::string& name);

enum class Split { kWhole, kByteByByte, kRandom };
// Feeds bytes to the session cut as asked.
void Feed(Tn5250Session& s, const std::string& bytes, Split split, std::mt19937& rng);

// A host record: GDS header (Put/Get) + payload, framed with IAC EOR.
std::string HostRecord(const std::string& payload);
std::string Hex(const std::string& bytes);
std::string Unhex(const std::string& hex);

}  // namespace tervo::host5250::testing
