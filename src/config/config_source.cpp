#include "config/config_source.h"

#include "config/config_json.h"
#include "config/config_writer.h"
#include "config/menu_commands.h"
#include "config/text.h"

namespace tervo::config {

bool IsJsonName(const std::string& name) {
  return name.size() >= 5 && text::ToUpper(name.substr(name.size() - 5)) == ".JSON";
}

std::string ConfigurationFileName(const std::string& name) {
  return IsJsonName(name) ? name : ConfigFilePath(BaseOfChosenFile(name));
}

bool LoadConfigurationFrom(const std::string& name, ScreenStore& store, GeneralOptions& options,
                           LoadPrompt& prompt, int* badLines, std::string* err) {
  store.ResetToFresh();
  options = GeneralOptions();
  if (badLines) *badLines = 0;
  const std::string file = ConfigurationFileName(name);
  if (!IsJsonName(name)) {
    if (LoadData(BaseOfChosenFile(name), store, options, prompt, badLines)) return true;
    *err = "cannot read \"" + file + "\"";
    return false;
  }
  std::string bytes;
  if (!ReadWholeFile(file, &bytes)) {
    *err = "cannot read \"" + file + "\"";
    return false;
  }
  std::string why;
  if (ImportJson(bytes, store, options, &why)) return true;
  *err = file + ": " + why;
  return false;
}

}  // namespace tervo::config
