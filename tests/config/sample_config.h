// A configuration that uses every table and member with values that are hard
// to store: control characters, CR LF, quotes, brackets, 8-bit characters,
// negative numbers, flags in both states.
#pragma once

#include <string>

#include "config/config_reader.h"
#include "config/general_options.h"
#include "config/screen_store.h"

namespace tervo::config::testing {

// Screens 0 .. 4 with 0, 3, 0, 7, 501 captured fields.
void FillSample(ScreenStore& store, GeneralOptions& options);

// Records bad lines for inspection.
struct RecordingPrompt : LoadPrompt {
  std::vector<BadLine> lines;
  void ReportBadLine(const BadLine& bad) override { lines.push_back(bad); }
};

// Lines joined with CR LF, each line terminated.
std::string CrLf(std::initializer_list<std::string> lines);

// A folder that is removed with its contents at the end of the test.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  const std::string& path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& bytes);

}  // namespace tervo::config::testing
