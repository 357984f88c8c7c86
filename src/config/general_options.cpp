#include "config/general_options.h"

#include "config/text.h"

namespace tervo::config {

namespace {
std::size_t At(const OptionSpec& s) { return static_cast<std::size_t>(s.option); }
}  // namespace

GeneralOptions::GeneralOptions() { ApplyInitialContents(); }

const std::vector<std::string>& GeneralOptions::Keys() {
  static const std::vector<std::string> keys = [] {
    std::vector<std::string> k;
    for (const auto& o : OptionTable()) k.emplace_back(o.key);
    return k;
  }();
  return keys;
}

int GeneralOptions::MaxChoice(OptionKey key) {
  const OptionSpec* s = key.entry();
  const bool choice = s && (s->kind == OptionKind::kCheck || s->kind == OptionKind::kList);
  return choice ? static_cast<int>(s->max) : -1;
}

std::string GeneralOptions::Text(OptionKey key) const {
  if (const std::string* o = RunOverride(key)) return *o;
  return ConfiguredText(key);
}

std::string GeneralOptions::ConfiguredText(OptionKey key) const {
  return key.entry() ? values_[At(*key.entry())] : std::string();
}

bool GeneralOptions::SetRunOverride(OptionKey key, const std::string& value) {
  if (!key.entry()) return false;
  overrides_[At(*key.entry())] = value;
  return true;
}

const std::string* GeneralOptions::RunOverride(OptionKey key) const {
  if (!key.entry()) return nullptr;
  const auto& o = overrides_[At(*key.entry())];
  return o ? &*o : nullptr;
}

bool GeneralOptions::SetText(OptionKey key, const std::string& value) {
  if (!key.entry()) return false;
  values_[At(*key.entry())] = value;
  return true;
}

std::int32_t GeneralOptions::Number(OptionKey key) const { return text::OptionNumber(Text(key)); }

double GeneralOptions::Real(OptionKey key) const { return text::LeadingNumber(Text(key)); }

void GeneralOptions::ApplyInitialContents() {
  for (const auto& o : OptionTable()) values_[At(o)] = o.initial;
}

void GeneralOptions::ApplyFallbacks() {
  for (const auto& o : OptionTable())
    if (o.fallback) values_[At(o)] = o.fallback;
}

}  // namespace tervo::config
