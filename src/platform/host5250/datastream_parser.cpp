#include "platform/host5250/datastream_parser.h"

#include "platform/host5250/aid_response.h"
#include "platform/host5250/datastream.h"

namespace tervo::host5250 {

namespace {
constexpr std::uint32_t kNrFormatTableOverflow = 0x10050129;
constexpr std::uint32_t kNrNoEscape = 0x10050131;
}  // namespace

// A bounds-checked cursor over one record's payload.
struct DataStreamParser::Reader {
  const std::uint8_t* p;
  std::size_t n;
  std::size_t pos = 0;
  bool AtEnd() const { return pos >= n; }
  bool Has(std::size_t k) const { return pos <= n && n - pos >= k; }
  std::uint8_t Peek() const { return p[pos]; }
  std::uint8_t Get() { return p[pos++]; }
  int Get16() {
    int v = (p[pos] << 8) | p[pos + 1];
    pos += 2;
    return v;
  }
};

void DataStreamParser::SetDevice(const std::string& type, const std::string& model,
                                 const EbcdicCodec& codec) {
  std::string t = type.substr(0, 4);
  while (t.size() < 4) t.insert(t.begin(), '0');
  std::string m = model.substr(0, 3);
  while (m.size() < 3) m.insert(m.begin(), '0');
  device_ = codec.ToHost(t + m);
}

void DataStreamParser::Fail(std::uint32_t code, const std::string& why,
                            std::vector<std::string>* outbound) {
  lastError = why;
  outbound->push_back(ds::NegativeResponse(code));
}

void DataStreamParser::Write(std::uint8_t c) {
  screen_.Put(address_, c, ds::IsAttribute(c));
  if (++address_ >= Screen::kSize) address_ = 0;
}

void DataStreamParser::ProcessRecord(std::string_view record, std::vector<std::string>* outbound) {
  ds::RecordHeader header;
  std::string_view payload;
  if (!ds::ParseRecord(record, &header, &payload, &lastError)) return;
  // The opcode says what kind of exchange this is; the commands in the
  // record do the work.  Cancel Invite alone wants an acknowledgement.
  if (header.opcode == ds::kOpCancelInvite) {
    ds::RecordHeader h;
    h.opcode = ds::kOpCancelInvite;
    outbound->push_back(ds::BuildRecord(h, {}));
  }
  Reader r{reinterpret_cast<const std::uint8_t*>(payload.data()), payload.size()};
  while (!r.AtEnd()) {
    if (r.Get() != ds::kEsc) {
      Fail(kNrNoEscape, "5250 command without its escape byte", outbound);
      return;
    }
    if (!Command(r, outbound)) return;
  }
}

bool DataStreamParser::Command(Reader& r, std::vector<std::string>* outbound) {
  if (r.AtEnd()) return false;
  const std::uint8_t cmd = r.Get();
  switch (cmd) {
    case ds::kCmdClearUnit:
      screen_.ClearUnit();
      address_ = 0;
      pending_read_ = 0;
      screenWritten = true;
      return true;
    case ds::kCmdClearUnitAlternate: {
      if (!r.Has(1)) return false;
      std::uint8_t param = r.Get();
      if (param != 0x00 && param != 0x80) {
        Fail(ds::kNrInvalidClearUnitAlternate, "Clear Unit Alternate with a bad parameter", outbound);
        return false;
      }
      screen_.ClearUnit();
      address_ = 0;
      pending_read_ = 0;
      screenWritten = true;
      return true;
    }
    case ds::kCmdClearFormatTable:
      screen_.ClearFormatTable();
      pending_read_ = 0;
      screenWritten = true;
      return true;
    case ds::kCmdWriteToDisplay:
      screenWritten = true;
      return WriteToDisplay(r, outbound);
    case ds::kCmdWriteErrorCode:
    case ds::kCmdWriteErrorCodeWindow:
      screenWritten = true;
      return WriteErrorCode(r, cmd == ds::kCmdWriteErrorCodeWindow);
    case ds::kCmdReadInputFields:
    case ds::kCmdReadMdtFields:
    case ds::kCmdReadMdtFieldsAlternate: {
      if (!r.Has(2)) return false;
      std::uint8_t cc1 = r.Get();
      std::uint8_t cc2 = r.Get();
      ControlCharacter1(cc1);
      ControlCharacter2(cc2);
      // A read unlocks a keyboard the system locked, never one locked by an
      // error the operator has not reset.
      if (screen_.Keyboard() == KeyboardState::kSystem) screen_.SetKeyboard(KeyboardState::kUnlocked);
      pending_read_ = cmd;
      return true;
    }
    case ds::kCmdReadImmediate:
    case ds::kCmdReadImmediateAlternate: {
      ds::RecordHeader h;
      h.opcode = ds::kOpPutGet;
      outbound->push_back(ds::BuildRecord(h, BuildAidPayload(screen_, cmd, ds::kAidNone)));
      return true;
    }
    case ds::kCmdReadScreen: {
      ds::RecordHeader h;
      h.opcode = ds::kOpNoOperation;
      outbound->push_back(ds::BuildRecord(h, BuildReadScreenPayload(screen_)));
      return true;
    }
    case ds::kCmdSaveScreen: {
      ds::RecordHeader h;
      h.opcode = ds::kOpSaveScreen;
      outbound->push_back(ds::BuildRecord(h, screen_.EncodeForSave(pending_read_)));
      return true;
    }
    case ds::kCmdRestoreScreen:
      // The saved data stream follows as ordinary commands.
      return true;
    case ds::kCmdRoll: {
      if (!r.Has(3)) return false;
      std::uint8_t direction = r.Get();
      int top = r.Get();
      int bottom = r.Get();
      int lines = direction & 0x1F;
      if ((direction & 0x80) == 0) lines = -lines;
      screen_.Roll(top, bottom, lines);
      screenWritten = true;
      return true;
    }
    case ds::kCmdWriteStructuredField:
      return WriteStructuredField(r, outbound);
    default:
      Fail(ds::kNrInvalidCommand, "Unknown 5250 command " + std::to_string(cmd), outbound);
      return false;
  }
}

void DataStreamParser::ControlCharacter1(std::uint8_t cc1) {
  const int action = cc1 & ds::kCc1ActionMask;
  if (action == 0) return;
  if (screen_.Keyboard() == KeyboardState::kUnlocked) screen_.SetKeyboard(KeyboardState::kSystem);
  const bool resetNonBypassMdt = action == 0x40 || action == 0xA0 || action == 0xC0;
  const bool resetAllMdt = action == 0x60 || action == 0xE0;
  const bool nullNonBypassMdt = action == 0x80 || action == 0xC0;
  const bool nullNonBypass = action == 0xA0 || action == 0xE0;
  auto& fields = screen_.MutableFields();
  for (std::size_t i = 0; i < fields.size(); ++i) {
    InputField& f = fields[i];
    if (!f.bypass() && (nullNonBypass || (nullNonBypassMdt && f.mdt))) {
      for (int p = f.start; p < f.end(); ++p) screen_.Put(p, 0, false);
    }
    if (resetAllMdt || (resetNonBypassMdt && !f.bypass())) f.mdt = false;
  }
  screen_.Touch();
}

void DataStreamParser::ControlCharacter2(std::uint8_t cc2) {
  if (cc2 & ds::kCc2Alarm) alarm = true;
  if ((cc2 & ds::kCc2Unlock) && screen_.Keyboard() == KeyboardState::kSystem) {
    screen_.SetKeyboard(KeyboardState::kUnlocked);
  }
}

bool DataStreamParser::WriteToDisplay(Reader& r, std::vector<std::string>* outbound) {
  if (!r.Has(2)) return false;
  const std::uint8_t cc1 = r.Get();
  const std::uint8_t cc2 = r.Get();
  ControlCharacter1(cc1);
  int icAddress = -1;
  auto address = [&](int row, int col, int* out) {
    if (row < 1 || row > Screen::kRows || col < 1 || col > Screen::kColumns) {
      Fail(ds::kNrInvalidRowColumn, "Row/column address outside the screen", outbound);
      return false;
    }
    *out = (row - 1) * Screen::kColumns + col - 1;
    return true;
  };
  while (!r.AtEnd()) {
    const std::uint8_t c = r.Peek();
    if (c == ds::kEsc) break;
    r.Get();
    switch (c) {
      case ds::kOrderStartOfHeader: {
        if (!r.Has(1)) return false;
        int n = r.Get();
        if (n > 7) {
          Fail(ds::kNrInvalidSohLength, "Start of Header length not valid", outbound);
          return false;
        }
        if (!r.Has(static_cast<std::size_t>(n))) return false;
        std::string header(reinterpret_cast<const char*>(r.p + r.pos), static_cast<std::size_t>(n));
        r.pos += static_cast<std::size_t>(n);
        screen_.ClearFormatTable();
        screen_.SetHeader(header);
        int errorRow = n >= 4 ? static_cast<std::uint8_t>(header[3]) : 0;
        // A row the screen does not have (IBM i says 25) means the display's
        // own error line, its last row.
        screen_.SetErrorRow(errorRow >= 1 && errorRow <= Screen::kRows ? errorRow : Screen::kRows);
        break;
      }
      case ds::kOrderSetBufferAddress: {
        if (!r.Has(2)) return false;
        int row = r.Get();
        int col = r.Get();
        if (!address(row, col, &address_)) return false;
        break;
      }
      case ds::kOrderInsertCursor:
      case ds::kOrderMoveCursor: {
        if (!r.Has(2)) return false;
        int row = r.Get();
        int col = r.Get();
        if (!address(row, col, &icAddress)) return false;
        if (c == ds::kOrderInsertCursor) screen_.SetInsertCursor(icAddress);
        break;
      }
      case ds::kOrderRepeatToAddress: {
        if (!r.Has(3)) return false;
        int row = r.Get();
        int col = r.Get();
        std::uint8_t ch = r.Get();
        int end = 0;
        if (!address(row, col, &end)) return false;
        if (end < address_) {
          Fail(ds::kNrInvalidRowColumn, "Repeat to Address before the current address", outbound);
          return false;
        }
        for (int p = address_; p <= end; ++p) screen_.Put(p, ch, ds::IsAttribute(ch));
        address_ = end + 1 >= Screen::kSize ? 0 : end + 1;
        break;
      }
      case ds::kOrderEraseToAddress: {
        if (!r.Has(3)) return false;
        int row = r.Get();
        int col = r.Get();
        int len = r.Get();
        if (len < 2 || len > 5 || !r.Has(static_cast<std::size_t>(len - 1))) {
          if (len >= 2 && len <= 5) return false;
          Fail(ds::kNrInvalidRowColumn, "Erase to Address with a bad length", outbound);
          return false;
        }
        bool all = false;
        for (int k = 0; k < len - 1; ++k) all = all || r.Get() == 0xFF;
        int end = 0;
        if (!address(row, col, &end)) return false;
        if (end < address_) {
          Fail(ds::kNrInvalidRowColumn, "Erase to Address before the current address", outbound);
          return false;
        }
        // Only the character buffer is kept; extended attributes have
        // nothing to erase.
        if (all) {
          for (int p = address_; p <= end; ++p) screen_.Put(p, 0, false);
        }
        address_ = end + 1 >= Screen::kSize ? 0 : end + 1;
        break;
      }
      case ds::kOrderTransparentData: {
        if (!r.Has(2)) return false;
        int len = r.Get16();
        if (!r.Has(static_cast<std::size_t>(len))) return false;
        if (address_ + len > Screen::kSize) {
          Fail(ds::kNrInvalidRowColumn, "Transparent data past the end of the screen", outbound);
          return false;
        }
        for (int k = 0; k < len; ++k) screen_.Put(address_++, r.Get(), false);
        if (address_ >= Screen::kSize) address_ = 0;
        break;
      }
      case ds::kOrderWriteExtendedAttribute: {
        if (!r.Has(2)) return false;
        std::uint8_t type = r.Get();
        r.Get();
        if (type != 0x01 && type != 0x03 && type != 0x05) {
          Fail(ds::kNrInvalidExtendedAttribute, "Write Extended Attribute of unknown type", outbound);
          return false;
        }
        break;
      }
      case ds::kOrderWriteDisplayStructuredField: {
        if (!r.Has(2)) return false;
        int len = r.Get16();
        if (len < 2 || !r.Has(static_cast<std::size_t>(len - 2))) return false;
        r.pos += static_cast<std::size_t>(len - 2);  // GUI constructs: not shown
        break;
      }
      case ds::kOrderStartOfField:
        if (!StartOfField(r, outbound)) return false;
        break;
      default:
        Write(c);
        break;
    }
  }
  const bool noMove = (cc2 & ds::kCc2CursorNoMove) != 0;
  if (icAddress >= 0 && !noMove) {
    screen_.SetCursor(icAddress);
  } else if ((cc2 & ds::kCc2Unlock) && !noMove) {
    screen_.SetCursor(screen_.HomePosition());
  }
  ControlCharacter2(cc2);
  screen_.Touch();
  return true;
}

bool DataStreamParser::StartOfField(Reader& r, std::vector<std::string>* outbound) {
  if (!r.Has(1)) return false;
  std::uint8_t c = r.Get();
  bool input = false;
  std::uint16_t ffw = 0;
  if (!ds::IsAttribute(c)) {
    input = true;
    if (!r.Has(2)) return false;
    ffw = static_cast<std::uint16_t>((c << 8) | r.Get());
    c = r.Get();
    // Field control words until the attribute byte.
    while (!ds::IsAttribute(c)) {
      if (!r.Has(2)) return false;
      r.Get();
      c = r.Get();
    }
  }
  const std::uint8_t attribute = c;
  if (!r.Has(2)) return false;
  const int length = r.Get16();
  const int start = address_ + 1;
  if (start + length > Screen::kSize) {
    Fail(ds::kNrInvalidRowColumn, "Field extends past the end of the display", outbound);
    return false;
  }
  Write(attribute);
  if (!input) return true;
  if (screen_.Keyboard() == KeyboardState::kUnlocked) screen_.SetKeyboard(KeyboardState::kSystem);
  // A display ends an input field's look (its underline, its colour) with a
  // normal attribute in the position after the field, where the host wrote
  // none.  IBM i writes none after its sign-on fields: without it the
  // underline would run on to the next attribute on the screen.
  const int after = start + length;
  if (after < Screen::kSize && !screen_.IsAttributeAt(after))
    screen_.Put(after, ds::kAttrNormal, true);
  auto& fields = screen_.MutableFields();
  for (InputField& f : fields) {
    if (f.start == start) {
      f.ffw = ffw;
      f.attribute = attribute;
      f.length = length;
      f.mdt = (ffw & ds::kFfwMdt) != 0;
      return true;
    }
  }
  if (fields.size() >= Screen::kMaxFields) {
    Fail(kNrFormatTableOverflow, "Format table overflow", outbound);
    return false;
  }
  InputField f;
  f.start = start;
  f.length = length;
  f.ffw = ffw;
  f.attribute = attribute;
  f.mdt = (ffw & ds::kFfwMdt) != 0;
  fields.push_back(f);
  return true;
}

bool DataStreamParser::WriteErrorCode(Reader& r, bool window) {
  if (window) {
    if (!r.Has(2)) return false;
    r.pos += 2;  // window start and end columns: the message line is ours
  }
  std::string message;
  int cursor = -1;
  while (!r.AtEnd() && r.Peek() != ds::kEsc) {
    std::uint8_t c = r.Get();
    if (c == ds::kOrderInsertCursor) {
      if (!r.Has(2)) return false;
      int row = r.Get();
      int col = r.Get();
      if (row >= 1 && row <= Screen::kRows && col >= 1 && col <= Screen::kColumns) {
        cursor = (row - 1) * Screen::kColumns + col - 1;
      }
      continue;
    }
    if (message.size() < static_cast<std::size_t>(Screen::kColumns)) message.push_back(static_cast<char>(c));
  }
  screen_.SetMessage(message);
  if (cursor >= 0) screen_.SetCursor(cursor);
  screen_.SetKeyboard(KeyboardState::kError);
  errorWritten = true;
  screen_.Touch();
  return true;
}

bool DataStreamParser::WriteStructuredField(Reader& r, std::vector<std::string>* outbound) {
  if (!r.Has(2)) return false;
  const int len = r.Get16();
  if (len < 4 || !r.Has(static_cast<std::size_t>(len - 2))) {
    lastError = "Structured field cut short";
    return false;
  }
  const std::size_t end = r.pos + static_cast<std::size_t>(len - 2);
  const std::uint8_t sfClass = r.Get();
  const std::uint8_t type = r.Get();
  r.pos = end;  // whatever it holds, the next command starts here
  if (sfClass != ds::kSfClass5250) {
    Fail(ds::kNrInvalidSfClassType, "Structured field of unknown class", outbound);
    return true;
  }
  if (type == ds::kSfQuery || type == ds::kSfQueryStationState) {
    ds::RecordHeader h;
    h.opcode = ds::kOpNoOperation;
    outbound->push_back(ds::BuildRecord(h, QueryReplyPayload()));
    return true;
  }
  // Types 0x30-0x3F define text-screen features this display does not
  // have; they are accepted and ignored.
  if (type >= 0x30 && type <= 0x3F) return true;
  Fail(ds::kNrInvalidSfClassType, "Structured field of unknown type", outbound);
  return true;
}

std::string DataStreamParser::QueryReplyPayload() const {
  // The layout a real IBM i accepts from a 24x80 display emulator.
  std::string q(61, '\0');
  q[2] = static_cast<char>(ds::kAidStructuredField);
  q[3] = 0x00;
  q[4] = 0x3A;  // length of the reply from here on
  q[5] = static_cast<char>(ds::kSfClass5250);
  q[6] = static_cast<char>(ds::kSfQuery);
  q[7] = static_cast<char>(0x80);  // flags: this is a reply
  q[8] = 0x06;                     // controller: another 5250 emulator
  q[9] = 0x00;
  q[10] = 0x01;  // code level
  q[11] = 0x01;
  q[29] = 0x01;  // display emulation
  q.replace(ds::kQueryReplyDevice, ds::kQueryReplyDeviceSize, device_);
  q[37] = 0x02;  // standard keyboard
  q[44] = 0x01;  // up to 256 input fields
  q[45] = 0x00;
  q[49] = 0x01;
  q[50] = 0x43;
  return q;
}

}  // namespace tervo::host5250
