// The radio link's messages as JSON, for terminals that reach the gateway
// over a WebSocket (a browser page).  Each WebSocket text message is one
// JSON object holding one wire message (docs/web-terminal.md): the same
// HELLO, CHALLENGE, AUTH, WELCOME, SCREEN, ANSWER ... as the binary
// frames of docs/radio-protocol.md, with texts as Unicode and nonces and
// proofs in hex.  Converting to and from wire::Frame lets the WebSocket
// transport feed the link, and its handshake, exactly what TCP/IP does.
#pragma once

#include <string>
#include <string_view>

#include "platform/radio/wire_protocol.h"

namespace tervo::radio::web {

// Who sent a message: the names "ping" and "pong" stand for different
// wire types in the two directions.
enum class From { kTerminal, kGateway };

enum class ReadResult {
  kOk,
  // Not a JSON object with a "type": the stream cannot be trusted any
  // further (the counterpart of a frame that breaks the framing).
  kBroken,
  // A message of an unknown type, or one whose fields are wrong or out of
  // the wire limits.
  kMalformed,
};

// One message as JSON text (UTF-8).  False with *err for a type that has
// no JSON form or a payload that does not decode.
bool ToJson(const wire::Frame& frame, From from, std::string* json, std::string* err);

// Reads one message.  Messages from a terminal carry its id only in
// "hello"; the frame's terminalId is left empty for the others.
ReadResult FromJson(std::string_view json, From from, wire::Frame* frame, std::string* err);

// Lower-case hex of bytes and back (false for odd length or a non-hex digit).
std::string Hex(const std::string& bytes);
bool FromHex(std::string_view hex, std::string* bytes);

}  // namespace tervo::radio::web
