// The demo host's untrusted inputs: an application file (--app) and the
// answers a terminal sends.  The first byte chooses which; neither may
// crash, hang or leak.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/demohost/answer_reader.h"
#include "platform/demohost/app_parser.h"
#include "platform/demohost/app_session.h"
#include "platform/demohost/screen_encoder.h"
#include "platform/host5250/ebcdic.h"

using namespace tervo::demohost;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const std::string input(reinterpret_cast<const char*>(data) + 1, size - 1);
  if (data[0] & 1) {
    Application app;
    std::string err;
    if (ParseApplication(input, &app, &err)) {
      AppSession s(app, "FUZZ");
      s.Start();
      for (const char* key : {"enter", "rollup", "rolldown", "help", "f3", "f12", "enter"})
        s.Answer(key, {});
    }
    return 0;
  }
  // Terminal answers, separated by X'FF', played against the warehouse.
  static Application warehouse = [] {
    Application a;
    std::string err;
    ParseApplication(WarehouseApplicationText(), &a, &err);
    return a;
  }();
  static tervo::host5250::EbcdicCodec codec;
  AppSession s(warehouse, "FUZZ");
  s.Start();
  std::size_t pos = 0;
  while (pos <= input.size()) {
    std::size_t end = input.find('\xFF', pos);
    if (end == std::string::npos) end = input.size();
    Answer a;
    if (ReadAnswer(std::string_view(input).substr(pos, end - pos), codec, AnswerFields(s.Current()),
                   s.Current().readAll, &a)) {
      std::map<std::string, std::string> typed;
      for (const auto& [at, text] : a.fields)
        if (const ShownField* f = s.InputAt(at / 256, at % 256)) typed[f->def.name] = text;
      const Reply r = s.Answer(KeyName(a.aid), typed);
      if (r.outcome == Outcome::kError) EncodeError(r, s.Current(), codec);
      else if (r.outcome == Outcome::kPage) EncodePage(s.Current(), r.rollLines, codec);
      else if (r.outcome == Outcome::kShow) EncodeScreen(s.Current(), codec);
      else if (r.outcome == Outcome::kSignOff) s.Start();
    }
    pos = end + 1;
  }
  return 0;
}
