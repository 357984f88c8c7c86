// One connection's run through a scripted application: which screen it
// shows, what the operator has typed so far, and what follows a key.  It
// knows nothing of the wire; the host session turns its screens into 5250
// data streams and the terminal's answers into Answer() calls.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/demohost/app_model.h"

namespace tervo::demohost {

// A field as it stands on the shown screen: its definition and its text,
// already formatted to the field's length (right-adjusted, filled, signed).
struct ShownField {
  Field def;
  std::string text;
};

struct ShownText {
  int row = 1;
  int column = 2;
  std::string text;
  Look look;
};

// Everything the terminal shows for the current screen, resolved.
struct ShownScreen {
  std::string name;
  std::vector<ShownText> texts;  // constants, the function-key line, list rows
  std::vector<Rule> rules;
  std::vector<ShownField> fields;  // layout fields first, then the screen's
  int cursorRow = 1;
  int cursorColumn = 2;
  // The list area (rows listRow .. listRow + listSize - 1, and the
  // More.../Bottom line below it); listSize 0 without a list.
  int listRow = 0;
  int listSize = 0;
  bool readAll = false;  // Read Input Fields rather than Read MDT Fields
};

enum class Outcome {
  kShow,       // a new screen (or the same one drawn afresh)
  kPage,       // the list moved to another page; only the list area changed
  kError,      // message on the error line, keyboard locked, screen kept
  kHelp,       // open the help window over the screen
  kCloseHelp,  // the help window is closed: put the screen back
  kSignOff,    // end the session
  kIgnore,     // nothing to send (an unwanted Print)
};

struct Reply {
  Outcome outcome = Outcome::kShow;
  std::string message;  // kError
  int cursorRow = 0;    // kError: the field in error; 0 when none
  int cursorColumn = 0;
  int rollLines = 0;    // kPage: > 0 forward (Roll Up), < 0 back
};

class AppSession {
 public:
  // app must outlive the session.  deviceName is the display name the
  // terminal offered (or the one the host gave it); screens show it as
  // {device}.
  AppSession(const Application& app, std::string deviceName);

  // Shows the start screen.
  void Start();

  const ShownScreen& Current() const { return shown_; }
  const std::string& ScreenName() const { return screen_->name; }
  bool InHelp() const { return inHelp_; }
  // The help window could not be shown after all (the terminal did not
  // save its screen): the next key is an ordinary answer again.
  void CancelHelp() { inHelp_ = false; }
  const std::vector<std::string>& HelpLines() const { return screen_->help; }

  // The input field starting at (row, column), 1-based; nullptr if none.
  const ShownField* InputAt(int row, int column) const;

  // The operator pressed key (enter, rollup, rolldown, help, print, clear,
  // f1..f24).  typed holds, by field name, the input fields the terminal
  // sent; the others keep the text the screen showed.
  Reply Answer(const std::string& key, const std::map<std::string, std::string>& typed);

  // A variable as screens see it ({name}); empty when never set.
  std::string Variable(const std::string& name) const;

  // Text of a field formatted as its definition asks: right-adjusted and
  // zero- or blank-filled, the sign in the last position of a signed field,
  // cut or padded to the length.
  static std::string FormatField(const Field& f, const std::string& value);

 private:
  void Show(const Screen& s);
  void Render();
  std::string Resolve(const std::string& tmpl, const std::vector<std::string>* row = nullptr,
                      const Table* table = nullptr) const;
  int Pages() const;

  const Application& app_;
  const Screen* screen_ = nullptr;
  std::map<std::string, std::string> vars_;
  std::vector<std::string> history_;
  ShownScreen shown_;
  int page_ = 0;
  bool inHelp_ = false;
};

}  // namespace tervo::demohost
