#include "config/screen_store.h"

#include <algorithm>

namespace tervo::config {

ScreenStore::ScreenStore()
    : ScreensText(kMaxTextScreen + 1, std::vector<std::string>(kFieldSlots)),
      DivideFields(kDivisionSlots) {
  GrowScreenTables();
  ClearAllScreens();
}

// Keeps the field definitions, function-key texts, master settings and field
// texts: they are overwritten when the number is reused, and the editor may
// still show them.
void ScreenStore::ResetScreenDef(int s) {
  if (!ValidScreen(s)) return;
  ScreenDef& d = Screens[s];
  d.CheckScreenIdTerm = 0;
  d.CheckScreenIdUser = 0;
  d.DontSendToTerminal = 0;
  d.FieldScr = 0;
  d.Master = kScreenFree;
  d.MasterAux = 0;
  d.MultipleInputFather = 0;
  d.ScreenId = 0;
  d.EscKey.clear();
  d.KeysAfterEnter.clear();
  d.ScreenIdTerminal = "0";
  d.ScreenIdUser = "0";
  Originals[s].Count = 0;
  AdvScreens[s].Active = false;
  ScreenAspect[s].assign(kScreenAspectSize, ' ');
  Indice[s].assign(kPositionSlots, -1);
}

// Numbers that come into existence start in the free state, like the highest
// one: a default-constructed definition would read "" where a freed one reads
// "0", and the two must not differ by how the number came about.
void ScreenStore::GrowScreenTables() {
  const std::size_t n =
      static_cast<std::size_t>(std::max<std::int32_t>(NumeroMaximoDeEcrans, 0)) + 1;
  const std::size_t old = Screens.size();
  Screens.resize(n);
  Originals.resize(n);
  Indice.resize(n, std::vector<std::int32_t>(kPositionSlots, -1));
  ScreenAspect.resize(n, std::string(kScreenAspectSize, ' '));
  AdvScreens.resize(n);
  MasterScreens.resize(n);
  for (std::size_t s = old; s + 1 < n; ++s) ResetScreenDef(static_cast<int>(s));
  ResetScreenDef(static_cast<int>(n) - 1);
}

void ScreenStore::ClearAllScreens() {
  ScreenCt = 0;
  for (int s = 0; s <= NumeroMaximoDeEcrans && s < ScreenTableSize(); ++s) ResetScreenDef(s);
  DivideFieldsCt = 0;
  NumeroMaximoDeEcrans = 1;
}

}  // namespace tervo::config

namespace tervo::config {

void ScreenStore::ResetToFresh() { *this = ScreenStore(); }

ScreenDef* ScreenStore::ScreenAt(int s, std::string* err) {
  if (ValidScreen(s)) return &Screens[s];
  if (err)
    *err =
        "screen " + std::to_string(s) + " is outside 0.." + std::to_string(ScreenTableSize() - 1);
  return nullptr;
}

std::string* ScreenStore::ScreensTextAt(int s, int field, std::string* err) {
  if (!ValidTextScreen(s)) {
    if (err) *err = "screen " + std::to_string(s) + " has no field texts";
    return nullptr;
  }
  if (!ValidField(field)) {
    if (err)
      *err = "field " + std::to_string(field) + " is outside 0.." + std::to_string(kMaxFieldIndex);
    return nullptr;
  }
  return &ScreensText[s][field];
}

}  // namespace tervo::config
