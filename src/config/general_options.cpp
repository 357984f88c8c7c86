#include "config/general_options.h"

#include <algorithm>

#include "config/text.h"

namespace tervo::config {

namespace {

struct OptionSpec {
  const char* key;
  bool checkBox;
  const char* initial;   // a fresh dialog's contents
  const char* fallback;  // nullptr: keeps its value when no file loads
};

// General keys in file order, then the keys the file does not write.
const OptionSpec kOptions[] = {
    {"SessionCt", false, "1", "1"},
    {"DisplayCol", false, "1", "1"},
    {"DisplayRow", false, "", "1"},
    {"AutoRemove", false, ".,;", ",;:."},
    {"ExitWord", false, "Exit,Sair", "Exit,Sair,FIM,Fim,EXIT"},
    {"Cut", true, "0", "0"},
    {"SendTerminal", true, "1", "1"},
    {"MaskEdBox1", false, "__:__", nullptr},
    {"MaskEdBox2", false, "__:__", nullptr},
    {"Check1", true, "0", nullptr},
    {"Check2", true, "0", nullptr},
    {"ShowNorvikLogo", true, "0", "0"},
    {"SendMinimal", true, "1", "1"},
    {"SendUnderline", true, "1", "1"},
    {"DisplayLen", false, "24", "20"},
    {"DebugFile", true, "0", "0"},
    {"BaudRate", false, "19200", "38400"},
    {"Handshaking", false, "0", "0"},
    {"TestMode", true, "0", "0"},
    {"NewScreenTimeout", false, "1.5", "2"},
    {"ScreenIdAreaX", false, "", "0"},
    {"ScreenIdAreaY", false, "", "0"},
    {"ScreenIdAreaLen", false, "", "0"},
    {"Line24", true, "0", "0"},
    {"DontShowData", true, "1", "0"},
    {"SendErrorLine24", true, "1", "1"},
    {"SendErrorLine25", true, "1", "1"},
    {"SubScreenIdAreaX", false, "", "0"},
    {"SubScreenIdAreaY", false, "", "0"},
    {"SubScreenIdAreaLen", false, "", "0"},
    {"SendErrorLineN", true, "0", "0"},
    {"ErrorLineN", false, "", "0"},
    {"ErrorLineStart", false, "1", "1"},
    {"ErrorLineLen", false, "80", "80"},
    {"AutoSave", true, "0", "0"},
    {"TCPIP", true, "0", "0"},
    {"TCPIPAddr", false, "127.0.0.1", "127.0.0.1"},
    {"ComPort", false, "1", ""},
    {"CapsLock", true, "0", nullptr},
};

const OptionSpec* Find(const std::string& key) {
  for (const auto& o : kOptions)
    if (key == o.key) return &o;
  return nullptr;
}

}  // namespace

GeneralOptions::GeneralOptions() { ApplyInitialContents(); }

const std::vector<std::string>& GeneralOptions::Keys() {
  static const std::vector<std::string> keys = [] {
    std::vector<std::string> k;
    for (const auto& o : kOptions) k.emplace_back(o.key);
    return k;
  }();
  return keys;
}

bool GeneralOptions::IsKey(const std::string& key) { return Find(key) != nullptr; }

bool GeneralOptions::IsCheckBox(const std::string& key) {
  const OptionSpec* o = Find(key);
  return o && o->checkBox;
}

std::string GeneralOptions::Text(const std::string& key) const {
  auto it = values_.find(key);
  return it == values_.end() ? std::string() : it->second;
}

bool GeneralOptions::SetText(const std::string& key, const std::string& value) {
  if (!IsKey(key)) return false;
  values_[key] = value;
  return true;
}

std::int32_t GeneralOptions::Number(const std::string& key) const {
  return text::OptionNumber(Text(key));
}

double GeneralOptions::Real(const std::string& key) const { return text::LeadingNumber(Text(key)); }

void GeneralOptions::ApplyInitialContents() {
  for (const auto& o : kOptions) values_[o.key] = o.initial;
}

void GeneralOptions::ApplyFallbacks() {
  for (const auto& o : kOptions)
    if (o.fallback) values_[o.key] = o.fallback;
}

}  // namespace tervo::config
