#include "config/unsaved_file.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <algorithm>

#include "config/config_writer.h"

namespace tervo::config {

namespace {

QString Native(const std::string& path) {
  return QString::fromLocal8Bit(path.data(), static_cast<qsizetype>(path.size()));
}

bool ReadSide(const std::string& base, std::string* bytes) {
  QFile f(Native(UnsavedFilePath(base)));
  if (!f.open(QIODevice::ReadOnly)) return false;
  const QByteArray all = f.readAll();
  if (f.error() != QFileDevice::NoError) return false;
  bytes->assign(all.constData(), static_cast<std::size_t>(all.size()));
  return true;
}

bool FreeLike(const ScreenStore& s, int i) {
  return s.Screens[i].Master == kScreenFree && s.Screens[i].ScreenId == 0 &&
         s.Originals[i].Count == 0;
}

bool HasScreen(const ScreenStore& s, int i) {
  return i <= s.NumeroMaximoDeEcrans && s.ValidScreen(i);
}

bool SameScreen(const ScreenStore& a, const ScreenStore& b, int i) {
  const bool inA = HasScreen(a, i);
  const bool inB = HasScreen(b, i);
  if (!inA || !inB) return inA ? FreeLike(a, i) : inB ? FreeLike(b, i) : true;
  if (!(a.Screens[i] == b.Screens[i]) || !(a.Originals[i] == b.Originals[i]) ||
      a.Indice[i] != b.Indice[i] || a.ScreenAspect[i] != b.ScreenAspect[i] ||
      !(a.AdvScreens[i] == b.AdvScreens[i]) || !(a.MasterScreens[i] == b.MasterScreens[i]))
    return false;
  return !ScreenStore::ValidTextScreen(i) || a.ScreensText[i] == b.ScreensText[i];
}

// "2, 7, 9" with at most ten numbers, then "and N more".
std::string NumberList(const std::vector<int>& numbers) {
  std::string s;
  const std::size_t shown = std::min<std::size_t>(numbers.size(), 10);
  for (std::size_t k = 0; k < shown; ++k) {
    if (k) s += ", ";
    s += std::to_string(numbers[k]);
  }
  if (numbers.size() > shown) s += " and " + std::to_string(numbers.size() - shown) + " more";
  return s;
}

}  // namespace

std::string UnsavedFilePath(const std::string& base) { return ConfigFilePath(base) + ".unsaved"; }

bool WriteUnsavedFile(const std::string& base, const ScreenStore& store,
                      const GeneralOptions& options, std::string* err, const ByteWriter& writer) {
  return WriteFileAtomically(UnsavedFilePath(base), WriteConfig(store, options), err, writer);
}

bool UnsavedFileExists(const std::string& base, std::string* modified) {
  const QFileInfo info(Native(UnsavedFilePath(base)));
  if (!info.isFile()) return false;
  if (modified)
    *modified = info.lastModified().toString(QStringLiteral("yyyy-MM-dd hh:mm")).toStdString();
  return true;
}

bool LoadUnsavedFile(const std::string& base, ScreenStore& store, GeneralOptions& options,
                     LoadPrompt& prompt, int* badLines) {
  std::string bytes;
  if (!ReadSide(base, &bytes)) return false;
  store.ResetToFresh();
  options.ApplyInitialContents();
  const int bad = ParseConfig(bytes, store, options, prompt);
  if (badLines) *badLines = bad;
  return true;
}

bool RemoveUnsavedFile(const std::string& base, std::string* err) {
  QFile f(Native(UnsavedFilePath(base)));
  if (!f.exists() || f.remove()) return true;
  if (err)
    *err = "cannot remove \"" + UnsavedFilePath(base) + "\": " + f.errorString().toStdString();
  return false;
}

bool AcceptUnsavedFile(const std::string& base, LoadPrompt& prompt, std::string* err) {
  ScreenStore store;
  GeneralOptions options;
  if (!LoadUnsavedFile(base, store, options, prompt)) {
    if (err) *err = "cannot read \"" + UnsavedFilePath(base) + "\"";
    return false;
  }
  if (!SaveDataToFile2(base, store, options, err)) return false;
  return RemoveUnsavedFile(base, err);
}

std::vector<std::string> DescribeDifferences(const ScreenStore& a, const GeneralOptions& aOptions,
                                             const ScreenStore& b, const GeneralOptions& bOptions) {
  std::vector<std::string> lines;
  std::string keys;
  for (const OptionSpec& o : OptionTable()) {
    if (aOptions.ConfiguredText(o.option) == bOptions.ConfiguredText(o.option)) continue;
    keys += (keys.empty() ? "" : ", ") + std::string(o.key);
  }
  if (!keys.empty()) lines.push_back("general options: " + keys);

  std::vector<int> sessions;
  for (int i = 0; i < kSessionSlots; ++i)
    if (a.DeviceName[i] != b.DeviceName[i] || a.TerminalIDDef[i] != b.TerminalIDDef[i])
      sessions.push_back(i);
  if (!sessions.empty())
    lines.push_back("sessions (device name or terminal id): " + NumberList(sessions));

  std::vector<int> screens;
  const int last = std::max(a.NumeroMaximoDeEcrans, b.NumeroMaximoDeEcrans);
  for (int i = 0; i <= last; ++i)
    if (!SameScreen(a, b, i)) screens.push_back(i);
  if (!screens.empty()) lines.push_back("screen definitions: " + NumberList(screens));

  if (a.DivideFieldsCt != b.DivideFieldsCt || a.DivideFields != b.DivideFields)
    lines.push_back("divided fields");
  return lines;
}

bool OnlyScreensAdded(const ScreenStore& file, const GeneralOptions& fileOptions,
                      const ScreenStore& kept, const GeneralOptions& keptOptions) {
  for (const OptionSpec& o : OptionTable())
    if (fileOptions.ConfiguredText(o.option) != keptOptions.ConfiguredText(o.option)) return false;
  for (int i = 0; i < kSessionSlots; ++i)
    if (file.DeviceName[i] != kept.DeviceName[i] || file.TerminalIDDef[i] != kept.TerminalIDDef[i])
      return false;
  if (file.DivideFieldsCt != kept.DivideFieldsCt || file.DivideFields != kept.DivideFields)
    return false;
  bool added = false;
  const int last = std::max(file.NumeroMaximoDeEcrans, kept.NumeroMaximoDeEcrans);
  for (int i = 0; i <= last; ++i) {
    if (SameScreen(file, kept, i)) continue;
    if (HasScreen(file, i) && !FreeLike(file, i)) return false;
    added = true;
  }
  return added;
}

}  // namespace tervo::config
