// A save that fails must leave the previous configuration file exactly as it
// was, and say so.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "config/atomic_file.h"
#include "config/config_writer.h"
#include "sample_config.h"

namespace tervo::config {
namespace {

using testing::ReadFile;
using testing::TempFolder;

QStringList Entries(const std::string& folder) {
  return QDir(QString::fromStdString(folder)).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
}

TEST(ConfigSave, ReplacesTheFileAndLeavesNoTemporaryFile) {
  TempFolder dir;
  testing::WriteFile(dir.File("plant.TVO"), "old");
  ScreenStore store;
  GeneralOptions options;
  std::string err;
  ASSERT_TRUE(SaveDataToFile2(dir.File("plant"), store, options, &err)) << err;
  EXPECT_EQ(ReadFile(dir.File("plant.TVO")), WriteConfig(store, options));
  EXPECT_EQ(Entries(dir.path()), QStringList{"plant.TVO"});
}

// A disk that fills up half-way through the file.
TEST(ConfigSave, FailedWriteKeepsTheOldFileByteForByte) {
  TempFolder dir;
  const std::string old = "SessionCt=\"1\"\r\nprevious configuration\r\n";
  testing::WriteFile(dir.File("plant.TVO"), old);
  ScreenStore store;
  GeneralOptions options;
  testing::FillSample(store, options);
  int calls = 0;
  ByteWriter diskFull = [&calls](std::string_view bytes, const std::function<bool(std::string_view)>& sink) {
    ++calls;
    sink(bytes.substr(0, bytes.size() / 2));
    return false;
  };
  std::string err;
  EXPECT_FALSE(SaveDataToFile2(dir.File("plant"), store, options, &err, diskFull));
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(err, "cannot write \"" + dir.File("plant.TVO") + "\": write failed");
  EXPECT_EQ(ReadFile(dir.File("plant.TVO")), old);
  EXPECT_EQ(Entries(dir.path()), QStringList{"plant.TVO"});
}

TEST(ConfigSave, UnwritableFolderKeepsTheOldFile) {
  TempFolder dir;
  const std::string sub = dir.File("ro");
  ASSERT_EQ(::mkdir(sub.c_str(), 0755), 0);
  const std::string old = "old bytes\r\n";
  testing::WriteFile(sub + "/plant.TVO", old);
  ASSERT_EQ(::chmod(sub.c_str(), 0555), 0);
  const std::string probe = sub + "/probe";
  const int fd = ::open(probe.c_str(), O_CREAT | O_WRONLY, 0644);
  if (fd >= 0) {  // privileged users write anyway
    ::close(fd);
    ::unlink(probe.c_str());
    ::chmod(sub.c_str(), 0755);
    GTEST_SKIP() << "folder permissions do not stop this user";
  }
  ScreenStore store;
  GeneralOptions options;
  std::string err;
  EXPECT_FALSE(SaveDataToFile2(sub + "/plant", store, options, &err));
  EXPECT_EQ(err.rfind("cannot create \"" + sub + "/plant.TVO\": ", 0), 0u) << err;
  EXPECT_EQ(ReadFile(sub + "/plant.TVO"), old);
  ::chmod(sub.c_str(), 0755);
}

TEST(ConfigSave, MissingFolderIsReported) {
  TempFolder dir;
  ScreenStore store;
  GeneralOptions options;
  std::string err;
  EXPECT_FALSE(SaveDataToFile2(dir.File("no/such/plant"), store, options, &err));
  EXPECT_EQ(err.rfind("cannot create \"" + dir.File("no/such/plant.TVO") + "\": ", 0), 0u) << err;
}

}  // namespace
}  // namespace tervo::config
