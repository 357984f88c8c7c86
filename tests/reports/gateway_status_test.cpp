// The status bar's account of a gateway: radio link, terminals, host
// sessions, unsaved changes.
#include "reports/gateway_status.h"

#include "core/gateway_fixture.h"

namespace tervo::reports {
namespace {

using core::testing::GatewayTest;

TEST_F(GatewayTest, StatusCountsTerminalsHostSessionsAndUnsavedChanges) {
  gateway_->Start();
  GatewayStatus s = ReadGatewayStatus(*gateway_, false, nullptr);
  EXPECT_EQ(s.radio, GatewayStatus::Radio::kUp);
  EXPECT_EQ(TerminalsText(s), "Terminals 0/2");
  EXPECT_EQ(HostSessionsText(s), "Host sessions 0/2");
  EXPECT_EQ(SavedText(s), "Saved");

  std::string err;
  Display(1).Connect(&err);
  gateway_->ConfigChanged = true;
  s = ReadGatewayStatus(*gateway_, false, [](const std::string& id) { return id == "T2"; });
  EXPECT_EQ(TerminalsText(s), "Terminals 1/2");
  EXPECT_EQ(HostSessionsText(s), "Host sessions 1/2");
  EXPECT_EQ(SavedText(s), "Unsaved");
  gateway_->Shutdown();
  EXPECT_EQ(HostSessionsText(ReadGatewayStatus(*gateway_, false, nullptr)), "Host sessions 0/2");
}

TEST_F(GatewayTest, RadioLinkStates) {
  radio_->initializeResult = 0;
  pump_->hook = [this] { gateway_->SetMessageKey(core::kEnterKey); };
  gateway_->Start();
  EXPECT_EQ(RadioText(ReadGatewayStatus(*gateway_, true, nullptr).radio),
            "Radio link down, retrying");
  EXPECT_EQ(RadioText(ReadGatewayStatus(*gateway_, false, nullptr).radio), "Radio link down");
  options_->SetText("ComPort", "");
  EXPECT_EQ(RadioText(ReadGatewayStatus(*gateway_, false, nullptr).radio), "No radio base");
  gateway_->Shutdown();
}

}  // namespace
}  // namespace tervo::reports
