#include "core/sent_screens.h"

#include <algorithm>
#include <utility>

#include "screens/capture.h"

namespace tervo::core {

namespace {
std::size_t U(int i) { return static_cast<std::size_t>(i); }
}  // namespace

void SentScreens::Keep(int s, const config::ScreenStore& store, int screen) {
  if (!config::ScreenStore::ValidSession(s)) return;
  Entry& e = kept_[U(s)];
  if (!store.ValidScreen(screen)) {
    e = Entry{};
    return;
  }
  e.screen = screen;
  e.capture = store.Originals[U(screen)];
  e.texts = config::ScreenStore::ValidTextScreen(screen) ? store.ScreensText[U(screen)]
                                                         : std::vector<std::string>{};
  e.prefixes.resize(config::kFieldSlots);
  const auto& fields = store.Screens[U(screen)].Screen;
  for (std::size_t i = 0; i < fields.size() && i < e.prefixes.size(); ++i)
    e.prefixes[i] = fields[i].AuxText;
}

void SentScreens::Forget(int s) {
  if (config::ScreenStore::ValidSession(s)) kept_[U(s)] = Entry{};
}

SentScreens::Overlay::Overlay(SentScreens& kept, config::ScreenStore& store, int s, int screen)
    : store_(store), screen_(screen) {
  if (!config::ScreenStore::ValidSession(s) || !store.ValidScreen(screen)) return;
  Entry& e = kept.kept_[U(s)];
  if (e.screen != screen) return;
  entry_ = &e;
  Swap();
}

SentScreens::Overlay::~Overlay() {
  if (entry_ != nullptr) Swap();
}

void SentScreens::Overlay::Swap() {
  std::swap(store_.Originals[U(screen_)], entry_->capture);
  if (!entry_->texts.empty()) std::swap(store_.ScreensText[U(screen_)], entry_->texts);
  auto& fields = store_.Screens[U(screen_)].Screen;
  for (std::size_t i = 0; i < entry_->fields && i < fields.size() && i < entry_->prefixes.size();
       ++i)
    std::swap(fields[i].AuxText, entry_->prefixes[i]);
}

}  // namespace tervo::core
