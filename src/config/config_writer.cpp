#include "config/config_writer.h"

#include <algorithm>
#include <vector>

#include "config/config_line_writer.h"

namespace tervo::config {

namespace {

// Fields of screen s that the file holds: 0 .. Count - 1, within the table.
int FieldCount(const ScreenStore& store, int s) {
  return std::clamp<std::int32_t>(store.Originals[s].Count, 0, kFieldSlots);
}

void WriteGeneral(LineWriter& w, const ScreenStore& store, const GeneralOptions& options) {
  for (const OptionSpec& o : OptionTable()) {
    if (o.option == Option::kCapsLock) {
      // NumeroMaximoDeEcrans comes before the last option, with the leading
      // blank that non-negative numbers have in this line.
      std::string n;
      if (store.NumeroMaximoDeEcrans >= 0) n.push_back(' ');
      AppendDecimal(&n, store.NumeroMaximoDeEcrans);
      w.Always({"NumeroMaximoDeEcrans"}, n);
    }
    w.Always({o.key}, options.ConfiguredText(o.option));
  }
}

void WriteSessions(LineWriter& w, const ScreenStore& store) {
  for (int i = 0; i < kSessionSlots; ++i) {
    w.Sparse({"DeviceName", i, Key::kNone, false}, store.DeviceName[i]);
    w.Sparse({"TerminalIDDef", i, Key::kNone, false}, store.TerminalIDDef[i]);
  }
}

void WriteField(LineWriter& w, const FieldDef& f) {
  w.SparseNumber({"AutoEnter"}, f.AutoEnter);
  w.SparseNumber({"flag2"}, f.flag2);
  w.Sparse({"AuxText"}, f.AuxText);
  w.SparseNumber({"Barcode"}, f.Barcode);
  w.SparseNumber({"FieldPos"}, f.FieldPos);
  w.SparseNumber({"Flag"}, f.Flag);
  w.SparseNumber({"InputField"}, f.InputField);
  w.SparseNumber({"NewLine"}, f.NewLine);
  w.SparseNumber({"Order"}, f.Order);
  w.SparseNumber({"Protected"}, f.Protected);
  w.SparseNumber({"SendWithEnter"}, f.SendWithEnter);
  w.SparseNumber({"Show"}, f.Show);
  w.SparseNumber({"Size"}, f.Size);
  w.SparseNumber({"SizeTextAux"}, f.SizeTextAux);
  w.SparseNumber({"Title"}, f.Title);
  w.SparseNumber({"UserId"}, f.UserId);
  w.Flag({"Divided"}, f.Divided);
  w.Sparse({"JoinField"}, f.JoinField);
}

const char* const kFunctionKeyNames[8] = {"TeclasFuncao1", "TeclasFuncao2", "TeclasFuncao3",
                                          "TeclasFuncao4", "TeclasFuncao5", "TeclasFuncao6",
                                          "TeclasFuncao7", "TeclasFuncao8"};
const char* const kFunctionValNames[8] = {
    "TeclasFuncaoVal1", "TeclasFuncaoVal2", "TeclasFuncaoVal3", "TeclasFuncaoVal4",
    "TeclasFuncaoVal5", "TeclasFuncaoVal6", "TeclasFuncaoVal7", "TeclasFuncaoVal8"};

void WriteScreens(LineWriter& w, const ScreenStore& store, int last) {
  for (int i = 0; i <= last; ++i) {
    const ScreenDef& d = store.Screens[i];
    w.Opener("Screens", i);
    w.SparseNumber({"CheckScreenIdTerm"}, d.CheckScreenIdTerm);
    w.SparseNumber({"CheckScreenIdUser"}, d.CheckScreenIdUser);
    w.SparseNumber({"DontSendToTerminal"}, d.DontSendToTerminal);
    w.Sparse({"EscKey"}, d.EscKey);
    w.SparseNumber({"FieldScr"}, d.FieldScr);
    w.Sparse({"KeysAfterEnter"}, d.KeysAfterEnter);
    w.SparseNumber({"Master"}, d.Master);
    w.SparseNumber({"MasterAux"}, d.MasterAux);
    w.SparseNumber({"MultipleInputFather"}, d.MultipleInputFather);
    w.SparseNumber({"ScreenId"}, d.ScreenId);
    w.Sparse({"ScreenIdTerminal"}, d.ScreenIdTerminal);
    w.Sparse({"ScreenIdUser"}, d.ScreenIdUser);
    for (int k = 0; k < 8; ++k) w.Sparse({kFunctionKeyNames[k]}, d.TeclasFuncao[k]);
    for (int k = 0; k < 8; ++k) w.Sparse({kFunctionValNames[k]}, d.TeclasFuncaoVal[k]);
    const int fields = FieldCount(store, i);
    for (int j = 0; j < fields; ++j) {
      w.BeginLazyBlock("Screen", j);
      WriteField(w, d.Screen[j]);
      w.EndLazyBlock();
    }
    w.Closer();
  }
}

void WriteOriginals(LineWriter& w, const ScreenStore& store, int last) {
  for (int i = 0; i <= last; ++i) {
    const ScreenOriginal& o = store.Originals[i];
    w.Opener("ScreenOriginal", i);
    w.SparseNumber({"Count"}, o.Count);
    const int fields = FieldCount(store, i);
    for (int j = 0; j < fields; ++j) {
      w.Flag({"Protected", j}, o[j].Protected);
      w.SparseNumber({"Size", j}, o[j].Size);
      w.Sparse({"Text", j}, o[j].Text);
      w.SparseNumber({"EndColumn", j}, o[j].EndColumn);
      w.SparseNumber({"EndRow", j}, o[j].EndRow);
      w.SparseNumber({"StartColumn", j}, o[j].StartColumn);
      w.SparseNumber({"StartRow", j}, o[j].StartRow);
      w.SparseNumber({"Length", j}, o[j].Length);
      w.SparseNumber({"AType", j}, o[j].AType);
      w.Flag({"AutoEnter", j}, o[j].AutoEnter);
      w.Flag({"Hidden", j}, o[j].Hidden);
      w.SparseNumber({"Justify", j}, o[j].Justify);
      w.Flag({"Underlined", j}, o[j].Underlined);
    }
    w.Closer();
  }
}

void WriteIndice(LineWriter& w, const ScreenStore& store, int last) {
  std::string v;
  for (int i = 0; i <= last; ++i) {
    w.Opener("Indice", i);
    const auto& index = store.Indice[i];
    for (int p = 0; p < kPositionSlots; ++p) {
      if (index[p] == -1) continue;
      v.clear();
      if (index[p] >= 0) v.push_back(' ');
      AppendDecimal(&v, index[p]);
      w.Plain({"Screen", p}, v);
    }
    w.Closer();
  }
}

void WriteRepeatRules(LineWriter& w, const ScreenStore& store, int last) {
  for (int i = 0; i <= last; ++i) {
    const RepeatRule& r = store.AdvScreens[i];
    w.Opener("AdvScreens", i);
    w.Flag({"Active"}, r.Active);
    w.SparseNumber({"Counter"}, r.Counter);
    w.SparseNumber({"CounterVal"}, r.CounterVal);
    w.SparseNumber({"IfCounter"}, r.IfCounter);
    w.Sparse({"Keys"}, r.Keys);
    w.Sparse({"Keys1"}, r.Keys1);
    w.Sparse({"Keys2"}, r.Keys2);
    w.SparseNumber({"SubCounter1"}, r.SubCounter1);
    w.SparseNumber({"SubCounter2"}, r.SubCounter2);
    w.Sparse({"TKeys"}, r.TKeys);
    w.SparseNumber({"Wait"}, r.Wait);
    w.SparseNumber({"When"}, r.When);
    w.Closer();
  }
}

void WriteMasterScreens(LineWriter& w, const ScreenStore& store, int last) {
  for (int i = 0; i <= last; ++i) {
    const MasterScreen& m = store.MasterScreens[i];
    w.Opener("MasterScreen", i);
    w.SparseNumber({"aux1"}, m.aux1);
    w.Flag({"aux1l"}, m.aux1l);
    w.SparseNumber({"aux2"}, m.aux2);
    w.Flag({"aux2l"}, m.aux2l);
    w.SparseNumber({"aux3"}, m.aux3);
    w.Flag({"aux3l"}, m.aux3l);
    w.SparseNumber({"aux4"}, m.aux4);
    w.SparseNumber({"aux5"}, m.aux5);
    w.Flag({"aux5l"}, m.aux5l);
    w.Flag({"CopyText"}, m.CopyText);
    w.SparseNumber({"MoveV"}, m.MoveV);
    w.Closer();
  }
}

// Every division block is written, used or not; the openers are the same in
// every file, so they are made once.
const std::vector<std::string>& DivisionOpeners() {
  static const std::vector<std::string> openers = [] {
    std::vector<std::string> v(kDivisionSlots);
    for (int k = 0; k < kDivisionSlots; ++k) {
      LineWriter w(&v[k]);
      w.Opener("DivideFields", k);
    }
    return v;
  }();
  return openers;
}

void WriteDivisions(LineWriter& w, std::string* out, const ScreenStore& store) {
  w.SparseNumber({"DivideFieldsCt"}, store.DivideFieldsCt);
  const auto& openers = DivisionOpeners();
  for (int k = 0; k < kDivisionSlots; ++k) {
    const DividedField& d = store.DivideFields[k];
    out->append(openers[k]);
    w.SparseNumber({"ScrNum"}, d.ScrNum);
    w.SparseNumber({"FieldNum"}, d.FieldNum);
    w.SparseNumber({"pos"}, d.pos);
    w.SparseNumber({"Size"}, d.Size);
    w.SparseNumber({"NewLine"}, d.NewLine);
    w.SparseNumber({"Special"}, d.Special);
    w.Closer();
  }
}

}  // namespace

std::string ConfigFilePath(const std::string& base) { return base + ".TVO"; }

std::string WriteConfig(const ScreenStore& store, const GeneralOptions& options) {
  // Screens 0 .. NumeroMaximoDeEcrans, never beyond the tables.
  const int last = std::min<int>(store.NumeroMaximoDeEcrans, store.ScreenTableSize() - 1);
  // Room for the whole file up front: growing a buffer of tens of megabytes
  // step by step would copy it over and over.
  std::size_t allFields = 0;
  for (int i = 0; i <= last; ++i) allFields += static_cast<std::size_t>(FieldCount(store, i));
  std::string out;
  out.reserve(allFields * 600 + static_cast<std::size_t>(last + 1) * 5000 + 100000);
  LineWriter w(&out);
  WriteGeneral(w, store, options);
  WriteSessions(w, store);
  WriteScreens(w, store, last);
  WriteOriginals(w, store, last);
  w.SparseNumber({"ScreenCt"}, store.ScreenCt);
  WriteIndice(w, store, last);
  for (int i = 0; i <= last; ++i) w.Always({"ScreenAspect", i}, store.ScreenAspect[i]);
  WriteRepeatRules(w, store, last);
  WriteMasterScreens(w, store, last);
  // Screens above the ScreensText table have no field texts.
  for (int i = 0; i <= std::min(last, kMaxTextScreen); ++i) {
    const int fields = FieldCount(store, i);
    for (int j = 0; j < fields; ++j) w.Sparse({"ScreensText", i, j}, store.ScreensText[i][j]);
  }
  WriteDivisions(w, &out, store);
  return out;
}

bool SaveDataToFile2(const std::string& base, const ScreenStore& store,
                     const GeneralOptions& options, std::string* err, const ByteWriter& writer) {
  return WriteFileAtomically(ConfigFilePath(base), WriteConfig(store, options), err, writer);
}

}  // namespace tervo::config
