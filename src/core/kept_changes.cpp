#include "core/kept_changes.h"

#include "config/config_reader.h"
#include "config/unsaved_file.h"
#include "core/gateway.h"

namespace tervo::core {

namespace {

class NoReport : public config::LoadPrompt {
 public:
  void ReportBadLine(const config::BadLine&) override {}
};

std::string FileName(const std::string& path) {
  const std::size_t slash = path.find_last_of("/\\");
  return path.substr(slash == std::string::npos ? 0 : slash + 1);
}

}  // namespace

bool ParseKeptChoice(const std::string& text, KeptChoice* out) {
  if (text == "ask")
    *out = KeptChoice::kAsk;
  else if (text == "keep")
    *out = KeptChoice::kKeep;
  else if (text == "accept")
    *out = KeptChoice::kAccept;
  else if (text == "drop")
    *out = KeptChoice::kDrop;
  else
    return false;
  return true;
}

bool HasKeptChanges(const Gateway& g) { return config::UnsavedFileExists(g.ConfigPath()); }

bool KeptChangesOnlyAddScreens(const Gateway& g) {
  const std::string base = g.ConfigPath();
  if (!config::UnsavedFileExists(base)) return false;
  config::ScreenStore fileStore, keptStore;
  config::GeneralOptions fileOptions, keptOptions;
  NoReport quiet;
  // A missing configuration file is a fresh one: every kept screen is new.
  if (!config::LoadData(base, fileStore, fileOptions, quiet)) fileOptions.ApplyFallbacks();
  if (!config::LoadUnsavedFile(base, keptStore, keptOptions, quiet)) return false;
  return config::OnlyScreensAdded(fileStore, fileOptions, keptStore, keptOptions);
}

KeptChoice UnattendedChoice(const Gateway& g, KeptChoice given) {
  if (given != KeptChoice::kAsk) return given;
  return KeptChangesOnlyAddScreens(g) ? KeptChoice::kAccept : KeptChoice::kKeep;
}

std::string KeptChangesQuestion(const Gateway& g) {
  const std::string base = g.ConfigPath();
  std::string when;
  config::UnsavedFileExists(base, &when);
  std::string q = "Changes that were not saved when the gateway stopped (" + when +
                  ") were kept in " + FileName(config::UnsavedFilePath(base)) + ".\n";
  // What they change against the configuration file as it is on disk (the
  // running one may have been edited since the start).
  config::ScreenStore fileStore, keptStore;
  config::GeneralOptions fileOptions, keptOptions;
  NoReport quiet;
  config::LoadData(base, fileStore, fileOptions, quiet);
  config::LoadUnsavedFile(base, keptStore, keptOptions, quiet);
  const auto lines = config::DescribeDifferences(fileStore, fileOptions, keptStore, keptOptions);
  if (lines.empty()) q += "They hold the same configuration as the file.\n";
  for (const auto& line : lines) q += "They change " + line + ".\n";
  q += "\nYes: load them (shown Unsaved until saved)\nNo: discard them\n"
       "Cancel: decide at the next start";
  return q;
}

std::string ApplyKeptChoice(Gateway& g, KeptChoice choice) {
  const std::string base = g.ConfigPath();
  const std::string name = FileName(config::UnsavedFilePath(base));
  if (choice == KeptChoice::kAsk || !config::UnsavedFileExists(base)) return "";
  std::string line;
  if (choice == KeptChoice::kKeep) {
    line = "Unsaved changes wait in " + name + " (accept or drop them)";
  } else if (choice == KeptChoice::kDrop) {
    std::string err;
    line = config::RemoveUnsavedFile(base, &err) ? "Unsaved changes in " + name + " dropped"
                                                 : "Unsaved changes not dropped: " + err;
  } else {
    config::LogPrompt report(g.Log());
    if (!config::LoadUnsavedFile(base, g.Store(), g.Options(), report)) {
      line = "Unsaved changes in " + name + " cannot be read";
    } else {
      g.Context().DisplayLen = g.Options().Number(Option::kDisplayLen);
      g.ConfigChanged = true;
      g.KeptChangesLoaded = true;
      g.ShowCaption("Unsaved");
      line = "Unsaved changes loaded from " + name;
    }
  }
  g.WriteLog(line, false);
  return line;
}

}  // namespace tervo::core
