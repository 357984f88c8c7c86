#include "platform/host5250/key_mnemonics.h"

#include "platform/host5250/datastream.h"

namespace tervo::host5250 {

std::vector<Key> ParseKeys(std::string_view keys, std::vector<std::string>* unknown) {
  std::vector<Key> out;
  for (std::size_t i = 0; i < keys.size(); ++i) {
    const char c = keys[i];
    if (c != '@') {
      Key k;
      k.character = c;
      k.text = std::string(1, c);
      out.push_back(k);
      continue;
    }
    if (i + 1 >= keys.size()) {
      if (unknown) unknown->push_back("@");
      break;
    }
    const char m = keys[++i];
    Key k;
    k.text = std::string("@") + m;
    k.kind = Key::kAid;
    if (m == '@') {
      k.kind = Key::kCharacter;
      k.character = '@';
    } else if (m == 'E') {
      k.aid = ds::kAidEnter;
    } else if (m == 'u') {
      k.aid = ds::kAidRollUp;
    } else if (m == 'v') {
      k.aid = ds::kAidRollDown;
    } else if (m >= '1' && m <= '9') {
      k.aid = ds::FunctionKeyAid(m - '0');
    } else if (m >= 'a' && m <= 'o') {
      k.aid = ds::FunctionKeyAid(m - 'a' + 10);
    } else if (m == 'C') {
      k.aid = ds::kAidClear;
    } else if (m == 'H') {
      k.aid = ds::kAidHelp;
    } else if (m == 'P') {
      k.aid = ds::kAidPrint;
    } else if (m == 'R') {
      k.kind = Key::kReset;
    } else if (m == 'T') {
      k.kind = Key::kTab;
    } else if (m == 'B') {
      k.kind = Key::kBacktab;
    } else if (m == 'F') {
      k.kind = Key::kEraseEof;
    } else {
      if (unknown) unknown->push_back(k.text);
      continue;
    }
    out.push_back(k);
  }
  return out;
}

std::string KeysText(const std::vector<Key>& keys, std::size_t from) {
  std::string s;
  for (std::size_t i = from; i < keys.size(); ++i) s += keys[i].text;
  return s;
}

}  // namespace tervo::host5250
