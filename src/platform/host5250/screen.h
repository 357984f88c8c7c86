// The 5250 display as the host left it: a 24x80 buffer of EBCDIC bytes in
// which bytes X'20'-X'3F' are attribute bytes, the format table of input
// fields, the cursor, the keyboard state and the message line.  The data
// stream parser writes it; the keyboard (typing, field exit, AID responses)
// and the field list read and change it.  No Qt, no I/O.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/host5250/ebcdic.h"

namespace tervo::host5250 {

struct InputField {
  int start = 0;   // buffer offset of the first data position (0-based)
  int length = 0;
  std::uint16_t ffw = 0;
  std::uint8_t attribute = 0x20;  // the attribute the Start of Field gave
  bool mdt = false;

  int end() const { return start + length; }  // one past the last position
  bool bypass() const;
  int shift() const;
  int adjust() const;
  bool signedNumeric() const;
};

enum class KeyboardState { kUnlocked, kSystem, kError };

class Screen {
 public:
  static constexpr int kRows = 24;
  static constexpr int kColumns = 80;
  static constexpr int kSize = kRows * kColumns;
  static constexpr int kMessageRow = 25;
  static constexpr std::size_t kMaxFields = 1000;

  Screen();

  // --- Buffer ---------------------------------------------------------------
  std::uint8_t At(int offset) const { return chars_[offset]; }
  bool IsAttributeAt(int offset) const { return attr_[offset] != 0; }
  // Writes a data byte (attr false) or an attribute byte at offset.
  void Put(int offset, std::uint8_t c, bool attr) {
    chars_[offset] = c;
    attr_[offset] = attr ? 1 : 0;
  }
  // Clear Unit: nulls everywhere, no fields, cursor home, message cleared.
  void ClearUnit();
  void ClearFormatTable();
  // Rolls rows top..bottom (1-based) by lines: positive moves text down.
  void Roll(int top, int bottom, int lines);

  // --- Fields ---------------------------------------------------------------
  const std::vector<InputField>& Fields() const { return fields_; }
  std::vector<InputField>& MutableFields() { return fields_; }
  // Index of the input field holding offset, or -1.
  int FieldAt(int offset) const;
  // Bytes of field i as the buffer holds them.
  std::string FieldData(int i) const;
  // Puts text (EBCDIC) into field i, filling the rest with nulls; sets MDT.
  void SetFieldData(int i, const std::string& ebcdic);
  bool AnyMdt() const;

  // --- Cursor ---------------------------------------------------------------
  int Cursor() const { return cursor_; }
  void SetCursor(int offset) { cursor_ = Clamp(offset); }
  // The Insert Cursor address, or -1 when the host gave none.
  int InsertCursor() const { return insert_cursor_; }
  void SetInsertCursor(int offset) { insert_cursor_ = offset; }
  // Where the cursor goes when the keyboard unlocks without an explicit
  // address: the Insert Cursor address, else the first non-bypass input
  // field, else row 1 column 1.
  int HomePosition() const;

  // --- Keyboard and message line --------------------------------------------
  KeyboardState Keyboard() const { return keyboard_; }
  void SetKeyboard(KeyboardState s) { keyboard_ = s; }
  bool Locked() const { return keyboard_ != KeyboardState::kUnlocked; }
  // The message line: row 25, and on the screen the Start of Header's
  // error row, or the last row when the header names none on the screen.
  const std::string& Message() const { return message_; }  // EBCDIC
  void SetMessage(std::string ebcdic) { message_ = std::move(ebcdic); }
  int ErrorRow() const { return error_row_; }
  void SetErrorRow(int row) { error_row_ = row; }
  // The Start of Header bytes: resequencing, error row, command key mask.
  void SetHeader(const std::string& header) { header_ = header; }
  const std::string& Header() const { return header_; }
  // False when the Start of Header says F-key n sends no field data.
  bool SendsDataForAid(std::uint8_t aid) const;

  // --- Reading --------------------------------------------------------------
  // Windows-1252 text of row (1..25), columns column..column+length-1.
  // Attribute bytes, nulls and non-display fields read as blanks.
  std::string ReadText(int row, int column, int length, const EbcdicCodec& codec) const;
  // The attribute that governs offset (the nearest attribute byte before
  // it on the screen), or normal when none precedes it.
  std::uint8_t GoverningAttribute(int offset) const;

  // A data stream that rebuilds this screen (Save Screen / Restore Screen):
  // Clear Unit, Write To Display with the fields and text, the message line,
  // then readCommand (when non-zero) so the host's read is restored too.
  std::string EncodeForSave(std::uint8_t readCommand) const;

  std::uint64_t Version() const { return version_; }
  void Touch() { ++version_; }

  static int Clamp(int offset) { return offset < 0 || offset >= kSize ? 0 : offset; }

 private:
  std::array<std::uint8_t, kSize> chars_{};
  std::array<std::uint8_t, kSize> attr_{};
  std::vector<InputField> fields_;
  int cursor_ = 0;
  int insert_cursor_ = -1;
  KeyboardState keyboard_ = KeyboardState::kSystem;
  std::string message_;
  int error_row_ = kRows;
  std::string header_;
  std::uint64_t version_ = 0;
};

}  // namespace tervo::host5250
