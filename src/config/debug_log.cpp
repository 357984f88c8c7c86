#include "config/debug_log.h"

#include <QDir>
#include <cstdlib>

#include "config/text.h"

namespace tervo::config {

namespace {
constexpr std::size_t kMessageWidth = 80;
}

std::string DebugLogFileName(const os::LocalTime& t) {
  return "TervoDebug_" + std::to_string(t.day) + "_" + std::to_string(t.month) + "_" +
         std::to_string(t.year) + "_" + std::to_string(t.hour) + "_" + std::to_string(t.minute) +
         ".log";
}

std::string LogTimestamp(const os::LocalTime& t) {
  char buf[40];
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour,
                t.minute, t.second);
  return buf;
}

std::string FormatLogLine(std::string_view message, const os::LocalTime& now) {
  return text::PadRight(message, kMessageWidth) + LogTimestamp(now) + "\r\n";
}

std::string DefaultLogFolder() {
#ifdef _WIN32
  return "c:\\norvik\\";
#else
  if (const char* state = std::getenv("XDG_STATE_HOME"); state && *state)
    return std::string(state) + "/tervo/log";
  if (const char* home = std::getenv("HOME"); home && *home)
    return std::string(home) + "/.local/state/tervo/log";
  return QDir::tempPath().toStdString() + "/tervo/log";
#endif
}

bool DebugLog::Open(const std::string& folder, std::string* err) {
  Close();
  const std::string dir = folder.empty() ? DefaultLogFolder() : folder;
  if (!QDir().mkpath(QString::fromLocal8Bit(dir.data(), static_cast<qsizetype>(dir.size())))) {
    if (err) *err = "cannot create the log folder \"" + dir + "\"";
    return false;
  }
  std::string path = dir;
  if (path.back() != '/' && path.back() != '\\') path.push_back('/');
  path += DebugLogFileName(clock_.Now());
  file_ = std::fopen(path.c_str(), "ab");
  if (!file_) {
    if (err) *err = "cannot open the log \"" + path + "\"";
    return false;
  }
  path_ = path;
  return true;
}

void DebugLog::Close() {
  if (file_) std::fclose(file_);
  file_ = nullptr;
}

void DebugLog::WriteLog(const std::string& message, bool showInTitle) {
  const std::string cut = text::Left(message, kMessageWidth);
  if (file_) {
    const std::string line = FormatLogLine(cut, clock_.Now());
    std::fwrite(line.data(), 1, line.size(), file_);
    std::fflush(file_);
  }
  if (showInTitle && title_) title_("ERROR:" + cut);
}

}  // namespace tervo::config
