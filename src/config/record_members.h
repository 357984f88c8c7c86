// The members of the configuration's records under the names the file gives
// them, for tools that walk a whole configuration (the JSON form, the
// difference of two configurations).  VisitMembers(record, f) calls
// f(name, member) for every member the file stores, in the order the record
// declares them; member is an int32, a std::string or a bool, const when the
// record is.
//
// What the file keeps: the writer leaves out zero numbers and texts that are
// empty, blank or "0" (docs/config-file.md), and always writes flags.  Two
// records that differ only in what the file leaves out are the same
// configuration; KeptText and the Kept overloads say what the file keeps.
#pragma once

#include <concepts>
#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>

#include "config/screen_store.h"

namespace tervo::config {

// D is R or const R.
template <class D, class R>
concept Record = std::same_as<std::remove_const_t<D>, R>;

// True when the file writes the text: it holds a character other than NUL
// and, blanks trimmed, is neither empty nor "0".
bool SparseTextKept(std::string_view value);
// The text as the file keeps it: the value, or "" when the file leaves it out.
inline std::string_view KeptText(const std::string& v) {
  return SparseTextKept(v) ? v : std::string_view();
}

template <class D, class F>
requires Record<D, ScreenDef>
void VisitMembers(D& d, F&& f) {
  f("ScreenId", d.ScreenId);
  f("ScreenIdUser", d.ScreenIdUser);
  f("CheckScreenIdUser", d.CheckScreenIdUser);
  f("ScreenIdTerminal", d.ScreenIdTerminal);
  f("CheckScreenIdTerm", d.CheckScreenIdTerm);
  f("FieldScr", d.FieldScr);
  f("EscKey", d.EscKey);
  f("Master", d.Master);
  f("MultipleInputFather", d.MultipleInputFather);
  f("MasterAux", d.MasterAux);
  f("DontSendToTerminal", d.DontSendToTerminal);
  f("KeysAfterEnter", d.KeysAfterEnter);
  static constexpr const char* kLabels[8] = {"TeclasFuncao1", "TeclasFuncao2", "TeclasFuncao3",
                                             "TeclasFuncao4", "TeclasFuncao5", "TeclasFuncao6",
                                             "TeclasFuncao7", "TeclasFuncao8"};
  static constexpr const char* kValues[8] = {
      "TeclasFuncaoVal1", "TeclasFuncaoVal2", "TeclasFuncaoVal3", "TeclasFuncaoVal4",
      "TeclasFuncaoVal5", "TeclasFuncaoVal6", "TeclasFuncaoVal7", "TeclasFuncaoVal8"};
  for (int k = 0; k < 8; ++k) f(kLabels[k], d.TeclasFuncao[k]);
  for (int k = 0; k < 8; ++k) f(kValues[k], d.TeclasFuncaoVal[k]);
}

template <class D, class F>
requires Record<D, FieldDef>
void VisitMembers(D& d, F&& f) {
  f("FieldPos", d.FieldPos);
  f("Size", d.Size);
  f("NewLine", d.NewLine);
  f("Show", d.Show);
  f("AuxText", d.AuxText);
  f("SizeTextAux", d.SizeTextAux);
  f("Order", d.Order);
  f("Barcode", d.Barcode);
  f("AutoEnter", d.AutoEnter);
  f("Title", d.Title);
  f("Protected", d.Protected);
  f("InputField", d.InputField);
  f("SendWithEnter", d.SendWithEnter);
  f("flag2", d.flag2);
  f("Flag", d.Flag);
  f("UserId", d.UserId);
  f("Divided", d.Divided);
  f("JoinField", d.JoinField);
}

template <class D, class F>
requires Record<D, CapturedField>
void VisitMembers(D& d, F&& f) {
  f("Text", d.Text);
  f("Size", d.Size);
  f("Protected", d.Protected);
  f("StartRow", d.StartRow);
  f("StartColumn", d.StartColumn);
  f("EndRow", d.EndRow);
  f("EndColumn", d.EndColumn);
  f("Length", d.Length);
  f("Underlined", d.Underlined);
  f("AType", d.AType);
  f("Justify", d.Justify);
  f("Hidden", d.Hidden);
  f("AutoEnter", d.AutoEnter);
}

template <class D, class F>
requires Record<D, RepeatRule>
void VisitMembers(D& d, F&& f) {
  f("Active", d.Active);
  f("Keys", d.Keys);
  f("TKeys", d.TKeys);
  f("When", d.When);
  f("Counter", d.Counter);
  f("Wait", d.Wait);
  f("CounterVal", d.CounterVal);
  f("Keys1", d.Keys1);
  f("Keys2", d.Keys2);
  f("SubCounter1", d.SubCounter1);
  f("SubCounter2", d.SubCounter2);
  f("IfCounter", d.IfCounter);
}

// aux4l is held in the record but never stored, so it is not visited.
template <class D, class F>
requires Record<D, MasterScreen>
void VisitMembers(D& d, F&& f) {
  f("MoveV", d.MoveV);
  f("CopyText", d.CopyText);
  f("aux1", d.aux1);
  f("aux2", d.aux2);
  f("aux3", d.aux3);
  f("aux4", d.aux4);
  f("aux5", d.aux5);
  f("aux1l", d.aux1l);
  f("aux2l", d.aux2l);
  f("aux3l", d.aux3l);
  f("aux5l", d.aux5l);
}

template <class D, class F>
requires Record<D, DividedField>
void VisitMembers(D& d, F&& f) {
  f("ScrNum", d.ScrNum);
  f("FieldNum", d.FieldNum);
  f("pos", d.pos);
  f("Size", d.Size);
  f("NewLine", d.NewLine);
  f("Special", d.Special);
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
