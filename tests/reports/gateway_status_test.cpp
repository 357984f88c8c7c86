// The status bar's radio link states (the counts are checked through the
// main window's status bar).
#include "reports/gateway_status.h"

#include "core/gateway_fixture.h"

namespace tervo::reports {
namespace {

using core::testing::GatewayTest;

TEST_F(GatewayTest, RadioLinkStates) {
  radio_->initializeResult = 0;
  gateway_->Start();
  gateway_->SetMessageKey(core::kEnterKey);  // the operator gives up the retries
  EXPECT_EQ(RadioText(ReadGatewayStatus(*gateway_, true, nullptr).radio),
            "Radio link down, retrying");
  EXPECT_EQ(RadioText(ReadGatewayStatus(*gateway_, false, nullptr).radio), "Radio link down");
  options_->SetText("ComPort", "");
  EXPECT_EQ(RadioText(ReadGatewayStatus(*gateway_, false, nullptr).radio), "No radio base");
  gateway_->Shutdown();
}

}  // namespace
}  // namespace tervo::reports
