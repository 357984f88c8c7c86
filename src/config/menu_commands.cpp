#include "config/menu_commands.h"

#include "config/text.h"

namespace tervo::config {

namespace {

MenuItemDef Item(const char* name, const char* caption, bool enabled = true) {
  return MenuItemDef{name, caption, enabled, {}};
}

}  // namespace

const std::vector<MenuItemDef>& MenuTree() {
  static const std::vector<MenuItemDef> tree = {
      {"file",
       "&File",
       true,
       {Item("LoadFile", "&Load", false), Item("SaveFile", "&Save as", false),
        Item("ClearData", "Clear &All Data", false),
        Item("ClearScreen", "&Clear Screen Data", false),
        Item("AutoFill", "Auto &Fill Screen Data", false), Item("ExitProgram", "E&xit")}},
      {"Configurations",
       "&Configurations",
       true,
       {Item("GeneralConf", "&General configuration"),
        Item("TerminalEmulator", "&Terminal Emulator"),
        Item("ScreenReport", "Screens Report"),
        Item("Report", "&Report"),
        Item("Debug", "&Debug Windows"),
        {"Router",
         "R&outer Configuration",
         true,
         {Item("SystemName", "System Name"), Item("RouterConfig", "&Configuration"),
          Item("ConfDeviceName", "Configure &device name"), Item("RouterConnect", "Co&nnect"),
          Item("Restore_Default", "Restore Default")}},
        Item("SetTimer", "&Set timer"),
        Item("Send_Global_Message", "Send Global Message")}},
      Item("FullAccess", "UnLock"),
      {"Utils",
       "&Utils",
       true,
       {Item("BatteryReport", "&Battery Voltage"), Item("Graph", "Terminal Graph"),
        // The caption shows one message at a time; this lists the recent ones.
        Item("RecentMessages", "Recent &Messages")}},
  };
  return tree;
}

namespace {
const MenuItemDef* FindIn(const std::vector<MenuItemDef>& items, const std::string& name) {
  for (const auto& item : items) {
    if (item.name == name) return &item;
    if (const MenuItemDef* found = FindIn(item.items, name)) return found;
  }
  return nullptr;
}
}  // namespace

const MenuItemDef* FindMenuItem(const std::string& name) { return FindIn(MenuTree(), name); }

const std::vector<std::string>& LockedFileItems() {
  static const std::vector<std::string> items = {"SaveFile", "ClearData", "LoadFile", "ClearScreen",
                                                 "AutoFill"};
  return items;
}

Prompt::Answer DefaultPrompt::Message(const std::string& text, const std::string& title,
                                      Buttons buttons) {
  if (asked) asked(title.empty() ? text : title + ": " + text);
  switch (buttons) {
    case Buttons::YesNo:
      return Answer::Yes;
    case Buttons::YesNoDefaultNo:
      return Answer::No;
    case Buttons::YesNoCancel:
      return Answer::Cancel;
    case Buttons::Ok:
      break;
  }
  return Answer::Ok;
}

std::string DefaultPrompt::Input(const std::string& prompt, const std::string& title,
                                 const std::string& defaultText) {
  if (asked) asked(title.empty() ? prompt : title + ": " + prompt);
  return defaultText;
}

namespace {
bool IsSeparator(char c) { return c == '\\' || c == '/'; }
}  // namespace

std::string ConfigFolder(const std::string& base) {
  std::string folder = base;
  while (!folder.empty() && !IsSeparator(folder.back())) folder.pop_back();
  if (!folder.empty()) folder.pop_back();
  return folder;
}

std::string BaseOfChosenFile(const std::string& path) {
  if (path.size() >= 4 && text::ToUpper(path.substr(path.size() - 4)) == ".TVO")
    return path.substr(0, path.size() - 4);
  return path;
}

std::string BaseOfSaveName(const std::string& name) {
  std::size_t start = name.size();
  while (start > 0 && !IsSeparator(name[start - 1])) --start;
  const std::size_t dot = name.find('.', start);
  return dot == std::string::npos ? name : name.substr(0, dot);
}

std::string MenuCommands::Setting(const std::string& key, const std::string& fallback) const {
  return env_.readSetting ? env_.readSetting(key, fallback) : fallback;
}

void MenuCommands::Store(const std::string& key, const std::string& value) {
  if (env_.writeSetting) env_.writeSetting(key, value);
}

void MenuCommands::Saved() {
  if (env_.showCaption) env_.showCaption("Saved");
  if (env_.setConfigChanged) env_.setConfigChanged(false);
}

void MenuCommands::MarkUnsaved() {
  if (env_.setConfigChanged) env_.setConfigChanged(true);
  if (env_.showCaption) env_.showCaption("Unsaved");
}

bool MenuCommands::LoadFile() {
  const std::string stored = Setting("FileName", "");
  std::string chosen;
  // Cancelling ends the command like a dialog error: nothing is cleared or
  // loaded, and the unsaved flag stays as it was.
  if (!env_.dialogs || env_.dialogs->Open(stored + ".TVO", ConfigFolder(stored), &chosen) !=
                           FileDialogs::Result::Chosen)
    return false;
  if (env_.dialogPathChosen) env_.dialogPathChosen(chosen);
  const std::string base = BaseOfChosenFile(chosen);
  if (env_.store) {
    // Clearing the screens keeps their field settings, texts and master
    // settings for reuse, so a file that leaves a value out would inherit
    // the previous configuration's.  Load into a fresh store instead, but
    // keep the per-session device data, which a file for fewer sessions
    // does not mention.
    const auto devices = env_.store->DeviceName;
    const auto terminals = env_.store->TerminalIDDef;
    env_.store->ResetToFresh();
    env_.store->DeviceName = devices;
    env_.store->TerminalIDDef = terminals;
  }
  const bool loaded = env_.load && env_.load(base);
  if (!loaded && env_.prompt) env_.prompt->Message("Bad file...", "", Prompt::Buttons::Ok);
  Store("FileName", base);
  Saved();
  return true;
}

bool MenuCommands::SaveFile(bool silent) {
  const std::string stored = Setting("FileName", "");
  std::string name = stored;
  if (!silent) {
    if (!env_.dialogs) return false;
    FileDialogs::Result r = env_.dialogs->Save(stored, ConfigFolder(stored), &name);
    if (r == FileDialogs::Result::Failed) r = env_.dialogs->Save("", "", &name);
    if (r != FileDialogs::Result::Chosen) return false;  // cancelled: nothing is saved
    if (env_.dialogPathChosen) env_.dialogPathChosen(name);
  }
  const std::string base = BaseOfSaveName(name);
  Store("FileName", base);
  std::string err;
  // The operator is not told of a failed save, but the previous file is kept
  // whole by the writer and the result is returned to the caller.
  const bool saved = env_.save && env_.save(base, &err);
  Saved();
  return saved;
}

void MenuCommands::ExitProgram() {
  if (env_.configChanged && env_.configChanged() && env_.prompt) {
    const Prompt::Answer a = env_.prompt->Message("Save Changes ?", "", Prompt::Buttons::YesNo);
    if (a == Prompt::Answer::Cancel) return;
    if (a == Prompt::Answer::Yes) SaveFile();
  }
  if (env_.setConfigChanged) env_.setConfigChanged(false);
  if (env_.closeMainWindow) env_.closeMainWindow();
}

void MenuCommands::SystemName() {
  const std::string current = Setting("System", "");
  const std::string answer =
      env_.prompt ? env_.prompt->Input("System Name", "As400 INFO", current) : current;
  Store("System", answer);
}

void MenuCommands::SendGlobalMessage() {
  if (!env_.prompt) return;
  const std::string message = env_.prompt->Input("Message ?", "Only for expert users", "");
  if (env_.setGlobalMessage) env_.setGlobalMessage(message);
}

void MenuCommands::RestoreDefault() {
  Store("RouterName", "DemoHost");
  Store("System", "");
  if (env_.closeMainWindow) env_.closeMainWindow();
}

}  // namespace tervo::config
