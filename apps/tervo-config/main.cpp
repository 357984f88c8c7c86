// tervo-config: checks, reviews and converts configuration files
// (docs/config-file.md, docs/config-tools.md).  Run
// "tervo-config --help" for the commands.
#include <QCommandLineParser>
#include <QStringList>
#include <cstdio>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

#include "config/atomic_file.h"
#include "config/config_codec.h"
#include "config/config_diff.h"
#include "config/config_json.h"
#include "config/config_lint.h"
#include "config/config_reader.h"
#include "config/config_source.h"
#include "config/config_summary.h"
#include "config/config_writer.h"
#include "config/menu_commands.h"
#include "config/unsaved_file.h"

namespace {

using namespace tervo::config;

const char kHelp[] =
    "usage: tervo-config COMMAND ...\n"
    "\n"
    "A configuration is named by its base (\"plant\" for plant.TVO; \"plant.TVO\"\n"
    "is accepted too).  lint and diff also read a JSON export (a name ending\n"
    "in \".json\").\n"
    "\n"
    "  check BASE           list the file's bad lines and a summary\n"
    "                       exit 0 good, 1 bad lines, 2 unreadable\n"
    "  resave BASE OUT      load BASE and write OUT.TVO in the gateway's form\n"
    "                       exit 0, 1 bad lines left out, 2 unreadable/unwritable\n"
    "  lint BASE            report the mistakes of a configuration, one a line:\n"
    "                       \"screen 3 field 4: <reason> [rule]\"; rules:\n"
    "                         same-identification   two definitions identify alike\n"
    "                         master-without-keys   a master that never matches\n"
    "                         too-wide              wider than DisplayLen\n"
    "                         hidden-input          input the terminal never shows\n"
    "                         unsendable-keys       keys the host cannot be sent\n"
    "                         join-missing-field    join formula reads no field\n"
    "                         division-missing-field divided entry without field\n"
    "                         endless-repeat        repeat rule that never ends\n"
    "                         bad-line              a line the loader rejects\n"
    "                       exit 0 clean, 1 findings, 2 unreadable\n"
    "  diff [--json] OLD NEW\n"
    "                       what changed, by meaning: general options, sessions,\n"
    "                       each screen and field by number with its members,\n"
    "                       old -> new; nothing when only the order of lines or\n"
    "                       blank lines differ\n"
    "                       exit 0 same, 1 different, 2 unreadable\n"
    "  export BASE [--json] [--output FILE]\n"
    "                       the whole configuration as JSON (standard output\n"
    "                       unless --output); text is Unicode, each byte of the\n"
    "                       file's Windows-1252 one character\n"
    "                       exit 0, 1 bad lines left out, 2 unreadable/unwritable\n"
    "  import FILE.json OUT write OUT.TVO from a JSON export (\"-\" reads standard\n"
    "                       input); an export of a file the gateway wrote comes\n"
    "                       back byte for byte\n"
    "                       exit 0, 1 not a configuration, 2 unreadable/unwritable\n"
    "  unsaved BASE [accept|drop]\n"
    "                       the changes kept beside BASE (BASE.TVO.unsaved) when\n"
    "                       a stop could not save them: what they would change;\n"
    "                       accept puts them into BASE.TVO, drop removes them\n"
    "                       exit 0, 1 nothing kept, 2 failure\n"
    "  --help               this text\n";

int Usage() {
  std::fputs(kHelp, stderr);
  return 2;
}

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

// Keeps the bad lines for the caller.
class CollectingPrompt : public LoadPrompt {
 public:
  void ReportBadLine(const BadLine& bad) override { lines.push_back(bad); }
  std::vector<BadLine> lines;
};

int Load(const std::string& name, ScreenStore& store, GeneralOptions& options, LoadPrompt& prompt,
         int* bad) {
  std::string err;
  if (!LoadConfigurationFrom(name, store, options, prompt, bad, &err)) {
    std::fprintf(stderr, "tervo-config: %s\n", err.c_str());
    return 2;
  }
  return 0;
}

int Check(const std::string& base) {
  ScreenStore store;
  GeneralOptions options;
  int bad = 0;
  ListingPrompt prompt(stdout);
  if (int rc = Load(BaseOfChosenFile(base), store, options, prompt, &bad)) return rc;
  std::fputs(FormatSummary(Summarize(store)).c_str(), stdout);
  std::printf("bad lines: %d\n", bad);
  return bad ? 1 : 0;
}

int Resave(const std::string& base, const std::string& out) {
  ScreenStore store;
  GeneralOptions options;
  int bad = 0;
  ListingPrompt prompt(stderr);
  if (int rc = Load(BaseOfChosenFile(base), store, options, prompt, &bad)) return rc;
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

int Lint(const std::string& name) {
  ScreenStore store;
  GeneralOptions options;
  CollectingPrompt prompt;
  if (int rc = Load(name, store, options, prompt, nullptr)) return rc;
  std::vector<LintFinding> findings;
  for (const BadLine& bad : prompt.lines) {
    LintFinding f;
    f.rule = kRuleBadLine;
    f.line = bad.number;
    f.reason = bad.reason;
    findings.push_back(f);
  }
  for (LintFinding& f : LintConfiguration(store, options)) findings.push_back(std::move(f));
  for (const LintFinding& f : findings) std::printf("%s\n", FormatFinding(f).c_str());
  return findings.empty() ? 0 : 1;
}

// For a comparison the bad lines of a file are worth a note, but blank lines
// (which the loader also rejects) change nothing.
class DiffPrompt : public LoadPrompt {
 public:
  explicit DiffPrompt(std::string file) : file_(std::move(file)) {}
  void ReportBadLine(const BadLine& bad) override {
    if (bad.line.empty()) return;
    std::fprintf(stderr, "tervo-config: %s line %d left out: %s\n", file_.c_str(), bad.number,
                 bad.reason.c_str());
  }

 private:
  std::string file_;
};

int Diff(const std::vector<std::string>& names, bool json) {
  if (names.size() != 2) return Usage();
  ScreenStore before, after;
  GeneralOptions beforeOptions, afterOptions;
  DiffPrompt beforePrompt(ConfigurationFileName(names[0]));
  DiffPrompt afterPrompt(ConfigurationFileName(names[1]));
  if (int rc = Load(names[0], before, beforeOptions, beforePrompt, nullptr)) return rc;
  if (int rc = Load(names[1], after, afterOptions, afterPrompt, nullptr)) return rc;
  const std::vector<DiffEntry> entries =
      DiffConfigurations(before, beforeOptions, after, afterOptions);
  if (json) {
    std::fputs(DiffToJson(entries).c_str(), stdout);
  } else {
    std::fputs(FormatDiff(entries).c_str(), stdout);
  }
  return entries.empty() ? 0 : 1;
}

int Export(const std::vector<std::string>& names, const std::string& output) {
  if (names.size() != 1) return Usage();
  const std::string& name = names[0];
  const std::string base = BaseOfChosenFile(name);
  ScreenStore store;
  GeneralOptions options;
  int bad = 0;
  ListingPrompt prompt(stderr);
  if (int rc = Load(base, store, options, prompt, &bad)) return rc;
  const std::string json = ExportJson(store, options);
  std::string err;
  if (output.empty()) {
    std::fwrite(json.data(), 1, json.size(), stdout);
  } else if (!WriteFileAtomically(output, json, &err)) {
    std::fprintf(stderr, "tervo-config: %s\n", err.c_str());
    return 2;
  }
  if (bad) {
    std::fprintf(stderr, "tervo-config: %d bad line(s) of %s were left out\n", bad,
                 ConfigFilePath(base).c_str());
    return 1;
  }
  // The JSON holds what the gateway would write; say so when the file on
  // disk is in another form (edited by hand, LF line ends).
  std::string bytes;
  if (ReadWholeFile(ConfigFilePath(base), &bytes) && bytes != WriteConfig(store, options)) {
    std::fprintf(stderr,
                 "tervo-config: note: %s is not in the form the gateway writes; importing the JSON "
                 "gives that form "
                 "(as resave does)\n",
                 ConfigFilePath(base).c_str());
  }
  return 0;
}

int Import(const std::string& input, const std::string& out) {
  std::string bytes;
  if (input == "-") {
    bytes.assign(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
  } else if (!ReadWholeFile(input, &bytes)) {
    std::fprintf(stderr, "tervo-config: cannot read \"%s\"\n", input.c_str());
    return 2;
  }
  ScreenStore store;
  GeneralOptions options;
  std::string err;
  if (!ImportJson(bytes, store, options, &err)) {
    std::fprintf(stderr, "tervo-config: %s: %s\n", input == "-" ? "standard input" : input.c_str(),
                 err.c_str());
    return 1;
  }
  if (!SaveDataToFile2(BaseOfChosenFile(out), store, options, &err)) {
    std::fprintf(stderr, "tervo-config: %s\n", err.c_str());
    return 2;
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

std::string Local(const QString& s) { return s.toLocal8Bit().toStdString(); }

}  // namespace

int main(int argc, char** argv) {
  QStringList arguments;
  for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
  QCommandLineParser parser;
  const QCommandLineOption helpOption(QStringList{"h", "help"});
  const QCommandLineOption jsonOption("json");
  const QCommandLineOption outputOption({"o", "output"}, {}, "FILE");
  parser.addOptions({helpOption, jsonOption, outputOption});
  if (!parser.parse(arguments)) {
    std::fprintf(stderr, "tervo-config: %s\n", Local(parser.errorText()).c_str());
    return Usage();
  }
  std::vector<std::string> args;
  for (const QString& a : parser.positionalArguments()) args.push_back(Local(a));
  if (parser.isSet(helpOption) || (args.size() == 1 && args[0] == "help")) {
    std::fputs(kHelp, stdout);
    return 0;
  }
  if (args.empty()) return Usage();
  const std::string& command = args[0];
  const std::vector<std::string> rest(args.begin() + 1, args.end());
  // --json belongs to diff and export, --output to export only.
  if ((parser.isSet(jsonOption) && command != "diff" && command != "export") ||
      (parser.isSet(outputOption) && command != "export"))
    return Usage();
  if (command == "check" && rest.size() == 1) return Check(rest[0]);
  if (command == "resave" && rest.size() == 2)
    return Resave(BaseOfChosenFile(rest[0]), BaseOfChosenFile(rest[1]));
  if (command == "lint" && rest.size() == 1) return Lint(rest[0]);
  if (command == "diff") return Diff(rest, parser.isSet(jsonOption));
  if (command == "export") return Export(rest, Local(parser.value(outputOption)));
  if (command == "import" && rest.size() == 2) return Import(rest[0], rest[1]);
  if (command == "unsaved" && (rest.size() == 1 || rest.size() == 2)) {
    const std::string action = rest.size() == 2 ? rest[1] : "";
    if (!action.empty() && action != "accept" && action != "drop") return Usage();
    return Unsaved(BaseOfChosenFile(rest[0]), action);
  }
  return Usage();
}
