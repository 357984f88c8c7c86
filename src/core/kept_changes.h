// At start: changes an earlier stop kept beside the configuration
// (config/unsaved_file.h) are offered to the operator.  Accepted, they
// become the running configuration, shown "Unsaved" until it is saved
// ("&Save as", or "Auto Save File" at the stop), and their file goes then;
// dropped, their file is removed; kept, nothing changes and the next start
// offers them again.  The windows ask; `tervo --unsaved accept|drop|keep`
// decides without a question (headless: UnattendedChoice).
#pragma once

#include <string>

namespace tervo::core {

class Gateway;

enum class KeptChoice { kAsk, kKeep, kAccept, kDrop };

// "ask", "keep", "accept", "drop".
bool ParseKeptChoice(const std::string& text, KeptChoice* out);

// Whether the gateway's configuration has kept changes waiting.
bool HasKeptChanges(const Gateway& g);

// Whether the kept changes only add screens the configuration file does not
// have: what a gateway keeps for the screens it learned while running.
bool KeptChangesOnlyAddScreens(const Gateway& g);

// What a start without windows does when told nothing (kAsk): kept changes
// that only add learned screens are loaded, so that the gateway knows those
// screens at once (they stay kept, and shown "Unsaved", until saved or
// dropped); anything else waits for the operator (kKeep).  Other choices
// stand as given.
KeptChoice UnattendedChoice(const Gateway& g, KeptChoice given);

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
