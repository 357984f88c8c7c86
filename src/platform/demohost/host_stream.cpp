#include "platform/demohost/host_stream.h"

#include "platform/host5250/datastream.h"
#include "platform/host5250/telnet.h"

namespace tervo::demohost {

namespace ds = host5250::ds;

void HostStream::Command(std::uint8_t command) {
  Put(ds::kEsc);
  Put(command);
}

void HostStream::ClearUnit() { Command(ds::kCmdClearUnit); }

void HostStream::WriteToDisplay(std::uint8_t cc1, std::uint8_t cc2) {
  Command(ds::kCmdWriteToDisplay);
  Put(cc1);
  Put(cc2);
}

void HostStream::ReadMdtFields(std::uint8_t cc1, std::uint8_t cc2) {
  Command(ds::kCmdReadMdtFields);
  Put(cc1);
  Put(cc2);
}

void HostStream::ReadInputFields(std::uint8_t cc1, std::uint8_t cc2) {
  Command(ds::kCmdReadInputFields);
  Put(cc1);
  Put(cc2);
}

void HostStream::WriteErrorCode(std::string_view message, int cursorRow, int cursorColumn) {
  Command(ds::kCmdWriteErrorCode);
  if (cursorRow > 0) InsertCursor(cursorRow, cursorColumn);
  // No attribute bytes around the text: the message line then reads
  // exactly as the application wrote it.
  Text(message);
}

void HostStream::Roll(bool down, int lines, int top, int bottom) {
  Command(ds::kCmdRoll);
  Put((down ? 0x80 : 0x00) | (lines & 0x1F));
  Put(top);
  Put(bottom);
}

void HostStream::SaveScreen() { Command(ds::kCmdSaveScreen); }

void HostStream::RestoreScreen(std::string_view saved) {
  Command(ds::kCmdRestoreScreen);
  out_.append(saved);
}

void HostStream::Query() {
  Command(ds::kCmdWriteStructuredField);
  Put(0x00);
  Put(0x05);  // length of the structured field, these five bytes
  Put(ds::kSfClass5250);
  Put(ds::kSfQuery);
  Put(0x00);  // flags
}

void HostStream::StartOfHeader(std::uint8_t errorRow) {
  Put(ds::kOrderStartOfHeader);
  Put(7);     // bytes that follow
  Put(0x00);  // flags
  Put(0x00);  // reserved
  Put(0x00);  // resequence field: none
  Put(errorRow);
  Put(0x00);  // command key switches: F24..F17, F16..F9, F8..F1 all with data
  Put(0x00);
  Put(0x00);
}

void HostStream::SetBufferAddress(int row, int column) {
  Put(ds::kOrderSetBufferAddress);
  Put(row);
  Put(column);
}

void HostStream::InsertCursor(int row, int column) {
  Put(ds::kOrderInsertCursor);
  Put(row);
  Put(column);
}

void HostStream::MoveCursor(int row, int column) {
  Put(ds::kOrderMoveCursor);
  Put(row);
  Put(column);
}

void HostStream::StartOfField(std::uint16_t ffw, std::initializer_list<std::uint16_t> fcws,
                              std::uint8_t attribute, int length) {
  Put(ds::kOrderStartOfField);
  ffw |= 0x4000;
  Put(ffw >> 8);
  Put(ffw & 0xFF);
  for (std::uint16_t fcw : fcws) {
    Put(fcw >> 8);
    Put(fcw & 0xFF);
  }
  Put(attribute);
  Put(length >> 8);
  Put(length & 0xFF);
}

void HostStream::Attribute(std::uint8_t attribute) { Put(attribute); }

void HostStream::Text(std::string_view local) { out_ += codec_.ToHost(local); }

void HostStream::TransparentData(std::string_view local) {
  Put(ds::kOrderTransparentData);
  Put(static_cast<int>(local.size()) >> 8);
  Put(static_cast<int>(local.size()) & 0xFF);
  Text(local);
}

void HostStream::RepeatToAddress(int row, int column, char local) {
  Put(ds::kOrderRepeatToAddress);
  Put(row);
  Put(column);
  Put(codec_.ToHost(local));
}

void HostStream::EraseToAddress(int row, int column) {
  Put(ds::kOrderEraseToAddress);
  Put(row);
  Put(column);
  Put(0x02);  // length of this byte and the type list
  Put(0xFF);  // every attribute type
}

void HostStream::WriteExtendedAttribute(std::uint8_t type, std::uint8_t value) {
  Put(ds::kOrderWriteExtendedAttribute);
  Put(type);
  Put(value);
}

std::string HostRecord(std::uint8_t opcode, std::string_view payload) {
  ds::RecordHeader h;
  h.opcode = opcode;
  return host5250::telnet::Record(ds::BuildRecord(h, payload));
}

}  // namespace tervo::demohost
