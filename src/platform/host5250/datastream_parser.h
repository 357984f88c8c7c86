// Applies 5250 records from the host to a Screen and collects the records
// the client must answer with (Query reply, Save Screen, Read Immediate,
// negative responses).  It never calls out: the session decides what to
// tell the world after each record, so no handler runs inside the parse.
//
// Records are read with bounds checks only; a command or order cut short by
// the end of its record stops the record.  Unknown commands stop the record
// with a negative response (commands carry no length of their own); unknown
// structured fields are skipped by their length fields.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/host5250/ebcdic.h"
#include "platform/host5250/screen.h"

namespace tervo::host5250 {

class DataStreamParser {
 public:
  explicit DataStreamParser(Screen& screen) : screen_(screen) {}

  // The device type and model the Query reply reports, in local text
  // (for example "3179" and "002").
  void SetDevice(const std::string& type, const std::string& model, const EbcdicCodec& codec);

  // One whole record (GDS header included).  Answers are appended to
  // *outbound as whole records.
  void ProcessRecord(std::string_view record, std::vector<std::string>* outbound);

  // The read command the host has issued and the client has not answered
  // yet (0 when none).
  std::uint8_t PendingRead() const { return pending_read_; }
  // Forgets the state of a previous connection.
  void Restart() {
    address_ = 0;
    pending_read_ = 0;
    screenWritten = false;
    alarm = false;
  }
  void ClearPendingRead() { pending_read_ = 0; }

  // Set when a record wrote to the screen; the session clears it.
  bool screenWritten = false;
  // Set when the host asked for the alarm.
  bool alarm = false;
  // The last problem met in the data stream, for the log.
  std::string lastError;

  // The Query reply payload (cursor, AID X'88', reply), exposed for tests
  // and the demo host.
  std::string QueryReplyPayload() const;

 private:
  struct Reader;
  bool Command(Reader& r, std::vector<std::string>* outbound);
  bool WriteToDisplay(Reader& r, std::vector<std::string>* outbound);
  bool StartOfField(Reader& r, std::vector<std::string>* outbound);
  bool WriteErrorCode(Reader& r, bool window);
  bool WriteStructuredField(Reader& r, std::vector<std::string>* outbound);
  void ControlCharacter1(std::uint8_t cc1);
  void ControlCharacter2(std::uint8_t cc2);
  void Fail(std::uint32_t code, const std::string& why, std::vector<std::string>* outbound);
  void Write(std::uint8_t c);

  Screen& screen_;
  int address_ = 0;
  std::uint8_t pending_read_ = 0;
  std::string device_ = std::string("\xF3\xF1\xF7\xF9\xF0\xF0\xF2", 7);  // 3179002
};

}  // namespace tervo::host5250
