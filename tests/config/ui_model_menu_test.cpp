#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "config/menu_commands.h"

namespace tervo::config {
namespace {

TEST(MenuTree, HoldsTheCaptionsAndTheItemsDisabledAtStart) {
  const auto& tree = MenuTree();
  ASSERT_EQ(tree.size(), 4u);
  EXPECT_EQ(tree[0].caption, "&File");
  EXPECT_EQ(tree[1].caption, "&Configurations");
  EXPECT_EQ(tree[2].caption, "UnLock");
  EXPECT_TRUE(tree[2].items.empty()) << "the lock is a top-level command";
  EXPECT_EQ(tree[3].caption, "&Utils");
  const std::vector<std::pair<const char*, const char*>> captions = {
      {"LoadFile", "&Load"},
      {"SaveFile", "&Save as"},
      {"ClearData", "Clear &All Data"},
      {"ClearScreen", "&Clear Screen Data"},
      {"AutoFill", "Auto &Fill Screen Data"},
      {"ExitProgram", "E&xit"},
      {"GeneralConf", "&General configuration"},
      {"TerminalEmulator", "&Terminal Emulator"},
      {"ScreenReport", "Screens Report"},
      {"Report", "&Report"},
      {"Debug", "&Debug Windows"},
      {"Router", "R&outer Configuration"},
      {"SystemName", "System Name"},
      {"RouterConfig", "&Configuration"},
      {"ConfDeviceName", "Configure &device name"},
      {"RouterConnect", "Co&nnect"},
      {"Restore_Default", "Restore Default"},
      {"SetTimer", "&Set timer"},
      {"Send_Global_Message", "Send Global Message"},
      {"BatteryReport", "&Battery Voltage"},
      {"Graph", "Terminal Graph"},
      {"RecentMessages", "Recent &Messages"},
  };
  for (const auto& [name, caption] : captions) {
    const MenuItemDef* item = FindMenuItem(name);
    ASSERT_NE(item, nullptr) << name;
    EXPECT_EQ(item->caption, caption);
    bool lockedItem = false;
    for (const auto& f : LockedFileItems()) lockedItem |= f == name;
    EXPECT_EQ(item->enabledAtStart, !lockedItem) << name;
  }
  EXPECT_EQ(FindMenuItem("Router")->items.size(), 5u);
}

TEST(ConfigPaths, FolderExtensionAndDotRules) {
  const std::pair<const char*, const char*> folders[] = {
      {"C:\\cfg\\site1", "C:\\cfg"}, {"/srv/tervo/site1", "/srv/tervo"}, {"site1", ""}, {"", ""}};
  for (const auto& [base, folder] : folders) EXPECT_EQ(ConfigFolder(base), folder) << base;

  EXPECT_EQ(BaseOfChosenFile("/srv/cfg/plant.TVO"), "/srv/cfg/plant");
  EXPECT_EQ(BaseOfChosenFile("/srv/cfg/plant.tvo"), "/srv/cfg/plant");
  EXPECT_EQ(BaseOfChosenFile("/srv/cfg/plant"), "/srv/cfg/plant")
      << "no extension: nothing to drop";

  EXPECT_EQ(BaseOfSaveName("/srv/cfg/site.TVO"), "/srv/cfg/site");
  EXPECT_EQ(BaseOfSaveName("/srv/cfg/site.old.TVO"), "/srv/cfg/site");
  EXPECT_EQ(BaseOfSaveName("C:\\my.dir\\site"), "C:\\my.dir\\site")
      << "a dotted folder is not a cut";
  EXPECT_EQ(BaseOfSaveName("/home/op/.config/site"), "/home/op/.config/site");
}

struct FakePrompt : Prompt {
  std::vector<std::string> asked;
  Answer answer = Answer::Yes;
  std::string input;
  Answer Message(const std::string& text, const std::string&, Buttons) override {
    asked.push_back(text);
    return answer;
  }
  std::string Input(const std::string& prompt, const std::string& title,
                    const std::string& def) override {
    asked.push_back(prompt + "|" + title + "|" + def);
    return input;
  }
};

struct FakeDialogs : FileDialogs {
  std::vector<std::string> presets;  // "name|folder"
  std::vector<Result> results;       // taken from the front; Chosen when empty
  std::string chosen;
  Result Next(const std::string& name, const std::string& folder, std::string* out) {
    presets.push_back(name + "|" + folder);
    Result r = Result::Chosen;
    if (!results.empty()) {
      r = results.front();
      results.erase(results.begin());
    }
    if (r == Result::Chosen) *out = chosen;
    return r;
  }
  Result Open(const std::string& n, const std::string& f, std::string* out) override {
    return Next(n, f, out);
  }
  Result Save(const std::string& n, const std::string& f, std::string* out) override {
    return Next(n, f, out);
  }
};

struct Rig {
  ScreenStore store;
  GeneralOptions options;
  FakePrompt prompt;
  FakeDialogs dialogs;
  std::map<std::string, std::string> settings;
  std::vector<std::string> events;
  bool changed = true;
  bool loadResult = true;
  std::string globalMessage = "old";
  MenuCommands commands{Env()};

  MenuCommands::Environment Env() {
    MenuCommands::Environment e;
    e.store = &store;
    e.options = &options;
    e.prompt = &prompt;
    e.dialogs = &dialogs;
    e.readSetting = [this](const std::string& k, const std::string& d) {
      auto it = settings.find(k);
      return it == settings.end() ? d : it->second;
    };
    e.writeSetting = [this](const std::string& k, const std::string& v) { settings[k] = v; };
    e.load = [this](const std::string& base) {
      events.push_back("load " + base);
      return loadResult;
    };
    e.save = [this](const std::string& base, std::string*) {
      events.push_back("save " + base);
      return true;
    };
    e.showCaption = [this](const std::string& s) { events.push_back("caption " + s); };
    e.configChanged = [this] { return changed; };
    e.setConfigChanged = [this](bool c) { changed = c; };
    e.setGlobalMessage = [this](const std::string& m) { globalMessage = m; };
    e.closeMainWindow = [this] { events.push_back("close"); };
    return e;
  }
};

TEST(MenuCommands, LoadPresetsTheDialogLoadsTheBaseAndStoresIt) {
  Rig r;
  r.store.Screens[1].ScreenId = 77;
  r.dialogs.chosen = "/srv/cfg/plant.TVO";
  EXPECT_TRUE(r.commands.LoadFile());
  EXPECT_EQ(r.dialogs.presets, std::vector<std::string>{".TVO|"}) << "no stored name";
  EXPECT_EQ(r.store.Screens[1].ScreenId, 0) << "the screens are cleared first";
  EXPECT_EQ(r.events, (std::vector<std::string>{"load /srv/cfg/plant", "caption Saved"}));
  EXPECT_EQ(r.settings["FileName"], "/srv/cfg/plant");
  EXPECT_FALSE(r.changed);
  EXPECT_TRUE(r.prompt.asked.empty());

  r.loadResult = false;
  r.changed = true;
  r.dialogs.chosen = "/srv/cfg/other.TVO";
  r.commands.LoadFile();
  EXPECT_EQ(r.dialogs.presets.back(), "/srv/cfg/plant.TVO|/srv/cfg");
  EXPECT_EQ(r.prompt.asked, std::vector<std::string>{"Bad file..."});
  EXPECT_EQ(r.settings["FileName"], "/srv/cfg/other") << "stored even when the load failed";
  EXPECT_FALSE(r.changed);
}

TEST(MenuCommands, LoadStartsFromAFreshStoreButKeepsTheDeviceData) {
  Rig r;
  r.store.Screens[1].Screen[2].Size = 9;
  r.store.Screens[1].TeclasFuncao[0] = "Exit";
  r.store.ScreensText[1][2] = "from the old file";
  r.store.DeviceName[20] = "DSP20";
  r.store.TerminalIDDef[20] = "T20";
  r.dialogs.chosen = "/srv/cfg/plant.TVO";
  ASSERT_TRUE(r.commands.LoadFile());
  EXPECT_EQ(r.store.Screens[1].Screen[2].Size, 0) << "nothing of the old file carries over";
  EXPECT_EQ(r.store.Screens[1].TeclasFuncao[0], "");
  EXPECT_EQ(r.store.ScreensText[1][2], "");
  EXPECT_EQ(r.store.DeviceName[20], "DSP20");
  EXPECT_EQ(r.store.TerminalIDDef[20], "T20");
}

TEST(MenuCommands, CancellingADialogEndsTheCommand) {
  Rig r;
  r.settings["FileName"] = "/srv/cfg/plant";
  r.store.Screens[1].ScreenId = 77;
  r.dialogs.results = {FileDialogs::Result::Cancelled};
  EXPECT_FALSE(r.commands.LoadFile());
  r.dialogs.results = {FileDialogs::Result::Cancelled};
  EXPECT_FALSE(r.commands.SaveFile());
  EXPECT_TRUE(r.events.empty());
  EXPECT_EQ(r.store.Screens[1].ScreenId, 77);
  EXPECT_TRUE(r.changed);
  EXPECT_EQ(r.settings["FileName"], "/srv/cfg/plant");
}

TEST(MenuCommands, SaveCutsTheNameRetriesAFailedDialogAndSavesSilently) {
  Rig r;
  r.settings["FileName"] = "/srv/cfg/plant";
  r.dialogs.results = {FileDialogs::Result::Failed, FileDialogs::Result::Chosen};
  r.dialogs.chosen = "/srv/new/site.TVO";
  EXPECT_TRUE(r.commands.SaveFile());
  EXPECT_EQ(r.dialogs.presets, (std::vector<std::string>{"/srv/cfg/plant|/srv/cfg", "|"}));
  EXPECT_EQ(r.events, (std::vector<std::string>{"save /srv/new/site", "caption Saved"}));
  EXPECT_EQ(r.settings["FileName"], "/srv/new/site");
  EXPECT_FALSE(r.changed);

  r.events.clear();
  r.dialogs.presets.clear();
  EXPECT_TRUE(r.commands.SaveFile(/*silent=*/true));
  EXPECT_TRUE(r.dialogs.presets.empty()) << "the automatic save shows no dialog";
  EXPECT_EQ(r.events.front(), "save /srv/new/site");
}

TEST(MenuCommands, ExitAsksOnlyWhenChanged) {
  Rig r;
  r.dialogs.chosen = "/tmp/x";
  r.prompt.answer = Prompt::Answer::No;
  r.commands.ExitProgram();
  EXPECT_EQ(r.prompt.asked, std::vector<std::string>{"Save Changes ?"});
  EXPECT_EQ(r.events, std::vector<std::string>{"close"});
  EXPECT_FALSE(r.changed);

  Rig yes;
  yes.dialogs.chosen = "/tmp/x";
  yes.commands.ExitProgram();
  EXPECT_EQ(yes.events, (std::vector<std::string>{"save /tmp/x", "caption Saved", "close"}));

  Rig unchanged;
  unchanged.changed = false;
  unchanged.commands.ExitProgram();
  EXPECT_TRUE(unchanged.prompt.asked.empty());

  // A stop closed the question before anyone answered: the changes stay
  // for the stop to keep, and the stop closes the window itself.
  Rig stopped;
  stopped.prompt.answer = Prompt::Answer::Cancel;
  stopped.commands.ExitProgram();
  EXPECT_TRUE(stopped.events.empty());
  EXPECT_TRUE(stopped.changed);
}

TEST(MenuCommands, RouterSystemNameAndGlobalMessage) {
  Rig r;
  r.settings["System"] = "AS1";
  r.prompt.input = "";  // cancelled
  r.commands.SystemName();
  EXPECT_EQ(r.prompt.asked.back(), "System Name|As400 INFO|AS1");
  EXPECT_EQ(r.settings["System"], "") << "cancelling stores the empty name";

  r.prompt.input = "Stock count at 3";
  r.commands.SendGlobalMessage();
  EXPECT_EQ(r.prompt.asked.back(), "Message ?|Only for expert users|");
  EXPECT_EQ(r.globalMessage, "Stock count at 3");

  r.settings["RouterName"] = "TN5250";
  r.settings["System"] = "AS1";
  r.commands.RestoreDefault();
  EXPECT_EQ(r.settings["RouterName"], "DemoHost");
  EXPECT_EQ(r.settings["System"], "");
  EXPECT_EQ(r.events.back(), "close");
}

TEST(DefaultPrompt, AnswersYesAndTheDefaultAndReportsTheQuestion) {
  DefaultPrompt p;
  std::vector<std::string> asked;
  p.asked = [&](const std::string& q) { asked.push_back(q); };
  EXPECT_EQ(p.Message("Save Changes ?", "", Prompt::Buttons::YesNo), Prompt::Answer::Yes);
  EXPECT_EQ(p.Input("System Name", "As400 INFO", "AS1"), "AS1");
  EXPECT_EQ(asked, (std::vector<std::string>{"Save Changes ?", "As400 INFO: System Name"}));
  // Unattended, nothing is destroyed and nothing is decided for the operator.
  EXPECT_EQ(p.Message("Clear all?", "", Prompt::Buttons::YesNoDefaultNo), Prompt::Answer::No);
  EXPECT_EQ(p.Message("Load kept changes?", "", Prompt::Buttons::YesNoCancel),
            Prompt::Answer::Cancel);
}

}  // namespace
}  // namespace tervo::config
