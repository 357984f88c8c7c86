// tervo-keys: enrols radio terminals.  Each terminal proves a secret when it
// connects; the gateway keeps the secrets in its key file, readable by its
// owner only.  See docs/radio-protocol.md (enrolment).
//
//   tervo-keys [--key-file FILE | --settings FILE] add ID     new random secret, printed once
//   tervo-keys [--key-file FILE | --settings FILE] set ID     the secret from standard input
//   tervo-keys [--key-file FILE | --settings FILE] remove ID
//   tervo-keys [--key-file FILE | --settings FILE] list       the enrolled ids (never secrets)
//
//   tervo-keys --help
//
// ID "*" is the site-wide secret, for every terminal without its own.
#include <QCommandLineParser>
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

std::string Local(const QString& s) { return s.toLocal8Bit().toStdString(); }

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QCommandLineParser parser;
  parser.setApplicationDescription(
      "Enrols radio terminals: add ID (a new random secret, printed once), set ID (the secret\n"
      "from standard input), remove ID, list (the enrolled ids, never secrets).\n"
      "ID \"*\" is the site-wide secret, for every terminal without its own.");
  parser.addHelpOption();
  const QCommandLineOption keyFileOption("key-file", "The key file to change.", "FILE");
  const QCommandLineOption settingsOption(
      "settings", "The per-user settings in one INI file (else TERVO_SETTINGS).", "FILE");
  parser.addOptions({keyFileOption, settingsOption});
  parser.addPositionalArgument("command", "add ID | set ID | remove ID | list");
  auto usage = [&](const QString& why) {
    if (!why.isEmpty()) std::fprintf(stderr, "tervo-keys: %s\n", Local(why).c_str());
    std::fputs(Local(parser.helpText()).c_str(), stderr);
    return 2;
  };
  if (!parser.parse(app.arguments())) return usage(parser.errorText());
  if (parser.isSet("help") || parser.isSet("help-all")) {
    std::fputs(Local(parser.helpText()).c_str(), stdout);
    return 0;
  }
  std::string keyFile = Local(parser.value(keyFileOption));
  const std::string settingsFile = parser.isSet(settingsOption)
                                       ? Local(parser.value(settingsOption))
                                       : tervo::config::UserSettings::OverrideFromEnvironment();
  std::vector<std::string> words;
  for (const QString& w : parser.positionalArguments()) words.push_back(Local(w));
  if (words.empty()) return usage({});
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
  if (words.size() != 2) return usage({});
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
    return usage({});
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
