// tervo-config: checks a configuration file and writes it back in canonical
// form.
//
//   tervo-config check BASE       lists every bad line and a summary; exits 1
//                                 when a line was bad, 2 when the file could
//                                 not be read
//   tervo-config resave BASE OUT  loads BASE and writes OUT; exits 1 when bad
//                                 lines were dropped, 2 when BASE could not be
//                                 read or OUT not written
//
// BASE and OUT are configuration bases: the file is BASE.TVO.  A name given
// with its ".TVO" is accepted too.
#include <cstdio>
#include <string>

#include "config/config_codec.h"
#include "config/config_reader.h"
#include "config/config_summary.h"
#include "config/config_writer.h"
#include "config/menu_commands.h"

namespace {

using namespace tervo::config;

// Bad lines as the operator can read them: in the file's own encoding and no
// longer than a terminal line.
class ListingPrompt : public LoadPrompt {
 public:
  explicit ListingPrompt(std::FILE* out) : out_(out) {}
  void ReportBadLine(const BadLine& bad) override {
    std::string shown = AsciiString(bad.line);
    if (shown.size() > 100) shown = shown.substr(0, 100) + "...";
    std::fprintf(out_, "line %d: %s: %s\n", bad.number, bad.reason.c_str(), shown.c_str());
  }

 private:
  std::FILE* out_;
};

int Usage() {
  std::fprintf(stderr,
               "usage: tervo-config check BASE\n"
               "       tervo-config resave BASE OUT\n");
  return 2;
}

int Load(const std::string& base, ScreenStore& store, GeneralOptions& options, std::FILE* listing, int* bad) {
  ListingPrompt prompt(listing);
  if (!LoadData(base, store, options, prompt, bad)) {
    std::fprintf(stderr, "tervo-config: cannot read %s\n", ConfigFilePath(base).c_str());
    return 2;
  }
  return 0;
}

int Check(const std::string& base) {
  ScreenStore store;
  GeneralOptions options;
  int bad = 0;
  if (int rc = Load(base, store, options, stdout, &bad)) return rc;
  std::fputs(FormatSummary(Summarize(store)).c_str(), stdout);
  std::printf("bad lines: %d\n", bad);
  return bad ? 1 : 0;
}

int Resave(const std::string& base, const std::string& out) {
  ScreenStore store;
  GeneralOptions options;
  int bad = 0;
  if (int rc = Load(base, store, options, stderr, &bad)) return rc;
  std::string err;
  if (!SaveDataToFile2(out, store, options, &err)) {
    std::fprintf(stderr, "tervo-config: %s\n", err.c_str());
    return 2;
  }
  if (bad) {
    std::fprintf(stderr, "tervo-config: %d bad line(s) of %s were not written to %s\n", bad,
                 ConfigFilePath(base).c_str(), ConfigFilePath(out).c_str());
    return 1;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "check") return Check(BaseOfChosenFile(argv[2]));
  if (argc == 4 && std::string(argv[1]) == "resave")
    return Resave(BaseOfChosenFile(argv[2]), BaseOfChosenFile(argv[3]));
  return Usage();
}
