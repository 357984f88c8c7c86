// tervo-config: checks a configuration file and writes it back in canonical
// form.
//
//   tervo-config check BASE       lists every bad line and a summary; exits 1
//                                 when a line was bad, 2 when the file could
//                                 not be read
//   tervo-config resave BASE OUT  loads BASE and writes OUT; exits 1 when bad
//                                 lines were dropped, 2 when BASE could not be
//                                 read or OUT not written
//   tervo-config unsaved BASE [accept|drop]
//                                 shows what the changes kept beside BASE
//                                 (BASE.TVO.unsaved) would change; accept puts
//                                 them into BASE.TVO, drop removes them.
//                                 Exits 1 when nothing is kept, 2 on a
//                                 failure
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
#include "config/unsaved_file.h"

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
               "       tervo-config resave BASE OUT\n"
               "       tervo-config unsaved BASE [accept|drop]\n");
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

int Unsaved(const std::string& base, const std::string& action) {
  std::string when;
  if (!UnsavedFileExists(base, &when)) {
    std::printf("no unsaved changes kept for %s\n", ConfigFilePath(base).c_str());
    return 1;
  }
  std::string err;
  if (action == "drop") {
    if (!RemoveUnsavedFile(base, &err)) {
      std::fprintf(stderr, "tervo-config: %s\n", err.c_str());
      return 2;
    }
    std::printf("dropped %s\n", UnsavedFilePath(base).c_str());
    return 0;
  }
  if (action == "accept") {
    ListingPrompt prompt(stderr);
    if (!AcceptUnsavedFile(base, prompt, &err)) {
      std::fprintf(stderr, "tervo-config: %s\n", err.c_str());
      return 2;
    }
    std::printf("%s now holds the kept changes\n", ConfigFilePath(base).c_str());
    return 0;
  }
  ScreenStore fileStore, keptStore;
  GeneralOptions fileOptions, keptOptions;
  ListingPrompt prompt(stdout);
  LoadData(base, fileStore, fileOptions, prompt);
  if (!LoadUnsavedFile(base, keptStore, keptOptions, prompt)) {
    std::fprintf(stderr, "tervo-config: cannot read %s\n", UnsavedFilePath(base).c_str());
    return 2;
  }
  std::printf("%s (%s) against %s:\n", UnsavedFilePath(base).c_str(), when.c_str(),
              ConfigFilePath(base).c_str());
  const auto lines = DescribeDifferences(fileStore, fileOptions, keptStore, keptOptions);
  if (lines.empty()) std::printf("  no differences\n");
  for (const auto& line : lines) std::printf("  %s\n", line.c_str());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "check") return Check(BaseOfChosenFile(argv[2]));
  if (argc == 4 && std::string(argv[1]) == "resave")
    return Resave(BaseOfChosenFile(argv[2]), BaseOfChosenFile(argv[3]));
  if ((argc == 3 || argc == 4) && std::string(argv[1]) == "unsaved") {
    const std::string action = argc == 4 ? argv[3] : "";
    if (!action.empty() && action != "accept" && action != "drop") return Usage();
    return Unsaved(BaseOfChosenFile(argv[2]), action);
  }
  return Usage();
}
