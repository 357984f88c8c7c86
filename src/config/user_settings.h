// The few values kept outside the configuration file, per user: the
// configuration's base path, the host interface, the system name and the last
// day the gateway ran, plus the radio library's debug switch.
//
// They live in the user's settings store (QSettings: the registry on
// Windows, ~/.config/Tervo/<application>.conf elsewhere).  A settings file
// given on the command line (--settings FILE) or in TERVO_SETTINGS replaces
// the store with one INI file, so that tests and portable installations never
// touch the user's own settings; tests of the gateway hold them in memory.
// Every change is written through at once.  See docs/settings.md.
#pragma once

#include <map>
#include <memory>
#include <string>

class QSettings;

namespace tervo::config {

constexpr const char* kGatewayApplication = "TervoTerminal2";
constexpr const char* kRadioApplication = "QuilComm";
constexpr const char* kStartupSection = "Startup";
constexpr const char* kDefaultRouter = "DemoHost";

class UserSettings {
 public:
  // The user's store, or the INI file overrideFile when it is not empty.
  explicit UserSettings(const std::string& overrideFile = {});
  // Settings held in memory only: nothing is read or written.
  static std::unique_ptr<UserSettings> InMemory();
  ~UserSettings();
  UserSettings(const UserSettings&) = delete;
  UserSettings& operator=(const UserSettings&) = delete;

  // The settings file named by the environment variable TERVO_SETTINGS, or
  // "".  A --settings option on the command line wins over it.
  static std::string OverrideFromEnvironment();

  const std::string& OverrideFile() const { return override_; }

  // Every value is text; a value that is absent or cannot be read gives def.
  std::string Get(const std::string& application, const std::string& section,
                  const std::string& key, const std::string& def) const;
  void Set(const std::string& application, const std::string& section, const std::string& key,
           const std::string& value);
  // False with *err when the store could not be written.
  bool Sync(std::string* err);

  std::string FileName() const;    // default ""
  std::string RouterName() const;  // default "DemoHost"
  std::string System() const;      // default ""
  void SetFileName(const std::string& base);
  void SetRouterName(const std::string& name);
  void SetSystem(const std::string& name);
  // The day of the month the gateway last ran.  Absent, not a number or
  // outside 1..31 reads as today, which clears no counters.
  int LastDay(int today) const;
  void SetLastDay(int day);
  // "1" or "0" under QuilComm / Startup / DEBUG, for the radio library.
  void SetRadioDebug(bool on);

 private:
  QSettings& Store(const std::string& application) const;
  std::string Key(const std::string& application, const std::string& section,
                  const std::string& key) const;

  std::string override_;
  bool inMemory_ = false;
  std::map<std::string, std::string> memory_;
  mutable std::map<std::string, std::unique_ptr<QSettings>> stores_;
};

}  // namespace tervo::config
