// The inbound data stream the client sends when the operator presses an AID
// key or the host reads the screen: cursor address, AID byte and the field
// data in the form the pending read command asks for.
#pragma once

#include <cstdint>
#include <string>

#include "platform/host5250/screen.h"

namespace tervo::host5250 {

// readCommand: Read Input Fields, Read MDT Fields (or Alternate) or Read
// Immediate.  Read MDT sends only modified fields, each as SBA row column
// and its data without trailing nulls (leading and embedded nulls become
// blanks, except for the Alternate form).  Read Input Fields sends every
// input field in full when any was modified.  A signed-numeric field never
// sends its sign position: a '-' there turns the zone of the last digit to
// X'D', as the host expects a negative number.  F-keys the Start of Header
// marks as data-less send only the cursor and the AID.
std::string BuildAidPayload(const Screen& screen, std::uint8_t readCommand, std::uint8_t aid);

// Read Screen: the whole buffer, attribute bytes included.
std::string BuildReadScreenPayload(const Screen& screen);

}  // namespace tervo::host5250
