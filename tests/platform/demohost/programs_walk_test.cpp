// The two programs together, as a person runs them: tervo-demohost on a
// free loopback port and tervo-5250 walking the warehouse application.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>

namespace {

QString Program(const QString& name) {
  return QCoreApplication::applicationDirPath() + "/../apps/" + name + "/" + name;
}

TEST(Programs, Tn5250WalksTheDemoHost) {
  const QString host = Program("tervo-demohost");
  const QString client = Program("tervo-5250");
  if (!QFileInfo::exists(host) || !QFileInfo::exists(client))
    GTEST_SKIP() << "tervo-demohost and tervo-5250 are not built";

  QProcess server;
  server.start(host, {"--listen", "127.0.0.1:0", "--quiet"});
  ASSERT_TRUE(server.waitForStarted(5000));
  ASSERT_TRUE(server.waitForReadyRead(5000));
  const QString line = QString::fromLatin1(server.readLine()).trimmed();
  ASSERT_TRUE(line.startsWith("listening on 127.0.0.1:")) << line.toStdString();
  const QString port = line.section(':', -1);

  QProcess walk;
  walk.start(client, {"--host", "127.0.0.1:" + port, "--device", "WALK01", "--keys",
                      "walker@Tpw@E3@E100234@E@32@E@u", "--dump"});
  ASSERT_TRUE(walk.waitForFinished(30000));
  const std::string out = walk.readAllStandardOutput().toStdString();
  server.kill();
  server.waitForFinished(5000);

  EXPECT_EQ(walk.exitCode(), 0) << walk.readAllStandardError().toStdString();
  for (const char* text : {"Sign On", "Display . . . . . :   WALK01", "Main Menu",
                           "3. Item inquiry", "Item Inquiry", "Pallet wrap, 500 mm clear",
                           "Picking List", "   11  SO-50215", "More..."}) {
    EXPECT_NE(out.find(text), std::string::npos) << text << "\n" << out;
  }
  EXPECT_NE(out.find("20,19 len    2 input"), std::string::npos);  // the menu's selection field
}

}  // namespace
