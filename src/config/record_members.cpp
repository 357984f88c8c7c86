#include "config/record_members.h"

#include <algorithm>
#include <functional>
#include <unordered_map>

#include "config/text.h"
#include "platform/os/blank_text.h"

namespace tervo::config {

namespace {

using SD = ScreenDef;
using FD = FieldDef;
using CF = CapturedField;
using RR = RepeatRule;
using MS = MasterScreen;
using DF = DividedField;

// Each in the order the file writes the record's lines.
constexpr Member<SD> kScreenMembers[] = {
    {"CheckScreenIdTerm", &SD::CheckScreenIdTerm},
    {"CheckScreenIdUser", &SD::CheckScreenIdUser},
    {"DontSendToTerminal", &SD::DontSendToTerminal},
    {"EscKey", &SD::EscKey},
    {"FieldScr", &SD::FieldScr},
    {"KeysAfterEnter", &SD::KeysAfterEnter},
    {"Master", &SD::Master},
    {"MasterAux", &SD::MasterAux},
    {"MultipleInputFather", &SD::MultipleInputFather},
    {"ScreenId", &SD::ScreenId},
    {"ScreenIdTerminal", &SD::ScreenIdTerminal},
    {"ScreenIdUser", &SD::ScreenIdUser},
    {"TeclasFuncao1", &SD::TeclasFuncao, 0},
    {"TeclasFuncao2", &SD::TeclasFuncao, 1},
    {"TeclasFuncao3", &SD::TeclasFuncao, 2},
    {"TeclasFuncao4", &SD::TeclasFuncao, 3},
    {"TeclasFuncao5", &SD::TeclasFuncao, 4},
    {"TeclasFuncao6", &SD::TeclasFuncao, 5},
    {"TeclasFuncao7", &SD::TeclasFuncao, 6},
    {"TeclasFuncao8", &SD::TeclasFuncao, 7},
    {"TeclasFuncaoVal1", &SD::TeclasFuncaoVal, 0},
    {"TeclasFuncaoVal2", &SD::TeclasFuncaoVal, 1},
    {"TeclasFuncaoVal3", &SD::TeclasFuncaoVal, 2},
    {"TeclasFuncaoVal4", &SD::TeclasFuncaoVal, 3},
    {"TeclasFuncaoVal5", &SD::TeclasFuncaoVal, 4},
    {"TeclasFuncaoVal6", &SD::TeclasFuncaoVal, 5},
    {"TeclasFuncaoVal7", &SD::TeclasFuncaoVal, 6},
    {"TeclasFuncaoVal8", &SD::TeclasFuncaoVal, 7},
};

constexpr Member<FD> kFieldMembers[] = {
    {"AutoEnter", &FD::AutoEnter},
    {"flag2", &FD::flag2},
    {"AuxText", &FD::AuxText},
    {"Barcode", &FD::Barcode},
    {"FieldPos", &FD::FieldPos},
    {"Flag", &FD::Flag},
    {"InputField", &FD::InputField},
    {"NewLine", &FD::NewLine},
    {"Order", &FD::Order},
    {"Protected", &FD::Protected},
    {"SendWithEnter", &FD::SendWithEnter},
    {"Show", &FD::Show},
    {"Size", &FD::Size},
    {"SizeTextAux", &FD::SizeTextAux},
    {"Title", &FD::Title},
    {"UserId", &FD::UserId},
    {"Divided", &FD::Divided},
    {"JoinField", &FD::JoinField},
};

// One captured field's lines; the block's Count is its own line.
constexpr Member<CF> kCaptureMembers[] = {
    {"Protected", &CF::Protected},   {"Size", &CF::Size},     {"Text", &CF::Text},
    {"EndColumn", &CF::EndColumn},   {"EndRow", &CF::EndRow}, {"StartColumn", &CF::StartColumn},
    {"StartRow", &CF::StartRow},     {"Length", &CF::Length}, {"AType", &CF::AType},
    {"AutoEnter", &CF::AutoEnter},   {"Hidden", &CF::Hidden}, {"Justify", &CF::Justify},
    {"Underlined", &CF::Underlined},
};

constexpr Member<RR> kRepeatMembers[] = {
    {"Active", &RR::Active},
    {"Counter", &RR::Counter},
    {"CounterVal", &RR::CounterVal},
    {"IfCounter", &RR::IfCounter},
    {"Keys", &RR::Keys},
    {"Keys1", &RR::Keys1},
    {"Keys2", &RR::Keys2},
    {"SubCounter1", &RR::SubCounter1},
    {"SubCounter2", &RR::SubCounter2},
    {"TKeys", &RR::TKeys},
    {"Wait", &RR::Wait},
    {"When", &RR::When},
};

// aux4l is held in the record but was never stored in the file.
constexpr Member<MS> kMasterMembers[] = {
    {"aux1", &MS::aux1},         {"aux1l", &MS::aux1l}, {"aux2", &MS::aux2},
    {"aux2l", &MS::aux2l},       {"aux3", &MS::aux3},   {"aux3l", &MS::aux3l},
    {"aux4", &MS::aux4},         {"aux5", &MS::aux5},   {"aux5l", &MS::aux5l},
    {"CopyText", &MS::CopyText}, {"MoveV", &MS::MoveV},
};

constexpr Member<DF> kDivisionMembers[] = {
    {"ScrNum", &DF::ScrNum}, {"FieldNum", &DF::FieldNum}, {"pos", &DF::pos},
    {"Size", &DF::Size},     {"NewLine", &DF::NewLine},   {"Special", &DF::Special},
};

// Where the member lies in a record, to order members as the record
// declares them.
template <class R>
const void* PlaceIn(const R& r, const Member<R>& m) {
  const void* place = nullptr;
  WithMember(r, m, [&](const auto& v) { place = &v; });
  return place;
}

}  // namespace

template <>
std::span<const Member<SD>> FileMembers<SD>() {
  return kScreenMembers;
}
template <>
std::span<const Member<FD>> FileMembers<FD>() {
  return kFieldMembers;
}
template <>
std::span<const Member<CF>> FileMembers<CF>() {
  return kCaptureMembers;
}
template <>
std::span<const Member<RR>> FileMembers<RR>() {
  return kRepeatMembers;
}
template <>
std::span<const Member<MS>> FileMembers<MS>() {
  return kMasterMembers;
}
template <>
std::span<const Member<DF>> FileMembers<DF>() {
  return kDivisionMembers;
}

template <StoredRecord R>
const std::vector<const Member<R>*>& DeclaredMembers() {
  static const std::vector<const Member<R>*> members = [] {
    static const R sample{};
    std::vector<const Member<R>*> v;
    for (const Member<R>& m : FileMembers<R>()) v.push_back(&m);
    std::sort(v.begin(), v.end(), [](const Member<R>* a, const Member<R>* b) {
      return std::less<const void*>()(PlaceIn(sample, *a), PlaceIn(sample, *b));
    });
    return v;
  }();
  return members;
}

template <StoredRecord R>
const Member<R>* FindMember(std::string_view name) {
  static const std::unordered_map<std::string_view, const Member<R>*> byName = [] {
    std::unordered_map<std::string_view, const Member<R>*> m;
    for (const Member<R>& member : FileMembers<R>()) m.emplace(member.name, &member);
    return m;
  }();
  auto it = byName.find(name);
  return it == byName.end() ? nullptr : it->second;
}

template const std::vector<const Member<SD>*>& DeclaredMembers<SD>();
template const std::vector<const Member<FD>*>& DeclaredMembers<FD>();
template const std::vector<const Member<CF>*>& DeclaredMembers<CF>();
template const std::vector<const Member<RR>*>& DeclaredMembers<RR>();
template const std::vector<const Member<MS>*>& DeclaredMembers<MS>();
template const std::vector<const Member<DF>*>& DeclaredMembers<DF>();
template const Member<SD>* FindMember<SD>(std::string_view);
template const Member<FD>* FindMember<FD>(std::string_view);
template const Member<CF>* FindMember<CF>(std::string_view);
template const Member<RR>* FindMember<RR>(std::string_view);
template const Member<MS>* FindMember<MS>(std::string_view);
template const Member<DF>* FindMember<DF>(std::string_view);

// The writer encodes control characters (never blanks) before it trims, so
// trimming the raw value gives the same answer.
bool SparseTextKept(std::string_view value) {
  if (value.find_first_not_of('\0') == std::string_view::npos) return false;
  const std::string_view t = os::BlankTrimmed(value);
  return !t.empty() && t != "0";
}

namespace {
constexpr std::size_t kRowStride = kImageColumns + 2;
constexpr std::size_t kRowsEnd = kImageRows * kRowStride;
}  // namespace

bool ImageHasRows(std::string_view image) {
  if (image.size() != static_cast<std::size_t>(kScreenAspectSize)) return false;
  for (std::size_t r = 0; r < kImageRows; ++r) {
    if (image.substr(r * kRowStride + kImageColumns, 2) != "\r\n") return false;
  }
  return image.find_first_not_of(' ', kRowsEnd) == std::string_view::npos;
}

std::string_view ImageRow(std::string_view image, int row) {
  return image.substr(static_cast<std::size_t>(row) * kRowStride, kImageColumns);
}

std::string ImageFromRows(const std::string* rows, int count) {
  std::string image;
  image.reserve(kScreenAspectSize);
  for (int r = 0; r < kImageRows; ++r) {
    image += text::PadRight(r < count ? rows[r] : std::string(), kImageColumns);
    image += "\r\n";
  }
  image.resize(kScreenAspectSize, ' ');
  return image;
}

bool ImageIsBlank(std::string_view image) {
  return image.find_first_not_of(' ') == std::string_view::npos;
}

bool ScreenHasContent(const ScreenStore& store, int s) {
  const auto i = static_cast<std::size_t>(s);
  bool indexed = false;
  for (std::int32_t v : store.Indice[i]) indexed = indexed || v != -1;
  return AnyKept(store.Screens[i]) || StoredFieldCount(store, s) > 0 || indexed ||
         !ImageIsBlank(store.ScreenAspect[i]) || AnyKept(store.AdvScreens[i]) ||
         AnyKept(store.MasterScreens[i]);
}

int StoredFieldCount(const ScreenStore& store, int s) {
  return std::clamp<std::int32_t>(store.Originals[static_cast<std::size_t>(s)].Count, 0,
                                  kFieldSlots);
}

int LastStoredScreen(const ScreenStore& store) {
  return std::min<int>(store.NumeroMaximoDeEcrans, store.ScreenTableSize() - 1);
}

}  // namespace tervo::config
