#include "config/config_json.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <set>
#include <vector>

#include "config/declare_variable.h"
#include "config/json_writer.h"
#include "config/record_members.h"
#include "config/text.h"
#include "config/windows1252.h"

namespace tervo::config {

namespace {

std::size_t U(int i) { return static_cast<std::size_t>(i); }

// ---- export ----

template <class D>
void WriteKeptMembers(JsonWriter& w, const D& d) {
  VisitMembers(d, [&](const char* name, const auto& v) {
    if (!Kept(v)) return;
    using T = std::decay_t<decltype(v)>;
    if constexpr (std::is_same_v<T, std::string>) {
      w.MemberText(name, v);
    } else if constexpr (std::is_same_v<T, bool>) {
      w.MemberBool(name, v);
    } else {
      w.Member(name, v);
    }
  });
}

void WriteImage(JsonWriter& w, const std::string& image) {
  if (ImageIsBlank(image)) return;
  w.Key("ScreenAspect");
  if (!ImageHasRows(image)) {
    w.Text(text::TrimRightBlanks(image));
    return;
  }
  int rows = kImageRows;
  while (rows > 0 && ImageIsBlank(ImageRow(image, rows - 1))) --rows;
  w.BeginArray();
  for (int r = 0; r < rows; ++r) w.Text(text::TrimRightBlanks(ImageRow(image, r)));
  w.EndArray();
}

void WriteScreen(JsonWriter& w, const ScreenStore& store, int i) {
  w.BeginObject();
  w.Member("screen", i);
  WriteKeptMembers(w, store.Screens[U(i)]);
  if (AnyKept(store.AdvScreens[U(i)])) {
    w.Key("AdvScreens");
    w.BeginObject();
    WriteKeptMembers(w, store.AdvScreens[U(i)]);
    w.EndObject();
  }
  if (AnyKept(store.MasterScreens[U(i)])) {
    w.Key("MasterScreen");
    w.BeginObject();
    WriteKeptMembers(w, store.MasterScreens[U(i)]);
    w.EndObject();
  }
  const int count = StoredFieldCount(store, i);
  if (count > 0) {
    w.Member("Count", count);
    w.Key("fields");
    w.BeginArray();
    for (int j = 0; j < count; ++j) {
      w.BeginObject();
      w.Member("field", j);
      WriteKeptMembers(w, store.Screens[U(i)].Screen[U(j)]);
      if (ScreenStore::ValidTextScreen(i) && SparseTextKept(store.ScreensText[U(i)][U(j)]))
        w.MemberText("ScreensText", store.ScreensText[U(i)][U(j)]);
      const CapturedField& host = store.Originals[U(i)][j];
      if (AnyKept(host)) {
        w.Key("host");
        w.BeginObject();
        WriteKeptMembers(w, host);
        w.EndObject();
      }
      w.EndObject();
    }
    w.EndArray();
  }
  const auto& index = store.Indice[U(i)];
  bool indexOpen = false;
  for (int p = 0; p < kPositionSlots; ++p) {
    if (index[U(p)] == -1) continue;
    if (!indexOpen) {
      w.Key("Indice");
      w.BeginObject();
      indexOpen = true;
    }
    w.Member(std::to_string(p), index[U(p)]);
  }
  if (indexOpen) w.EndObject();
  WriteImage(w, store.ScreenAspect[U(i)]);
  w.EndObject();
}

}  // namespace

std::string ExportJson(const ScreenStore& store, const GeneralOptions& options) {
  std::string out;
  JsonWriter w(&out);
  w.BeginObject();
  w.MemberText("format", kJsonFormatName);
  w.Member("version", kJsonFormatVersion);
  w.Key("general");
  w.BeginObject();
  for (const OptionSpec& o : OptionTable()) w.MemberText(o.key, options.Text(o.option));
  w.EndObject();
  w.Member("NumeroMaximoDeEcrans", store.NumeroMaximoDeEcrans);
  w.Member("ScreenCt", store.ScreenCt);
  w.Member("DivideFieldsCt", store.DivideFieldsCt);

  w.Key("sessions");
  w.BeginArray();
  for (int i = 0; i < kSessionSlots; ++i) {
    const bool device = SparseTextKept(store.DeviceName[U(i)]);
    const bool terminal = SparseTextKept(store.TerminalIDDef[U(i)]);
    if (!device && !terminal) continue;
    w.BeginObject(true);
    w.Member("session", i);
    if (device) w.MemberText("DeviceName", store.DeviceName[U(i)]);
    if (terminal) w.MemberText("TerminalIDDef", store.TerminalIDDef[U(i)]);
    w.EndObject();
  }
  w.EndArray();

  w.Key("screens");
  w.BeginArray();
  const int last = LastStoredScreen(store);
  for (int i = 0; i <= last; ++i)
    if (ScreenHasContent(store, i)) WriteScreen(w, store, i);
  w.EndArray();

  w.Key("DivideFields");
  w.BeginArray();
  for (int k = 0; k < kDivisionSlots; ++k) {
    if (!AnyKept(store.DivideFields[U(k)])) continue;
    w.BeginObject(true);
    w.Member("entry", k);
    WriteKeptMembers(w, store.DivideFields[U(k)]);
    w.EndObject();
  }
  w.EndArray();
  w.EndObject();
  return out;
}

// ---- import ----

namespace {

class Importer {
 public:
  Importer(ScreenStore& store, GeneralOptions& options, std::string* err)
      : store_(store), options_(options), err_(err) {}

  bool Run(const QJsonObject& root) {
    where_.clear();
    if (root.value("format").toString() != QLatin1String(kJsonFormatName))
      return Fail(std::string("not a configuration: \"format\" must be \"") + kJsonFormatName +
                  "\"");
    if (!root.value("version").isDouble() || root.value("version").toDouble() != kJsonFormatVersion)
      return Fail("version " + Shown(root.value("version")) +
                  " is not known; this program reads version " +
                  std::to_string(kJsonFormatVersion));
    if (!OnlyKnown(root, {"format", "version", "general", "NumeroMaximoDeEcrans", "ScreenCt",
                          "DivideFieldsCt", "sessions", "screens", "DivideFields"}))
      return false;
    store_.ResetToFresh();
    options_ = GeneralOptions();
    // The highest screen number sizes the tables before any screen is
    // stored, as in the file.
    return General(root.value("general")) && Declare(root, "NumeroMaximoDeEcrans") &&
           Declare(root, "ScreenCt") && Declare(root, "DivideFieldsCt") &&
           Sessions(root.value("sessions")) && Screens(root.value("screens")) &&
           Divisions(root.value("DivideFields"));
  }

 private:
  bool Fail(const std::string& message) {
    *err_ = where_.empty() ? message : where_ + ": " + message;
    return false;
  }

  static std::string Shown(const QJsonValue& v) {
    if (v.isUndefined()) return "(missing)";
    QJsonArray a{v};
    const QByteArray text = QJsonDocument(a).toJson(QJsonDocument::Compact);
    return text.mid(1, text.size() - 2).toStdString();
  }

  bool OnlyKnown(const QJsonObject& o, std::initializer_list<const char*> known) {
    for (auto it = o.begin(); it != o.end(); ++it) {
      bool found = false;
      for (const char* k : known) found = found || it.key() == QLatin1String(k);
      if (!found) return Fail("unknown member \"" + it.key().toStdString() + "\"");
    }
    return true;
  }

  bool ReadInt(const QJsonValue& v, const std::string& name, std::int32_t* out) {
    const double d = v.toDouble();
    if (!v.isDouble() || std::floor(d) != d || d < INT32_MIN || d > INT32_MAX)
      return Fail(name + ": expected a whole number, found " + Shown(v));
    *out = static_cast<std::int32_t>(d);
    return true;
  }

  bool ReadText(const QJsonValue& v, const std::string& name, std::string* out) {
    if (!v.isString()) return Fail(name + ": expected a text, found " + Shown(v));
    std::string why;
    if (!ToWindows1252(v.toString(), out, &why)) return Fail(name + ": " + why);
    return true;
  }

  bool ReadBool(const QJsonValue& v, const std::string& name, bool* out) {
    if (!v.isBool()) return Fail(name + ": expected true or false, found " + Shown(v));
    *out = v.toBool();
    return true;
  }

  // Fills the record's members from o; keys of o that are neither members
  // nor in `extra` are faults.  The object's members are taken out once and
  // matched by name: a large configuration has a hundred thousand records.
  template <class D>
  bool Members(const QJsonObject& o, D& d, std::initializer_list<const char*> extra,
               const std::string& prefix = "") {
    struct Entry {
      QByteArray key;
      QJsonValue value;
      bool used = false;
    };
    std::vector<Entry> entries;
    entries.reserve(static_cast<std::size_t>(o.size()));
    for (auto it = o.begin(); it != o.end(); ++it)
      entries.push_back({it.key().toUtf8(), it.value()});
    auto find = [&](const char* name) -> Entry* {
      for (Entry& e : entries)
        if (!e.used && e.key == name) return &e;
      return nullptr;
    };
    bool ok = true;
    VisitMembers(d, [&](const char* name, auto& member) {
      Entry* e = ok ? find(name) : nullptr;
      if (!e) return;
      e->used = true;
      using T = std::decay_t<decltype(member)>;
      if constexpr (std::is_same_v<T, std::string>) {
        ok = ReadText(e->value, prefix + name, &member);
      } else if constexpr (std::is_same_v<T, bool>) {
        ok = ReadBool(e->value, prefix + name, &member);
      } else {
        ok = ReadInt(e->value, prefix + name, &member);
      }
    });
    if (!ok) return false;
    for (const char* k : extra)
      if (Entry* e = find(k)) e->used = true;
    for (const Entry& e : entries)
      if (!e.used) return Fail("unknown member \"" + prefix + e.key.toStdString() + "\"");
    return true;
  }

  // A value stored as the file's line would store it, with the same checks.
  bool Declare(const QJsonObject& root, const char* name) {
    if (!root.contains(QLatin1String(name))) return true;
    std::int32_t v = 0;
    if (!ReadInt(root.value(QLatin1String(name)), name, &v)) return false;
    std::string why;
    if (!DeclareVariable(store_, options_, name, "", "", std::to_string(v), kNoIndex, kNoIndex,
                         kNoIndex, &why))
      return Fail(why);
    return true;
  }

  bool General(const QJsonValue& v) {
    if (v.isUndefined()) return true;
    if (!v.isObject()) return Fail("general: expected an object");
    const QJsonObject o = v.toObject();
    for (auto it = o.begin(); it != o.end(); ++it) {
      const std::string key = it.key().toStdString();
      if (!FindOption(key)) return Fail("general: unknown option \"" + key + "\"");
      std::string value;
      std::string why;
      if (!ReadText(it.value(), "general: " + key, &value)) return false;
      if (!DeclareVariable(store_, options_, key, "", "", value, kNoIndex, kNoIndex, kNoIndex,
                           &why))
        return Fail("general: " + why);
    }
    return true;
  }

  // The entries of an array of objects, each numbered by `numberKey` within
  // 0..last, no number twice.
  template <class F>
  bool Numbered(const QJsonValue& v, const char* arrayName, const char* numberKey, int last,
                F&& each) {
    if (v.isUndefined()) return true;
    if (!v.isArray()) return Fail(std::string(arrayName) + ": expected an array");
    std::set<int> seen;
    for (const QJsonValue& e : v.toArray()) {
      if (!e.isObject())
        return Fail(std::string(arrayName) + ": expected objects, found " + Shown(e));
      const QJsonObject o = e.toObject();
      std::int32_t n = 0;
      if (!ReadInt(o.value(QLatin1String(numberKey)), numberKey, &n)) return false;
      if (n < 0 || n > last)
        return Fail(std::string(numberKey) + " " + std::to_string(n) + " is outside 0.." +
                    std::to_string(last));
      if (!seen.insert(n).second)
        return Fail(std::string(numberKey) + " " + std::to_string(n) + " appears twice");
      if (!each(n, o)) return false;
    }
    return true;
  }

  bool Sessions(const QJsonValue& v) {
    return Numbered(v, "sessions", "session", kSessionSlots - 1, [&](int i, const QJsonObject& o) {
      where_ = "session " + std::to_string(i);
      if (!OnlyKnown(o, {"session", "DeviceName", "TerminalIDDef"})) return false;
      if (o.contains("DeviceName") &&
          !ReadText(o.value("DeviceName"), "DeviceName", &store_.DeviceName[U(i)]))
        return false;
      if (o.contains("TerminalIDDef") &&
          !ReadText(o.value("TerminalIDDef"), "TerminalIDDef", &store_.TerminalIDDef[U(i)]))
        return false;
      where_.clear();
      return true;
    });
  }

  bool Screens(const QJsonValue& v) {
    return Numbered(v, "screens", "screen", LastStoredScreen(store_),
                    [&](int i, const QJsonObject& o) {
                      where_ = "screen " + std::to_string(i);
                      if (!Members(o, store_.Screens[U(i)],
                                   {"screen", "AdvScreens", "MasterScreen", "Count", "fields",
                                    "Indice", "ScreenAspect"}))
                        return false;
                      if (!SubRecord(o, "AdvScreens", store_.AdvScreens[U(i)]) ||
                          !SubRecord(o, "MasterScreen", store_.MasterScreens[U(i)]))
                        return false;
                      if (o.contains("Count") && !Declare(o, "Count", i)) return false;
                      if (!Fields(i, o.value("fields")) || !Index(i, o.value("Indice")) ||
                          !Image(i, o.value("ScreenAspect")))
                        return false;
                      where_.clear();
                      return true;
                    });
  }

  template <class D>
  bool SubRecord(const QJsonObject& screen, const char* name, D& d) {
    if (!screen.contains(QLatin1String(name))) return true;
    const QJsonValue v = screen.value(QLatin1String(name));
    if (!v.isObject()) return Fail(std::string(name) + ": expected an object");
    return Members(v.toObject(), d, {}, std::string(name) + ".");
  }

  bool Declare(const QJsonObject& o, const char* name, int screen) {
    std::int32_t v = 0;
    if (!ReadInt(o.value(QLatin1String(name)), name, &v)) return false;
    std::string why;
    if (!DeclareVariable(store_, options_, "ScreenOriginal", name, "", std::to_string(v), screen,
                         kNoIndex, kNoIndex, &why))
      return Fail(why);
    return true;
  }

  bool Fields(int i, const QJsonValue& v) {
    const std::string screenWhere = where_;
    const int count = StoredFieldCount(store_, i);
    if (!v.isUndefined() && count == 0 && v.isArray() && !v.toArray().isEmpty())
      return Fail("fields are listed but Count is 0");
    return Numbered(v, "fields", "field", count - 1, [&](int j, const QJsonObject& o) {
      where_ = screenWhere + " field " + std::to_string(j);
      if (!Members(o, store_.Screens[U(i)].Screen[U(j)], {"field", "ScreensText", "host"}))
        return false;
      if (o.contains("ScreensText")) {
        std::string why;
        std::string* slot = store_.ScreensTextAt(i, j, &why);
        if (!slot) return Fail(why);
        if (!ReadText(o.value("ScreensText"), "ScreensText", slot)) return false;
      }
      if (o.contains("host")) {
        if (!o.value("host").isObject()) return Fail("host: expected an object");
        CapturedField h;
        if (!Members(o.value("host").toObject(), h, {}, "host.")) return false;
        store_.Originals[U(i)][j] = h;
      }
      where_ = screenWhere;
      return true;
    });
  }

  bool Index(int i, const QJsonValue& v) {
    if (v.isUndefined()) return true;
    if (!v.isObject()) return Fail("Indice: expected an object of positions");
    const QJsonObject o = v.toObject();
    for (auto it = o.begin(); it != o.end(); ++it) {
      const std::string key = it.key().toStdString();
      int p = -1;
      auto res = std::from_chars(key.data(), key.data() + key.size(), p);
      if (res.ec != std::errc() || res.ptr != key.data() + key.size() ||
          !ScreenStore::ValidPosition(p))
        return Fail("Indice: \"" + key + "\" is not a position 0.." + std::to_string(kMaxPosition));
      if (!ReadInt(it.value(), "Indice " + key, &store_.Indice[U(i)][U(p)])) return false;
    }
    return true;
  }

  bool Image(int i, const QJsonValue& v) {
    if (v.isUndefined()) return true;
    if (v.isString()) {
      std::string image;
      if (!ReadText(v, "ScreenAspect", &image)) return false;
      if (image.size() > U(kScreenAspectSize))
        return Fail("ScreenAspect is longer than " + std::to_string(kScreenAspectSize) +
                    " characters");
      store_.ScreenAspect[U(i)] = text::PadRight(image, U(kScreenAspectSize));
      return true;
    }
    if (!v.isArray()) return Fail("ScreenAspect: expected rows or a text");
    const QJsonArray a = v.toArray();
    if (a.size() > kImageRows)
      return Fail("ScreenAspect has more than " + std::to_string(kImageRows) + " rows");
    std::string rows[kImageRows];
    for (int r = 0; r < a.size(); ++r) {
      const std::string name = "ScreenAspect row " + std::to_string(r + 1);
      if (!ReadText(a[r], name, &rows[r])) return false;
      if (rows[r].size() > U(kImageColumns))
        return Fail(name + " is longer than " + std::to_string(kImageColumns) + " characters");
    }
    store_.ScreenAspect[U(i)] = ImageFromRows(rows, static_cast<int>(a.size()));
    return true;
  }

  bool Divisions(const QJsonValue& v) {
    return Numbered(v, "DivideFields", "entry", kMaxDivision, [&](int k, const QJsonObject& o) {
      where_ = "division " + std::to_string(k);
      if (!Members(o, store_.DivideFields[U(k)], {"entry"})) return false;
      where_.clear();
      return true;
    });
  }

  ScreenStore& store_;
  GeneralOptions& options_;
  std::string* err_;
  std::string where_;
};

// "line 3, column 7" of a byte offset.
std::string PlaceOf(std::string_view text, int offset) {
  int line = 1;
  int column = 1;
  for (int i = 0; i < offset && U(i) < text.size(); ++i) {
    if (text[U(i)] == '\n') {
      ++line;
      column = 1;
    } else if ((static_cast<unsigned char>(text[U(i)]) & 0xC0) != 0x80) {
      ++column;
    }
  }
  return "line " + std::to_string(line) + ", column " + std::to_string(column);
}

}  // namespace

bool ImportJson(std::string_view json, ScreenStore& store, GeneralOptions& options,
                std::string* err) {
  std::string ignored;
  if (!err) err = &ignored;
  QJsonParseError parseError;
  const QJsonDocument doc = QJsonDocument::fromJson(
      QByteArray(json.data(), static_cast<qsizetype>(json.size())), &parseError);
  if (parseError.error != QJsonParseError::NoError) {
    *err = PlaceOf(json, parseError.offset) + ": " + parseError.errorString().toStdString();
    return false;
  }
  if (!doc.isObject()) {
    *err = "not a configuration: expected a JSON object";
    return false;
  }
  return Importer(store, options, err).Run(doc.object());
}

}  // namespace tervo::config
