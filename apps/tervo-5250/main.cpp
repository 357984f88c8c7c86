// tervo-5250: a command-line 5250 client for people and scripts.
//
//   tervo-5250 --host HOST:PORT [--tls [--ca-file FILE]] [--device NAME]
//              [--ccsid N] [--keys KEYS] [--dump] [--wait-ms N] [--settle-ms N]
//   tervo-5250 --help
//
// --keys types keys as an operator would: each AID key (Enter, roll, F-key,
// Clear, Help) is sent when the keyboard is unlocked, and the keys after it
// wait for the host's next screen.  The program exits after the screen that
// answers the last AID key (the first screen when there are no keys), or
// when --wait-ms (default 5000) passes without a new screen.  With
// --settle-ms N the keys wait until the host has been quiet for N ms after
// a screen: hosts write a screen and overwrite it moments later ("flash"
// screens), and keys typed into the first would land in the wrong fields.
// Exit codes: 0 done, 1 connection failed or lost, 2 timed out, 3 keys
// refused, 64 bad arguments.
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTimer>
#include <cstdio>
#include <deque>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "dump.h"
#include "platform/host5250/datastream.h"
#include "platform/host5250/key_mnemonics.h"
#include "platform/host5250/tn5250_client.h"

namespace {

struct Piece {
  std::string keys;
  bool endsWithAid = false;
};

// Splits keys after every AID key the host answers with a screen (Print
// gets none).  Unknown mnemonics are reported here and left out.
std::deque<Piece> SplitAtAids(const std::string& keys) {
  std::deque<Piece> out;
  std::vector<std::string> unknown;
  std::string cur;
  for (const tervo::host5250::Key& k : tervo::host5250::ParseKeys(keys, &unknown)) {
    cur += k.text;
    if (k.kind == tervo::host5250::Key::kAid && k.aid != tervo::host5250::ds::kAidPrint) {
      out.push_back(Piece{cur, true});
      cur.clear();
    }
  }
  if (!cur.empty()) out.push_back(Piece{cur, false});
  for (const std::string& u : unknown) std::fprintf(stderr, "tervo-5250: Unknown key mnemonic %s skipped\n", u.c_str());
  return out;
}

std::string Local(const QString& s) { return s.toLocal8Bit().toStdString(); }

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QCommandLineParser parser;
  parser.setApplicationDescription("A command-line 5250 client for people and scripts.");
  parser.addHelpOption();
  const QCommandLineOption hostOption("host", "The host to connect to.", "HOST:PORT");
  const QCommandLineOption tlsOption("tls", "Connect in TLS.");
  const QCommandLineOption caOption("ca-file", "Certificate authorities for TLS (PEM).", "FILE");
  const QCommandLineOption deviceOption("device", "The display's device name.", "NAME");
  const QCommandLineOption ccsidOption("ccsid", "The host's code page (default 37).", "N");
  const QCommandLineOption keysOption("keys", "Keys to type, as an operator would.", "KEYS");
  const QCommandLineOption dumpOption("dump", "Print every screen.");
  const QCommandLineOption waitOption("wait-ms", "How long to wait for a screen (default 5000).",
                                      "N");
  const QCommandLineOption settleOption("settle-ms", "Quiet time before keys are typed.", "N");
  parser.addOptions({hostOption, tlsOption, caOption, deviceOption, ccsidOption, keysOption,
                     dumpOption, waitOption, settleOption});
  auto usage = [&](const std::string& why) {
    std::fprintf(stderr, "tervo-5250: %s\n", why.c_str());
    std::fputs(Local(parser.helpText()).c_str(), stderr);
    return 64;
  };
  if (!parser.parse(app.arguments())) return usage(Local(parser.errorText()));
  if (parser.isSet("help") || parser.isSet("help-all")) {
    std::fputs(Local(parser.helpText()).c_str(), stdout);
    return 0;
  }
  if (!parser.positionalArguments().isEmpty())
    return usage("unknown argument " + Local(parser.positionalArguments().first()));
  const std::string host = Local(parser.value(hostOption));
  const std::string caFile = Local(parser.value(caOption));
  const std::string device = Local(parser.value(deviceOption));
  const std::string keys = Local(parser.value(keysOption));
  const bool tls = parser.isSet(tlsOption), dump = parser.isSet(dumpOption);
  int waitMs = 5000, ccsid = 37, settleMs = 0;
  for (auto [option, out] : {std::pair{&waitOption, &waitMs}, std::pair{&ccsidOption, &ccsid},
                             std::pair{&settleOption, &settleMs}}) {
    if (!parser.isSet(*option)) continue;
    bool ok = false;
    const int n = parser.value(*option).toInt(&ok);
    if (!ok || n < 0) return usage("bad number");
    *out = n;
  }
  if (host.empty()) return usage("--host is required");

  tervo::host5250::Tn5250Client client;
  std::string err;
  if (!client.SetCcsid(ccsid, &err)) return usage(err);
  client.SetCaFile(caFile);
  client.Link().SelectedSystemName = tls ? "tls://" + host : host;
  client.Link().DeviceName = device;
  client.SetLogger([](const std::string& s) { std::fprintf(stderr, "tervo-5250: %s\n", s.c_str()); });

  std::deque<Piece> pending = SplitAtAids(keys);
  int screens = 0;
  bool awaiting = true;  // a screen is owed: the first, or the answer to an AID
  QTimer timeout;
  timeout.setSingleShot(true);
  QObject::connect(&timeout, &QTimer::timeout, [&] {
    std::fprintf(stderr, "tervo-5250: no new screen within %d ms\n", waitMs);
    std::fflush(stdout);
    app.exit(pending.empty() && !awaiting ? 0 : 2);
  });

  // The host has been quiet for --settle-ms: the screen stands.
  QTimer settle;
  settle.setSingleShot(true);
  std::function<void()> proceed;

  tervo::host5250::HostDisplayEvents events;
  events.ReadyToSend = [&](bool) {
    ++screens;
    awaiting = false;
    if (dump) {
      std::fputs(tervo::apps::DumpScreen(screens, client).c_str(), stdout);
      std::fflush(stdout);
    }
    if (settleMs > 0) {
      timeout.stop();
      settle.start(settleMs);  // a later screen starts the quiet time again
      return;
    }
    proceed();
  };
  events.KeyboardStatus = [&] {
    if (settle.isActive()) settle.start(settleMs);  // the host is still at work
  };
  QObject::connect(&settle, &QTimer::timeout, [&] { proceed(); });
  proceed = [&] {
    if (settleMs > 0 && client.Keyboard().Locked) {
      timeout.start(waitMs);  // the host locked it again: its next screen
      return;
    }
    while (!pending.empty() && !awaiting) {
      const Piece piece = pending.front();
      pending.pop_front();
      std::string why;
      if (!client.SendKeys(piece.keys, &why)) {
        std::fprintf(stderr, "tervo-5250: %s\n", why.c_str());
        app.exit(3);
        return;
      }
      awaiting = piece.endsWithAid;
    }
    if (pending.empty() && !awaiting) {
      app.exit(0);
      return;
    }
    timeout.start(waitMs);
  };
  events.Disconnected = [&](std::string& message) {
    std::fprintf(stderr, "tervo-5250: disconnected: %s\n", message.c_str());
    app.exit(pending.empty() && !awaiting ? 0 : 1);
  };
  client.SetEvents(events);
  if (!client.Connect(&err)) {
    std::fprintf(stderr, "tervo-5250: %s\n", err.c_str());
    return 1;
  }
  timeout.start(waitMs);
  return app.exec();
}
