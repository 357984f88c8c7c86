// The main window's menu tree and the commands behind it that work on the
// configuration: load, save, exit, the system name, the global message and
// restoring the default router.  The windows draw the tree from MenuTree()
// and call these commands; message and input boxes go through Prompt and the
// file dialogs through FileDialogs, so tests and the headless gateway answer
// them without showing anything.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "config/general_options.h"
#include "config/screen_store.h"

namespace tervo::config {

// ---- the menu tree ----

struct MenuItemDef {
  std::string name;     // the item's control name, e.g. "LoadFile"
  std::string caption;  // with its access-key ampersand, e.g. "&Load"
  bool enabledAtStart = true;
  std::vector<MenuItemDef> items;  // a submenu; empty for a command
};

// The top-level menus in order: "&File", "&Configurations", the "UnLock"
// item, "&Utils".
const std::vector<MenuItemDef>& MenuTree();
// The item with that control name anywhere in the tree, or nullptr.
const MenuItemDef* FindMenuItem(const std::string& name);
// The five file items the lock enables and disables.
const std::vector<std::string>& LockedFileItems();

// ---- seams ----

// Message and input boxes.
class Prompt {
 public:
  // YesNoDefaultNo: a question about destroying something; Enter (and an
  // unattended answer) is No.
  enum class Buttons { Ok, YesNo, YesNoDefaultNo, YesNoCancel };
  // Cancel: the Cancel button of YesNoCancel, or a question that was never
  // answered because the program is stopping (callers then leave things as
  // they are).
  enum class Answer { Ok, Yes, No, Cancel };
  virtual ~Prompt() = default;
  virtual Answer Message(const std::string& text, const std::string& title, Buttons buttons) = 0;
  // An input box; cancelling returns the empty text.
  virtual std::string Input(const std::string& prompt, const std::string& title,
                            const std::string& defaultText) = 0;
  // A choice among items; cancelling (and a prompt that cannot ask) keeps
  // current.
  virtual std::string Choose(const std::string& prompt, const std::string& title,
                             const std::vector<std::string>& items, const std::string& current) {
    (void)prompt;
    (void)title;
    (void)items;
    return current;
  }
};

// Answers without asking: "Yes"/"OK" and the default text, as an unattended
// gateway must; a Yes/No/Cancel question is left undecided (Cancel).  Every question is reported to
// the optional observer (the headless gateway logs it).
class DefaultPrompt : public Prompt {
 public:
  std::function<void(const std::string& question)> asked;
  Answer Message(const std::string& text, const std::string& title, Buttons buttons) override;
  std::string Input(const std::string& prompt, const std::string& title,
                    const std::string& defaultText) override;
};

// The open-file and save-file dialogs, preset with a file name and an
// initial folder (either may be empty).
class FileDialogs {
 public:
  enum class Result { Chosen, Cancelled, Failed };
  virtual ~FileDialogs() = default;
  virtual Result Open(const std::string& presetName, const std::string& folder,
                      std::string* chosen) = 0;
  virtual Result Save(const std::string& presetName, const std::string& folder,
                      std::string* chosen) = 0;
};

// ---- path rules ----

// The folder of a stored base: characters are dropped from the end up to the
// last path separator, which goes too ("C:\cfg\site1" -> "C:\cfg").  Both
// "\" (files from earlier installations) and "/" separate.
std::string ConfigFolder(const std::string& base);
// The base of a configuration file chosen to load: its path without the
// ".TVO" extension (any case).  A path without that extension is kept whole.
std::string BaseOfChosenFile(const std::string& path);
// The base of a name chosen to save under: the name cut before the first "."
// of its last path component, so "site.TVO" and "site" both give "site",
// while the folder "/my.dir/site" stays whole.
std::string BaseOfSaveName(const std::string& name);

// ---- commands ----

class MenuCommands {
 public:
  // What the commands reach.  Settings are the per-user settings of the
  // "TervoTerminal2" application ("FileName", "RouterName", "System").
  struct Environment {
    ScreenStore* store = nullptr;
    GeneralOptions* options = nullptr;
    Prompt* prompt = nullptr;
    FileDialogs* dialogs = nullptr;
    std::function<std::string(const std::string& key, const std::string& fallback)> readSetting;
    std::function<void(const std::string& key, const std::string& value)> writeSetting;
    // LoadDataFromFile2 and SaveDataToFile2 of the configuration file.
    std::function<bool(const std::string& base)> load;
    std::function<bool(const std::string& base, std::string* err)> save;
    std::function<void(const std::string& status)> showCaption;  // "Saved"/"Unsaved"
    std::function<bool()> configChanged;
    std::function<void(bool)> setConfigChanged;
    std::function<void(const std::string&)> setGlobalMessage;
    std::function<void()> closeMainWindow;
    // The path the main window's file dialog last returned (counter files
    // are written beside it at shutdown).
    std::function<void(const std::string& path)> dialogPathChosen;
  };

  explicit MenuCommands(Environment env) : env_(std::move(env)) {}

  // "&Load".  Returns true when a file was chosen (loaded or not).
  bool LoadFile();
  // "&Save as"; silent = the automatic save when the main window closes with
  // "Auto Save File" set.  Returns true when the file was written.
  bool SaveFile(bool silent = false);
  // "E&xit": asks "Save Changes ?" when the configuration changed.  A
  // question left unanswered (the program is being stopped) ends the
  // command: the stop itself keeps the changes.
  void ExitProgram();
  // "System Name".
  void SystemName();
  // "Send Global Message".
  void SendGlobalMessage();
  // "Restore Default".
  void RestoreDefault();
  // Commands that open a configuration window mark it unsaved.
  void MarkUnsaved();

 private:
  std::string Setting(const std::string& key, const std::string& fallback) const;
  void Store(const std::string& key, const std::string& value);
  void Saved();

  Environment env_;
};

}  // namespace tervo::config
