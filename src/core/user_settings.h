// The per-user settings the gateway reads at start and writes at shutdown
// (application, section, key), behind an interface so that the program
// binds them to the settings store and tests to memory.
#pragma once

#include <map>
#include <string>
#include <tuple>

namespace tervo::core {

class UserSettings {
 public:
  virtual ~UserSettings() = default;
  virtual std::string Get(const std::string& app, const std::string& section,
                          const std::string& key, const std::string& fallback) const = 0;
  virtual void Set(const std::string& app, const std::string& section, const std::string& key,
                   const std::string& value) = 0;
};

class MemorySettings : public UserSettings {
 public:
  std::string Get(const std::string& app, const std::string& section, const std::string& key,
                  const std::string& fallback) const override {
    auto it = values.find({app, section, key});
    return it == values.end() ? fallback : it->second;
  }
  void Set(const std::string& app, const std::string& section, const std::string& key,
           const std::string& value) override {
    values[{app, section, key}] = value;
  }
  std::map<std::tuple<std::string, std::string, std::string>, std::string> values;
};

}  // namespace tervo::core
