// Terminal ids reach the metrics page and the health answer as the
// configuration holds them: Windows-1252 bytes, and any character a label
// value or a JSON string must escape.
#include "reports/monitoring.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "core/gateway_fixture.h"

namespace tervo::reports {
namespace {

using core::testing::GatewayTest;

TEST_F(GatewayTest, TerminalIdsAreEscapedAndInUtf8) {
  store_->TerminalIDDef[0] = "T\"1\\\xE9";  // a quote, a backslash, é
  gateway_->Start();
  const std::string page = MetricsText(*gateway_, {});
  EXPECT_NE(
      page.find("tervo_screens_sent_total{session=\"0\",terminal=\"T\\\"1\\\\\xC3\xA9\"} 0\n"),
      std::string::npos)
      << page;
  const http::Response health = HealthResponse(*gateway_, {});
  const QJsonObject s0 = QJsonDocument::fromJson(QByteArray::fromStdString(health.body))
                             .object()["sessions"]
                             .toArray()[0]
                             .toObject();
  EXPECT_EQ(s0["terminal"].toString(), QString::fromUtf8("T\"1\\\xC3\xA9"));
  gateway_->Shutdown();
}

}  // namespace
}  // namespace tervo::reports
