// Divided fields: one long host output field cut into parts that the
// terminal shows as fields of their own ('Article 12345  Qty 10  Loc A-01'
// becomes three lines).  A part is a DivideFields entry of its screen and
// field; ScrNum -1 marks a removed one.  The operator marks a part by
// selecting it in the screen image of the screens report, whose rows hold
// 80 characters and CR LF (82 a row).
#pragma once

#include <string>

#include "config/screen_store.h"

namespace tervo::editors {

constexpr int kImageRowWidth = 82;  // 80 characters and CR LF

// The first captured field of the screen whose span (start to end, as
// row * 80 + column) holds (row, column); -1 when none does or the screen
// is outside the tables.
int FindField(const config::ScreenStore& store, int screen, int column, int row);

// Adds a part of `size` characters at image offset pos to the field.  A
// selection that starts strictly inside an existing part of the field moves
// that part instead.  False with *err when the table has no slot left (the
// part is not added).  New parts carry Special 0.
bool InsertNewDividedField(config::ScreenStore& store, int screen, int field, int pos, int size,
                           int newLine, std::string* err);

// Removes every part of the field that contains the whole selection; the
// field is no longer divided when none of its parts is left.  Removed
// entries keep their slot (DivideFieldsCt never shrinks here).
void RemoveDividedField(config::ScreenStore& store, int screen, int field, int pos, int size);

// Removes every part of one field (the editor's "Divided in small fields"
// cleared and confirmed).
void RemoveFieldParts(config::ScreenStore& store, int screen, int field);

// "Divide field": the screens report hands over its screen, field and
// selection (offset and length in the image text); "Insert Field" and
// "Remove Field" work on the field under the selection's start.
class DivideFieldDialog {
 public:
  explicit DivideFieldDialog(config::ScreenStore& store) : store_(store) {}

  void Open(int screen, int field, int textStart, int textLen);
  int ShowScreen() const { return screen_; }
  int Field() const { return field_; }
  int TextStart() const { return start_; }
  int TextLen() const { return len_; }

  // Each ends the dialog; false with *err when the table refused the part.
  // A selection on no field, or on an input field, changes nothing.
  bool InsertField(std::string* err);
  void RemoveField();

 private:
  int FieldUnderSelection() const;

  config::ScreenStore& store_;
  int screen_ = 0;
  int field_ = -1;
  int start_ = 0;
  int len_ = 0;
};

}  // namespace tervo::editors
