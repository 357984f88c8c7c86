// One application object for every test program: sockets, timers and the
// event loop need it, and tests drive the loop themselves.
#ifdef TERVO_TEST_WIDGETS
#include <QApplication>
using TestApplication = QApplication;
#else
#include <QCoreApplication>
using TestApplication = QCoreApplication;
#endif
#include <gtest/gtest.h>

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
#ifdef TERVO_TEST_WIDGETS
  // Widget tests run without a screen unless told otherwise (test discovery
  // at build time runs this program outside ctest's environment too).
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
#endif
  TestApplication app(argc, argv);
  return RUN_ALL_TESTS();
}
