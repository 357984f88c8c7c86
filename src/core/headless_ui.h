// The gateway without windows: questions take their default answer, and
// both they and the title changes are written to a line sink (stderr in
// the program) so an unattended run leaves a trace of what it decided.
#pragma once

#include <functional>
#include <string>

#include "core/gateway_ui.h"

namespace tervo::core {

class HeadlessUi : public GatewayUi {
 public:
  using Sink = std::function<void(const std::string& line)>;
  explicit HeadlessUi(Sink sink) : sink_(std::move(sink)) {}

  void CaptionChanged(const std::string& caption) override;
  bool AskYesNo(const std::string& question, bool defaultYes) override;
  void ShowMessage(const std::string& message) override;
  void SessionLabelsChanged(int, const std::string&, const std::string&) override {}
  bool ConfigurationsVisible() const override { return false; }
  void PreviewChanged(const std::string&) override {}
  void BusyChanged(bool) override {}

  const std::string& Caption() const { return caption_; }

 private:
  void Line(const std::string& s) {
    if (sink_) sink_(s);
  }
  Sink sink_;
  std::string caption_;
};

}  // namespace tervo::core
