// The screen's field collection as a 5250 emulator's field list presents
// it: every field in screen order, the input fields of the format table and
// the protected display fields between attribute bytes (text written before
// the first attribute byte forms a field of its own).  Type and Justify
// codes come from the field format word; docs/host-fields.md lists them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/host5250/ebcdic.h"
#include "platform/host5250/host_display.h"
#include "platform/host5250/screen.h"

namespace tervo::host5250 {

// Type codes.  0-6 are the 5250 shift/edit codes of the FFW; signed-numeric
// fields (FFW shift 7) report 8 so that the write-back keeps their sign
// position; protected display fields report 0.
inline constexpr int kTypeAlphanumeric = 0;
inline constexpr int kTypeAlphabeticOnly = 1;
inline constexpr int kTypeNumericShift = 2;
inline constexpr int kTypeNumericOnly = 3;
inline constexpr int kTypeKatakana = 4;
inline constexpr int kTypeDigitsOnly = 5;
inline constexpr int kTypeIo = 6;
inline constexpr int kTypeSignedNumeric = 8;

// Justify codes from the FFW's right-adjust / mandatory-fill bits.
inline constexpr int kJustifyNone = 0;
inline constexpr int kJustifyRightZeroFill = 1;
inline constexpr int kJustifyRightBlankFill = 2;
inline constexpr int kJustifyMandatoryFill = 3;

int FieldType(std::uint16_t ffw);
int FieldJustify(std::uint16_t ffw);

// One entry: the display field and, for input fields, the format table index.
struct ListedField {
  DisplayField field;
  int input = -1;
};

std::vector<ListedField> BuildFieldList(const Screen& screen, const EbcdicCodec& codec);

// The FieldCollection over a live screen; rebuilt when the screen changes.
class ScreenFields : public FieldCollection {
 public:
  ScreenFields(Screen& screen, const EbcdicCodec& codec) : screen_(screen), codec_(codec) {}
  int Count() const override;
  DisplayField Item(int i) const override;
  // Protected fields refuse writes (false, nothing changes).  Text longer
  // than the field is cut; shorter text leaves nulls behind it, as Erase EOF
  // would.  Monocase fields take upper case.
  bool SetText(int i, const std::string& text) override;

 private:
  const std::vector<ListedField>& List() const;
  Screen& screen_;
  const EbcdicCodec& codec_;
  mutable std::vector<ListedField> cache_;
  mutable std::uint64_t cache_version_ = ~std::uint64_t{0};
};

}  // namespace tervo::host5250
