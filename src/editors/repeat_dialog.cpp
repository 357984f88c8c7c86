#include "editors/repeat_dialog.h"

#include "config/text.h"

namespace tervo::editors {

namespace {

std::size_t U(int i) { return static_cast<std::size_t>(i); }

// The number boxes and the members they hold.
constexpr std::pair<RepeatBox, std::int32_t config::RepeatRule::*> kNumbers[] = {
    {RepeatBox::CounterVal, &config::RepeatRule::CounterVal},
    {RepeatBox::IfCounter, &config::RepeatRule::IfCounter},
    {RepeatBox::SubCounter1, &config::RepeatRule::SubCounter1},
    {RepeatBox::SubCounter2, &config::RepeatRule::SubCounter2},
};

}  // namespace

bool RepeatDialog::Open(int screen) {
  if (!store_.ValidScreen(screen)) return false;
  open_ = true;
  screen_ = screen;
  const config::RepeatRule& r = store_.AdvScreens[U(screen)];
  auto box = [this](RepeatBox b) -> std::string& { return boxes_[static_cast<std::size_t>(b)]; };
  box(RepeatBox::Keys1) = r.Keys1;
  box(RepeatBox::Keys2) = r.Keys2;
  box(RepeatBox::TKeys) = r.TKeys;
  for (const auto& [b, member] : kNumbers) box(b) = std::to_string(r.*member);
  counter_ = r.Counter >= kCounterUserId && r.Counter <= kCounterOrder ? r.Counter : kNoCounter;
  return true;
}

void RepeatDialog::SetText(RepeatBox b, const std::string& value) {
  if (open_) boxes_[static_cast<std::size_t>(b)] = value;
}

void RepeatDialog::SelectCounter(std::int32_t counter) {
  if (open_ && counter >= kCounterUserId && counter <= kCounterOrder) counter_ = counter;
}

bool RepeatDialog::Ok() {
  if (!open_) return true;
  config::RepeatRule& r = store_.AdvScreens[U(screen_)];
  r.TKeys = Text(RepeatBox::TKeys);
  r.Keys1 = Text(RepeatBox::Keys1);
  r.Keys2 = Text(RepeatBox::Keys2);
  std::string firstError;
  for (const auto& [b, member] : kNumbers) {
    std::string err;
    std::int32_t v = 0;
    if (text::ToInt32(Text(b), &v, &err))
      r.*member = v;
    else if (firstError.empty())
      firstError = err;
  }
  if (counter_ != kNoCounter) r.Counter = counter_;
  r.Keys.clear();
  r.Active = true;
  open_ = false;
  if (firstError.empty()) return true;
  prompt_.Message("Error " + firstError, "", config::Prompt::Buttons::Ok);
  return false;
}

void RepeatDialog::Desactivate() {
  if (!open_) return;
  store_.AdvScreens[U(screen_)].Active = false;
  open_ = false;
}

}  // namespace tervo::editors
