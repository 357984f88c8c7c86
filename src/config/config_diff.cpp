#include "config/config_diff.h"

#include <algorithm>

#include "config/json_writer.h"
#include "config/record_members.h"
#include "config/text.h"

namespace tervo::config {

namespace {

std::size_t U(int i) { return static_cast<std::size_t>(i); }

DiffValue Number(std::int64_t v) {
  DiffValue d;
  d.kind = DiffValue::kNumber;
  d.number = v;
  return d;
}

DiffValue Text(std::string_view v) {
  DiffValue d;
  d.kind = DiffValue::kText;
  d.text.assign(v);
  return d;
}

DiffValue Flag(bool v) {
  DiffValue d;
  d.kind = DiffValue::kFlag;
  d.flag = v;
  return d;
}

// A member's value as the file keeps it.
DiffValue KeptValue(std::int32_t v) { return Number(v); }
DiffValue KeptValue(bool v) { return Flag(v); }
DiffValue KeptValue(const std::string& v) { return Text(KeptText(v)); }

bool Same(const DiffValue& a, const DiffValue& b) {
  return a.kind == b.kind && a.number == b.number && a.text == b.text && a.flag == b.flag;
}

void Add(std::vector<MemberChange>* changes, std::string member, DiffValue a, DiffValue b) {
  if (!Same(a, b)) changes->push_back({std::move(member), std::move(a), std::move(b)});
}

// The members of two records of the same kind that differ.
template <class R>
void Members(std::vector<MemberChange>* changes, const R& a, const R& b,
             const std::string& prefix = "") {
  std::vector<DiffValue> before;
  VisitMembers(a, [&](const char*, const auto& v) { before.push_back(KeptValue(v)); });
  std::size_t k = 0;
  VisitMembers(b, [&](const char* name, const auto& v) {
    Add(changes, prefix + name, before[k++], KeptValue(v));
  });
}

DiffEntry::State StateOf(bool inBefore, bool inAfter) {
  if (inBefore == inAfter) return DiffEntry::kChanged;
  return inAfter ? DiffEntry::kAdded : DiffEntry::kRemoved;
}

// One side of the comparison of a screen: the tables' contents within the
// screens the file holds, a free screen beyond them.
class ScreenSide {
 public:
  ScreenSide(const ScreenStore& store, int i)
      : store_(store), i_(i), in_(i <= LastStoredScreen(store)) {}

  bool Exists() const { return in_ && ScreenHasContent(store_, i_); }
  const ScreenDef& Def() const { return in_ ? store_.Screens[U(i_)] : Free().Screens[0]; }
  const RepeatRule& Repeat() const { return in_ ? store_.AdvScreens[U(i_)] : Free().AdvScreens[0]; }
  const MasterScreen& Master() const {
    return in_ ? store_.MasterScreens[U(i_)] : Free().MasterScreens[0];
  }
  int Count() const { return in_ ? StoredFieldCount(store_, i_) : 0; }
  std::int32_t Index(int p) const { return in_ ? store_.Indice[U(i_)][U(p)] : -1; }
  const std::string& Image() const {
    return in_ ? store_.ScreenAspect[U(i_)] : Free().ScreenAspect[0];
  }

  // Field j as the file keeps it: nothing beyond Count.
  FieldDef Field(int j) const { return j < Count() ? Def().Screen[U(j)] : FieldDef(); }
  CapturedField Host(int j) const {
    return j < Count() ? store_.Originals[U(i_)][j] : CapturedField();
  }
  std::string_view FieldText(int j) const {
    if (j >= Count() || !ScreenStore::ValidTextScreen(i_)) return {};
    return KeptText(store_.ScreensText[U(i_)][U(j)]);
  }

 private:
  // A freshly created store: screen 0 of it is a free screen.
  static const ScreenStore& Free() {
    static const ScreenStore fresh;
    return fresh;
  }
  const ScreenStore& store_;
  int i_;
  bool in_;
};

// The image row by row when both images are held by rows (a blank image
// counts as empty rows), else as a whole among the screen's changes.
void CompareImages(std::vector<DiffEntry>* out, std::vector<MemberChange>* screenChanges,
                   int screen, const std::string& a, const std::string& b) {
  if (a == b) return;
  auto rowsForm = [](const std::string& image) {
    return ImageIsBlank(image) || ImageHasRows(image);
  };
  if (!rowsForm(a) || !rowsForm(b)) {
    Add(screenChanges, "ScreenAspect", Text(text::TrimRightBlanks(a)),
        Text(text::TrimRightBlanks(b)));
    return;
  }
  auto row = [](const std::string& image, int r) {
    return ImageIsBlank(image) ? std::string() : text::TrimRightBlanks(ImageRow(image, r));
  };
  for (int r = 0; r < kImageRows; ++r) {
    DiffEntry e;
    e.scope = DiffEntry::kImageRow;
    e.number = screen;
    e.row = r + 1;
    Add(&e.changes, "ScreenAspect", Text(row(a, r)), Text(row(b, r)));
    if (!e.changes.empty()) out->push_back(std::move(e));
  }
}

void CompareScreen(std::vector<DiffEntry>* out, const ScreenStore& a, const ScreenStore& b, int i) {
  const ScreenSide sa(a, i);
  const ScreenSide sb(b, i);
  DiffEntry screen;
  screen.scope = DiffEntry::kScreen;
  screen.number = i;
  screen.state = StateOf(sa.Exists(), sb.Exists());
  Members(&screen.changes, sa.Def(), sb.Def());
  Add(&screen.changes, "Count", Number(sa.Count()), Number(sb.Count()));
  Members(&screen.changes, sa.Repeat(), sb.Repeat(), "AdvScreens.");
  Members(&screen.changes, sa.Master(), sb.Master(), "MasterScreen.");
  for (int p = 0; p < kPositionSlots; ++p) {
    if (sa.Index(p) != sb.Index(p))
      Add(&screen.changes, "Indice[" + std::to_string(p) + "]", Number(sa.Index(p)),
          Number(sb.Index(p)));
  }

  std::vector<DiffEntry> details;
  const int fields = std::max(sa.Count(), sb.Count());
  for (int j = 0; j < fields; ++j) {
    DiffEntry f;
    f.scope = DiffEntry::kField;
    f.number = i;
    f.field = j;
    f.state = StateOf(j < sa.Count(), j < sb.Count());
    Members(&f.changes, sa.Field(j), sb.Field(j));
    Add(&f.changes, "ScreensText", Text(sa.FieldText(j)), Text(sb.FieldText(j)));
    Members(&f.changes, sa.Host(j), sb.Host(j), "host.");
    if (!f.changes.empty() || f.state != DiffEntry::kChanged) details.push_back(std::move(f));
  }
  CompareImages(&details, &screen.changes, i, sa.Image(), sb.Image());

  if (!screen.changes.empty() || screen.state != DiffEntry::kChanged)
    out->push_back(std::move(screen));
  for (DiffEntry& d : details) out->push_back(std::move(d));
}

std::string WhereOf(const DiffEntry& e) {
  std::string s;
  switch (e.scope) {
    case DiffEntry::kGeneral:
      s = "general";
      break;
    case DiffEntry::kSession:
      s = "session " + std::to_string(e.number);
      break;
    case DiffEntry::kScreen:
      s = "screen " + std::to_string(e.number);
      break;
    case DiffEntry::kField:
      s = "screen " + std::to_string(e.number) + " field " + std::to_string(e.field);
      break;
    case DiffEntry::kImageRow:
      s = "screen " + std::to_string(e.number) + " row " + std::to_string(e.row);
      break;
    case DiffEntry::kDivision:
      s = "division " + std::to_string(e.number);
      break;
  }
  if (e.state == DiffEntry::kAdded) s += " (added)";
  if (e.state == DiffEntry::kRemoved) s += " (removed)";
  return s;
}

void AppendValue(std::string* out, const DiffValue& v) {
  switch (v.kind) {
    case DiffValue::kNumber:
      out->append(std::to_string(v.number));
      break;
    case DiffValue::kText:
      AppendJsonText(out, v.text);
      break;
    case DiffValue::kFlag:
      out->append(v.flag ? "true" : "false");
      break;
  }
}

void WriteValue(JsonWriter& w, const DiffValue& v) {
  switch (v.kind) {
    case DiffValue::kNumber:
      w.Number(v.number);
      break;
    case DiffValue::kText:
      w.Text(v.text);
      break;
    case DiffValue::kFlag:
      w.Bool(v.flag);
      break;
  }
}

}  // namespace

std::vector<DiffEntry> DiffConfigurations(const ScreenStore& a, const GeneralOptions& ao,
                                          const ScreenStore& b, const GeneralOptions& bo) {
  std::vector<DiffEntry> out;
  DiffEntry general;
  for (const OptionSpec& o : OptionTable())
    Add(&general.changes, o.key, Text(ao.Text(o.option)), Text(bo.Text(o.option)));
  Add(&general.changes, "NumeroMaximoDeEcrans", Number(a.NumeroMaximoDeEcrans),
      Number(b.NumeroMaximoDeEcrans));
  Add(&general.changes, "ScreenCt", Number(a.ScreenCt), Number(b.ScreenCt));
  Add(&general.changes, "DivideFieldsCt", Number(a.DivideFieldsCt), Number(b.DivideFieldsCt));
  if (!general.changes.empty()) out.push_back(std::move(general));

  for (int i = 0; i < kSessionSlots; ++i) {
    DiffEntry s;
    s.scope = DiffEntry::kSession;
    s.number = i;
    const std::string_view da = KeptText(a.DeviceName[U(i)]), db = KeptText(b.DeviceName[U(i)]);
    const std::string_view ta = KeptText(a.TerminalIDDef[U(i)]),
                           tb = KeptText(b.TerminalIDDef[U(i)]);
    s.state = StateOf(!da.empty() || !ta.empty(), !db.empty() || !tb.empty());
    Add(&s.changes, "DeviceName", Text(da), Text(db));
    Add(&s.changes, "TerminalIDDef", Text(ta), Text(tb));
    if (!s.changes.empty()) out.push_back(std::move(s));
  }

  const int lastScreen = std::max(LastStoredScreen(a), LastStoredScreen(b));
  for (int i = 0; i <= lastScreen; ++i) CompareScreen(&out, a, b, i);

  for (int k = 0; k < kDivisionSlots; ++k) {
    DiffEntry d;
    d.scope = DiffEntry::kDivision;
    d.number = k;
    d.state = StateOf(AnyKept(a.DivideFields[U(k)]), AnyKept(b.DivideFields[U(k)]));
    Members(&d.changes, a.DivideFields[U(k)], b.DivideFields[U(k)]);
    if (!d.changes.empty()) out.push_back(std::move(d));
  }
  return out;
}

std::string FormatDiff(const std::vector<DiffEntry>& entries) {
  std::string out;
  for (const DiffEntry& e : entries) {
    out += WhereOf(e);
    for (std::size_t k = 0; k < e.changes.size(); ++k) {
      const MemberChange& c = e.changes[k];
      out += k == 0 ? ": " : ", ";
      out += c.member;
      out += ' ';
      AppendValue(&out, c.before);
      out += " \xE2\x86\x92 ";  // U+2192 RIGHTWARDS ARROW
      AppendValue(&out, c.after);
    }
    out += '\n';
  }
  return out;
}

std::string DiffToJson(const std::vector<DiffEntry>& entries) {
  static const char* const kScopes[] = {"general", "session", "screen", "field", "row", "division"};
  static const char* const kStates[] = {"changed", "added", "removed"};
  std::string out;
  JsonWriter w(&out);
  w.BeginObject();
  w.MemberText("format", "tervo-config-diff");
  w.Member("version", 1);
  w.Key("differences");
  w.BeginArray();
  for (const DiffEntry& e : entries) {
    w.BeginObject();
    w.MemberText("scope", kScopes[e.scope]);
    switch (e.scope) {
      case DiffEntry::kGeneral:
        break;
      case DiffEntry::kSession:
        w.Member("session", e.number);
        break;
      case DiffEntry::kDivision:
        w.Member("entry", e.number);
        break;
      case DiffEntry::kScreen:
        w.Member("screen", e.number);
        break;
      case DiffEntry::kField:
        w.Member("screen", e.number);
        w.Member("field", e.field);
        break;
      case DiffEntry::kImageRow:
        w.Member("screen", e.number);
        w.Member("row", e.row);
        break;
    }
    w.MemberText("state", kStates[e.state]);
    w.Key("changes");
    w.BeginArray();
    for (const MemberChange& c : e.changes) {
      w.BeginObject(true);
      w.MemberText("member", c.member);
      w.Key("old");
      WriteValue(w, c.before);
      w.Key("new");
      WriteValue(w, c.after);
      w.EndObject();
    }
    w.EndArray();
    w.EndObject();
  }
  w.EndArray();
  w.EndObject();
  return out;
}

}  // namespace tervo::config
