// The debug log: one line per event, the message cut or padded to exactly 80
// characters, then the date and time, then CR LF.  The file is named after
// the moment the log was opened, so each run of the gateway has its own.
#pragma once

#include <cstdio>
#include <functional>
#include <string>
#include <string_view>

#include "config/log.h"
#include "platform/os/clock.h"

namespace tervo::config {

// "TervoDebug_" day "_" month "_" year "_" hour "_" minute ".log", plain
// decimals without leading zeros: 7 March 2026 09:05 gives
// "TervoDebug_7_3_2026_9_5.log".
std::string DebugLogFileName(const os::LocalTime& start);

// The date and time of a log line: "2026-03-07 09:05:03".  A fixed form
// rather than the desktop's locale, so that logs of different machines read
// and sort alike.
std::string LogTimestamp(const os::LocalTime& t);

// message cut or padded to 80 characters, the timestamp, CR LF.
std::string FormatLogLine(std::string_view message, const os::LocalTime& now);

// Where logs go when no folder is configured: "c:\norvik\" on Windows; on
// other systems $XDG_STATE_HOME/tervo/log, or ~/.local/state/tervo/log.
std::string DefaultLogFolder();

class DebugLog : public Log {
 public:
  explicit DebugLog(const os::Clock& clock) : clock_(clock) {}
  ~DebugLog() override { Close(); }
  DebugLog(const DebugLog&) = delete;
  DebugLog& operator=(const DebugLog&) = delete;

  // Opens (appending) folder/DebugLogFileName(now), creating the folder when
  // it is missing.  An empty folder means DefaultLogFolder().
  bool Open(const std::string& folder, std::string* err);
  void Close();
  bool IsOpen() const { return file_ != nullptr; }
  const std::string& Path() const { return path_; }

  // Receives "ERROR:" followed by the message for errors shown to the
  // operator (the main window puts it in its title).
  void SetTitleSink(std::function<void(const std::string&)> sink) { title_ = std::move(sink); }

  // Appends a line when the file is open (each line is flushed, so a crash
  // keeps everything logged before it) and shows errors in the title.
  void WriteLog(const std::string& message, bool showInTitle) override;

 private:
  const os::Clock& clock_;
  std::FILE* file_ = nullptr;
  std::string path_;
  std::function<void(const std::string&)> title_;
};

}  // namespace tervo::config
