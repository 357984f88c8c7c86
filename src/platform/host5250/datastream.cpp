#include "platform/host5250/datastream.h"

namespace tervo::host5250::ds {

std::string BuildRecord(const RecordHeader& header, std::string_view payload) {
  std::size_t len = kHeaderSize + payload.size();
  std::string out;
  out.reserve(len);
  out.push_back(static_cast<char>((len >> 8) & 0xFF));
  out.push_back(static_cast<char>(len & 0xFF));
  out.push_back(static_cast<char>(kRecordType >> 8));
  out.push_back(static_cast<char>(kRecordType & 0xFF));
  out.push_back(0);
  out.push_back(0);
  out.push_back(4);
  out.push_back(static_cast<char>(header.flags));
  out.push_back(static_cast<char>(header.flags2));
  out.push_back(static_cast<char>(header.opcode));
  out.append(payload);
  return out;
}

bool ParseRecord(std::string_view record, RecordHeader* header, std::string_view* payload,
                 std::string* err) {
  auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(record[i]); };
  if (record.size() < kHeaderSize) {
    if (err) *err = "5250 record shorter than its header (" + std::to_string(record.size()) + " bytes)";
    return false;
  }
  std::size_t len = (std::size_t{byte(0)} << 8) | byte(1);
  std::uint16_t type = static_cast<std::uint16_t>((byte(2) << 8) | byte(3));
  if (type != kRecordType) {
    if (err) *err = "Not a 5250 display record";
    return false;
  }
  if (len != record.size()) {
    if (err) *err = "5250 record length " + std::to_string(len) + " disagrees with its size " +
                    std::to_string(record.size());
    return false;
  }
  std::size_t var = byte(6);
  if (var < 4 || 6 + var > record.size()) {
    if (err) *err = "5250 record with a bad variable header length";
    return false;
  }
  header->flags = byte(7);
  header->flags2 = byte(8);
  header->opcode = byte(9);
  *payload = record.substr(6 + var);
  return true;
}

std::uint8_t FunctionKeyAid(int n) {
  if (n >= 1 && n <= 12) return static_cast<std::uint8_t>(kAidF1 + n - 1);
  if (n >= 13 && n <= 24) return static_cast<std::uint8_t>(kAidF13 + n - 13);
  return kAidNone;
}

std::string NegativeResponse(std::uint32_t code) {
  RecordHeader h;
  h.flags = kFlagError;
  h.opcode = kOpNoOperation;
  std::string data{static_cast<char>((code >> 24) & 0xFF), static_cast<char>((code >> 16) & 0xFF),
                   static_cast<char>((code >> 8) & 0xFF), static_cast<char>(code & 0xFF)};
  return BuildRecord(h, data);
}

}  // namespace tervo::host5250::ds
