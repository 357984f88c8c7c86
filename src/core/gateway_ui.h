// What the gateway engine asks of whoever presents it: the main window when
// there is a display, the headless runner otherwise.  The engine never
// includes window code; it calls these and carries on.
#pragma once

#include <string>

namespace tervo::core {

// The two lists of the debug window: what a session last did with its host
// screen, and what it last did with its terminal.
enum class DebugList { kHost, kTerminal };

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
  // The debug window's line of a session in one of its lists, replaced
  // each time.  A presentation without that window ignores it.
  virtual void DebugLine(DebugList /*list*/, int /*session*/, const std::string& /*line*/) {}
};

}  // namespace tervo::core
