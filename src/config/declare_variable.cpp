#include "config/declare_variable.h"

#include <charconv>
#include <unordered_map>

#include "config/config_codec.h"
#include "config/text.h"
#include "platform/os/blank_text.h"

namespace tervo::config {

bool ReadNumber(std::string_view value, std::int32_t* out, std::string* err) {
  // Plain integers (" 5", "-80") are most of a file; convert them directly.
  const std::string_view t = os::BlankTrimmed(value);
  if (!t.empty() && t.front() != '+') {
    // Into a local: from_chars also stores the leading digits of "12abc",
    // and a rejected line must leave the table as it was.
    const char* end = t.data() + t.size();
    std::int32_t v = 0;
    auto res = std::from_chars(t.data(), end, v);
    if (res.ec == std::errc() && res.ptr == end) {
      *out = v;
      return true;
    }
  }
  return text::ToInt32(value, out, err);
}

namespace {

bool Fail(std::string* err, std::string message) {
  if (err) *err = std::move(message);
  return false;
}

bool InRange(std::int32_t index, std::int32_t last, std::string_view what, std::string* err) {
  if (index == kNoIndex) return Fail(err, "missing " + std::string(what));
  if (index >= 0 && index <= last) return true;
  return Fail(err, std::string(what) + " " + std::to_string(index) + " is outside 0.." +
                       std::to_string(last));
}

bool ScreenInRange(const ScreenStore& store, std::int32_t s, std::string* err) {
  const std::int32_t last =
      std::min<std::int32_t>(store.NumeroMaximoDeEcrans, store.ScreenTableSize() - 1);
  return InRange(s, last, "screen", err);
}

// Setters of one member of a record from the text of its value.
template <class R>
using Setter = bool (*)(R&, std::string_view, std::string*);

template <class R, std::int32_t R::*M>
bool SetInt(R& r, std::string_view v, std::string* err) {
  return ReadNumber(v, &(r.*M), err);
}
template <class R, std::string R::*M>
bool SetText(R& r, std::string_view v, std::string*) {
  (r.*M).assign(v);
  return true;
}
template <class R, bool R::*M>
bool SetFlag(R& r, std::string_view v, std::string* err) {
  return ReadFlag(v, &(r.*M), err);
}
template <int K>
bool SetFunctionKey(ScreenDef& d, std::string_view v, std::string*) {
  d.TeclasFuncao[K].assign(v);
  return true;
}
template <int K>
bool SetFunctionVal(ScreenDef& d, std::string_view v, std::string*) {
  d.TeclasFuncaoVal[K].assign(v);
  return true;
}

template <class R>
using SetterMap = std::unordered_map<std::string_view, Setter<R>>;

const SetterMap<ScreenDef>& ScreenKeys() {
  static const SetterMap<ScreenDef> m = {
      {"CheckScreenIdTerm", &SetInt<ScreenDef, &ScreenDef::CheckScreenIdTerm>},
      {"CheckScreenIdUser", &SetInt<ScreenDef, &ScreenDef::CheckScreenIdUser>},
      {"DontSendToTerminal", &SetInt<ScreenDef, &ScreenDef::DontSendToTerminal>},
      {"EscKey", &SetText<ScreenDef, &ScreenDef::EscKey>},
      {"FieldScr", &SetInt<ScreenDef, &ScreenDef::FieldScr>},
      {"KeysAfterEnter", &SetText<ScreenDef, &ScreenDef::KeysAfterEnter>},
      {"Master", &SetInt<ScreenDef, &ScreenDef::Master>},
      {"MasterAux", &SetInt<ScreenDef, &ScreenDef::MasterAux>},
      {"MultipleInputFather", &SetInt<ScreenDef, &ScreenDef::MultipleInputFather>},
      {"ScreenId", &SetInt<ScreenDef, &ScreenDef::ScreenId>},
      {"ScreenIdTerminal", &SetText<ScreenDef, &ScreenDef::ScreenIdTerminal>},
      {"ScreenIdUser", &SetText<ScreenDef, &ScreenDef::ScreenIdUser>},
      {"TeclasFuncao1", &SetFunctionKey<0>},
      {"TeclasFuncao2", &SetFunctionKey<1>},
      {"TeclasFuncao3", &SetFunctionKey<2>},
      {"TeclasFuncao4", &SetFunctionKey<3>},
      {"TeclasFuncao5", &SetFunctionKey<4>},
      {"TeclasFuncao6", &SetFunctionKey<5>},
      {"TeclasFuncao7", &SetFunctionKey<6>},
      {"TeclasFuncao8", &SetFunctionKey<7>},
      {"TeclasFuncaoVal1", &SetFunctionVal<0>},
      {"TeclasFuncaoVal2", &SetFunctionVal<1>},
      {"TeclasFuncaoVal3", &SetFunctionVal<2>},
      {"TeclasFuncaoVal4", &SetFunctionVal<3>},
      {"TeclasFuncaoVal5", &SetFunctionVal<4>},
      {"TeclasFuncaoVal6", &SetFunctionVal<5>},
      {"TeclasFuncaoVal7", &SetFunctionVal<6>},
      {"TeclasFuncaoVal8", &SetFunctionVal<7>},
  };
  return m;
}

const SetterMap<FieldDef>& FieldKeys() {
  static const SetterMap<FieldDef> m = {
      {"AutoEnter", &SetInt<FieldDef, &FieldDef::AutoEnter>},
      {"flag2", &SetInt<FieldDef, &FieldDef::flag2>},
      {"AuxText", &SetText<FieldDef, &FieldDef::AuxText>},
      {"Barcode", &SetInt<FieldDef, &FieldDef::Barcode>},
      {"FieldPos", &SetInt<FieldDef, &FieldDef::FieldPos>},
      {"Flag", &SetInt<FieldDef, &FieldDef::Flag>},
      {"InputField", &SetInt<FieldDef, &FieldDef::InputField>},
      {"NewLine", &SetInt<FieldDef, &FieldDef::NewLine>},
      {"Order", &SetInt<FieldDef, &FieldDef::Order>},
      {"Protected", &SetInt<FieldDef, &FieldDef::Protected>},
      {"SendWithEnter", &SetInt<FieldDef, &FieldDef::SendWithEnter>},
      {"Show", &SetInt<FieldDef, &FieldDef::Show>},
      {"Size", &SetInt<FieldDef, &FieldDef::Size>},
      {"SizeTextAux", &SetInt<FieldDef, &FieldDef::SizeTextAux>},
      {"Title", &SetInt<FieldDef, &FieldDef::Title>},
      {"UserId", &SetInt<FieldDef, &FieldDef::UserId>},
      {"Divided", &SetFlag<FieldDef, &FieldDef::Divided>},
      {"JoinField", &SetText<FieldDef, &FieldDef::JoinField>},
  };
  return m;
}

const SetterMap<RepeatRule>& RepeatKeys() {
  static const SetterMap<RepeatRule> m = {
      {"Active", &SetFlag<RepeatRule, &RepeatRule::Active>},
      {"Counter", &SetInt<RepeatRule, &RepeatRule::Counter>},
      {"CounterVal", &SetInt<RepeatRule, &RepeatRule::CounterVal>},
      {"IfCounter", &SetInt<RepeatRule, &RepeatRule::IfCounter>},
      {"Keys", &SetText<RepeatRule, &RepeatRule::Keys>},
      {"Keys1", &SetText<RepeatRule, &RepeatRule::Keys1>},
      {"Keys2", &SetText<RepeatRule, &RepeatRule::Keys2>},
      {"SubCounter1", &SetInt<RepeatRule, &RepeatRule::SubCounter1>},
      {"SubCounter2", &SetInt<RepeatRule, &RepeatRule::SubCounter2>},
      {"TKeys", &SetText<RepeatRule, &RepeatRule::TKeys>},
      {"Wait", &SetInt<RepeatRule, &RepeatRule::Wait>},
      {"When", &SetInt<RepeatRule, &RepeatRule::When>},
  };
  return m;
}

// aux4l is part of the record but was never stored in the file, so it is not
// a key here either.
const SetterMap<MasterScreen>& MasterKeys() {
  static const SetterMap<MasterScreen> m = {
      {"aux1", &SetInt<MasterScreen, &MasterScreen::aux1>},
      {"aux1l", &SetFlag<MasterScreen, &MasterScreen::aux1l>},
      {"aux2", &SetInt<MasterScreen, &MasterScreen::aux2>},
      {"aux2l", &SetFlag<MasterScreen, &MasterScreen::aux2l>},
      {"aux3", &SetInt<MasterScreen, &MasterScreen::aux3>},
      {"aux3l", &SetFlag<MasterScreen, &MasterScreen::aux3l>},
      {"aux4", &SetInt<MasterScreen, &MasterScreen::aux4>},
      {"aux5", &SetInt<MasterScreen, &MasterScreen::aux5>},
      {"aux5l", &SetFlag<MasterScreen, &MasterScreen::aux5l>},
      {"CopyText", &SetFlag<MasterScreen, &MasterScreen::CopyText>},
      {"MoveV", &SetInt<MasterScreen, &MasterScreen::MoveV>},
  };
  return m;
}

const SetterMap<DividedField>& DivisionKeys() {
  static const SetterMap<DividedField> m = {
      {"ScrNum", &SetInt<DividedField, &DividedField::ScrNum>},
      {"FieldNum", &SetInt<DividedField, &DividedField::FieldNum>},
      {"pos", &SetInt<DividedField, &DividedField::pos>},
      {"Size", &SetInt<DividedField, &DividedField::Size>},
      {"NewLine", &SetInt<DividedField, &DividedField::NewLine>},
      {"Special", &SetInt<DividedField, &DividedField::Special>},
  };
  return m;
}

// The per-field members of a capture record, as setters of entry j.
using OriginalSetter = bool (*)(ScreenOriginal&, int, std::string_view, std::string*);

template <std::int32_t CapturedField::*M>
bool SetOriginalInt(ScreenOriginal& o, int j, std::string_view v, std::string* err) {
  return ReadNumber(v, &(o[j].*M), err);
}
template <bool CapturedField::*M>
bool SetOriginalFlag(ScreenOriginal& o, int j, std::string_view v, std::string* err) {
  return ReadFlag(v, &(o[j].*M), err);
}
bool SetOriginalText(ScreenOriginal& o, int j, std::string_view v, std::string*) {
  o[j].Text.assign(v);
  return true;
}

const std::unordered_map<std::string_view, OriginalSetter>& OriginalKeys() {
  static const std::unordered_map<std::string_view, OriginalSetter> m = {
      {"Protected", &SetOriginalFlag<&CapturedField::Protected>},
      {"Size", &SetOriginalInt<&CapturedField::Size>},
      {"Text", &SetOriginalText},
      {"EndColumn", &SetOriginalInt<&CapturedField::EndColumn>},
      {"EndRow", &SetOriginalInt<&CapturedField::EndRow>},
      {"StartColumn", &SetOriginalInt<&CapturedField::StartColumn>},
      {"StartRow", &SetOriginalInt<&CapturedField::StartRow>},
      {"Length", &SetOriginalInt<&CapturedField::Length>},
      {"AType", &SetOriginalInt<&CapturedField::AType>},
      {"AutoEnter", &SetOriginalFlag<&CapturedField::AutoEnter>},
      {"Hidden", &SetOriginalFlag<&CapturedField::Hidden>},
      {"Justify", &SetOriginalInt<&CapturedField::Justify>},
      {"Underlined", &SetOriginalFlag<&CapturedField::Underlined>},
  };
  return m;
}

template <class R>
bool SetMember(const SetterMap<R>& keys, R& record, std::string_view name, std::string_view value,
               std::string* err) {
  auto it = keys.find(name);
  if (it == keys.end()) return true;  // not a key of the record: ignored
  return it->second(record, value, err);
}

bool SetNumber(std::string_view value, std::int32_t lo, std::int32_t hi, std::string_view name,
               std::int32_t* out, std::string* err) {
  std::int32_t v = 0;
  if (!ReadNumber(value, &v, err)) return false;
  if (v < lo || v > hi)
    return Fail(err, std::string(name) + " " + std::to_string(v) + " is outside " +
                         std::to_string(lo) + ".." + std::to_string(hi));
  *out = v;
  return true;
}

// Check boxes and the list index hold the integer as their control would.
bool SetOption(GeneralOptions& options, Option key, std::string_view value, std::string* err) {
  const int maxChoice = GeneralOptions::MaxChoice(key);
  if (maxChoice < 0) {
    options.SetText(key, std::string(value));
    return true;
  }
  std::int32_t v = 0;
  if (!SetNumber(value, 0, maxChoice, Spec(key).key, &v, err)) return false;
  options.SetText(key, text::FromInt(v));
  return true;
}

bool DeclareLevel0(ScreenStore& store, GeneralOptions& options, std::string_view name,
                   std::string_view value, std::int32_t index0, std::int32_t index1,
                   std::string* err) {
  if (name == "NumeroMaximoDeEcrans") {
    std::int32_t n = 0;
    if (!SetNumber(value, 0, kMaxScreenNumber, name, &n, err)) return false;
    store.NumeroMaximoDeEcrans = n;
    store.GrowScreenTables();
    for (auto& index : store.Indice) index.assign(kPositionSlots, -1);
    return true;
  }
  if (name == "ScreenAspect") {
    if (!ScreenInRange(store, index0, err)) return false;
    store.ScreenAspect[index0] = text::PadRight(value, kScreenAspectSize);
    return true;
  }
  if (name == "ScreensText") {
    if (!InRange(index0, kMaxTextScreen, "screen", err) ||
        !InRange(index1, kMaxFieldIndex, "field", err))
      return false;
    store.ScreensText[index0][index1].assign(value);
    return true;
  }
  if (name == "DeviceName" || name == "TerminalIDDef") {
    if (!InRange(index0, kSessionSlots - 1, "session", err)) return false;
    auto& table = name == "DeviceName" ? store.DeviceName : store.TerminalIDDef;
    table[index0].assign(value);
    return true;
  }
  if (name == "ScreenCt") return SetNumber(value, 0, kMaxScreenNumber, name, &store.ScreenCt, err);
  if (name == "DivideFieldsCt")
    return SetNumber(value, 0, kDivisionSlots, name, &store.DivideFieldsCt, err);
  if (const OptionSpec* o = FindOption(name)) return SetOption(options, o->option, value, err);
  return true;
}

bool DeclareOriginal(ScreenStore& store, std::string_view member, std::string_view value,
                     std::int32_t screen, std::int32_t field, std::string* err) {
  if (member == "Count") {
    if (!ScreenInRange(store, screen, err)) return false;
    return SetNumber(value, 0, kFieldSlots, member, &store.Originals[screen].Count, err);
  }
  const auto& keys = OriginalKeys();
  auto it = keys.find(member);
  if (it == keys.end()) return true;
  if (!ScreenInRange(store, screen, err) || !InRange(field, kMaxFieldIndex, "field", err))
    return false;
  return it->second(store.Originals[screen], field, value, err);
}

}  // namespace

bool DeclareVariable(ScreenStore& store, GeneralOptions& options, std::string_view name0,
                     std::string_view name1, std::string_view name2, std::string_view value,
                     std::int32_t index0, std::int32_t index1, std::int32_t, std::string* err) {
  if (name1.empty()) return DeclareLevel0(store, options, name0, value, index0, index1, err);
  if (name0 == "Screens") {
    if (name2.empty()) {
      if (!ScreenKeys().count(name1)) return true;
      if (!ScreenInRange(store, index0, err)) return false;
      return SetMember(ScreenKeys(), store.Screens[index0], name1, value, err);
    }
    if (name1 != "Screen" || !FieldKeys().count(name2)) return true;
    if (!ScreenInRange(store, index0, err) || !InRange(index1, kMaxFieldIndex, "field", err))
      return false;
    return SetMember(FieldKeys(), store.Screens[index0].Screen[index1], name2, value, err);
  }
  if (!name2.empty()) return true;
  if (name0 == "ScreenOriginal") return DeclareOriginal(store, name1, value, index0, index1, err);
  if (name0 == "Indice") {
    if (name1 != "Screen") return true;
    if (!ScreenInRange(store, index0, err) || !InRange(index1, kMaxPosition, "position", err))
      return false;
    return ReadNumber(value, &store.Indice[index0][index1], err);
  }
  if (name0 == "AdvScreens") {
    if (!RepeatKeys().count(name1)) return true;
    if (!ScreenInRange(store, index0, err)) return false;
    return SetMember(RepeatKeys(), store.AdvScreens[index0], name1, value, err);
  }
  if (name0 == "MasterScreen") {
    if (!MasterKeys().count(name1)) return true;
    if (!ScreenInRange(store, index0, err)) return false;
    return SetMember(MasterKeys(), store.MasterScreens[index0], name1, value, err);
  }
  if (name0 == "DivideFields") {
    if (!DivisionKeys().count(name1)) return true;
    if (!InRange(index0, kMaxDivision, "division", err)) return false;
    return SetMember(DivisionKeys(), store.DivideFields[index0], name1, value, err);
  }
  return true;
}

}  // namespace tervo::config
