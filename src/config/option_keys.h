// The general options by typed key, and the one table that says for each its
// name in the file, its kind, its first and fallback contents and the range
// the configuration dialog accepts.  The options model, the file reader and
// writer, the JSON form, the dialog's rules and the review tools all read
// this table; code reads an option as Option::kDisplayLen, never by name.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace tervo::config {

// In the order the configuration file writes them.
enum class Option {
  kSessionCt,
  kDisplayCol,
  kDisplayRow,
  kAutoRemove,
  kExitWord,
  kCut,
  kSendTerminal,
  kMaskEdBox1,  // the start-up timer's "on" time
  kMaskEdBox2,  // ... and its "off" time
  kCheck1,      // the timer switches the gateway on
  kCheck2,      // ... and off
  kShowNorvikLogo,
  kSendMinimal,
  kSendUnderline,
  kDisplayLen,
  kDebugFile,
  kBaudRate,
  kHandshaking,
  kTestMode,
  kNewScreenTimeout,
  kScreenIdAreaX,
  kScreenIdAreaY,
  kScreenIdAreaLen,
  kLine24,
  kDontShowData,
  kSendErrorLine24,
  kSendErrorLine25,
  kSubScreenIdAreaX,
  kSubScreenIdAreaY,
  kSubScreenIdAreaLen,
  kSendErrorLineN,
  kErrorLineN,
  kErrorLineStart,
  kErrorLineLen,
  kAutoSave,
  kTCPIP,
  kTCPIPAddr,
  kComPort,
  kCapsLock,
};
constexpr int kOptionCount = static_cast<int>(Option::kCapsLock) + 1;

enum class OptionKind {
  kText,        // free text (the word lists)
  kNumber,      // a whole number, min..max
  kSeconds,     // a decimal number of seconds, min..max
  kCheck,       // a check box: 0 or 1
  kList,        // a list's index: 0..max
  kTime,        // "hh:mm" from 00:00 to 23:59, or the empty mask "__:__"
  kAddress,     // the radio base's IP address, optionally with :port
  kSerialPort,  // a serial port number, a device path, or nothing
};

// No upper limit.
constexpr long kUnbounded = -1;

struct OptionSpec {
  Option option;
  const char* key;  // the name in the file, the JSON form and the dialog
  OptionKind kind;
  const char* initial;   // what a freshly created dialog shows
  const char* fallback;  // applies when no file loads; nullptr: kept
  long min = 0;          // numbers, seconds, check boxes and lists
  long max = 0;
  bool emptyAllowed = false;      // numbers: an empty box is good (reads as 0)
  const char* message = nullptr;  // said instead of the usual range message
};

const std::array<OptionSpec, kOptionCount>& OptionTable();
inline const OptionSpec& OptionEntry(Option o) {
  return OptionTable()[static_cast<std::size_t>(o)];
}
// The option named key in the file, or nullptr.  Names are compared exactly.
const OptionSpec* FindOption(std::string_view key);

// An option by its typed key, or by its file name where the name comes from
// a file, the JSON form or a test.  An unknown name is no option: it reads
// as "" and cannot be set.
class OptionKey {
 public:
  OptionKey(Option o) : entry_(&OptionEntry(o)) {}
  OptionKey(std::string_view key) : entry_(FindOption(key)) {}
  OptionKey(const char* key) : OptionKey(std::string_view(key)) {}
  OptionKey(const std::string& key) : OptionKey(std::string_view(key)) {}
  const OptionSpec* entry() const { return entry_; }

 private:
  const OptionSpec* entry_;
};

}  // namespace tervo::config
