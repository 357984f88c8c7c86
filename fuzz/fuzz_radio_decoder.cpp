// Feeds arbitrary bytes to the radio frame decoder in arbitrary chunks, and
// every frame it yields to the payload decoders, as the gateway does with
// whatever arrives from a socket or a serial line.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/radio/wire_protocol.h"

using namespace tervo::radio;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  // The first byte picks the chunk size and whether to resync on errors
  // (serial line) or stop (TCP stream).
  const std::size_t chunk = (data[0] & 0x3F) + 1;
  const bool resync = data[0] & 0x40;
  wire::FrameDecoder decoder;
  const char* p = reinterpret_cast<const char*>(data + 1);
  std::size_t left = size - 1;
  bool stopped = false;
  while (left > 0 && !stopped) {
    const std::size_t n = left < chunk ? left : chunk;
    decoder.Feed(p, n);
    p += n;
    left -= n;
    for (;;) {
      wire::Frame f;
      std::string err;
      const auto r = decoder.Next(&f, &err);
      if (r == wire::FrameDecoder::Result::kNeedMore) break;
      if (r == wire::FrameDecoder::Result::kError) {
        if (!resync) {
          stopped = true;
          break;
        }
        decoder.Resync();
        continue;
      }
      if (f.terminalId.size() > wire::kIdBytes || f.payload.size() > wire::kMaxPayload) {
        __builtin_trap();
      }
      wire::Hello hello;
      Answer answer;
      ScreenProgram program;
      std::string text;
      wire::DecodeHello(f.payload, &hello, &err);
      wire::DecodeText(f.payload, wire::kMaxScreenName, &text, &err);
      if (wire::DecodeAnswer(f.payload, &answer, &err)) {
        // What decodes must encode to the same bytes.
        if (wire::EncodeAnswer(answer) != f.payload) __builtin_trap();
      }
      if (wire::DecodeScreen(f.payload, &program, &err)) {
        std::string again;
        if (!wire::EncodeScreen(program, &again, &err) || again != f.payload) __builtin_trap();
      }
      std::string bytes;
      if (!wire::EncodeFrame(f, &bytes, &err)) __builtin_trap();
    }
  }
  return 0;
}
