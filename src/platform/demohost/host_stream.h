// Builds the 5250 data stream a host sends: commands and Write To Display
// orders, with text converted to EBCDIC.  The client's side only parses
// these; the demo host is the one place that writes them.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

#include "platform/host5250/ebcdic.h"

namespace tervo::demohost {

class HostStream {
 public:
  explicit HostStream(const host5250::EbcdicCodec& codec) : codec_(codec) {}

  // --- commands ---
  void ClearUnit();
  // cc1: MDT/null resets and keyboard lock; cc2: unlock, alarm, cursor.
  void WriteToDisplay(std::uint8_t cc1, std::uint8_t cc2);
  void ReadMdtFields(std::uint8_t cc1 = 0, std::uint8_t cc2 = 0);
  void ReadInputFields(std::uint8_t cc1 = 0, std::uint8_t cc2 = 0);
  // The message goes to the error line and the keyboard locks until the
  // operator presses Reset; the cursor goes to (row, column) when row > 0.
  void WriteErrorCode(std::string_view message, int cursorRow = 0, int cursorColumn = 0);
  // Rolls rows top..bottom (1-based) by lines (1..31) up or down; the rows
  // that come free are blank.
  void Roll(bool down, int lines, int top, int bottom);
  void SaveScreen();
  // A Restore Screen command followed by what the terminal answered to Save
  // Screen.
  void RestoreScreen(std::string_view saved);
  // Write Structured Field: the 5250 Query.
  void Query();

  // --- orders inside Write To Display ---
  // Start of Header: no resequencing, error line errorRow, every function
  // key returns data.
  void StartOfHeader(std::uint8_t errorRow);
  void SetBufferAddress(int row, int column);
  void InsertCursor(int row, int column);
  void MoveCursor(int row, int column);
  // Start of Field: ffw (bit X'4000' is added), control words, attribute,
  // length.
  void StartOfField(std::uint16_t ffw, std::initializer_list<std::uint16_t> fcws,
                    std::uint8_t attribute, int length);
  void Attribute(std::uint8_t attribute);
  void Text(std::string_view local);
  void TransparentData(std::string_view local);
  // Repeats one character from the current address up to and including
  // (row, column).
  void RepeatToAddress(int row, int column, char local);
  // Blanks from the current address up to and including (row, column),
  // every attribute type included.
  void EraseToAddress(int row, int column);
  void WriteExtendedAttribute(std::uint8_t type, std::uint8_t value);

  const std::string& Bytes() const { return out_; }
  std::string Take() { return std::move(out_); }

 private:
  void Put(int b) { out_.push_back(static_cast<char>(b)); }
  void Command(std::uint8_t command);

  const host5250::EbcdicCodec& codec_;
  std::string out_;
};

// One telnet record holding a 5250 record with this opcode and payload.
std::string HostRecord(std::uint8_t opcode, std::string_view payload);

}  // namespace tervo::demohost
