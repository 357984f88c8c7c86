#include "platform/host5250/aid_response.h"

#include "platform/host5250/datastream.h"
#include "platform/host5250/ebcdic.h"

namespace tervo::host5250 {
namespace {

using ebcdic::kBlank;
using ebcdic::kMinus;

bool IsEbcdicDigit(std::uint8_t c) { return c >= 0xF0 && c <= 0xF9; }

// The data of field i as the host receives it, before null handling.
std::string FieldBytes(const Screen& screen, int i) {
  const InputField& f = screen.Fields()[i];
  std::string data = screen.FieldData(i);
  if (f.signedNumeric() && !data.empty()) {
    const bool negative = static_cast<std::uint8_t>(data.back()) == kMinus;
    data.pop_back();
    if (negative && !data.empty() && IsEbcdicDigit(static_cast<std::uint8_t>(data.back()))) {
      data.back() = static_cast<char>(0xD0 | (static_cast<std::uint8_t>(data.back()) & 0x0F));
    }
  }
  return data;
}

void NullsToBlanks(std::string& data) {
  for (char& c : data) {
    if (c == 0) c = static_cast<char>(kBlank);
  }
}

}  // namespace

std::string BuildAidPayload(const Screen& screen, std::uint8_t readCommand, std::uint8_t aid) {
  std::string out;
  const int cursor = screen.Cursor();
  out.push_back(static_cast<char>(cursor / Screen::kColumns + 1));
  out.push_back(static_cast<char>(cursor % Screen::kColumns + 1));
  out.push_back(static_cast<char>(aid));
  if (aid != ds::kAidNone && !screen.SendsDataForAid(aid)) return out;
  const int count = static_cast<int>(screen.Fields().size());
  switch (readCommand) {
    case ds::kCmdReadMdtFields:
    case ds::kCmdReadMdtFieldsAlternate:
    case ds::kCmdReadImmediateAlternate:
      for (int i = 0; i < count; ++i) {
        const InputField& f = screen.Fields()[i];
        if (!f.mdt) continue;
        std::string data = FieldBytes(screen, i);
        while (!data.empty() && data.back() == 0) data.pop_back();
        if (readCommand == ds::kCmdReadMdtFields) NullsToBlanks(data);
        out.push_back(static_cast<char>(ds::kOrderSetBufferAddress));
        out.push_back(static_cast<char>(f.start / Screen::kColumns + 1));
        out.push_back(static_cast<char>(f.start % Screen::kColumns + 1));
        out += data;
      }
      break;
    case ds::kCmdReadInputFields:
    case ds::kCmdReadImmediate:
      if (!screen.AnyMdt()) break;
      for (int i = 0; i < count; ++i) {
        std::string data = FieldBytes(screen, i);
        NullsToBlanks(data);
        out += data;
      }
      break;
    default:
      break;
  }
  return out;
}

std::string BuildReadScreenPayload(const Screen& screen) {
  std::string out;
  out.reserve(Screen::kSize);
  for (int p = 0; p < Screen::kSize; ++p) out.push_back(static_cast<char>(screen.At(p)));
  return out;
}

}  // namespace tervo::host5250
