// Feeds arbitrary bytes to the radio frame decoder in arbitrary chunks, and
// every frame it yields to the payload decoders, as the gateway does with
// whatever arrives from a socket or a serial line.  The frames also go
// through the handshake that admits terminals (the gateway's side, with and
// without terminal keys) and to a simulated terminal holding a secret (its
// side of CHALLENGE and WELCOME).
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/radio/handshake.h"
#include "platform/radio/sim_display.h"
#include "platform/radio/sim_terminal.h"
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
  for (std::uint8_t version : {wire::kVersion1, wire::kVersion}) {
    if (wire::DecodeHello(payload, version, &hello, &err)) {
      if (wire::EncodeHello(hello, version) != payload) __builtin_trap();
    }
    wire::Refusal refusal;
    wire::DecodeRefused(payload, version, &refusal, &err);
  }
  wire::Challenge challenge;
  wire::Welcome welcome;
  std::string proof;
  wire::DecodeChallenge(payload, &challenge, &err);
  wire::DecodeAuth(payload, &proof, &err);
  if (wire::DecodeWelcome(payload, &welcome, &err)) {
    if (wire::EncodeWelcome(welcome) != payload) __builtin_trap();
  }
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

// Both sides of the way in, fed the same frames.
struct Admission {
  explicit Admission(bool keys) : gatewaySide(gate, keys), terminal("T1", 20) {
    if (keys) gate.keys.LoadText("T1 = fuzzing-secret-0123456789\n");
    gate.accept = [](const std::string& id) { return id == "T1"; };
    terminal.SetSecret("fuzzing-secret-0123456789");
    terminal.SetSender([](const wire::Frame&) {});
    terminal.SayHello();
  }
  void Frame(const wire::Frame& f) {
    if (!gatewaySide.Welcomed() && !refused) {
      const Handshake::Step s = gatewaySide.OnFrame(f);
      std::string bytes, err;
      if (!wire::EncodeFrame(s.reply, &bytes, &err)) __builtin_trap();
      refused = s.kind == Handshake::Step::Kind::kRefuse;
      if (s.kind == Handshake::Step::Kind::kWelcome && !gatewaySide.Welcomed()) __builtin_trap();
    }
    wire::Frame toTerminal = f;
    toTerminal.terminalId = "T1";
    terminal.OnFrame(toTerminal);
  }
  Gatekeeper gate;
  Handshake gatewaySide;
  sim::SimTerminal terminal;
  bool refused = false;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  if (size - 1 <= wire::kMaxPayload) {
    Payload(std::string(reinterpret_cast<const char*>(data + 1), size - 1));
  }
  // The first byte picks the chunk size, whether to resync on errors
  // (serial line) or stop (TCP stream), and whether terminal keys are in
  // force.
  const std::size_t chunk = (data[0] & 0x3F) + 1;
  const bool resync = data[0] & 0x40;
  Admission admission(data[0] & 0x80);
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
      if (f.terminalId.size() > wire::kIdBytes || f.payload.size() > wire::kMaxPayload ||
          f.version < wire::kVersion1 || f.version > wire::kVersion) {
        __builtin_trap();
      }
      Payload(f.payload);
      admission.Frame(f);
      std::string bytes;
      if (!wire::EncodeFrame(f, &bytes, &err)) __builtin_trap();
    }
  }
  return 0;
}
