// Feeds arbitrary text to the reader of the terminal page's JSON messages,
// in both directions, as the WebSocket transport and the simulated browser
// do with whatever arrives; what it reads must convert back to JSON and read
// again to the same frame.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/radio/web_messages.h"

using namespace tervo::radio;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  for (web::From from : {web::From::kTerminal, web::From::kGateway}) {
    wire::Frame frame;
    std::string err;
    if (web::FromJson(text, from, &frame, &err) != web::ReadResult::kOk) continue;
    std::string json;
    if (!web::ToJson(frame, from, &json, &err)) __builtin_trap();
    wire::Frame again;
    if (web::FromJson(json, from, &again, &err) != web::ReadResult::kOk) __builtin_trap();
    if (again.type != frame.type || again.payload != frame.payload ||
        again.terminalId != frame.terminalId)
      __builtin_trap();
  }
  return 0;
}
