// tervo-keys: enrols radio terminals.  Each terminal proves a secret when it
// connects; the gateway keeps the secrets in its key file, readable by its
// owner only.  See docs/radio-protocol.md (enrolment).
//
//   tervo-keys [--key-file FILE | --settings FILE] add ID     new random secret, printed once
//   tervo-keys [--key-file FILE | --settings FILE] set ID     the secret from standard input
//   tervo-keys [--key-file FILE | --settings FILE] remove ID
//   tervo-keys [--key-file FILE | --settings FILE] list       the enrolled ids (never secrets)
//
// ID "*" is the site-wide secret, for every terminal without its own.
#include <QCoreApplication>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "config/user_settings.h"
#include "platform/radio/terminal_keys.h"

using tervo::radio::TerminalKeys;

namespace {

int Usage() {
  std::fputs(
      "usage: tervo-keys [--key-file FILE | --settings FILE] add ID | set ID | remove ID | list\n",
      stderr);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  std::string keyFile;
  std::string settingsFile = tervo::config::UserSettings::OverrideFromArguments(argc, argv);
  std::vector<std::string> words;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--key-file" && i + 1 < argc) {
      keyFile = argv[++i];
    } else if (a == "--settings" && i + 1 < argc) {
      settingsFile = argv[++i];
    } else if (a.rfind("--settings=", 0) == 0) {
      // read by OverrideFromArguments
    } else if (a == "--help" || a == "-h") {
      Usage();
      return 0;
    } else {
      words.push_back(a);
    }
  }
  if (words.empty()) return Usage();
  if (keyFile.empty()) {
    // Where the gateway looks: the setting, else beside the settings.
    tervo::config::UserSettings settings(settingsFile);
    keyFile = settings.Get(tervo::config::kRadioApplication, "Security", "KeyFile", "");
    if (keyFile.empty()) keyFile = TerminalKeys::DefaultPath(settings.OverrideFile());
  }
  const std::string& command = words[0];
  std::string err;
  if (command == "list" && words.size() == 1) {
    std::ifstream in(keyFile);
    if (!in) {
      std::fprintf(stderr, "tervo-keys: no key file %s\n", keyFile.c_str());
      return 1;
    }
    std::stringstream ss;
    ss << in.rdbuf();
    std::vector<std::string> bad;
    for (const auto& [id, secret] : TerminalKeys::Parse(ss.str(), &bad))
      std::printf("%s\n", id.c_str());
    for (const auto& b : bad)
      std::fprintf(stderr, "tervo-keys: %s: %s\n", keyFile.c_str(), b.c_str());
    return 0;
  }
  if (words.size() != 2) return Usage();
  const std::string& id = words[1];
  std::string secret;
  if (command == "add") {
    secret = TerminalKeys::NewSecret();
  } else if (command == "set") {
    std::getline(std::cin, secret);
    if (!secret.empty() && secret.back() == '\r') secret.pop_back();
    if (secret.empty()) {
      std::fputs("tervo-keys: no secret on standard input\n", stderr);
      return 2;
    }
  } else if (command != "remove") {
    return Usage();
  }
  if (!TerminalKeys::Store(keyFile, id, secret, &err)) {
    std::fprintf(stderr, "tervo-keys: %s\n", err.c_str());
    return 1;
  }
  if (command == "add") {
    // Shown once, for the person setting up the terminal; the same line
    // works as the terminal's own key file.
    std::printf("%s = %s\n", id.c_str(), secret.c_str());
  }
  std::fprintf(stderr, "tervo-keys: %s %s %s\n", id.c_str(),
               command == "remove" ? "removed from" : "enrolled in", keyFile.c_str());
  return 0;
}
