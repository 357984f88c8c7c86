// tervo-config as a site engineer runs it: on real files, by exit status and
// what it prints.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <algorithm>
#include <functional>

#include "config/config_reader.h"
#include "config/config_writer.h"
#include "sample_config.h"

namespace tervo::config {
namespace {

using testing::ReadFile;
using testing::TempFolder;
using testing::WriteFile;

struct ToolRun {
  int exitCode = -1;
  std::string out;
  std::string err;
};

ToolRun Tool(const QStringList& args, const QByteArray& input = {}) {
  QProcess p;
  p.start(QCoreApplication::applicationDirPath() + "/../apps/tervo-config/tervo-config", args);
  ToolRun r;
  if (!p.waitForStarted(5000)) {
    ADD_FAILURE() << "tervo-config did not start";
    return r;
  }
  if (!input.isEmpty()) p.write(input);
  p.closeWriteChannel();
  if (!p.waitForFinished(60000)) {
    ADD_FAILURE() << "tervo-config did not finish";
    return r;
  }
  r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
  r.out = p.readAllStandardOutput().toStdString();
  r.err = p.readAllStandardError().toStdString();
  return r;
}

QString Q(const std::string& s) { return QString::fromStdString(s); }

const std::string kDemo = TERVO_TEST_DATA "/../../demo/warehouse";

// A copy of the demo configuration in dir, changed by `change`.
std::string DemoVariant(const TempFolder& dir, const std::string& name,
                        const std::function<void(ScreenStore&, GeneralOptions&)>& change) {
  ScreenStore store;
  GeneralOptions options;
  testing::RecordingPrompt prompt;
  EXPECT_TRUE(LoadData(kDemo, store, options, prompt));
  change(store, options);
  std::string err;
  EXPECT_TRUE(SaveDataToFile2(dir.File(name), store, options, &err)) << err;
  return dir.File(name);
}

TEST(TervoConfigTool, LintsTheDemoCleanAndReportsEachMistakeWithExitOne) {
  const ToolRun clean = Tool({"lint", Q(kDemo)});
  EXPECT_EQ(clean.exitCode, 0) << clean.out << clean.err;
  EXPECT_EQ(clean.out, "");

  TempFolder dir;
  const std::string broken = DemoVariant(dir, "broken", [](ScreenStore& s, GeneralOptions&) {
    s.Screens[7].EscKey = "@LOGOFF,@E";
    s.Screens[5].Screen[0].Order = -1;
    s.Screens[5].Screen[0].InputField = 1;
  });
  // A bad line is a mistake too.
  WriteFile(broken + ".TVO", ReadFile(broken + ".TVO") + "ScreenCt=\"5000\"\r\n");
  const ToolRun r = Tool({"lint", Q(broken + ".TVO")});
  EXPECT_EQ(r.exitCode, 1);
  const int lines = static_cast<int>(std::count(r.out.begin(), r.out.end(), '\n'));
  EXPECT_EQ(lines, 3) << r.out;
  EXPECT_EQ(r.out.find("line "), 0u) << r.out;
  EXPECT_NE(r.out.find(": ScreenCt 5000 is outside 0..999 [bad-line]\n"), std::string::npos)
      << r.out;
  EXPECT_NE(r.out.find("screen 5 field 0: input field with Order -1: the terminal never shows it "
                       "[hidden-input]\n"),
            std::string::npos)
      << r.out;
  EXPECT_NE(
      r.out.find(
          "screen 7: EscKey \"@LOGOFF,@E\": \"@LOGOFF\" ends the session only as the last key"),
      std::string::npos)
      << r.out;

  const ToolRun missing = Tool({"lint", Q(dir.File("nothing"))});
  EXPECT_EQ(missing.exitCode, 2);
  EXPECT_NE(missing.err.find("cannot read"), std::string::npos);
}

TEST(TervoConfigTool, DiffIsQuietForTheSameConfigurationAndGivesOneLineForOneField) {
  TempFolder dir;
  // The same file with LF line ends and blank lines between its lines.
  std::string other;
  for (char c : ReadFile(kDemo + ".TVO")) {
    if (c == '\r') continue;
    other += c;
    if (c == '\n') other += '\n';
  }
  WriteFile(dir.File("same.TVO"), other);
  const ToolRun same = Tool({"diff", Q(kDemo), Q(dir.File("same"))});
  EXPECT_EQ(same.exitCode, 0) << same.err;
  EXPECT_EQ(same.out, "");
  EXPECT_EQ(same.err, "");

  const std::string changed = DemoVariant(
      dir, "changed", [](ScreenStore& s, GeneralOptions&) { s.Screens[6].Screen[2].Size = 19; });
  const ToolRun one = Tool({"diff", Q(kDemo + ".TVO"), Q(changed)});
  EXPECT_EQ(one.exitCode, 1);
  ScreenStore demo;
  GeneralOptions options;
  testing::RecordingPrompt prompt;
  ASSERT_TRUE(LoadData(kDemo, demo, options, prompt));
  EXPECT_EQ(one.out, "screen 6 field 2: Size " + std::to_string(demo.Screens[6].Screen[2].Size) +
                         " \xE2\x86\x92 19\n");

  const ToolRun json = Tool({"diff", "--json", Q(kDemo), Q(changed)});
  EXPECT_EQ(json.exitCode, 1);
  EXPECT_NE(json.out.find("{\"member\": \"Size\", \"old\": "), std::string::npos) << json.out;
}

TEST(TervoConfigTool, ExportAndImportGiveTheFileBackByteForByte) {
  TempFolder dir;
  const ToolRun exported =
      Tool({"export", Q(kDemo), "--json", "--output", Q(dir.File("demo.json"))});
  ASSERT_EQ(exported.exitCode, 0) << exported.err;
  EXPECT_EQ(exported.err, "");
  const ToolRun imported = Tool({"import", Q(dir.File("demo.json")), Q(dir.File("back"))});
  ASSERT_EQ(imported.exitCode, 0) << imported.err;
  EXPECT_TRUE(ReadFile(dir.File("back.TVO")) == ReadFile(kDemo + ".TVO"));

  // Through standard output and standard input too, and the JSON names a
  // configuration for lint and diff.
  const ToolRun piped = Tool({"export", Q(kDemo + ".TVO")});
  ASSERT_EQ(piped.exitCode, 0);
  EXPECT_EQ(piped.out, ReadFile(dir.File("demo.json")));
  ASSERT_EQ(
      Tool({"import", "-", Q(dir.File("piped"))}, QByteArray::fromStdString(piped.out)).exitCode,
      0);
  EXPECT_TRUE(ReadFile(dir.File("piped.TVO")) == ReadFile(kDemo + ".TVO"));
  EXPECT_EQ(Tool({"lint", Q(dir.File("demo.json"))}).exitCode, 0);
  EXPECT_EQ(Tool({"diff", Q(dir.File("demo.json")), Q(kDemo)}).out, "");
}

TEST(TervoConfigTool, ImportOfSomethingElseWritesNothing) {
  TempFolder dir;
  WriteFile(dir.File("bad.json"),
            "{\"format\": \"tervo-config\", \"version\": 1, \"general\": {\"Cut\": \"7\"}}");
  const ToolRun r = Tool({"import", Q(dir.File("bad.json")), Q(dir.File("out"))});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, "tervo-config: " + dir.File("bad.json") + ": general: Cut 7 is outside 0..1\n");
  EXPECT_FALSE(QFile::exists(Q(dir.File("out.TVO"))));
}

TEST(TervoConfigTool, ExportSaysWhenTheFileIsNotInTheGatewaysForm) {
  TempFolder dir;
  std::string lf = ReadFile(kDemo + ".TVO");
  lf.erase(std::remove(lf.begin(), lf.end(), '\r'), lf.end());
  WriteFile(dir.File("lf.TVO"), lf);
  const ToolRun r = Tool({"export", Q(dir.File("lf"))});
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_NE(r.err.find("is not in the form the gateway writes"), std::string::npos) << r.err;
}

// Screens the gateway learned (status 0, with an identification) count
// apart from the empty slots.
TEST(TervoConfigTool, CheckCountsLearnedScreensApartFromEmptySlots) {
  TempFolder dir;
  const std::string base = DemoVariant(dir, "learned", [](ScreenStore& store, GeneralOptions&) {
    const int n = store.NumeroMaximoDeEcrans + 2;
    store.NumeroMaximoDeEcrans = n;
    store.GrowScreenTables();
    store.Screens[n].ScreenId = 134853933;  // as the gateway defines it
    store.Originals[n].Count = 1;
    store.Originals[n][0].Text = "Sign On";
    store.Originals[n][0].Length = 7;
  });
  const ToolRun demo = Tool({"check", Q(kDemo)});
  const ToolRun r = Tool({"check", Q(base)});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(demo.out.find("  AUTOMATIC: 0\n"), std::string::npos) << demo.out;
  EXPECT_NE(r.out.find("  AUTOMATIC: 1\n"), std::string::npos) << r.out;
  auto undefined = [](const std::string& out) {
    const std::size_t p = out.find("UNDEFINED: ");
    return p == std::string::npos ? -1 : std::stoi(out.substr(p + 11));
  };
  EXPECT_EQ(undefined(r.out), undefined(demo.out) + 1) << "one more slot, one more learned screen";
}

TEST(TervoConfigTool, HelpNamesEveryCommandAndRule) {
  const ToolRun r = Tool({"--help"});
  EXPECT_EQ(r.exitCode, 0);
  for (const char* word : {"check BASE", "resave BASE OUT", "lint BASE", "diff [--json] OLD NEW",
                           "export BASE", "import FILE.json OUT", "same-identification",
                           "master-without-keys", "too-wide", "hidden-input", "unsendable-keys",
                           "join-missing-field", "division-missing-field", "endless-repeat"})
    EXPECT_NE(r.out.find(word), std::string::npos) << word;
  EXPECT_EQ(Tool({"lint"}).exitCode, 2);
  EXPECT_EQ(Tool({"frobnicate", "x"}).exitCode, 2);
}

}  // namespace
}  // namespace tervo::config
