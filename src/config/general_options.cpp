#include "config/general_options.h"

#include <algorithm>

#include "config/text.h"

namespace tervo::config {

namespace {

enum Kind { kText, kCheck, kList };

struct OptionSpec {
  const char* key;
  Kind kind;
  const char* initial;   // a fresh dialog's contents
  const char* fallback;  // nullptr: keeps its value when no file loads
};

// General keys in file order.  Initial contents are what a freshly created
// dialog shows (the start-up timer window's masked boxes read as their prompt
// characters); fallbacks apply when no configuration file could be loaded.
const OptionSpec kOptions[] = {
    {"SessionCt", kText, "1", "1"},
    {"DisplayCol", kText, "1", "1"},
    {"DisplayRow", kText, "", "1"},
    {"AutoRemove", kText, ".,;", ",;:."},
    {"ExitWord", kText, "Exit,Sair", "Exit,Sair,FIM,Fim,EXIT"},
    {"Cut", kCheck, "0", "0"},
    {"SendTerminal", kCheck, "1", "1"},
    {"MaskEdBox1", kText, "__:__", nullptr},
    {"MaskEdBox2", kText, "__:__", nullptr},
    {"Check1", kCheck, "0", nullptr},
    {"Check2", kCheck, "0", nullptr},
    {"ShowNorvikLogo", kCheck, "0", "0"},
    {"SendMinimal", kCheck, "1", "1"},
    {"SendUnderline", kCheck, "1", "1"},
    {"DisplayLen", kText, "24", "20"},
    {"DebugFile", kCheck, "0", "0"},
    {"BaudRate", kText, "19200", "38400"},
    {"Handshaking", kList, "0", "0"},
    {"TestMode", kCheck, "0", "0"},
    {"NewScreenTimeout", kText, "1.5", "2"},
    {"ScreenIdAreaX", kText, "", "0"},
    {"ScreenIdAreaY", kText, "", "0"},
    {"ScreenIdAreaLen", kText, "", "0"},
    {"Line24", kCheck, "0", "0"},
    {"DontShowData", kCheck, "1", "0"},
    {"SendErrorLine24", kCheck, "1", "1"},
    {"SendErrorLine25", kCheck, "1", "1"},
    {"SubScreenIdAreaX", kText, "", "0"},
    {"SubScreenIdAreaY", kText, "", "0"},
    {"SubScreenIdAreaLen", kText, "", "0"},
    {"SendErrorLineN", kCheck, "0", "0"},
    {"ErrorLineN", kText, "", "0"},
    {"ErrorLineStart", kText, "1", "1"},
    {"ErrorLineLen", kText, "80", "80"},
    {"AutoSave", kCheck, "0", "0"},
    {"TCPIP", kCheck, "0", "0"},
    {"TCPIPAddr", kText, "127.0.0.1", "127.0.0.1"},
    {"ComPort", kText, "1", ""},
    {"CapsLock", kCheck, "0", nullptr},
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
  return o && o->kind == kCheck;
}

bool GeneralOptions::IsListIndex(const std::string& key) {
  const OptionSpec* o = Find(key);
  return o && o->kind == kList;
}

int GeneralOptions::MaxChoice(const std::string& key) {
  const OptionSpec* o = Find(key);
  if (!o || o->kind == kText) return -1;
  return o->kind == kCheck ? 1 : 3;
}

std::string GeneralOptions::Text(const std::string& key) const {
  if (const std::string* o = RunOverride(key)) return *o;
  return ConfiguredText(key);
}

std::string GeneralOptions::ConfiguredText(const std::string& key) const {
  auto it = values_.find(key);
  return it == values_.end() ? std::string() : it->second;
}

bool GeneralOptions::SetRunOverride(const std::string& key, const std::string& value) {
  if (!IsKey(key)) return false;
  overrides_[key] = value;
  return true;
}

const std::string* GeneralOptions::RunOverride(const std::string& key) const {
  auto it = overrides_.find(key);
  return it == overrides_.end() ? nullptr : &it->second;
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
