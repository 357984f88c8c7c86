#include "platform/demohost/host_connection.h"

#include <QTcpSocket>

#include <algorithm>

#include "platform/demohost/answer_reader.h"
#include "platform/demohost/app_text.h"
#include "platform/demohost/host_stream.h"
#include "platform/demohost/screen_encoder.h"
#include "platform/host5250/datastream.h"
#include "platform/host5250/device_name.h"

namespace tervo::demohost {

namespace ds = host5250::ds;
namespace tn = host5250::telnet;

namespace {

// No 5250 record from a terminal comes near this; a peer that sends more
// without an end of record is not a 5250 terminal.
constexpr std::size_t kMaxRecord = 32 * 1024;
constexpr int kCloseGraceMs = 2000;

// 5250 display types start "IBM-"; the 3270 ones (IBM-3278, IBM-3279) and
// 5250 printers (IBM-3812, IBM-5553) are not displays this host serves.
bool Is5250Display(const std::string& type) {
  const std::string t = ToUpper(type);
  if (t.rfind("IBM-", 0) != 0) return false;
  return t.rfind("IBM-327", 0) != 0 && t.rfind("IBM-3812", 0) != 0 && t.rfind("IBM-5553", 0) != 0;
}

// A saved screen from a terminal that does not mark it with the Save Screen
// opcode: a data stream starting with an escape, where an answer would have
// its AID in the third byte.
bool LooksSaved(std::string_view p) {
  if (p.size() < 3 || static_cast<std::uint8_t>(p[0]) != ds::kEsc) return false;
  return KeyName(static_cast<std::uint8_t>(p[2])).empty();
}

std::string Hex(std::uint8_t b) {
  static const char* d = "0123456789ABCDEF";
  return {d[b >> 4], d[b & 15]};
}

// What the operator is told when the fields of an Enter cannot be read.
constexpr const char* kUnreadableMessage = "Your entry could not be read: press Reset and type it again.";

}  // namespace

// ---------------------------------------------------------------- DeviceNames

bool DeviceNames::Valid(const std::string& name) {
  // The rule the client applies before offering a name, so that a name the
  // gateway offers is never refused here; Claim upper-cases first.
  std::string normalized;
  return host5250::ValidDeviceName(name, &normalized, nullptr) && normalized == name;
}

std::string DeviceNames::Claim(const std::string& offered, std::string* refused) {
  const std::string up = ToUpper(TrimBlanks(offered));
  // A name another terminal holds is not shared: two sessions on one
  // device would overwrite each other's screens.
  const bool valid = Valid(up);
  const bool inUse = std::find(inUse_.begin(), inUse_.end(), up) != inUse_.end();
  if (valid && !inUse) {
    inUse_.push_back(up);
    return up;
  }
  if (refused)
    *refused = up.empty() ? std::string() : !valid ? "is not a valid 5250 device name" : "is in use by another session";
  for (;;) {
    std::string n = std::to_string(next_++ % 10000);
    n = "QPADEV" + std::string(4 - n.size(), '0') + n;
    if (std::find(inUse_.begin(), inUse_.end(), n) == inUse_.end()) {
      inUse_.push_back(n);
      return n;
    }
  }
}

void DeviceNames::Release(const std::string& name) {
  auto it = std::find(inUse_.begin(), inUse_.end(), name);
  if (it != inUse_.end()) inUse_.erase(it);
}

// ------------------------------------------------------------ HostConnection

HostConnection::HostConnection(QTcpSocket* socket, const Application& app, DeviceNames& names,
                               const DemoHostOptions& options, QObject* parent)
    : QObject(parent), socket_(socket), app_(app), names_(names), options_(options) {
  socket_->setParent(this);
  std::string err;
  if (!codec_.SetCcsid(options_.ccsid, &err)) Log(err + "; using CCSID 37");
  connect(socket_, &QTcpSocket::readyRead, this, &HostConnection::OnReadyRead);
  connect(socket_, &QTcpSocket::disconnected, this, [this] {
    if (phase_ == Phase::kClosed) Finish();
    else Close("terminal disconnected");
  });
  timer_.setSingleShot(true);
  connect(&timer_, &QTimer::timeout, this, &HostConnection::OnTimeout);
  timer_.start(options_.negotiationTimeoutMs);
  // A host asks first: the terminal type, and the environment for the
  // device name.
  Send(tn::Negotiation(tn::kDo, tn::kOptNewEnviron) + tn::Negotiation(tn::kDo, tn::kOptTerminalType));
  environAsked_ = true;
  ttypeAsked_ = true;
}

HostConnection::~HostConnection() {
  if (!device_.empty()) names_.Release(device_);
}

void HostConnection::Log(const std::string& line) const {
  if (options_.log) options_.log((device_.empty() ? std::string("demohost") : device_) + ": " + line);
}

void HostConnection::Send(const std::string& bytes) {
  if (phase_ == Phase::kClosed) return;
  socket_->write(bytes.data(), static_cast<qint64>(bytes.size()));
}

void HostConnection::SendRecord(std::uint8_t opcode, const std::string& payload) {
  Send(HostRecord(opcode, payload));
}

void HostConnection::Close(const std::string& why) {
  if (phase_ == Phase::kClosed) return;
  Log("session ends: " + why);
  phase_ = Phase::kClosed;
  // What was written (a last message) goes out before the socket closes; a
  // peer that does not read it is cut off after a while.
  timer_.start(kCloseGraceMs);
  socket_->disconnectFromHost();
  if (socket_->state() == QAbstractSocket::UnconnectedState) Finish();
}

void HostConnection::Finish() {
  if (finished_) return;
  finished_ = true;
  timer_.stop();
  emit Finished(this);
}

void HostConnection::OnReadyRead() {
  const QByteArray bytes = socket_->readAll();
  telnet_.Feed(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
               static_cast<std::size_t>(bytes.size()), *this);
}

void HostConnection::OnTimeout() {
  switch (phase_) {
    case Phase::kNegotiating:
      // Without a terminal type and the 5250 modes there is no session.
      if (ttypeDone_ && willEor_ && doEor_ && willBinary_ && doBinary_) {
        environDone_ = true;
        MaybeStart();
      } else {
        Close("telnet negotiation did not finish in time");
      }
      break;
    case Phase::kQuery:
      Log("no answer to the Query; assuming a 24 x 80 display");
      StartApplication();
      break;
    case Phase::kAwaitSave:
      Log("no answer to Save Screen; help window not shown");
      phase_ = Phase::kRunning;
      session_->CancelHelp();
      SendRecord(ds::kOpPutGet,
                 EncodeError(Reply{Outcome::kError, "Help is not available now.", 0, 0, 0},
                             session_->Current(), codec_));
      break;
    case Phase::kClosed:
      socket_->abort();
      Finish();
      break;
    default:
      break;
  }
}

void HostConnection::OnData(const std::uint8_t* data, std::size_t size) {
  if (phase_ == Phase::kClosed) return;
  if (record_.size() + size > kMaxRecord) {
    Close("record longer than " + std::to_string(kMaxRecord) + " bytes");
    return;
  }
  record_.append(reinterpret_cast<const char*>(data), size);
}

void HostConnection::OnCommand(std::uint8_t command) {
  if (command != tn::kEor || phase_ == Phase::kClosed) return;
  std::string record;
  record.swap(record_);
  ProcessRecord(record);
}

void HostConnection::OnNegotiation(std::uint8_t verb, std::uint8_t option) {
  if (phase_ == Phase::kClosed) return;
  const bool yes = verb == tn::kWill || verb == tn::kDo;
  switch (option) {
    case tn::kOptNewEnviron:
      if (verb == tn::kWill && !environDone_) {
        // RFC 4777: the device name travels as the user variable DEVNAME.
        Send(tn::Subnegotiation(tn::kOptNewEnviron,
                                tn::NewEnviron(tn::kSend, {{true, "DEVNAME", std::nullopt}})));
      } else if (verb == tn::kWont) {
        environDone_ = true;
      } else if (verb == tn::kDo) {
        Send(tn::Negotiation(tn::kWont, option));
      }
      break;
    case tn::kOptTerminalType:
      if (verb == tn::kWill && !ttypeDone_) {
        Send(tn::Subnegotiation(tn::kOptTerminalType, std::string(1, static_cast<char>(tn::kSend))));
      } else if (verb == tn::kWont) {
        Send("This host serves 5250 display stations only.\r\n");
        Close("the terminal has no terminal type");
        return;
      } else if (verb == tn::kDo) {
        Send(tn::Negotiation(tn::kWont, option));
      }
      break;
    case tn::kOptEndOfRecord:
    case tn::kOptBinary: {
      if (!yes) {
        Close("the terminal refused the 5250 telnet modes (BINARY, END-OF-RECORD)");
        return;
      }
      bool& flag = option == tn::kOptEndOfRecord ? (verb == tn::kWill ? willEor_ : doEor_)
                                                 : (verb == tn::kWill ? willBinary_ : doBinary_);
      // Agree to a request we did not make ourselves; never answer our own
      // request's echo twice.
      if (!flag && !modesAsked_) Send(tn::Negotiation(verb == tn::kWill ? tn::kDo : tn::kWill, option));
      flag = true;
      break;
    }
    default:
      // Nothing else is offered or accepted.
      if (verb == tn::kWill) Send(tn::Negotiation(tn::kDont, option));
      if (verb == tn::kDo) Send(tn::Negotiation(tn::kWont, option));
      break;
  }
  MaybeStart();
}

void HostConnection::OnSubnegotiation(std::uint8_t option, std::string_view payload) {
  if (phase_ == Phase::kClosed) return;
  if (option == tn::kOptTerminalType) {
    if (payload.empty() || static_cast<std::uint8_t>(payload[0]) != tn::kIs) return;
    terminalType_ = std::string(payload.substr(1));
    ttypeDone_ = true;
    if (!Is5250Display(terminalType_)) {
      Send("This host serves 5250 display stations only.\r\n");
      Close("terminal type " + terminalType_ + " is not a 5250 display");
      return;
    }
    if (!modesAsked_) {
      modesAsked_ = true;
      std::string ask;
      if (!doEor_) ask += tn::Negotiation(tn::kWill, tn::kOptEndOfRecord);
      if (!willEor_) ask += tn::Negotiation(tn::kDo, tn::kOptEndOfRecord);
      if (!doBinary_) ask += tn::Negotiation(tn::kWill, tn::kOptBinary);
      if (!willBinary_) ask += tn::Negotiation(tn::kDo, tn::kOptBinary);
      Send(ask);
    }
  } else if (option == tn::kOptNewEnviron) {
    std::uint8_t verb = 0;
    std::vector<tn::EnvVariable> vars;
    if (!tn::ParseNewEnviron(payload, &verb, &vars) || verb == tn::kSend) return;
    for (const tn::EnvVariable& v : vars)
      if (v.name == "DEVNAME" && v.value) offeredName_ = *v.value;
    environDone_ = true;
  }
  MaybeStart();
}

void HostConnection::MaybeStart() {
  if (phase_ != Phase::kNegotiating) return;
  if (!(ttypeDone_ && environDone_ && willEor_ && doEor_ && willBinary_ && doBinary_)) return;
  std::string refused;
  device_ = names_.Claim(offeredName_, &refused);
  if (!refused.empty()) Log("device name " + offeredName_ + " " + refused + "; given " + device_);
  Log("terminal " + terminalType_ + " connected");
  phase_ = Phase::kQuery;
  HostStream w(codec_);
  w.Query();
  SendRecord(ds::kOpPutGet, w.Take());
  timer_.start(options_.queryTimeoutMs);
}

void HostConnection::StartApplication() {
  timer_.stop();
  phase_ = Phase::kRunning;
  session_ = std::make_unique<AppSession>(app_, device_);
  session_->Start();
  ShowCurrent();
}

void HostConnection::ShowCurrent() { SendRecord(ds::kOpPutGet, EncodeScreen(session_->Current(), codec_)); }

void HostConnection::ProcessRecord(const std::string& record) {
  ds::RecordHeader header;
  std::string_view payload;
  std::string err;
  if (!ds::ParseRecord(record, &header, &payload, &err)) {
    Log("ignored: " + err);
    return;
  }
  if (header.flags & ds::kFlagError) {
    std::string code;
    for (char c : payload.substr(0, 4)) code += Hex(static_cast<std::uint8_t>(c));
    Log("terminal sent a negative response " + code);
    return;
  }
  // Help pressed while the terminal shows a keyboard error of its own: the
  // record carries the error code instead of an answer, and the read is
  // still open.  The error's explanation goes on the error line; the
  // keyboard stays locked until Reset.
  if ((header.flags & ds::kFlagHelp) && phase_ == Phase::kRunning) {
    std::uint16_t code = 0;
    if (payload.size() >= 2)
      code = static_cast<std::uint16_t>(static_cast<std::uint8_t>(payload[0]) << 8 |
                                        static_cast<std::uint8_t>(payload[1]));
    const std::string text = KeyboardErrorText(code);
    Log("help for keyboard error " + Hex(static_cast<std::uint8_t>(code >> 8)) +
        Hex(static_cast<std::uint8_t>(code & 0xFF)) + " on " + session_->ScreenName());
    SendRecord(ds::kOpPutGet, EncodeError(Reply{Outcome::kError, text, 0, 0, 0}, session_->Current(), codec_));
    return;
  }
  switch (phase_) {
    case Phase::kQuery:
      if (payload.size() >= 3 && static_cast<std::uint8_t>(payload[2]) == ds::kAidStructuredField) {
        // Device type and model sit at fixed places of the reply; some
        // terminals send the model with a leading null (X'00F0F2').
        if (payload.size() >= ds::kQueryReplyDevice + ds::kQueryReplyDeviceSize)
          queryDevice_ = TrimBlanks(codec_.ToLocal(payload.substr(ds::kQueryReplyDevice, 4))) + "-" +
                         TrimBlanks(codec_.ToLocal(payload.substr(ds::kQueryReplyDevice + 4, 3)));
        Log("Query reply: display " + queryDevice_);
        StartApplication();
      }
      break;
    case Phase::kAwaitSave:
      timer_.stop();
      phase_ = Phase::kRunning;
      // The saved screen is a data stream (it starts with an escape) sent
      // under the Save Screen opcode; anything else is an ordinary answer
      // from a terminal that did not save, and the help window is dropped.
      if (header.opcode != ds::kOpSaveScreen && !LooksSaved(payload)) {
        Log("expected the saved screen; help window not shown");
        session_->CancelHelp();
        HandleAnswer(payload);
        break;
      }
      saved_ = std::string(payload);
      SendRecord(ds::kOpPutGet, EncodeHelpWindow(session_->HelpLines(), codec_));
      break;
    case Phase::kRunning:
      HandleAnswer(payload);
      break;
    default:
      break;
  }
}

void HostConnection::HandleAnswer(std::string_view payload) {
  Answer answer;
  if (!ReadAnswer(payload, codec_, AnswerFields(session_->Current()), session_->Current().readAll,
                  &answer)) {
    Log("ignored an answer too short for cursor and AID");
    return;
  }
  if (answer.aid == ds::kAidStructuredField) return;  // a late Query reply
  const std::string key = KeyName(answer.aid);
  if (!answer.unreadable.empty() && !session_->InHelp()) {
    Log("could not read the fields on " + session_->ScreenName() + ": " + answer.unreadable);
    // The texts the screen showed are no stand-in for what was typed:
    // Enter is refused so that the operator types again.  Other keys
    // leave or page without using what was typed, so that an operator is
    // never held on a screen.
    if (key == "enter") {
      const ShownField* first = session_->FirstInput();
      SendRecord(ds::kOpPutGet,
                 EncodeError(Reply{Outcome::kError, kUnreadableMessage, first ? first->def.row : 0,
                                   first ? first->def.column : 0, 0},
                             session_->Current(), codec_));
      return;
    }
  }
  std::map<std::string, std::string> typed;
  for (const auto& [at, text] : answer.fields) {
    const ShownField* f = session_->InputAt(at / 256, at % 256);
    if (f) typed[f->def.name] = text;
  }
  const std::string before = session_->ScreenName();
  const Reply reply = session_->Answer(key, typed);
  switch (reply.outcome) {
    case Outcome::kShow:
      Log(before + " " + (key.empty() ? "AID " + Hex(answer.aid) : key) + " -> " + session_->ScreenName());
      ShowCurrent();
      break;
    case Outcome::kPage:
      SendRecord(ds::kOpPutGet, EncodePage(session_->Current(), reply.rollLines, codec_));
      break;
    case Outcome::kError:
      SendRecord(ds::kOpPutGet, EncodeError(reply, session_->Current(), codec_));
      break;
    case Outcome::kHelp: {
      HostStream w(codec_);
      w.SaveScreen();
      phase_ = Phase::kAwaitSave;
      // The command alone asks for the screen; the Save Screen opcode as
      // well would make some terminals answer twice.
      SendRecord(ds::kOpPutGet, w.Take());
      timer_.start(options_.saveTimeoutMs);
      break;
    }
    case Outcome::kCloseHelp:
      SendRecord(ds::kOpRestoreScreen, EncodeRestore(saved_, session_->Current(), codec_));
      saved_.clear();
      break;
    case Outcome::kIgnore:
      Log("ignored " + key + " on " + before);
      break;
    case Outcome::kSignOff:
      socket_->flush();
      Close("signed off");
      break;
  }
}

}  // namespace tervo::demohost
