// Feeds arbitrary bytes to the radio frame decoder in arbitrary chunks, and
// every frame it yields to the payload decoders, as the gateway does with
// whatever arrives from a socket or a serial line.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/radio/sim_display.h"
#include "platform/radio/wire_protocol.h"

using namespace tervo::radio;

namespace {

// A payload as the gateway and the simulator take it; the check sum keeps
// random frames from reaching this often, so the raw input comes here too.
void Payload(const std::string& payload) {
  std::string err;
  wire::Hello hello;
  Answer answer;
  ScreenProgram program;
  std::string text;
  wire::DecodeHello(payload, &hello, &err);
  wire::DecodeText(payload, wire::kMaxScreenName, &text, &err);
  if (wire::DecodeAnswer(payload, &answer, &err)) {
    // What decodes must encode to the same bytes.
    if (wire::EncodeAnswer(answer) != payload) __builtin_trap();
  }
  if (wire::DecodeScreen(payload, &program, &err)) {
    std::string again;
    if (!wire::EncodeScreen(program, &again, &err) || again != payload) __builtin_trap();
    // A simulated terminal runs whatever screen it is sent.
    sim::TerminalDisplay display(20);
    display.Load(program);
    for (sim::Key k : {sim::Key::kAny, sim::Key::kDown, sim::Key::kBackspace, sim::Key::kUp}) {
      display.Press(k);
    }
    display.Type("12");
    display.Layout(3);
    display.Press(sim::Key::kSend);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  if (size - 1 <= wire::kMaxPayload) {
    Payload(std::string(reinterpret_cast<const char*>(data + 1), size - 1));
  }
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
      Payload(f.payload);
      std::string bytes;
      if (!wire::EncodeFrame(f, &bytes, &err)) __builtin_trap();
    }
  }
  return 0;
}
