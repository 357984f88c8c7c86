// What the gateway engine asks of whoever presents it: the main window when
// there is a display, the headless runner otherwise.  The engine never
// includes window code; it calls these and carries on.
#pragma once

#include <string>

namespace tervo::core {

class GatewayUi {
 public:
  virtual ~GatewayUi() = default;

  // The main window's title changed (ShowCaption, or "ERROR:" + message).
  virtual void CaptionChanged(const std::string& caption) = 0;
  // A question with Yes and No buttons ("Save Changes ?").  defaultYes is
  // the button a plain Enter would choose.
  virtual bool AskYesNo(const std::string& question, bool defaultYes) = 0;
  // A message box with only OK ("Invalid Device " + name).
  virtual void ShowMessage(const std::string& message) = 0;
  // The two labels of the status line: a session's terminal id and user;
  // session -1 blanks both.
  virtual void SessionLabelsChanged(int session, const std::string& terminalId,
                                    const std::string& user) = 0;
  // Whether the Configurations menu is shown (the configuration unlocked).
  virtual bool ConfigurationsVisible() const = 0;
  // The terminal preview window's text (only while the configuration is
  // unlocked).
  virtual void PreviewChanged(const std::string& preview) = 0;
  // The mouse pointer: hourglass while a new screen is handled.
  virtual void BusyChanged(bool busy) = 0;
};

}  // namespace tervo::core
