#include "platform/host5250/screen.h"

#include <algorithm>

#include "platform/host5250/datastream.h"

namespace tervo::host5250 {

bool InputField::bypass() const { return (ffw & ds::kFfwBypass) != 0; }
int InputField::shift() const { return (ffw & ds::kFfwShiftMask) >> 8; }
int InputField::adjust() const { return ffw & ds::kFfwAdjustMask; }
bool InputField::signedNumeric() const { return shift() == ds::kShiftSignedNumeric; }

Screen::Screen() { ClearUnit(); }

void Screen::ClearUnit() {
  chars_.fill(0);
  attr_.fill(0);
  fields_.clear();
  cursor_ = 0;
  insert_cursor_ = -1;
  message_.clear();
  error_row_ = kRows;
  header_.clear();
  keyboard_ = KeyboardState::kSystem;
  Touch();
}

void Screen::ClearFormatTable() {
  fields_.clear();
  header_.clear();
  insert_cursor_ = -1;
  keyboard_ = keyboard_ == KeyboardState::kError ? keyboard_ : KeyboardState::kSystem;
  Touch();
}

void Screen::Roll(int top, int bottom, int lines) {
  if (top < 1 || bottom > kRows || top > bottom || lines == 0) return;
  const int height = bottom - top + 1;
  const int n = std::min(height, lines < 0 ? -lines : lines);
  auto row = [](int r) { return (r - 1) * kColumns; };
  if (lines > 0) {  // text moves down; the top rows come free
    for (int r = bottom; r >= top + n; --r) {
      std::copy_n(chars_.begin() + row(r - n), kColumns, chars_.begin() + row(r));
      std::copy_n(attr_.begin() + row(r - n), kColumns, attr_.begin() + row(r));
    }
    std::fill_n(chars_.begin() + row(top), n * kColumns, 0);
    std::fill_n(attr_.begin() + row(top), n * kColumns, 0);
  } else {
    for (int r = top; r + n <= bottom; ++r) {
      std::copy_n(chars_.begin() + row(r + n), kColumns, chars_.begin() + row(r));
      std::copy_n(attr_.begin() + row(r + n), kColumns, attr_.begin() + row(r));
    }
    std::fill_n(chars_.begin() + row(bottom - n + 1), n * kColumns, 0);
    std::fill_n(attr_.begin() + row(bottom - n + 1), n * kColumns, 0);
  }
  Touch();
}

int Screen::FieldAt(int offset) const {
  for (std::size_t i = 0; i < fields_.size(); ++i) {
    if (offset >= fields_[i].start && offset < fields_[i].end()) return static_cast<int>(i);
  }
  return -1;
}

std::string Screen::FieldData(int i) const {
  const InputField& f = fields_[i];
  std::string out;
  out.reserve(f.length);
  for (int p = f.start; p < f.end(); ++p) out.push_back(static_cast<char>(chars_[p]));
  return out;
}

void Screen::SetFieldData(int i, const std::string& ebcdic) {
  InputField& f = fields_[i];
  for (int k = 0; k < f.length; ++k) {
    std::uint8_t c = k < static_cast<int>(ebcdic.size()) ? static_cast<std::uint8_t>(ebcdic[k]) : 0;
    Put(f.start + k, c, false);
  }
  f.mdt = true;
  Touch();
}

bool Screen::AnyMdt() const {
  return std::any_of(fields_.begin(), fields_.end(), [](const InputField& f) { return f.mdt; });
}

int Screen::HomePosition() const {
  if (insert_cursor_ >= 0) return insert_cursor_;
  for (const InputField& f : fields_) {
    if (!f.bypass()) return f.start;
  }
  return 0;
}

bool Screen::SendsDataForAid(std::uint8_t aid) const {
  if (header_.size() < 7) return true;
  int n = 0;
  if (aid >= ds::kAidF1 && aid <= ds::kAidF1 + 11) n = aid - ds::kAidF1 + 1;
  else if (aid >= ds::kAidF13 && aid <= ds::kAidF13 + 11) n = aid - ds::kAidF13 + 13;
  else return true;
  // Byte 6 holds F1-F8, byte 5 F9-F16, byte 4 F17-F24, lowest bit first.
  const int byte = 6 - (n - 1) / 8;
  const int bit = (n - 1) % 8;
  return (static_cast<std::uint8_t>(header_[byte]) & (1u << bit)) == 0;
}

std::uint8_t Screen::GoverningAttribute(int offset) const {
  for (int p = offset; p >= 0; --p) {
    if (attr_[p]) return chars_[p];
  }
  return ds::kAttrNormal;
}

std::string Screen::ReadText(int row, int column, int length, const EbcdicCodec& codec) const {
  std::string out;
  if (length <= 0) return out;
  out.assign(static_cast<std::size_t>(length), ' ');
  if (row < 1 || row > kMessageRow) return out;
  const bool messageHere = !message_.empty() && (row == kMessageRow || row == error_row_);
  if (messageHere) {
    for (int k = 0; k < length; ++k) {
      int c = column - 1 + k;
      if (c >= 0 && c < static_cast<int>(message_.size()) && c < kColumns &&
          !ds::IsAttribute(static_cast<std::uint8_t>(message_[c]))) {
        out[k] = codec.ToLocal(static_cast<std::uint8_t>(message_[c]));
      }
    }
    return out;
  }
  if (row == kMessageRow) return out;
  const int first = std::max(column, 1);
  const int last = std::min(column + length - 1, kColumns);
  if (first > last) return out;
  const int base = (row - 1) * kColumns;
  std::uint8_t attr = GoverningAttribute(base + first - 1);
  for (int c = first; c <= last; ++c) {
    const int p = base + c - 1;
    if (attr_[p]) {
      attr = chars_[p];
      continue;  // attribute bytes show as blanks
    }
    if (!ds::IsNonDisplay(attr)) out[c - column] = codec.ToLocal(chars_[p]);
  }
  return out;
}

std::string Screen::EncodeForSave(std::uint8_t readCommand) const {
  std::string s;
  auto put = [&s](int b) { s.push_back(static_cast<char>(b)); };
  put(ds::kEsc);
  put(ds::kCmdClearUnit);
  put(ds::kEsc);
  put(ds::kCmdWriteToDisplay);
  put(0x00);
  put(0x00);
  if (!header_.empty()) {
    put(ds::kOrderStartOfHeader);
    put(static_cast<int>(header_.size()));
    s += header_;
  }
  put(ds::kOrderSetBufferAddress);
  put(1);
  put(1);
  // Field definitions are replayed at their attribute positions; a field
  // starting at offset 0 has no attribute position and cannot be replayed.
  std::vector<int> sfAt(kSize, -1);
  for (std::size_t i = 0; i < fields_.size(); ++i) {
    if (fields_[i].start > 0) sfAt[fields_[i].start - 1] = static_cast<int>(i);
  }
  for (int p = 0; p < kSize; ++p) {
    if (sfAt[p] >= 0) {
      const InputField& f = fields_[sfAt[p]];
      std::uint16_t ffw = static_cast<std::uint16_t>((f.ffw | 0x4000) & ~ds::kFfwMdt);
      if (f.mdt) ffw |= ds::kFfwMdt;
      put(ds::kOrderStartOfField);
      put(ffw >> 8);
      put(ffw & 0xFF);
      put(attr_[p] ? chars_[p] : f.attribute);
      put(f.length >> 8);
      put(f.length & 0xFF);
      continue;
    }
    const std::uint8_t c = chars_[p];
    if (attr_[p] || c == 0 || c >= 0x40) {
      put(c);
    } else {
      // A control byte held as data would read back as an order.
      put(ds::kOrderTransparentData);
      put(0);
      put(1);
      put(c);
    }
  }
  put(ds::kOrderInsertCursor);
  put(cursor_ / kColumns + 1);
  put(cursor_ % kColumns + 1);
  if (!message_.empty()) {
    put(ds::kEsc);
    put(ds::kCmdWriteErrorCode);
    s += message_;
  }
  if (readCommand != 0) {
    put(ds::kEsc);
    put(readCommand);
    put(0x00);
    put(0x00);
  }
  return s;
}

}  // namespace tervo::host5250
