// "Master Screen Setup" without its window: makes the edited screen a
// master and sets how its settings are copied onto new screens (the
// direction MoveV pairs fields along, which fields show), re-points the
// copies of an old master at the edited screen ("To be the Father"), and
// frees the copies of this master so that they are built again from it
// ("Update old screens").
//
// The status a screen keeps when the "Master Screen" box is left alone is
// the one it had: closing the dialog never turns a hand-made (2) or copied
// (4) definition into a free one (0) that new-screen allocation may take.
// Clearing the box on a master gives it back the non-master status it had
// before the box was ticked, or "defined by hand" (2) when it was a master
// already: the dialog is reached from the editor, where every screen
// counts as defined by hand.
#pragma once

#include <cstdint>
#include <string>

#include "config/menu_commands.h"
#include "config/screen_store.h"

namespace tervo::editors {

class MasterDialog {
 public:
  MasterDialog(config::ScreenStore& store, config::Prompt& prompt)
      : store_(store), prompt_(prompt) {}

  // Opens the dialog on the edited screen; false for a screen outside the
  // tables.
  bool Open(int screen);
  bool IsOpen() const { return open_; }
  int EditScreen() const { return screen_; }

  // --- what the controls show
  bool MasterChecked() const { return checked_; }
  // The frames (direction, "In new fields copy", "Show") and "Update old
  // screens" work on masters only.
  bool FramesEnabled() const { return checked_; }
  bool KillFatherEnabled() const { return killFatherEnabled_; }
  const std::string& FatherBox() const { return fatherBox_; }
  const std::string& MoveVBox() const { return moveVBox_; }
  // The direction option shown selected: -80, 80, -1, 1 or 0 ("Don't");
  // kNoDirection for any other step.
  static constexpr std::int32_t kNoDirection = 999999;
  std::int32_t Direction() const { return direction_; }
  bool CopyText() const;
  bool MasterFieldsOnly() const;

  // --- actions
  void ClickMaster(bool ticked);
  // "UP" -80, "DOWN" 80, "LEFT" -1, "RIGHT" 1, "Don't" 0: the MoveV box.
  void SelectDirection(std::int32_t moveV);
  void SetMoveVBox(const std::string& text);
  void SelectCopyText(bool text);          // "Text" / "Configurations"
  void SelectMasterFieldsOnly(bool only);  // "Master fields only" / "All fields"
  void ToBeTheFather();
  void UpdateOldScreens();
  // Stores the dialog: MoveV (masters only) and the status.  A MoveV box
  // that is not a number keeps MoveV and shows "Error " + description.
  bool StoreDialog();
  // "OK", Enter and the close box: store and close.
  void Close();

 private:
  config::ScreenDef& Def() const { return store_.Screens[static_cast<std::size_t>(screen_)]; }
  void Refresh();
  std::int32_t UncheckedStatus() const;

  config::ScreenStore& store_;
  config::Prompt& prompt_;
  bool open_ = false;
  int screen_ = 0;
  bool checked_ = false;
  bool touched_ = false;           // the "Master Screen" box was clicked since opening
  std::int32_t statusBefore_ = 0;  // the status at opening
  bool killFatherEnabled_ = false;
  std::string fatherBox_;
  std::string moveVBox_ = "0";
  std::int32_t direction_ = 0;
};

}  // namespace tervo::editors
