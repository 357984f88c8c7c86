#include "replay_host.h"

#include <QTcpSocket>
#include <fstream>
#include <regex>
#include <sstream>

#include "platform/host5250/datastream.h"
#include "platform/host5250/telnet.h"

namespace tervo::e2e {

namespace tn = host5250::telnet;
namespace ds = host5250::ds;

namespace {

std::string Unhex(const std::string& hex) {
  std::string out;
  for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
    out.push_back(static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16)));
  return out;
}

bool IsRecord(const std::string& bytes) {
  return bytes.size() > 2 && bytes.compare(bytes.size() - 2, 2, "\xFF\xEF") == 0;
}

// What one side has sent: negotiations and subnegotiations per option, and
// the data of each complete record.
struct Tally : tn::Sink {
  std::map<int, int> negotiations, subnegotiations;
  std::vector<std::string> records;
  std::string current;
  void OnData(const std::uint8_t* d, std::size_t n) override {
    current.append(reinterpret_cast<const char*>(d), n);
  }
  void OnCommand(std::uint8_t c) override {
    if (c != tn::kEor) return;
    records.push_back(std::move(current));
    current.clear();
  }
  void OnNegotiation(std::uint8_t, std::uint8_t o) override { ++negotiations[o]; }
  void OnSubnegotiation(std::uint8_t o, std::string_view) override { ++subnegotiations[o]; }
  bool Covers(const Tally& need) const {
    for (auto [o, n] : need.negotiations)
      if (negotiations.count(o) == 0 || negotiations.at(o) < n) return false;
    for (auto [o, n] : need.subnegotiations)
      if (subnegotiations.count(o) == 0 || subnegotiations.at(o) < n) return false;
    return records.size() >= need.records.size();
  }
};

// The data of the one record in framed bytes.
std::string RecordData(const std::string& framed) {
  Tally t;
  tn::Parser p;
  p.Feed(reinterpret_cast<const std::uint8_t*>(framed.data()), framed.size(), t);
  return t.records.empty() ? std::string() : t.records.front();
}

}  // namespace

struct ReplayHost::Connection {
  QTcpSocket* socket = nullptr;
  tn::Parser parser;
  Tally got;                // what the client has sent
  Tally need;               // what the recorded client had sent before the next host step
  std::size_t next = 0;     // next negotiation step
  std::size_t handled = 0;  // client records answered
  bool negotiated = false;
  bool awaitingQueryReply = false;
};

ReplayHost::ReplayHost() : rec_(Load()) {
  QObject::connect(&server_, &QTcpServer::newConnection, this, [this] {
    while (QTcpSocket* s = server_.nextPendingConnection()) Serve(s);
  });
}

ReplayHost::~ReplayHost() {
  for (Connection* c : live_) {
    c->socket->disconnect(this);
    delete c;
  }
}

bool ReplayHost::Listen() { return server_.listen(QHostAddress::LocalHost, 0); }

std::string ReplayHost::Address() const {
  return "127.0.0.1:" + std::to_string(server_.serverPort());
}

ReplayHost::Recorded ReplayHost::Load() {
  std::ifstream in(std::string(TERVO_TEST_DATA) + "/5250-traces/login.yml", std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  const std::string text = ss.str();
  Recorded r;
  std::vector<std::string> hostRecords;
  std::vector<std::string> clientRecords;
  const std::regex step(R"(!(server|client) \{data: ([0-9A-Fa-f]+))");
  for (auto it = std::sregex_iterator(text.begin(), text.end(), step); it != std::sregex_iterator();
       ++it) {
    const bool fromHost = (*it)[1] == "server";
    const std::string bytes = Unhex((*it)[2]);
    if (!IsRecord(bytes)) {
      if (hostRecords.empty()) r.negotiation.emplace_back(fromHost, bytes);
      continue;
    }
    (fromHost ? hostRecords : clientRecords).push_back(bytes);
  }
  // Host: sign-on, Query, message light, main menu, User Tasks.  Client:
  // the sign-on answer, the Query reply, the menu choice.
  if (hostRecords.size() >= 5) {
    r.signOn = hostRecords[0];
    r.query = hostRecords[1];
    r.messageLight = hostRecords[2];
    r.mainMenu = hostRecords[3];
    r.userTasks = hostRecords[4];
  }
  if (!clientRecords.empty()) {
    // The typed user and password: SBA 6,53 and SBA 7,53 in the answer.
    const std::string data = RecordData(clientRecords[0]);
    host5250::EbcdicCodec codec;
    auto after = [&](const std::string& sba) {
      const std::size_t p = data.find(sba);
      if (p == std::string::npos) return std::string();
      std::size_t e = data.find('\x11', p + 3);
      if (e == std::string::npos) e = data.size();
      return codec.ToLocal(data.substr(p + 3, e - p - 3));
    };
    r.user = after("\x11\x06\x35");
    r.password = after("\x11\x07\x35");
  }
  return r;
}

void ReplayHost::Serve(QTcpSocket* socket) {
  auto* c = new Connection;
  c->socket = socket;
  live_.push_back(c);
  auto pump = [this, c] {
    // The negotiation as recorded, then the sign-on.
    while (!c->negotiated) {
      if (c->next >= rec_.negotiation.size()) {
        c->negotiated = true;
        c->socket->write(rec_.signOn.data(), static_cast<qint64>(rec_.signOn.size()));
        showing_ = "sign-on";
        break;
      }
      const auto& [fromHost, bytes] = rec_.negotiation[c->next];
      if (!fromHost) {
        tn::Parser p;  // each recorded step is whole
        p.Feed(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(), c->need);
        ++c->next;
        continue;
      }
      if (!c->got.Covers(c->need)) return;
      c->socket->write(bytes.data(), static_cast<qint64>(bytes.size()));
      ++c->next;
    }
    while (c->handled < c->got.records.size()) OnRecord(*c, c->got.records[c->handled++]);
  };
  QObject::connect(socket, &QTcpSocket::readyRead, this, [c, pump] {
    const QByteArray d = c->socket->readAll();
    c->parser.Feed(reinterpret_cast<const std::uint8_t*>(d.constData()),
                   static_cast<std::size_t>(d.size()), c->got);
    pump();
  });
  QObject::connect(socket, &QTcpSocket::disconnected, this, [this, c] {
    std::erase(live_, c);
    c->socket->deleteLater();
    delete c;
  });
  pump();
}

void ReplayHost::OnRecord(Connection& c, const std::string& data) {
  ds::RecordHeader header;
  std::string_view payload;
  std::string err;
  if (!ds::ParseRecord(data, &header, &payload, &err) || payload.size() < 3) return;
  ClientRecord a;
  a.row = static_cast<std::uint8_t>(payload[0]);
  a.column = static_cast<std::uint8_t>(payload[1]);
  a.aid = static_cast<std::uint8_t>(payload[2]);
  if (a.aid != ds::kAidStructuredField) {
    // Read MDT answer: SBA row column, then the field's data.
    std::size_t p = 3;
    while (p + 3 <= payload.size() && payload[p] == '\x11') {
      std::size_t e = payload.find('\x11', p + 3);
      if (e == std::string_view::npos) e = payload.size();
      a.fields[{static_cast<std::uint8_t>(payload[p + 1]),
                static_cast<std::uint8_t>(payload[p + 2])}] =
          codec_.ToLocal(std::string(payload.substr(p + 3, e - p - 3)));
      p = e;
    }
  }
  answers_.push_back(a);

  auto send = [&c](const std::string& framed) {
    c.socket->write(framed.data(), static_cast<qint64>(framed.size()));
  };
  // Trailing blanks are nothing to the host.
  auto field = [&a](int row, int column) {
    const auto it = a.fields.find({row, column});
    std::string v = it == a.fields.end() ? std::string() : it->second;
    while (!v.empty() && v.back() == ' ') v.pop_back();
    return v;
  };
  if (c.awaitingQueryReply) {
    if (a.aid != ds::kAidStructuredField) return;
    c.awaitingQueryReply = false;
    send(rec_.messageLight);
    send(rec_.mainMenu);
    showing_ = "main menu";
    return;
  }
  if (showing_ == "sign-on" && a.aid == ds::kAidEnter) {
    if (field(6, 53) == rec_.user && field(7, 53) == rec_.password) {
      send(rec_.query);
      c.awaitingQueryReply = true;
    } else {
      send(WrongPasswordRecord());
    }
    return;
  }
  if (showing_ == "main menu" && a.aid == ds::kAidEnter && field(20, 7) == "1") {
    send(rec_.userTasks);
    showing_ = "User Tasks";
    return;
  }
  if (showing_ == "User Tasks" && (a.aid == ds::kAidF1 + 2 || a.aid == ds::kAidF1 + 11)) {
    send(rec_.mainMenu);
    showing_ = "main menu";
  }
}

std::string ReplayHost::WrongPasswordRecord() const {
  const std::string message = codec_.ToHost(kWrongPasswordText);
  std::string payload;
  ds::RecordHeader header;
  header.opcode = ds::kOpPutGet;
  if (wrong_ == WrongPassword::kErrorCode) {
    // The error line, with the alarm, the cursor back in the password, and
    // the read again.
    payload = Unhex("04110004") + "\x04\x21" + message + Unhex("13073504520000");
  } else {
    // The recorded sign-on with the message on row 24 in the copyright's
    // place, written before its read.
    std::string_view recorded;
    std::string err;
    const std::string data = RecordData(rec_.signOn);
    ds::ParseRecord(data, &header, &recorded, &err);
    payload = std::string(recorded);
    const std::size_t read = payload.rfind(Unhex("04520000"));
    std::string row24 = Unhex("11180122") + message + std::string(78 - message.size(), '\x40') +
                        std::string(1, '\x20');
    payload.insert(read == std::string::npos ? payload.size() : read, row24);
  }
  return tn::Record(ds::BuildRecord(header, payload));
}

}  // namespace tervo::e2e
