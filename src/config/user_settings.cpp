#include "config/user_settings.h"

#include <QSettings>
#include <cstdlib>

#include "config/text.h"

namespace tervo::config {

namespace {

QString Local(const std::string& s) {
  return QString::fromLocal8Bit(s.data(), static_cast<qsizetype>(s.size()));
}

constexpr const char* kOrganisation = "Tervo";

}  // namespace

UserSettings::UserSettings(const std::string& overrideFile) : override_(overrideFile) {}

UserSettings::~UserSettings() = default;

std::unique_ptr<UserSettings> UserSettings::InMemory() {
  auto s = std::make_unique<UserSettings>();
  s->inMemory_ = true;
  return s;
}

std::string UserSettings::OverrideFromEnvironment() {
  const char* env = std::getenv("TERVO_SETTINGS");
  return env ? env : "";
}

// With an override every application shares the one file, as a group.
QSettings& UserSettings::Store(const std::string& application) const {
  const std::string id = override_.empty() ? application : std::string();
  auto& slot = stores_[id];
  if (!slot) {
    slot = override_.empty()
               ? std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                             kOrganisation, Local(application))
               : std::make_unique<QSettings>(Local(override_), QSettings::IniFormat);
  }
  return *slot;
}

std::string UserSettings::Key(const std::string& application, const std::string& section,
                              const std::string& key) const {
  return override_.empty() ? section + "/" + key : application + "/" + section + "/" + key;
}

std::string UserSettings::Get(const std::string& application, const std::string& section,
                              const std::string& key, const std::string& def) const {
  if (inMemory_) {
    auto it = memory_.find(application + "/" + section + "/" + key);
    return it == memory_.end() ? def : it->second;
  }
  const QVariant v = Store(application).value(Local(Key(application, section, key)));
  if (!v.isValid()) return def;
  // A hand-edited INI value with an unquoted comma reads as a list.
  if (v.userType() == QMetaType::QStringList)
    return v.toStringList().join(',').toLocal8Bit().toStdString();
  if (!v.canConvert<QString>()) return def;
  return v.toString().toLocal8Bit().toStdString();
}

void UserSettings::Set(const std::string& application, const std::string& section,
                       const std::string& key, const std::string& value) {
  if (inMemory_) {
    memory_[application + "/" + section + "/" + key] = value;
    return;
  }
  QSettings& store = Store(application);
  store.setValue(Local(Key(application, section, key)), Local(value));
  store.sync();
}

bool UserSettings::Sync(std::string* err) {
  for (auto& [id, store] : stores_) {
    store->sync();
    if (store->status() != QSettings::NoError) {
      if (err)
        *err =
            "cannot write the settings \"" + store->fileName().toLocal8Bit().toStdString() + "\"";
      return false;
    }
  }
  return true;
}

std::string UserSettings::FileName() const {
  return Get(kGatewayApplication, kStartupSection, "FileName", "");
}
std::string UserSettings::RouterName() const {
  return Get(kGatewayApplication, kStartupSection, "RouterName", kDefaultRouter);
}
std::string UserSettings::System() const {
  return Get(kGatewayApplication, kStartupSection, "System", "");
}

void UserSettings::SetFileName(const std::string& base) {
  Set(kGatewayApplication, kStartupSection, "FileName", base);
}
void UserSettings::SetRouterName(const std::string& name) {
  Set(kGatewayApplication, kStartupSection, "RouterName", name);
}
void UserSettings::SetSystem(const std::string& name) {
  Set(kGatewayApplication, kStartupSection, "System", name);
}

int UserSettings::LastDay(int today) const {
  const std::string text = Get(kGatewayApplication, kStartupSection, "LastDay", "");
  std::int32_t day = 0;
  if (!text::ToInt32(text, &day, nullptr) || day < 1 || day > 31) return today;
  return day;
}

void UserSettings::SetLastDay(int day) {
  Set(kGatewayApplication, kStartupSection, "LastDay", text::FromInt(day));
}

void UserSettings::SetRadioDebug(bool on) {
  Set(kRadioApplication, kStartupSection, "DEBUG", on ? "1" : "0");
}

}  // namespace tervo::config
