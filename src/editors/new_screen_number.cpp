#include "editors/new_screen_number.h"

namespace tervo::editors {

namespace {

bool Reusable(const config::ScreenStore& store, int m) {
  if (!store.ValidScreen(m)) return true;  // beyond the tables: free once grown
  const int status = store.Screens[static_cast<std::size_t>(m)].Master;
  return status == config::kScreenFree || status == config::kScreenCopy;
}

}  // namespace

int NewScreenNumber(config::ScreenStore& store) {
  int m = store.ScreenCt;
  for (int attempt = 0; attempt < kMaxNewScreenAttempts; ++attempt) {
    m = m + 1 > config::kHighestAllocatedScreen || m < 0 ? 1 : m + 1;
    store.ScreenCt = m;
    if (!Reusable(store, m)) continue;
    if (store.NumeroMaximoDeEcrans < m || !store.ValidScreen(m)) {
      if (store.NumeroMaximoDeEcrans < m) store.NumeroMaximoDeEcrans = m;
      store.GrowScreenTables();
    }
    return m;
  }
  return -1;
}

}  // namespace tervo::editors
