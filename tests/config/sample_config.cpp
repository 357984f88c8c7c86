#include "sample_config.h"

#include <QDir>
#include <QTemporaryDir>
#include <fstream>
#include <iterator>

namespace tervo::config::testing {

namespace {

// Text i of a family: every control character, CR LF, a quote, brackets and
// an "=\"" inside the value, the escape character itself and 8-bit letters.
std::string Tricky(int i) {
  std::string s = "T" + std::to_string(i) + " [a]=\"b\" \r\n";
  s.push_back(static_cast<char>(1 + i % 31));  // a control character
  s += "\x1f" "031 \xe7\xe3o ]";
  if (i % 2) s += " [";
  return s;
}

}  // namespace

void FillSample(ScreenStore& store, GeneralOptions& options) {
  int n = 0;
  for (const std::string& key : GeneralOptions::Keys()) {
    const int maxChoice = GeneralOptions::MaxChoice(key);
    options.SetText(key, maxChoice < 0 ? Tricky(++n) : std::to_string(++n % (maxChoice + 1)));
  }
  options.SetText("Handshaking", "3");

  store.NumeroMaximoDeEcrans = 4;
  store.GrowScreenTables();
  store.ScreenCt = 3;
  for (int i = 0; i < kSessionSlots; ++i) {
    if (i % 3 == 0) continue;  // some slots stay empty
    store.DeviceName[i] = "DEV" + std::to_string(i);
    store.TerminalIDDef[i] = Tricky(i);
  }
  const int counts[5] = {0, 3, 0, 7, kFieldSlots};
  for (int s = 0; s <= 4; ++s) {
    ScreenDef& d = store.Screens[s];
    ScreenOriginal& o = store.Originals[s];
    o.Count = counts[s];
    if (s == 0) continue;  // screen 0 stays free
    d.ScreenId = -123456 * s;
    d.ScreenIdUser = Tricky(s);
    d.CheckScreenIdUser = 1;
    d.ScreenIdTerminal = "TERM" + std::to_string(s);
    d.CheckScreenIdTerm = s % 2;
    d.FieldScr = 9;
    d.EscKey = "@3,@E";
    d.Master = s == 2 ? kScreenMaster : kScreenCopy;
    d.MultipleInputFather = 2;
    d.MasterAux = -1;
    d.DontSendToTerminal = s == 4;
    d.KeysAfterEnter = Tricky(s + 100);
    for (int k = 0; k < 8; ++k) {
      d.TeclasFuncao[k] = "F" + std::to_string(k + 1) + " [" + std::to_string(s) + "]";
      d.TeclasFuncaoVal[k] = "@" + std::to_string(k + 1);
    }
    for (int j = 0; j < o.Count; ++j) {
      FieldDef& f = d.Screen[j];
      if (j % 4 != 1) {  // every fourth field keeps all settings at zero
        f.FieldPos = j * 81;
        f.Size = j % 30 + 1;
        f.NewLine = 1;
        f.Show = j % 2;
        f.AuxText = Tricky(j);
        f.SizeTextAux = -j;
        f.Order = j;
        f.Barcode = 1;
        f.AutoEnter = j % 2;
        f.Title = j == 0;
        f.Protected = 1;
        f.InputField = 1;
        f.SendWithEnter = 1;
        f.flag2 = 255;
        f.Flag = 127;
        f.UserId = 3;
        f.Divided = j % 3 == 0;
        f.JoinField = "F1+F2[" + std::to_string(j) + "]";
      }
      o[j].Text = Tricky(j * 7);
      o[j].Size = j + 1;
      o[j].Protected = j % 2 == 0;
      o[j].StartRow = j / 80 + 1;
      o[j].StartColumn = j % 80 + 1;
      o[j].EndRow = j / 80 + 1;
      o[j].EndColumn = j % 80 + 2;
      o[j].Length = j + 1;
      o[j].Underlined = j % 3 == 0;
      o[j].AType = -(j % 4);
      o[j].Justify = j % 3;
      o[j].Hidden = j % 5 == 0;
      o[j].AutoEnter = j % 7 == 0;
      store.ScreensText[s][j] = Tricky(j + s);
      store.Indice[s][j % kPositionSlots] = j;
    }
    store.Indice[s][kMaxPosition] = -7;
    std::string aspect;
    for (int r = 0; r < 25; ++r) aspect += std::string(80, static_cast<char>('!' + r + s)) + "\r\n";
    store.ScreenAspect[s] = aspect.substr(0, kScreenAspectSize);
    store.ScreenAspect[s].resize(kScreenAspectSize, ' ');
    RepeatRule& r = store.AdvScreens[s];
    r = {s % 2 == 1, "@E,@u", "@3", 1, 2, 3, -4, "K1[x]", "K2", 5, 6, 7};
    MasterScreen& m = store.MasterScreens[s];
    m = {-80, s % 2 == 0, 1, 2, 3, 4, 5, true, false, true, false, true};
  }
  store.DivideFieldsCt = 2001;
  for (int k = 0; k < kDivisionSlots; ++k) {
    if (k % 5 == 4) continue;  // some entries stay all zero
    store.DivideFields[k] = {k % 5, k % 501, k * 3, -(k % 9), 1, k % 2};
  }
}

std::string CrLf(std::initializer_list<std::string> lines) {
  std::string out;
  for (const auto& l : lines) out += l + "\r\n";
  return out;
}

TempFolder::TempFolder() {
  QTemporaryDir dir(QDir::tempPath() + "/tervo-config-test-XXXXXX");
  dir.setAutoRemove(false);
  path_ = dir.path().toStdString();
}

TempFolder::~TempFolder() {
  QDir(QString::fromStdString(path_)).removeRecursively();
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

}  // namespace tervo::config::testing
