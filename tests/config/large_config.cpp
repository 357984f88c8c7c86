#include "large_config.h"

#include <string>

namespace tervo::config::testing {

namespace {

// Text n of a family: cycles through all byte values, 24 at a time.
std::string Bytes(int n) {
  std::string s = "v" + std::to_string(n) + ":";
  for (int k = 0; k < 24; ++k) s.push_back(static_cast<char>((n * 24 + k) % 256));
  return s;
}

}  // namespace

void FillLarge(ScreenStore& store, GeneralOptions& options, int screens, int fields) {
  options.SetText("DisplayLen", "20");
  options.SetText("ExitWord", Bytes(999));
  store.NumeroMaximoDeEcrans = screens;
  store.GrowScreenTables();
  store.ScreenCt = screens;
  for (int i = 0; i < kSessionSlots; ++i) {
    store.DeviceName[i] = "DEV" + std::to_string(i);
    store.TerminalIDDef[i] = "T" + std::to_string(i + 1);
  }
  int n = 0;
  for (int s = 1; s <= screens; ++s) {
    ScreenDef& d = store.Screens[s];
    d.ScreenId = 100000 + s * 37;
    d.ScreenIdUser = Bytes(++n);
    d.CheckScreenIdUser = s % 2;
    d.ScreenIdTerminal = "T" + std::to_string(s % 32);
    d.CheckScreenIdTerm = s % 3 == 0;
    d.Master = s % 3 == 0 ? kScreenMaster : s % 3 == 1 ? kScreenDefined : kScreenCopy;
    d.MultipleInputFather = s % 3 == 2 ? s - 2 : 0;
    d.EscKey = "@3";
    d.KeysAfterEnter = "@E,@u";
    for (int k = 0; k < 8; ++k) {
      d.TeclasFuncao[k] = Bytes(++n);
      d.TeclasFuncaoVal[k] = "@" + std::to_string(k + 1);
    }
    ScreenOriginal& o = store.Originals[s];
    o.Count = fields;
    for (int j = 0; j < fields; ++j) {
      FieldDef& f = d.Screen[j];
      f.FieldPos = j * 7 % 2000;
      f.Size = 10 + j % 20;
      f.NewLine = j % 2;
      f.Show = j % 4 != 3;
      f.AuxText = Bytes(++n);
      f.SizeTextAux = 4;
      f.Order = j;
      f.Barcode = j % 5 == 0;
      f.InputField = j % 3 == 0;
      f.flag2 = j % 256;
      f.Flag = j % 128;
      f.UserId = j % 4;
      f.Divided = j % 11 == 0;
      f.JoinField = j % 10 == 0 ? "@EQU(" + std::to_string(j / 2) + ")@E" : "";
      o[j].Text = Bytes(++n);
      o[j].Size = 10 + j % 20;
      o[j].Protected = j % 2 == 0;
      o[j].StartRow = 1 + j / 40;
      o[j].StartColumn = 1 + j % 40 * 2;
      o[j].EndRow = 1 + j / 40;
      o[j].EndColumn = 2 + j % 40 * 2;
      o[j].Length = 10 + j % 20;
      o[j].AType = j % 12;
      o[j].Justify = j % 3;
      o[j].Underlined = j % 3 == 0;
      o[j].Hidden = j % 13 == 0;
      o[j].AutoEnter = j % 17 == 0;
      if (s <= kMaxTextScreen) store.ScreensText[s][j] = Bytes(++n);
      store.Indice[s][(o[j].StartRow * 80 + o[j].StartColumn) % kPositionSlots] = j;
    }
    std::string image;
    for (int r = 0; r < 25; ++r) image += Bytes(++n).substr(0, 20) + std::string(60, 'x') + "\r\n";
    store.ScreenAspect[s] = image;
    store.ScreenAspect[s].resize(kScreenAspectSize, ' ');
    store.AdvScreens[s] = {s % 2 == 0, "@E", "@3", s, 2, s % 7, s, "@u", "@v", 1, 1, 5};
    store.MasterScreens[s] = {80, s % 2 == 1, s, 0, 3, 0, -5, true, false, s % 2 == 0, false, true};
  }
  store.DivideFieldsCt = kDivisionSlots;
  for (int k = 0; k < kDivisionSlots; ++k)
    store.DivideFields[k] = {
        1 + k % screens, k % (fields > 0 ? fields : 1), k * 3 % 2000, 5, 1, k % 2};
}

}  // namespace tervo::config::testing
