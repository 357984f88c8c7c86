#include "config/option_keys.h"

namespace tervo::config {

namespace {

using enum Option;
using K = OptionKind;

// Initial contents are what a freshly created dialog shows (the start-up
// timer window's masked boxes read as their prompt characters); fallbacks
// apply when no configuration file could be loaded.  Ranges are what the
// dialog accepts; a loaded file is taken as it is, except that check boxes
// and the list index must be within theirs.
constexpr std::array<OptionSpec, kOptionCount> kTable = {{
    {kSessionCt, "SessionCt", K::kNumber, "1", "1", 1, kUnbounded, false,
     "Enter a whole number of 1 or more; more than this run serves become its count."},
    {kDisplayCol, "DisplayCol", K::kNumber, "1", "1", 1, 32},
    {kDisplayRow, "DisplayRow", K::kNumber, "", "1", 1, 32, true},
    {kAutoRemove, "AutoRemove", K::kText, ".,;", ",;:."},
    {kExitWord, "ExitWord", K::kText, "Exit,Sair", "Exit,Sair,FIM,Fim,EXIT"},
    {kCut, "Cut", K::kCheck, "0", "0", 0, 1},
    {kSendTerminal, "SendTerminal", K::kCheck, "1", "1", 0, 1},
    {kMaskEdBox1, "MaskEdBox1", K::kTime, "__:__", nullptr},
    {kMaskEdBox2, "MaskEdBox2", K::kTime, "__:__", nullptr},
    {kCheck1, "Check1", K::kCheck, "0", nullptr, 0, 1},
    {kCheck2, "Check2", K::kCheck, "0", nullptr, 0, 1},
    {kShowNorvikLogo, "ShowNorvikLogo", K::kCheck, "0", "0", 0, 1},
    {kSendMinimal, "SendMinimal", K::kCheck, "1", "1", 0, 1},
    {kSendUnderline, "SendUnderline", K::kCheck, "1", "1", 0, 1},
    {kDisplayLen, "DisplayLen", K::kNumber, "24", "20", 1, 80},
    {kDebugFile, "DebugFile", K::kCheck, "0", "0", 0, 1},
    {kBaudRate, "BaudRate", K::kNumber, "19200", "38400", 50, 4000000, false,
     "Enter the speed in bits per second, such as 19200."},
    {kHandshaking, "Handshaking", K::kList, "0", "0", 0, 3},
    {kTestMode, "TestMode", K::kCheck, "0", "0", 0, 1},
    {kNewScreenTimeout, "NewScreenTimeout", K::kSeconds, "1.5", "2", 0, 3600, false,
     "Enter a number of seconds from 0 to 3600, such as 1.5."},
    {kScreenIdAreaX, "ScreenIdAreaX", K::kNumber, "", "0", 0, 80, true},
    {kScreenIdAreaY, "ScreenIdAreaY", K::kNumber, "", "0", 0, 25, true},
    {kScreenIdAreaLen, "ScreenIdAreaLen", K::kNumber, "", "0", 0, 2000, true},
    {kLine24, "Line24", K::kCheck, "0", "0", 0, 1},
    {kDontShowData, "DontShowData", K::kCheck, "1", "0", 0, 1},
    {kSendErrorLine24, "SendErrorLine24", K::kCheck, "1", "1", 0, 1},
    {kSendErrorLine25, "SendErrorLine25", K::kCheck, "1", "1", 0, 1},
    {kSubScreenIdAreaX, "SubScreenIdAreaX", K::kNumber, "", "0", 0, 80, true},
    {kSubScreenIdAreaY, "SubScreenIdAreaY", K::kNumber, "", "0", 0, 25, true},
    {kSubScreenIdAreaLen, "SubScreenIdAreaLen", K::kNumber, "", "0", 0, 2000, true},
    {kSendErrorLineN, "SendErrorLineN", K::kCheck, "0", "0", 0, 1},
    {kErrorLineN, "ErrorLineN", K::kNumber, "", "0", 0, 25, true},
    {kErrorLineStart, "ErrorLineStart", K::kNumber, "1", "1", 1, 80},
    {kErrorLineLen, "ErrorLineLen", K::kNumber, "80", "80", 1, 80},
    {kAutoSave, "AutoSave", K::kCheck, "0", "0", 0, 1},
    {kTCPIP, "TCPIP", K::kCheck, "0", "0", 0, 1},
    {kTCPIPAddr, "TCPIPAddr", K::kAddress, "127.0.0.1", "127.0.0.1"},
    {kComPort, "ComPort", K::kSerialPort, "1", ""},
    {kCapsLock, "CapsLock", K::kCheck, "0", nullptr, 0, 1},
}};

constexpr bool InEnumOrder() {
  for (int i = 0; i < kOptionCount; ++i)
    if (static_cast<int>(kTable[static_cast<std::size_t>(i)].option) != i) return false;
  return true;
}
static_assert(InEnumOrder(), "the option table follows the order of Option");

}  // namespace

const std::array<OptionSpec, kOptionCount>& OptionTable() { return kTable; }

const OptionSpec* FindOption(std::string_view key) {
  for (const OptionSpec& s : kTable)
    if (key == s.key) return &s;
  return nullptr;
}

}  // namespace tervo::config
