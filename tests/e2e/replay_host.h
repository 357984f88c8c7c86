// A TN5250 host made from the recorded IBM i session in
// tests/data/5250-traces/login.yml, for tests that drive the gateway as a
// site would against a real IBM i.
//
// It listens on loopback.  For each connection it plays the recorded telnet
// negotiation (each host step once the client has sent what the recorded
// client sent before it, by kind), then answers every 5250 record of the
// client from what the record holds:
//
// | Screen     | Client sends                          | Host answers                       |
// |------------|---------------------------------------|------------------------------------|
// | sign-on    | Enter, recorded user and password     | recorded Query; after its reply the
// recorded message-light record and main menu | | sign-on    | Enter, anything else | synthetic:
// the sign-on again with "Password not correct for user profile." (WrongPassword) | | main menu  |
// Enter with "1" at the command line     | recorded "User Tasks" menu         | | User Tasks | F3
// or F12                             | synthetic: the recorded main menu again |
//
// Anything else gets no answer (a test waiting for a screen then fails).
// Every 5250 record the client sent is kept, decoded, in Answers().
#pragma once

#include <QObject>
#include <QTcpServer>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/host5250/ebcdic.h"

class QTcpSocket;

namespace tervo::e2e {

class ReplayHost : public QObject {
 public:
  // How the host says the password was wrong.
  enum class WrongPassword {
    kRewrite,    // the sign-on written again, the message as text on row 24
    kErrorCode,  // Write Error Code: the message on the error line, keyboard locked
  };
  static constexpr const char* kWrongPasswordText = "Password not correct for user profile.";

  ReplayHost();
  ~ReplayHost() override;
  bool Listen();  // a free loopback port
  std::string Address() const;
  void SetWrongPassword(WrongPassword w) { wrong_ = w; }

  // One 5250 record the client sent: the cursor, the AID and the fields
  // (row, column of the first position -> text, Windows-1252).
  struct ClientRecord {
    int row = 0;
    int column = 0;
    std::uint8_t aid = 0;
    std::map<std::pair<int, int>, std::string> fields;
  };
  const std::vector<ClientRecord>& Answers() const { return answers_; }
  // The screen the host shows: "sign-on", "main menu", "User Tasks", or ""
  // before the sign-on.
  const std::string& Showing() const { return showing_; }

  // The recorded records, as the recording holds them (framed).
  struct Recorded {
    std::vector<std::pair<bool, std::string>> negotiation;  // (from host, bytes)
    std::string signOn, query, messageLight, mainMenu, userTasks;
    std::string user, password;  // what the recorded client typed
  };
  static Recorded Load();

 private:
  struct Connection;
  void Serve(QTcpSocket* socket);
  void OnRecord(Connection& c, const std::string& payload);
  std::string WrongPasswordRecord() const;

  QTcpServer server_;
  Recorded rec_;
  host5250::EbcdicCodec codec_;
  WrongPassword wrong_ = WrongPassword::kRewrite;
  std::vector<ClientRecord> answers_;
  std::string showing_;
  std::vector<Connection*> live_;
};

}  // namespace tervo::e2e
