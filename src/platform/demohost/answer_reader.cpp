#include "platform/demohost/answer_reader.h"

#include <algorithm>

#include "platform/demohost/app_text.h"
#include "platform/host5250/datastream.h"

namespace tervo::demohost {

namespace ds = host5250::ds;

namespace {

using host5250::ebcdic::kBlank;
using host5250::ebcdic::kMinus;
using host5250::ebcdic::kNull;
using host5250::ebcdic::kPlus;

// Beyond this many signed fields only the uniform layouts are tried (all
// with, all without the sign position): the combinations grow as 2^n.
constexpr std::size_t kMaxSignedCombinations = 10;

bool Zoned(std::uint8_t b, std::uint8_t zone) { return (b & 0xF0) == zone && (b & 0x0F) <= 9; }
// A digit position as a terminal sends it: a digit, or empty.
bool DigitPosition(std::uint8_t b) { return Zoned(b, 0xF0) || b == kBlank || b == kNull; }

std::string Local(std::string raw, const host5250::EbcdicCodec& codec) {
  return codec.ToLocal(raw);  // nulls read as blanks
}

// The text of a signed-numeric field: its digit positions, then '-' when
// negative.  withSign says whether raw holds the sign position too.
// Returns false when the bytes cannot be a signed field's.
bool SignedText(std::string raw, bool withSign, const host5250::EbcdicCodec& codec, std::string* out) {
  bool negative = false;
  if (withSign) {
    if (raw.empty()) return false;
    const std::uint8_t sign = static_cast<std::uint8_t>(raw.back());
    raw.pop_back();
    const std::uint8_t last = raw.empty() ? kNull : static_cast<std::uint8_t>(raw.back());
    // A sign position that copies the last digit carries its value; an
    // empty last position copies as nothing (zero).
    const std::uint8_t lastValue = Zoned(last, 0xF0) ? (last & 0x0F) : 0;
    if (sign == kNull || sign == kBlank || sign == kPlus) {
      negative = false;
    } else if (sign == kMinus) {
      negative = true;
    } else if (Zoned(sign, 0xF0) && sign == last) {
      negative = false;
    } else if (Zoned(sign, 0xD0) && (sign & 0x0F) == lastValue &&
               (Zoned(last, 0xF0) || last == kNull || last == kBlank)) {
      negative = true;
    } else {
      return false;
    }
    if (!std::all_of(raw.begin(), raw.end(), [](char c) { return DigitPosition(static_cast<std::uint8_t>(c)); }))
      return false;
  } else {
    for (std::size_t i = 0; i < raw.size(); ++i) {
      const std::uint8_t b = static_cast<std::uint8_t>(raw[i]);
      if (i + 1 == raw.size() && Zoned(b, 0xD0)) {
        negative = true;
        raw[i] = static_cast<char>(0xF0 | (b & 0x0F));
      } else if (!DigitPosition(b)) {
        return false;
      }
    }
  }
  std::string text = Local(std::move(raw), codec);
  if (negative) text = TrimBlanks(text) + "-";
  *out = std::move(text);
  return true;
}

// Data after an address (Read MDT Fields): trailing nulls may be dropped,
// so only data as long as the field can hold the sign position.  Bytes that
// are no signed number are kept as they came: the application's checks
// then answer them.
std::string AddressedText(std::string_view data, const AnswerField* f, const host5250::EbcdicCodec& codec) {
  std::string text;
  if (f && f->isSigned) {
    const bool withSign = static_cast<int>(data.size()) == f->length;
    if (SignedText(std::string(data), withSign, codec, &text)) return text;
  }
  return Local(std::string(data), codec);
}

// One layout of Read Input Fields data: which fields are in it and which
// signed fields carry their sign position.  Fills fields and returns true
// when the data fits and every signed field reads as a number.
bool ReadLayout(std::string_view data, const std::vector<AnswerField>& fields, bool withBypass,
                const std::vector<bool>& withSign, const host5250::EbcdicCodec& codec,
                std::map<int, std::string>* out) {
  std::size_t total = 0, s = 0;
  for (const AnswerField& f : fields) {
    if (!withBypass && f.bypass) continue;
    total += static_cast<std::size_t>(f.length);
    if (f.isSigned && !withSign[s++]) --total;
  }
  if (total != data.size()) return false;
  std::size_t at = 0;
  s = 0;
  for (const AnswerField& f : fields) {
    if (!withBypass && f.bypass) continue;
    std::size_t n = static_cast<std::size_t>(f.length);
    std::string text;
    if (f.isSigned) {
      const bool sign = withSign[s++];
      if (!sign) --n;
      if (!SignedText(std::string(data.substr(at, n)), sign, codec, &text)) return false;
    } else {
      text = Local(std::string(data.substr(at, n)), codec);
    }
    (*out)[f.row * 256 + f.column] = text;
    at += n;
  }
  return true;
}

// The input fields of a reading (protected ones are not the operator's).
std::map<int, std::string> InputsOf(const std::map<int, std::string>& read,
                                    const std::vector<AnswerField>& fields) {
  std::map<int, std::string> out;
  for (const AnswerField& f : fields) {
    auto it = read.find(f.row * 256 + f.column);
    if (!f.bypass && it != read.end()) out.insert(*it);
  }
  return out;
}

void ReadUnaddressed(std::string_view data, const std::vector<AnswerField>& fields,
                     const host5250::EbcdicCodec& codec, Answer* out) {
  std::size_t signedCount = 0;
  for (const AnswerField& f : fields)
    if (f.isSigned) ++signedCount;
  std::vector<std::vector<bool>> signLayouts;
  if (signedCount <= kMaxSignedCombinations) {
    for (std::size_t mask = 0; mask < (std::size_t{1} << signedCount); ++mask) {
      std::vector<bool> l(signedCount);
      for (std::size_t i = 0; i < signedCount; ++i) l[i] = (mask >> i) & 1;
      signLayouts.push_back(l);
    }
  } else {
    signLayouts = {std::vector<bool>(signedCount, false), std::vector<bool>(signedCount, true)};
  }
  int fits = 0;
  std::map<int, std::string> chosen;
  for (bool withBypass : {true, false}) {
    for (const std::vector<bool>& signs : signLayouts) {
      std::map<int, std::string> read;
      if (!ReadLayout(data, fields, withBypass, signs, codec, &read)) continue;
      if (fits++ == 0) {
        chosen = std::move(read);
      } else if (InputsOf(read, fields) != InputsOf(chosen, fields)) {
        out->unreadable = "the " + std::to_string(data.size()) +
                          " bytes of field data fit several layouts with different values";
        return;
      }
    }
  }
  if (fits == 0) {
    out->unreadable = "the " + std::to_string(data.size()) +
                      " bytes of field data fit no layout of the screen's fields";
    return;
  }
  out->fields = std::move(chosen);
}

}  // namespace

std::vector<AnswerField> AnswerFields(const ShownScreen& s) {
  std::vector<AnswerField> out;
  for (const ShownField& f : s.fields)
    out.push_back({f.def.row, f.def.column, f.def.length, f.def.shift == ShiftType::kSigned, !f.def.input});
  std::sort(out.begin(), out.end(), [](const AnswerField& a, const AnswerField& b) {
    return a.row != b.row ? a.row < b.row : a.column < b.column;
  });
  return out;
}

bool ReadAnswer(std::string_view payload, const host5250::EbcdicCodec& codec,
                const std::vector<AnswerField>& fields, bool readAll, Answer* out) {
  *out = Answer{};
  if (payload.size() < 3) return false;
  auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(payload[i]); };
  out->cursorRow = byte(0);
  out->cursorColumn = byte(1);
  out->aid = byte(2);
  const std::string_view data = payload.substr(3);
  // Field data never holds X'11' (a control byte): data that starts with
  // it is addressed, whatever the read was.
  if (readAll && !data.empty() && static_cast<std::uint8_t>(data[0]) != ds::kOrderSetBufferAddress) {
    ReadUnaddressed(data, fields, codec, out);
    return true;
  }
  std::size_t i = 3;
  while (i + 3 <= payload.size() && byte(i) == ds::kOrderSetBufferAddress) {
    const int row = byte(i + 1), column = byte(i + 2);
    i += 3;
    const std::size_t start = i;
    while (i < payload.size() && byte(i) != ds::kOrderSetBufferAddress) ++i;
    const AnswerField* field = nullptr;
    for (const AnswerField& f : fields)
      if (f.row == row && f.column == column) field = &f;
    out->fields[row * 256 + column] = AddressedText(payload.substr(start, i - start), field, codec);
  }
  return true;
}

std::string KeyName(std::uint8_t aid) {
  switch (aid) {
    case ds::kAidEnter: return "enter";
    case ds::kAidRollUp: return "rollup";
    case ds::kAidRollDown: return "rolldown";
    case ds::kAidHelp: return "help";
    case ds::kAidPrint: return "print";
    case ds::kAidClear: return "clear";
    default: break;
  }
  if (aid >= 0x31 && aid <= 0x3C) return "f" + std::to_string(aid - 0x30);
  if (aid >= 0xB1 && aid <= 0xBC) return "f" + std::to_string(aid - 0xB0 + 12);
  return {};
}

std::string KeyboardErrorText(std::uint16_t code) {
  switch (code) {
    case 0x0003: return "The key pressed after Cmd is not valid.";
    case 0x0004: return "Data cannot be typed into this field.";
    case 0x0005: return "The cursor is in a protected area of the display.";
    case 0x0006: return "The key pressed after System Request is not valid.";
    case 0x0007: return "Mandatory entry field: type data into it.";
    case 0x0008: return "Field requires alphabetic characters.";
    case 0x0009: return "Field requires numeric characters.";
    case 0x0010: return "Field requires numeric characters: only 0 through 9 are allowed.";
    case 0x0011: return "That key is not valid in the sign position of the field.";
    case 0x0012: return "No room to insert data in this field.";
    case 0x0014: return "Mandatory fill field: fill it to the end before leaving it.";
    case 0x0015: return "The check digit of this field is wrong.";
    case 0x0016: return "Field Minus is not valid in this field.";
    case 0x0018: return "This field must be left with Field Exit.";
    case 0x0019: return "Dup is not allowed in this field.";
    case 0x0020: return "Field Exit is required to leave this field.";
    case 0x0027: return "That character cannot be typed here.";
    default: break;
  }
  static const char* hex = "0123456789ABCDEF";
  std::string digits;
  for (int shift = 12; shift >= 0; shift -= 4) digits.push_back(hex[(code >> shift) & 0xF]);
  return "Keyboard error " + digits + ": press Reset and correct the entry.";
}

}  // namespace tervo::demohost
