#include "platform/demohost/app_parser.h"

#include <gtest/gtest.h>

namespace tervo::demohost {
namespace {

TEST(AppParser, BuiltInWarehouseApplicationParses) {
  Application app;
  std::string err;
  ASSERT_TRUE(ParseApplication(WarehouseApplicationText(), &app, &err)) << err;
  EXPECT_EQ(app.start, "SIGNON");
}

}  // namespace
}  // namespace tervo::demohost
