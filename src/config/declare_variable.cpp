#include "config/declare_variable.h"

#include <charconv>

#include "config/config_codec.h"
#include "config/record_members.h"
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

std::int32_t LastScreen(const ScreenStore& store) {
  return std::min<std::int32_t>(store.NumeroMaximoDeEcrans, store.ScreenTableSize() - 1);
}

bool ScreenInRange(const ScreenStore& store, std::int32_t s, std::string* err) {
  return InRange(s, LastScreen(store), "screen", err);
}

bool ReadValue(std::string_view v, std::int32_t* out, std::string* err) {
  return ReadNumber(v, out, err);
}
bool ReadValue(std::string_view v, bool* out, std::string* err) { return ReadFlag(v, out, err); }
bool ReadValue(std::string_view v, std::string* out, std::string*) {
  out->assign(v);
  return true;
}

// Stores value into the member of record r.
template <class R>
bool SetMember(R& r, const Member<R>& m, std::string_view value, std::string* err) {
  bool ok = true;
  WithMember(r, m, [&](auto& held) { ok = ReadValue(value, &held, err); });
  return ok;
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
  if (!SetNumber(value, 0, maxChoice, OptionEntry(key).key, &v, err)) return false;
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
  const Member<CapturedField>* m = FindMember<CapturedField>(member);
  if (!m) return true;
  if (!ScreenInRange(store, screen, err) || !InRange(field, kMaxFieldIndex, "field", err))
    return false;
  return SetMember(store.Originals[screen][field], *m, value, err);
}

// Member name of the record at index 0..last of table (`what` names the
// index in messages).
template <class R>
bool DeclareMember(std::vector<R>& table, std::int32_t index, std::int32_t last,
                   std::string_view what, std::string_view name, std::string_view value,
                   std::string* err) {
  const Member<R>* m = FindMember<R>(name);
  if (!m) return true;  // not a key of the record: ignored
  if (!InRange(index, last, what, err)) return false;
  return SetMember(table[index], *m, value, err);
}

}  // namespace

bool DeclareVariable(ScreenStore& store, GeneralOptions& options, std::string_view name0,
                     std::string_view name1, std::string_view name2, std::string_view value,
                     std::int32_t index0, std::int32_t index1, std::int32_t, std::string* err) {
  if (name1.empty()) return DeclareLevel0(store, options, name0, value, index0, index1, err);
  if (name0 == "Screens") {
    if (name2.empty())
      return DeclareMember(store.Screens, index0, LastScreen(store), "screen", name1, value, err);
    const Member<FieldDef>* m = FindMember<FieldDef>(name2);
    if (name1 != "Screen" || !m) return true;
    if (!ScreenInRange(store, index0, err) || !InRange(index1, kMaxFieldIndex, "field", err))
      return false;
    return SetMember(store.Screens[index0].Screen[index1], *m, value, err);
  }
  if (!name2.empty()) return true;
  if (name0 == "ScreenOriginal") return DeclareOriginal(store, name1, value, index0, index1, err);
  if (name0 == "Indice") {
    if (name1 != "Screen") return true;
    if (!ScreenInRange(store, index0, err) || !InRange(index1, kMaxPosition, "position", err))
      return false;
    return ReadNumber(value, &store.Indice[index0][index1], err);
  }
  const std::int32_t lastScreen = LastScreen(store);
  if (name0 == "AdvScreens")
    return DeclareMember(store.AdvScreens, index0, lastScreen, "screen", name1, value, err);
  if (name0 == "MasterScreen")
    return DeclareMember(store.MasterScreens, index0, lastScreen, "screen", name1, value, err);
  if (name0 == "DivideFields")
    return DeclareMember(store.DivideFields, index0, kMaxDivision, "division", name1, value, err);
  return true;
}

}  // namespace tervo::config
