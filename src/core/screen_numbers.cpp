#include "core/screen_numbers.h"

#include "config/screen_store.h"

namespace tervo::core {

namespace {

void Advance(config::ScreenStore& store, int& m) {
  m = m + 1;
  store.ScreenCt = m;
  if (m > config::kHighestAllocatedScreen) {
    m = 1;
    store.ScreenCt = 1;
  }
  if (store.NumeroMaximoDeEcrans < m || !store.ValidScreen(m)) {
    if (store.NumeroMaximoDeEcrans < m) store.NumeroMaximoDeEcrans = m;
    store.GrowScreenTables();
  }
}

int Status(const config::ScreenStore& store, int m) {
  return store.ValidScreen(m) ? store.Screens[static_cast<std::size_t>(m)].Master : 0;
}

}  // namespace

int AllocateScreenNumber(config::ScreenStore& store, bool* exhausted) {
  int m = store.ScreenCt;
  int n = 0;
  do {
    Advance(store, m);
    ++n;
  } while (Status(store, m) != config::kScreenFree && n < kMaxScreenAdvances);
  if (Status(store, m) != config::kScreenFree) {
    for (n = 0; Status(store, m) != config::kScreenCopy && n < kMaxScreenAdvances; ++n)
      Advance(store, m);
    if (Status(store, m) != config::kScreenCopy) {
      if (exhausted) *exhausted = true;
      store.ScreenCt = 1;
      m = 1;
      if (!store.ValidScreen(1)) {
        store.NumeroMaximoDeEcrans = 1;
        store.GrowScreenTables();
      }
    }
  }
  return m;
}

}  // namespace tervo::core
