#include "platform/host5250/keyboard_input.h"

#include <algorithm>

#include "platform/host5250/datastream.h"
#include "platform/host5250/monocase.h"

namespace tervo::host5250 {
namespace {

bool IsLetter(char c) {
  auto u = static_cast<unsigned char>(c);
  return (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || (u >= 0xC0 && u != 0xD7 && u != 0xF7);
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The non-bypass input fields ordered by screen position.
std::vector<int> TabOrder(const Screen& screen) {
  std::vector<int> order;
  const auto& fields = screen.Fields();
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (!fields[i].bypass() && fields[i].length > 0) order.push_back(static_cast<int>(i));
  }
  std::stable_sort(order.begin(), order.end(),
                   [&](int a, int b) { return fields[a].start < fields[b].start; });
  return order;
}

}  // namespace

void TabForward(Screen& screen) {
  const auto order = TabOrder(screen);
  if (order.empty()) return;
  const int cursor = screen.Cursor();
  for (int i : order) {
    if (screen.Fields()[i].start > cursor) {
      screen.SetCursor(screen.Fields()[i].start);
      return;
    }
  }
  screen.SetCursor(screen.Fields()[order.front()].start);
}

void TabBackward(Screen& screen) {
  const auto order = TabOrder(screen);
  if (order.empty()) return;
  const int cursor = screen.Cursor();
  const int here = screen.FieldAt(cursor);
  if (here >= 0 && !screen.Fields()[here].bypass() && cursor > screen.Fields()[here].start) {
    screen.SetCursor(screen.Fields()[here].start);
    return;
  }
  for (auto it = order.rbegin(); it != order.rend(); ++it) {
    if (screen.Fields()[*it].start < cursor) {
      screen.SetCursor(screen.Fields()[*it].start);
      return;
    }
  }
  screen.SetCursor(screen.Fields()[order.back()].start);
}

TypeResult TypeCharacter(Screen& screen, char c, const EbcdicCodec& codec, std::string* err) {
  const int cursor = screen.Cursor();
  const int index = screen.FieldAt(cursor);
  if (index < 0 || screen.Fields()[index].bypass()) {
    if (err) *err = "Cursor in protected area of display.";
    return TypeResult::kRefused;
  }
  InputField& f = screen.MutableFields()[index];
  const int dataEnd = f.signedNumeric() ? f.end() - 1 : f.end();
  if (cursor >= dataEnd) {
    if (err) *err = "Key for sign position of field not valid.";
    return TypeResult::kRefused;
  }
  switch (f.shift()) {
    case ds::kShiftAlphabeticOnly:
      if (!IsLetter(c) && c != ',' && c != '.' && c != '-' && c != ' ') {
        if (err) *err = "Field requires alphabetic characters.";
        return TypeResult::kRefused;
      }
      break;
    case ds::kShiftNumericOnly:
      if (!IsDigit(c) && c != '+' && c != ',' && c != '.' && c != '-' && c != ' ') {
        if (err) *err = "Field requires numeric characters.";
        return TypeResult::kRefused;
      }
      break;
    case ds::kShiftDigitsOnly:
    case ds::kShiftSignedNumeric:
      if (!IsDigit(c)) {
        if (err) *err = "Only characters 0 through 9 allowed.";
        return TypeResult::kRefused;
      }
      break;
    default:
      break;
  }
  if (f.ffw & ds::kFfwMonocase) c = UpperCase1252(c);
  screen.Put(cursor, codec.ToHost(c), false);
  f.mdt = true;
  const bool autoEnter = (f.ffw & ds::kFfwAutoEnter) != 0;
  if (cursor + 1 < dataEnd) {
    screen.SetCursor(cursor + 1);
  } else if (autoEnter) {
    screen.SetCursor(cursor + 1 < f.end() ? cursor + 1 : cursor);
  } else {
    TabForward(screen);
  }
  screen.Touch();
  return autoEnter && cursor + 1 >= dataEnd ? TypeResult::kTypedAutoEnter : TypeResult::kTyped;
}

bool EraseToEndOfField(Screen& screen, std::string* err) {
  const int cursor = screen.Cursor();
  const int index = screen.FieldAt(cursor);
  if (index < 0 || screen.Fields()[index].bypass()) {
    if (err) *err = "Cursor in protected area of display.";
    return false;
  }
  InputField& f = screen.MutableFields()[index];
  for (int p = cursor; p < f.end(); ++p) screen.Put(p, 0, false);
  f.mdt = true;
  screen.Touch();
  return true;
}

}  // namespace tervo::host5250
