#include "editors/master_copy.h"

#include <algorithm>

#include "config/text.h"
#include "editors/title.h"

namespace tervo::editors {

namespace {

using config::kMaxPosition;
using config::ScreenStore;

std::size_t U(int i) { return static_cast<std::size_t>(i); }

std::string TrimmedHostText(const ScreenStore& store, int scr, int field) {
  return text::TrimBlanks(store.Originals[U(scr)][field].Text);
}

// The master's field paired with target field f at position p: the one at
// the same position, else the first one met stepping by MoveV, which must
// then agree with f in host length and protection.
int PairedMasterField(const ScreenStore& store, int m, int t, int f, int p) {
  const auto& mIndex = store.Indice[U(m)];
  if (mIndex[U(p)] != -1) return mIndex[U(p)];
  const int step = store.MasterScreens[U(m)].MoveV;
  if (step == 0) return -1;
  for (int q = p + step; q >= 1 && q <= kMaxPosition && q != p; q += step) {
    const int g = mIndex[U(q)];
    if (g == -1) continue;
    const auto& mo = store.Originals[U(m)];
    const auto& to = store.Originals[U(t)];
    if (mo[g].Length == to[f].Length && mo[g].Protected == to[f].Protected) return g;
    return -1;
  }
  return -1;
}

std::string* TextSlot(ScreenStore& store, int scr, int field) {
  if (!ScreenStore::ValidTextScreen(scr) || !ScreenStore::ValidField(field)) return nullptr;
  return &store.ScreensText[U(scr)][U(field)];
}

}  // namespace

int ChooseMaster(const ScreenStore& store, int t) {
  if (!store.ValidScreen(t)) return -1;
  if (store.Screens[U(t)].Master == config::kScreenMaster) return -1;
  if (store.Originals[U(t)].Count == 0) return -1;
  int best = -1;
  int bestScore = 0;
  const int last = std::min(store.NumeroMaximoDeEcrans, store.ScreenTableSize() - 1);
  for (int i = 0; i <= last; ++i) {
    if (store.Screens[U(i)].Master != config::kScreenMaster) continue;
    int score = 0;
    bool matches = true;
    for (int p = 0; p <= kMaxPosition && matches; ++p) {
      const int mf = store.Indice[U(i)][U(p)];
      if (mf < 0 || mf > config::kMaxFieldIndex) continue;
      if (!(store.Screens[U(i)].Screen[U(mf)].Flag & config::kFlagMasterKey)) continue;
      const int tf = store.Indice[U(t)][U(p)];
      if (tf < 0 || tf > config::kMaxFieldIndex ||
          TrimmedHostText(store, t, tf) != TrimmedHostText(store, i, mf)) {
        matches = false;
      } else {
        ++score;
      }
    }
    if (matches && score > bestScore) {
      bestScore = score;
      best = i;
    }
  }
  return best;
}

bool CopyFromMaster(MasterCopyContext& ctx, int t) {
  const int m = ChooseMaster(ctx.store, t);
  if (m < 0) return false;
  ctx.log.WriteLog("Copy from Master : " + std::to_string(m), false);
  CopyMasterSettings(ctx, m, t);
  return true;
}

void CopyMasterSettings(MasterCopyContext& ctx, int m, int t) {
  ScreenStore& store = ctx.store;
  if (!store.ValidScreen(m) || !store.ValidScreen(t)) return;
  config::ScreenDef& target = store.Screens[U(t)];
  const config::ScreenDef& master = store.Screens[U(m)];
  target.MultipleInputFather = m;
  target.EscKey = master.EscKey;
  target.KeysAfterEnter = master.KeysAfterEnter;
  target.DontSendToTerminal = master.DontSendToTerminal;
  target.TeclasFuncao = master.TeclasFuncao;
  target.TeclasFuncaoVal = master.TeclasFuncaoVal;

  const int count = std::min(store.Originals[U(t)].Count, config::kFieldSlots);
  if (master.MasterAux == 1) {
    for (int j = 0; j < count; ++j) target.Screen[U(j)].Show = 0;
  }

  const int displayLen = ctx.options.Number(config::Option::kDisplayLen);
  for (int p = 0; p <= kMaxPosition; ++p) {
    const int f = store.Indice[U(t)][U(p)];
    if (f < 0 || f > config::kMaxFieldIndex) continue;
    const int g = PairedMasterField(store, m, t, f, p);
    if (g < 0 || g > config::kMaxFieldIndex) continue;
    if (store.Originals[U(t)][f].Length != store.Originals[U(m)][g].Length) continue;

    config::FieldDef& tf = target.Screen[U(f)];
    const config::FieldDef& mf = master.Screen[U(g)];
    if (f == g) tf.Order = mf.Order;
    tf.AutoEnter = mf.AutoEnter;
    tf.Barcode = mf.Barcode;
    tf.NewLine = mf.NewLine;
    tf.Show = mf.Show;
    tf.SendWithEnter = mf.SendWithEnter;
    tf.InputField = mf.InputField;
    tf.flag2 = mf.flag2;
    tf.Title = mf.Title;
    tf.Flag = mf.Flag;
    tf.Protected = mf.Protected;
    tf.UserId = mf.UserId;
    tf.Divided = mf.Divided;
    store.AdvScreens[U(t)] = store.AdvScreens[U(m)];

    std::string* text = TextSlot(store, t, f);
    const std::string* masterText = TextSlot(store, m, g);
    if (text) {
      if (tf.flag2 != 0) {
        *text = text::Left(*text, static_cast<std::size_t>(std::max(mf.Size, 0)));
      } else {
        *text = masterText ? *masterText : std::string();
      }
      if (tf.Title == 1) *text = CenterTitle(*text, displayLen);
    }
    tf.Size = mf.Size;
    tf.SizeTextAux = mf.SizeTextAux;
    tf.AuxText = text::Left(mf.AuxText, static_cast<std::size_t>(std::max(mf.SizeTextAux, 0)));
    const std::string hostT = TrimmedHostText(store, t, f);
    if (text && masterText && !hostT.empty() && hostT == TrimmedHostText(store, m, g)) {
      *text = text::Left(*masterText, static_cast<std::size_t>(std::max(tf.Size, 0)));
    }
    target.Master = config::kScreenCopy;
  }
}

}  // namespace tervo::editors
