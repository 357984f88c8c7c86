// The recorded IBM i session: negotiation, the sign-on screen, the typed
// user and password, the Query and the main menu, fed whole, byte by byte
// and at random split points.
#include <gtest/gtest.h>

#include "platform/host5250/datastream.h"
#include "platform/host5250/field_list.h"
#include "platform/host5250/telnet.h"
#include "platform/host5250/trace.h"

namespace tervo::host5250::testing {
namespace {

// Host bytes of the recording, cut where the client has to act: before the
// typing (after the sign-on screen) and the rest.
struct Recording {
  std::string negotiationAndSignOn;
  std::string afterSignOn;   // Query, message light, main menu
  std::string signOnAnswer;  // the recorded client's Read MDT response record
  std::string queryReply;    // the recorded client's Query reply record
};

Recording Load() {
  Recording r;
  const auto steps = LoadTrace("login.yml");
  int serverRecords = 0;
  int clientRecords = 0;
  for (const TraceStep& s : steps) {
    const bool record = s.bytes.size() > 2 && s.bytes.compare(s.bytes.size() - 2, 2, "\xFF\xEF") == 0;
    if (s.fromServer) {
      if (serverRecords < 1) r.negotiationAndSignOn += s.bytes;
      else if (serverRecords < 4) r.afterSignOn += s.bytes;
      if (record) ++serverRecords;
    } else if (record) {
      if (clientRecords == 0) r.signOnAnswer = s.bytes;
      if (clientRecords == 1) r.queryReply = s.bytes;
      ++clientRecords;
    }
  }
  return r;
}

std::vector<std::string> Rows(const Tn5250Session& s) {
  std::vector<std::string> rows;
  for (int r = 1; r <= 24; ++r) rows.push_back(s.ReadText(r, 1, 80));
  return rows;
}

// Payloads (GDS data without header and telnet framing) of the records in bytes.
std::vector<std::string> RecordPayloads(const std::string& bytes, std::vector<std::uint8_t>* opcodes = nullptr) {
  struct Collect : telnet::Sink {
    std::string cur;
    std::vector<std::string> records;
    void OnData(const std::uint8_t* d, std::size_t n) override { cur.append(reinterpret_cast<const char*>(d), n); }
    void OnCommand(std::uint8_t c) override {
      if (c == telnet::kEor) records.push_back(std::move(cur)), cur.clear();
    }
    void OnNegotiation(std::uint8_t, std::uint8_t) override {}
    void OnSubnegotiation(std::uint8_t, std::string_view) override {}
  } sink;
  telnet::Parser p;
  p.Feed(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(), sink);
  std::vector<std::string> out;
  for (const std::string& rec : sink.records) {
    ds::RecordHeader h;
    std::string_view payload;
    std::string err;
    EXPECT_TRUE(ds::ParseRecord(rec, &h, &payload, &err)) << err;
    if (opcodes) opcodes->push_back(h.opcode);
    out.emplace_back(payload);
  }
  return out;
}

class RecordingTest : public ::testing::TestWithParam<Split> {};

TEST_P(RecordingTest, SignOnTypedAnswerAndMainMenuMatchTheRecording) {
  const Recording rec = Load();
  std::mt19937 rng(1234);
  Tn5250Session s;
  s.SetDeviceName("TERM01");
  Feed(s, rec.negotiationAndSignOn, GetParam(), rng);

  // The negotiation: terminal type sent, EOR and BINARY agreed both ways.
  const std::string negotiation = s.TakeOutput();
  EXPECT_NE(negotiation.find("\xFF\xFA\x18\x00IBM-3179-2\xFF\xF0"), std::string::npos);
  for (const char* want : {"\xFF\xFB\x19", "\xFF\xFD\x19", "\xFF\xFB", "\xFF\xFD"}) {
    EXPECT_NE(negotiation.find(want), std::string::npos);
  }

  // The sign-on screen, unlocked, cursor in the user field.
  EXPECT_EQ(Rows(s), HtmlScreen("login-welcome-screen.html"));
  EXPECT_TRUE(s.newScreen);
  EXPECT_FALSE(s.InputInhibited());
  EXPECT_EQ(s.GetScreen().Cursor(), 5 * 80 + 52);
  EXPECT_EQ(s.PendingRead(), ds::kCmdReadMdtFields);
  s.newScreen = false;

  // User and password: a Read MDT response with exactly those two fields,
  // byte for byte what the recorded client sent after its header.
  std::string err;
  ASSERT_TRUE(s.SendKeys("TESTUSR@TTESTPSW@E", &err)) << err;
  std::vector<std::uint8_t> opcodes;
  const auto answer = RecordPayloads(s.TakeOutput(), &opcodes);
  ASSERT_EQ(answer.size(), 1u);
  EXPECT_EQ(opcodes[0], ds::kOpPutGet);
  EXPECT_EQ(Hex(answer[0]), Hex(RecordPayloads(rec.signOnAnswer)[0]));
  EXPECT_EQ(Hex(answer[0]), "073CF1110635E3C5E2E3E4E2D9110735E3C5E2E3D7E2E6");
  EXPECT_TRUE(s.InputInhibited());

  // The password field is non-display: blank on the screen and in Text.
  ScreenFields fields(s.GetScreen(), s.Codec());
  EXPECT_EQ(s.ReadText(7, 53, 10), std::string(10, ' '));

  Feed(s, rec.afterSignOn, GetParam(), rng);
  // The Query reply has the recorded layout; only the device type differs
  // (we are a 3179-2, the recording client a 5251-011).
  const auto replies = RecordPayloads(s.TakeOutput());
  ASSERT_EQ(replies.size(), 1u);
  std::string recorded = RecordPayloads(rec.queryReply)[0];
  recorded.replace(30, 7, std::string("\xF3\xF1\xF7\xF9\xF0\xF0\xF2", 7));
  EXPECT_EQ(Hex(replies[0]), Hex(recorded));

  EXPECT_EQ(Rows(s), HtmlScreen("user-menu-screen.html"));
  EXPECT_TRUE(s.newScreen);
  EXPECT_FALSE(s.InputInhibited());
  EXPECT_EQ(s.GetScreen().Cursor(), 19 * 80 + 6);
}

TEST(RecordingQuery, ReplyEqualsTheRecordedOneForTheRecordedDevice) {
  const Recording rec = Load();
  Tn5250Session s;
  s.SetTerminalType("IBM-5251-11");
  std::mt19937 rng(1);
  Feed(s, rec.negotiationAndSignOn, Split::kWhole, rng);
  std::string err;
  ASSERT_TRUE(s.SendKeys("TESTUSR@TTESTPSW@E", &err));
  s.TakeOutput();
  Feed(s, rec.afterSignOn, Split::kWhole, rng);
  std::vector<std::uint8_t> opcodes;
  const auto replies = RecordPayloads(s.TakeOutput(), &opcodes);
  ASSERT_EQ(replies.size(), 1u);
  EXPECT_EQ(Hex(replies[0]), Hex(RecordPayloads(rec.queryReply)[0]));
  EXPECT_EQ(opcodes[0], ds::kOpNoOperation);
}

INSTANTIATE_TEST_SUITE_P(Splits, RecordingTest,
                         ::testing::Values(Split::kWhole, Split::kByteByByte, Split::kRandom));

TEST(RecordingFields, SignOnFieldListInScreenOrder) {
  const Recording rec = Load();
  Tn5250Session s;
  std::mt19937 rng(1);
  Feed(s, rec.negotiationAndSignOn, Split::kWhole, rng);
  ScreenFields fields(s.GetScreen(), s.Codec());
  std::vector<DisplayField> inputs;
  int previous = -1;
  for (int i = 0; i < fields.Count(); ++i) {
    DisplayField f = fields.Item(i);
    const int start = (f.StartRow - 1) * 80 + f.StartColumn - 1;
    EXPECT_GT(start, previous);  // screen order, no overlap
    previous = start + f.Length - 1;
    if (!f.Protected) inputs.push_back(f);
  }
  ASSERT_EQ(inputs.size(), 5u);
  for (int k = 0; k < 5; ++k) {
    EXPECT_EQ(inputs[k].StartRow, 6 + k);
    EXPECT_EQ(inputs[k].StartColumn, 53);
    EXPECT_EQ(inputs[k].EndColumn, 62);
    EXPECT_EQ(inputs[k].Length, 10);
    EXPECT_TRUE(inputs[k].Attributes.Underlined || inputs[k].Hidden);
  }
  EXPECT_TRUE(inputs[1].Hidden);  // password
  EXPECT_FALSE(inputs[0].Hidden);
  // A protected label field carries its text without the attribute byte.
  bool found = false;
  for (int i = 0; i < fields.Count(); ++i) {
    DisplayField f = fields.Item(i);
    if (f.StartRow == 2 && f.StartColumn == 48) {
      EXPECT_EQ(f.Text, "System  . . . . . :");
      EXPECT_TRUE(f.Protected);
      found = true;
    }
  }
  EXPECT_TRUE(found);
}

// IBM i writes no ending attribute after its sign-on fields.  A display
// ends each field's underline right after it, so the underline marks the
// five inputs and nothing else: no protected run after a field reads as
// underlined (which "Use 'undurlined fields' as INPUT" would take for an
// input), the one from row 10 to the copyright line among them.
TEST(RecordingFields, UnderlineEndsWithEachSignOnField) {
  const Recording rec = Load();
  Tn5250Session s;
  std::mt19937 rng(1);
  Feed(s, rec.negotiationAndSignOn, Split::kWhole, rng);
  ScreenFields fields(s.GetScreen(), s.Codec());
  int inputs = 0;
  for (int i = 0; i < fields.Count(); ++i) {
    const DisplayField f = fields.Item(i);
    const std::string at = std::to_string(f.StartRow) + "," + std::to_string(f.StartColumn);
    if (!f.Protected) {
      ++inputs;
      // The position after the field holds the display's ending attribute.
      const DisplayField next = fields.Item(i + 1);
      EXPECT_EQ(next.StartRow, f.EndRow) << at;
      EXPECT_EQ(next.StartColumn, f.EndColumn + 2) << at;
      continue;
    }
    EXPECT_FALSE(f.Attributes.Underlined) << at << " [" << f.Text << "]";
  }
  EXPECT_EQ(inputs, 5);
  // The screen reads as the recording shows it.
  EXPECT_EQ(Rows(s), HtmlScreen("login-welcome-screen.html"));
}

// The ending attribute goes only where the host wrote none: an attribute the
// host put there stays, and a field at the end of the screen has no position
// after it.
TEST(FieldList, EndingAttributeOnlyWhereTheHostWroteNone) {
  Tn5250Session s;
  EbcdicCodec c;
  auto send = [&](const std::string& orders) {
    const std::string r = HostRecord(Unhex("044004110008" + orders + "04520000"));
    s.Receive(r.data(), r.size());
  };
  // (2,10) length 4 without an ending attribute, then a protected run; (3,10)
  // length 4 followed by the host's own high-intensity attribute and text;
  // (24,77) length 4 ends the screen.
  const std::string run = Hex(c.ToHost("RUN")), bright = Hex(c.ToHost("BRIGHT"));
  send("11020A1D4000240004" + ("11030120" + run) + "11030A1D4000240004" + ("11030F22" + bright) +
       "11184C1D4000240004");
  const Screen& screen = s.GetScreen();
  EXPECT_TRUE(screen.IsAttributeAt(1 * 80 + 14));
  EXPECT_EQ(screen.At(1 * 80 + 14), ds::kAttrNormal);
  EXPECT_EQ(screen.GoverningAttribute(1 * 80 + 40), ds::kAttrNormal);  // not underlined on
  EXPECT_EQ(screen.At(2 * 80 + 14), 0x22);                             // the host's attribute kept
  EXPECT_EQ(s.ReadText(3, 16, 6), "BRIGHT");
  EXPECT_FALSE(screen.IsAttributeAt(0));  // nothing wrapped round to row 1
  ScreenFields fields(s.GetScreen(), c);
  for (int i = 0; i < fields.Count(); ++i) {
    const DisplayField f = fields.Item(i);
    if (f.Protected) {
      EXPECT_FALSE(f.Attributes.Underlined) << f.StartRow << "," << f.StartColumn;
    }
  }
}

}  // namespace
}  // namespace tervo::host5250::testing
