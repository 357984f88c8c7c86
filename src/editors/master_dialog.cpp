#include "editors/master_dialog.h"

#include <algorithm>

#include "config/text.h"

namespace tervo::editors {

namespace {

std::size_t U(int i) { return static_cast<std::size_t>(i); }

int LastScreen(const config::ScreenStore& store) {
  return std::min(store.NumeroMaximoDeEcrans, store.ScreenTableSize() - 1);
}

}  // namespace

bool MasterDialog::Open(int screen) {
  if (!store_.ValidScreen(screen)) return false;
  open_ = true;
  screen_ = screen;
  touched_ = false;
  statusBefore_ = Def().Master;
  fatherBox_.clear();
  Refresh();
  return true;
}

void MasterDialog::Refresh() {
  const config::ScreenDef& d = Def();
  killFatherEnabled_ = false;
  checked_ = d.Master == config::kScreenMaster;
  if (!checked_) {
    fatherBox_ = std::to_string(d.MultipleInputFather);
    killFatherEnabled_ = d.MultipleInputFather > 0;
  }
  const std::int32_t moveV = store_.MasterScreens[U(screen_)].MoveV;
  direction_ =
      moveV == 80 || moveV == 1 || moveV == -80 || moveV == -1 || moveV == 0 ? moveV : kNoDirection;
  moveVBox_ = std::to_string(moveV);
}

bool MasterDialog::CopyText() const { return open_ && store_.MasterScreens[U(screen_)].CopyText; }

bool MasterDialog::MasterFieldsOnly() const { return open_ && Def().MasterAux != 0; }

std::int32_t MasterDialog::UncheckedStatus() const {
  return statusBefore_ == config::kScreenMaster ? config::kScreenDefined : statusBefore_;
}

void MasterDialog::ClickMaster(bool ticked) {
  if (!open_) return;
  touched_ = true;
  Def().Master = ticked ? config::kScreenMaster : UncheckedStatus();
  Refresh();
}

void MasterDialog::SelectDirection(std::int32_t moveV) {
  if (!open_) return;
  moveVBox_ = std::to_string(moveV);
  direction_ = moveV;
}

void MasterDialog::SetMoveVBox(const std::string& text) {
  if (open_) moveVBox_ = text;
}

void MasterDialog::SelectCopyText(bool text) {
  if (open_) store_.MasterScreens[U(screen_)].CopyText = text;
}

void MasterDialog::SelectMasterFieldsOnly(bool only) {
  if (open_) Def().MasterAux = only ? 1 : 0;
}

// The edited screen takes the old master's place: the copies of the old
// master name it as their father and the old master is freed.  The edited
// screen itself is left out of the re-pointing (it would name itself as its
// father, and a later "Update old screens" would then free the master
// itself); as a master it has no father.
void MasterDialog::ToBeTheFather() {
  if (!open_) return;
  std::int32_t father = 0;
  std::string err;
  if (!text::ToInt32(fatherBox_, &father, &err) || father <= 0 || father == screen_ ||
      !store_.ValidScreen(father))
    return;
  for (int i = 0; i <= LastScreen(store_); ++i) {
    if (i == screen_) continue;
    if (store_.Screens[U(i)].MultipleInputFather == father)
      store_.Screens[U(i)].MultipleInputFather = screen_;
  }
  Def().Master = config::kScreenMaster;
  Def().MultipleInputFather = 0;
  touched_ = true;
  store_.ResetScreenDef(father);
  fatherBox_.clear();
  Refresh();
}

void MasterDialog::UpdateOldScreens() {
  if (!open_ || !checked_) return;
  StoreDialog();
  for (int i = 0; i <= LastScreen(store_); ++i) {
    if (i == screen_) continue;
    config::ScreenDef& d = store_.Screens[U(i)];
    if (d.MultipleInputFather != screen_) continue;
    d.ScreenId = 0;
    d.Master = config::kScreenFree;
  }
}

bool MasterDialog::StoreDialog() {
  if (!open_) return true;
  bool ok = true;
  if (checked_) {
    std::int32_t moveV = 0;
    std::string err;
    if (text::ToInt32(moveVBox_, &moveV, &err)) {
      store_.MasterScreens[U(screen_)].MoveV = moveV;
    } else {
      prompt_.Message("Error " + err, "", config::Prompt::Buttons::Ok);
      ok = false;
    }
    Def().Master = config::kScreenMaster;
  } else if (touched_) {
    Def().Master = UncheckedStatus();
  }
  return ok;
}

void MasterDialog::Close() {
  if (!open_) return;
  StoreDialog();
  open_ = false;
}

}  // namespace tervo::editors
