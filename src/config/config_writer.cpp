#include "config/config_writer.h"

#include <algorithm>
#include <vector>

#include "config/config_line_writer.h"
#include "config/record_members.h"

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

void WriteValue(LineWriter& w, const Key& key, std::int32_t v) { w.SparseNumber(key, v); }
void WriteValue(LineWriter& w, const Key& key, bool v) { w.Flag(key, v); }
void WriteValue(LineWriter& w, const Key& key, const std::string& v) { w.Sparse(key, v); }

// The record's lines in the file's order; a captured field's lines carry its
// number ("Size[ 3]").
template <class R>
void WriteMembers(LineWriter& w, const R& r, std::int32_t field = Key::kNone) {
  for (const Member<R>& m : FileMembers<R>())
    WithMember(r, m, [&](const auto& v) { WriteValue(w, {m.name, field}, v); });
}

// Every per-screen table has one block per screen 0..last.
template <class R>
void WriteBlocks(LineWriter& w, const char* name, const std::vector<R>& table, int last) {
  for (int i = 0; i <= last; ++i) {
    w.Opener(name, i);
    WriteMembers(w, table[i]);
    w.Closer();
  }
}

void WriteScreens(LineWriter& w, const ScreenStore& store, int last) {
  for (int i = 0; i <= last; ++i) {
    const ScreenDef& d = store.Screens[i];
    w.Opener("Screens", i);
    WriteMembers(w, d);
    const int fields = FieldCount(store, i);
    for (int j = 0; j < fields; ++j) {
      w.BeginLazyBlock("Screen", j);
      WriteMembers(w, d.Screen[j]);
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
    for (int j = 0; j < fields; ++j) WriteMembers(w, o[j], j);
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
    out->append(openers[k]);
    WriteMembers(w, store.DivideFields[k]);
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
  WriteBlocks(w, "AdvScreens", store.AdvScreens, last);
  WriteBlocks(w, "MasterScreen", store.MasterScreens, last);
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
