// The members of the configuration's records under the names the file gives
// them: one table per record, in the order the file writes them, that the
// file's reader and writer, the JSON form and the difference of two
// configurations all go by.  VisitMembers(record, f) calls f(name, member)
// for every member the file stores, in the order the record declares them
// (the order of the JSON form and of a difference); member is an int32, a
// std::string or a bool, const when the record is.
//
// What the file keeps: the writer leaves out zero numbers and texts that are
// empty, blank or "0" (docs/config-file.md), and always writes flags.  Two
// records that differ only in what the file leaves out are the same
// configuration; KeptText and the Kept overloads say what the file keeps.
#pragma once

#include <array>
#include <concepts>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <variant>
#include <vector>

#include "config/screen_store.h"

namespace tervo::config {

// Where a record holds a member: a number, a text or a flag of its own, or
// an element of an array (a screen's function keys).
template <class R>
struct MemberPointerOf {
  using type = std::variant<std::int32_t R::*, std::string R::*, bool R::*>;
};
template <>
struct MemberPointerOf<ScreenDef> {
  using type = std::variant<std::int32_t ScreenDef::*, std::string ScreenDef::*,
                            std::array<std::string, 8> ScreenDef::*>;
};
template <class R>
using MemberPointer = typename MemberPointerOf<R>::type;

template <class R>
struct Member {
  const char* name;  // the key in the file, the member in the JSON form
  MemberPointer<R> pointer;
  int element = 0;  // of an array: TeclasFuncao1 is element 0
};

// The records the file stores member by member.
template <class R>
concept StoredRecord =
    std::same_as<R, ScreenDef> || std::same_as<R, FieldDef> || std::same_as<R, CapturedField> ||
    std::same_as<R, RepeatRule> || std::same_as<R, MasterScreen> || std::same_as<R, DividedField>;

// The record's members in the order the file writes them.
template <StoredRecord R>
std::span<const Member<R>> FileMembers();
// ... in the order the record declares them.
template <StoredRecord R>
const std::vector<const Member<R>*>& DeclaredMembers();
// The member named name, or nullptr.  Names are compared exactly.
template <StoredRecord R>
const Member<R>* FindMember(std::string_view name);

// Calls f(value) with the member's value in d: an int32, a std::string or a
// bool, const when d is.
template <class D, class F, class R = std::remove_const_t<D>>
void WithMember(D& d, const Member<R>& m, F&& f) {
  std::visit(
      [&](auto pointer) {
        auto& held = d.*pointer;
        if constexpr (std::is_same_v<std::remove_cvref_t<decltype(held)>,
                                     std::array<std::string, 8>>)
          f(held[static_cast<std::size_t>(m.element)]);
        else
          f(held);
      },
      m.pointer);
}

template <class D, class F>
void VisitMembers(D& d, F&& f) {
  using R = std::remove_const_t<D>;
  for (const Member<R>* m : DeclaredMembers<R>())
    WithMember(d, *m, [&](auto& v) { f(m->name, v); });
}

// True when the file writes the text: it holds a character other than NUL
// and, blanks trimmed, is neither empty nor "0".
bool SparseTextKept(std::string_view value);
// The text as the file keeps it: the value, or "" when the file leaves it out.
inline std::string_view KeptText(const std::string& v) {
  return SparseTextKept(v) ? v : std::string_view();
}

// True when the member differs from what a freshly created store holds, as
// far as the file can tell.
inline bool Kept(std::int32_t v) { return v != 0; }
inline bool Kept(bool v) { return v; }
inline bool Kept(const std::string& v) { return SparseTextKept(v); }

// True when any member of the record is kept.
template <class D>
bool AnyKept(const D& d) {
  bool any = false;
  VisitMembers(d, [&](const char*, const auto& v) { any = any || Kept(v); });
  return any;
}

// Rows of the screen image: 25 rows of 80 characters, each followed by CR LF,
// then blanks up to 2200 characters.  An image of that form is held by its
// rows; any other image (as a hand-edited file may hold) only as a whole.
constexpr int kImageRows = 25;
constexpr int kImageColumns = 80;
bool ImageHasRows(std::string_view image);
std::string_view ImageRow(std::string_view image, int row);  // row 0..24
// An image of that form from up to 25 rows of at most 80 characters.
std::string ImageFromRows(const std::string* rows, int count);

// True when the image is all blanks, as a free screen's is.
bool ImageIsBlank(std::string_view image);

// Whether screen s (within the tables) holds anything the file keeps beyond
// what a free screen holds.
bool ScreenHasContent(const ScreenStore& store, int s);

// The field count of screen s that the file holds (Count, within 0..501).
int StoredFieldCount(const ScreenStore& store, int s);
// The highest screen number the file holds.
int LastStoredScreen(const ScreenStore& store);

}  // namespace tervo::config
