#include "editors/divided_fields.h"

#include <algorithm>

namespace tervo::editors {

namespace {

std::size_t U(int i) { return static_cast<std::size_t>(i); }

// The entries rendering and saving look at: 0..DivideFieldsCt, the slot at
// DivideFieldsCt included, so that whatever the terminal shows can be
// removed.
int LastVisibleEntry(const config::ScreenStore& store) {
  return std::clamp(store.DivideFieldsCt, 0, config::kMaxDivision);
}

bool PartOf(const config::DividedField& e, int screen, int field) {
  return e.ScrNum == screen && e.FieldNum == field;
}

void SetDivided(config::ScreenStore& store, int screen, int field, bool divided) {
  if (store.ValidScreen(screen) && config::ScreenStore::ValidField(field))
    store.Screens[U(screen)].Screen[U(field)].Divided = divided;
}

}  // namespace

int FindField(const config::ScreenStore& store, int screen, int column, int row) {
  if (!store.ValidScreen(screen)) return -1;
  const config::ScreenOriginal& o = store.Originals[U(screen)];
  const long p = static_cast<long>(row) * 80 + column;
  const int count = std::clamp(o.Count, 0, config::kFieldSlots);
  for (int j = 0; j < count; ++j) {
    const long start = static_cast<long>(o[j].StartRow) * 80 + o[j].StartColumn;
    const long end = static_cast<long>(o[j].EndRow) * 80 + o[j].EndColumn;
    if (start <= p && p <= end) return j;
  }
  return -1;
}

// Only the entries in use (0..DivideFieldsCt - 1) can be moved.  The slot
// at DivideFieldsCt is where the next part goes: a stale part left there
// (slots are not cleared by ClearAllScreens) would otherwise be "moved" and
// then overwritten by the next part of any other field.
bool InsertNewDividedField(config::ScreenStore& store, int screen, int field, int pos, int size,
                           int newLine, std::string* err) {
  const int used = std::clamp(store.DivideFieldsCt, 0, config::kDivisionSlots);
  for (int i = 0; i < used; ++i) {
    config::DividedField& e = store.DivideFields[U(i)];
    if (!PartOf(e, screen, field)) continue;
    if (e.pos < pos && pos < e.pos + e.Size) {
      e.pos = pos;
      e.Size = size;
      e.NewLine = newLine;
      return true;
    }
  }
  if (!config::ScreenStore::ValidDivision(used)) {
    if (err)
      *err =
          "the divided-field table is full (" + std::to_string(config::kDivisionSlots) + " parts)";
    return false;
  }
  config::DividedField& e = store.DivideFields[U(used)];
  e.ScrNum = screen;
  e.FieldNum = field;
  e.pos = pos;
  e.Size = size;
  e.NewLine = newLine;
  e.Special = 0;
  store.DivideFieldsCt = used + 1;
  return true;
}

void RemoveDividedField(config::ScreenStore& store, int screen, int field, int pos, int size) {
  const int last = LastVisibleEntry(store);
  bool left = false;
  for (int i = 0; i <= last; ++i) {
    config::DividedField& e = store.DivideFields[U(i)];
    if (!PartOf(e, screen, field)) continue;
    if (e.pos <= pos && pos + size <= e.pos + e.Size)
      e.ScrNum = -1;
    else
      left = true;
  }
  if (!left) SetDivided(store, screen, field, false);
}

void RemoveFieldParts(config::ScreenStore& store, int screen, int field) {
  const int last = LastVisibleEntry(store);
  for (int i = 0; i <= last; ++i) {
    config::DividedField& e = store.DivideFields[U(i)];
    if (PartOf(e, screen, field)) e.ScrNum = -1;
  }
}

void DivideFieldDialog::Open(int screen, int field, int textStart, int textLen) {
  screen_ = screen;
  field_ = field;
  start_ = textStart;
  len_ = textLen;
}

int DivideFieldDialog::FieldUnderSelection() const {
  if (start_ < 0) return -1;
  const int row = start_ / kImageRowWidth + 1;
  const int column = start_ % kImageRowWidth + 1;
  return FindField(store_, screen_, column, row);
}

// Field 0 is a field like any other (often the first row's title or data),
// so it may be divided too.
bool DivideFieldDialog::InsertField(std::string* err) {
  field_ = FieldUnderSelection();
  if (field_ < 0 || !config::ScreenStore::ValidField(field_)) return true;
  config::FieldDef& f = store_.Screens[U(screen_)].Screen[U(field_)];
  if (f.InputField != 0) return true;
  if (!InsertNewDividedField(store_, screen_, field_, start_, len_, -1, err)) return false;
  f.Divided = true;
  return true;
}

void DivideFieldDialog::RemoveField() {
  field_ = FieldUnderSelection();
  if (field_ < 0 || !config::ScreenStore::ValidField(field_)) return;
  RemoveDividedField(store_, screen_, field_, start_, len_);
}

}  // namespace tervo::editors
