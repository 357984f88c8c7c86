// The per-session queue of host keys: comma-separated pieces sent one per
// poll tick, and the keys a repeat rule expands to.
#pragma once

#include <string>

#include "config/screen_store.h"
#include "screens/legend.h"

namespace tervo::core {

struct QueuePiece {
  std::string piece;  // the text before the first comma (may be empty)
  bool last = false;  // the queue held no comma: piece was all of it
};

// Takes the next piece off the queue.
QueuePiece TakePiece(std::string& queue);

// A last piece that closes the host session instead of sending keys; the
// same words the renderer recognises in a screen's escape key.
using screens::IsLogoffWord;

// A repeat rule's keys for a session user id.  The big step (Keys1) and the
// small step (Keys2) are each allowed kMaxRepeatSteps rounds: a rule that
// would need more cannot bring its counter down (a step of 0 or less) or is
// misconfigured, and yields nothing but the loop flag.
constexpr int kMaxRepeatSteps = 500;

struct RepeatKeys {
  std::string keys;
  bool endlessLoop = false;
};
RepeatKeys BuildRepeatKeys(const config::RepeatRule& rule, const std::string& sessionUser);

}  // namespace tervo::core
