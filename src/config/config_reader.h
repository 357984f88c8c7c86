// Reading the configuration file.  The reader takes the file line by line,
// tracks the nesting of blocks, and stores each key line through
// DeclareVariable.  A line that cannot be stored is a bad line: it is reported
// through the prompt and the load goes on.
#pragma once

#include <string>
#include <string_view>

#include "config/general_options.h"
#include "config/log.h"
#include "config/screen_store.h"

namespace tervo::config {

struct BadLine {
  int number = 0;      // 1-based line number
  std::string line;    // the line, decoded
  std::string reason;  // why it could not be stored, for tools and logs

  // What the operator is shown: "Error at line , 12 " followed by the line.
  std::string Message() const;
};

// Where bad lines go: a message box in the operator's windows, a log line
// when running headless, a listing in tervo-config.
class LoadPrompt {
 public:
  virtual ~LoadPrompt() = default;
  virtual void ReportBadLine(const BadLine& bad) = 0;
};

// Writes each bad line's message to a log.
class LogPrompt : public LoadPrompt {
 public:
  explicit LogPrompt(Log& log) : log_(log) {}
  void ReportBadLine(const BadLine& bad) override { log_.WriteLog(bad.Message(), false); }

 private:
  Log& log_;
};

// Reads a whole file; false when it cannot be opened or read.
bool ReadWholeFile(const std::string& path, std::string* out);

// Parses a whole configuration held in memory into the tables (values are
// stored over what the tables hold).  Returns the number of bad lines.
int ParseConfig(std::string_view bytes, ScreenStore& store, GeneralOptions& options,
                LoadPrompt& prompt);

// Loads base + ".TVO".  False only when the file cannot be opened or read,
// and then nothing was changed.  *badLines (optional) receives the count.
bool LoadData(const std::string& base, ScreenStore& store, GeneralOptions& options,
              LoadPrompt& prompt, int* badLines = nullptr);

// LoadData; when the file cannot be opened, the general options fall back to
// their values for a missing file and the screen tables keep what they held.
bool LoadDataFromFile2(const std::string& base, ScreenStore& store, GeneralOptions& options,
                       LoadPrompt& prompt, int* badLines = nullptr);

}  // namespace tervo::config
