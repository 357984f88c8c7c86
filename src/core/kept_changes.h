// At start: changes an earlier stop kept beside the configuration
// (config/unsaved_file.h) are offered to the operator.  Accepted, they
// become the running configuration, shown "Unsaved" until it is saved
// ("&Save as", or "Auto Save File" at the stop), and their file goes then;
// dropped, their file is removed; kept, nothing changes and the next start
// offers them again.  The windows ask; `tervo --unsaved accept|drop|keep`
// decides without a question (keep when running headless).
#pragma once

#include <string>

namespace tervo::core {

class Gateway;

enum class KeptChoice { kAsk, kKeep, kAccept, kDrop };

// "ask", "keep", "accept", "drop".
bool ParseKeptChoice(const std::string& text, KeptChoice* out);

// Whether the gateway's configuration has kept changes waiting.
bool HasKeptChanges(const Gateway& g);

// The question the windows ask, with what the kept file changes:
//   Changes that were not saved when the gateway stopped (2026-03-07 12:00)
//   were kept in plant.TVO.unsaved.
//   They change general options: ExitWord.
//
//   Yes: load them (shown Unsaved until saved)
//   No: discard them
//   Cancel: decide at the next start
std::string KeptChangesQuestion(const Gateway& g);

// Runs the choice on a started gateway (kAsk does nothing) and returns the
// line that says what happened, for the log ("" when there was nothing).
std::string ApplyKeptChoice(Gateway& g, KeptChoice choice);

}  // namespace tervo::core
