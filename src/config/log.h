// The one log writer every part of the gateway writes through.  The gateway
// routes it to the debug log file and, for shown errors, to the main window's
// title; tests record it.
#pragma once

#include <string>

namespace tervo::config {

class Log {
 public:
  virtual ~Log() = default;
  // message is cut to its first 80 characters.  showInTitle: an operator-facing
  // error (the title then reads "ERROR:" followed by the message).
  virtual void WriteLog(const std::string& message, bool showInTitle) = 0;
};

// Discards everything; for tools and tests that do not care.
class NullLog : public Log {
 public:
  void WriteLog(const std::string&, bool) override {}
};

}  // namespace tervo::config
