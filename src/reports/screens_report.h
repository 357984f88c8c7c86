// "Screens Report": pages through the screen definitions one screen number
// at a time, shows the stored host screen with the configured fields marked,
// and lets the operator clear a definition, build it again automatically,
// switch its repeat rule and skip flag, and pick a field for the editor or
// a selection for "Divide field".  Every change goes straight into the
// configuration.
//
// The model holds the report's state; the window draws it.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "reports/screen_image.h"
#include "screens/screen_context.h"

namespace tervo::reports {

// The session slot that configuration commands without a live session use:
// the report builds definitions by way of it.
constexpr int kReportSession = 32;

// The report's status word for a definition: "UNDEFINED", "MASTER",
// "DEFINED", "COPY FROM MASTER " and the master's number with a leading
// space; any other status shows as its number.
std::string StatusWord(const config::ScreenDef& def);

class ScreensReport {
 public:
  struct Hooks {
    // A change went into the configuration (it is unsaved now).
    std::function<void()> markUnsaved;
    // Automatic configuration runs for session slot 32, which becomes the
    // gateway's current session.
    std::function<void(int session)> setCurrentSession;
  };

  ScreensReport(screens::ScreenContext& ctx, Hooks hooks);

  // Opening: screen 0, then "+" to the first defined screen.
  void Open();
  // Closing: the "Activate" box goes with the window, so identification
  // works normally again.
  void Close();

  int ShowScreen() const { return show_; }
  // The field picked by the last click in the image, -1 when none.
  int Field() const { return field_; }

  // "+": the next screen with an identification value, or the last one.
  void Plus();
  // "-": the previous screen with an identification value, or screen 1.
  void Minus();
  // A number typed into the screen number box.  Above the highest screen
  // number, or not above 0, it is refused (false) and the box shows the
  // current number again; otherwise the report moves there.
  bool TypeNumber(const std::string& typed);
  // "Clear Configurations" (and Delete): frees the shown definition and
  // moves on with "+".
  void Clear();

  // "AutoFill Screen Data" needs a capture to build from.
  bool AutoFillEnabled() const;
  void AutoFill();
  // "Auto Refill All ...": every definition copied from a master is built
  // again.  The window runs it a screen at a time: StartRefill lists the
  // screens, each RefillStep builds the next, false when none is left.
  int StartRefill();
  bool RefillStep();
  int RefillDone() const { return refillNext_; }
  int RefillTotal() const { return static_cast<int>(refill_.size()); }
  bool Refilling() const { return refillNext_ < RefillTotal(); }

  // The check boxes.
  bool AutoRepeat() const;  // "AutoRepeat used": the repeat rule is active
  void SetAutoRepeat(bool on);
  bool Skip() const;  // "Skip used": the screen is not sent to the terminal
  void SetSkip(bool on);
  // "Activate": every new host screen is taken to be the shown definition.
  bool Activated() const;
  void SetActivate(bool on);

  // What the text boxes show.
  std::int32_t ScreenId() const;
  std::string Status() const;
  std::string IdTerminal() const;
  bool IdTerminalChecked() const;  // drawn red
  std::string IdUser() const;
  bool IdUserChecked() const;  // drawn red
  // The terminal preview; empty while the screen has no identification value.
  std::string Preview() const;
  ReportImage Image() const;

  // A left click on the character at an image offset: the field that
  // starts there or, stepping back, the nearest one before it.  Returns the
  // field (also kept as Field()) and its span, or -1 when none is found.
  int Click(int offset, Span* span);

 private:
  const config::ScreenDef* Def() const;
  void MoveTo(int screen);
  void BuildByReportSession(int screen);
  void Changed();

  screens::ScreenContext& ctx_;
  Hooks hooks_;
  int show_ = 0;
  int field_ = -1;
  std::vector<int> refill_;
  int refillNext_ = 0;
};

}  // namespace tervo::reports
