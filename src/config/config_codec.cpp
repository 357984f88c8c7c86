#include "config/config_codec.h"

#include <array>
#include <cstring>

#include "config/text.h"

namespace tervo::config {

void AppendAsciiString(std::string* out, std::string_view value) {
  std::size_t run = 0;  // start of the pending run of plain characters
  for (std::size_t i = 0; i < value.size(); ++i) {
    const auto c = static_cast<unsigned char>(value[i]);
    if (c >= 32) continue;
    out->append(value.data() + run, i - run);
    const char esc[4] = {kEscape, static_cast<char>('0' + c / 100),
                         static_cast<char>('0' + c / 10 % 10), static_cast<char>('0' + c % 10)};
    out->append(esc, 4);
    run = i + 1;
  }
  out->append(value.data() + run, value.size() - run);
}

std::string AsciiString(std::string_view value) {
  std::string out;
  out.reserve(value.size());
  AppendAsciiString(&out, value);
  return out;
}

std::string StringAscii(std::string_view line, std::string* err) {
  const void* first = std::memchr(line.data(), kEscape, line.size());
  if (!first) return std::string(line);
  std::string out;
  out.reserve(line.size());
  std::size_t i = static_cast<std::size_t>(static_cast<const char*>(first) - line.data());
  out.append(line.data(), i);
  bool bad = false;
  while (i < line.size()) {
    const char c = line[i];
    if (c != kEscape) {
      out.push_back(c);
      ++i;
      continue;
    }
    int code = 0;
    bool ok = i + 3 < line.size();
    for (std::size_t k = 1; ok && k <= 3; ++k) {
      const char d = line[i + k];
      ok = d >= '0' && d <= '9';
      code = code * 10 + (d - '0');
    }
    if (ok && code <= 255) {
      out.push_back(static_cast<char>(code));
      i += 4;
    } else {
      bad = true;
      out.push_back(c);
      ++i;
    }
  }
  if (bad && err) *err = "bad character escape";
  return out;
}

std::string_view FlagText(bool v) { return v ? "True" : "False"; }

bool ReadFlag(std::string_view value, bool* out, std::string* err) {
  struct Spelling {
    const char* word;
    bool value;
  };
  // Upper-case spellings of the two Boolean words on the systems the
  // configuration files came from.
  static const std::array<Spelling, 10> kWords = {{{"TRUE", true},
                                                   {"FALSE", false},
                                                   {"VERDADEIRO", true},
                                                   {"FALSO", false},
                                                   {"VERDADERO", true},
                                                   {"VRAI", true},
                                                   {"FAUX", false},
                                                   {"WAHR", true},
                                                   {"FALSCH", false},
                                                   {"VERO", true}}};
  if (value == "True" || value == "False") {  // what the writer writes
    *out = value[0] == 'T';
    return true;
  }
  const std::string t = text::ToUpper(text::TrimBlanks(value));
  for (const auto& w : kWords) {
    if (t == w.word) {
      *out = w.value;
      return true;
    }
  }
  double v = 0;
  if (!text::ToDouble(t, &v, nullptr)) {
    if (err) *err = "not a Boolean: \"" + std::string(value) + "\"";
    return false;
  }
  *out = v != 0;
  return true;
}

}  // namespace tervo::config
