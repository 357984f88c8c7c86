#include "platform/demohost/app_parser.h"
#include "platform/demohost/app_text.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

namespace tervo::demohost {
namespace {

// A small valid application; the error cases below break one line of it.
const char* kGood =
    "application \"Test\"\n"           // 1
    "start A\n"                          // 2
    "table T key name\n"                 // 3
    "  row 1 \"One\"\n"                  // 4
    "end\n"                              // 5
    "layout L\n"                         // 6
    "  text 1 2 \"Head\"\n"              // 7
    "  keys \"F3=Exit\"\n"               // 8
    "end\n"                              // 9
    "screen A uses L\n"                  // 10
    "  input 5 10 3 k type=digits\n"     // 11
    "  check k in T \"No {k}\"\n"        // 12
    "  on enter goto B\n"                // 13
    "end\n"                              // 14
    "screen B\n"                         // 15
    "  output 5 10 10 \"{T.name}\"\n"    // 16
    "  on f3 back\n"                     // 17
    "end\n";                             // 18

std::string Replace(int line, const std::string& with) {
  std::string out;
  int n = 1;
  std::size_t pos = 0;
  const std::string text = kGood;
  while (pos < text.size()) {
    std::size_t nl = text.find('\n', pos);
    std::string l = text.substr(pos, nl - pos);
    out += (n == line ? with : l) + "\n";
    pos = nl + 1;
    ++n;
  }
  return out;
}

TEST(AppText, WholeNumbers) {
  struct Case {
    const char* text;
    bool ok;
    long long value;
  } cases[] = {
      {"0", true, 0},       {"-12", true, -12}, {"+7", true, 7},
      {"999999999999999", true, 999999999999999},  // 15 digits
      {"-999999999999999", true, -999999999999999},
      {"1000000000000000", false, 0},  // 16 digits
      {"", false, 0},       {"-", false, 0},    {"+", false, 0},
      {" 1", false, 0},     {"1 ", false, 0},   {"1.5", false, 0}, {"--1", false, 0},
  };
  for (const Case& c : cases) {
    long long v = -1;
    EXPECT_EQ(WholeNumber(c.text, &v), c.ok) << c.text;
    if (c.ok) {
      EXPECT_EQ(v, c.value) << c.text;
    }
  }
}

TEST(AppParser, TheSmallApplicationAndTheBuiltInOneParse) {
  Application app;
  std::string err;
  ASSERT_TRUE(ParseApplication(kGood, &app, &err)) << err;
  EXPECT_EQ(app.start, "A");
  ASSERT_EQ(app.screens.at("A").body.fields.size(), 1u);
  EXPECT_EQ(app.screens.at("A").body.fields[0].shift, ShiftType::kDigits);
  ASSERT_TRUE(ParseApplication(WarehouseApplicationText(), &app, &err)) << err;
  EXPECT_EQ(app.start, "SIGNON");
  EXPECT_EQ(app.tables.at("PICKS").rows.size(), 40u);
}

// Every constant of the built-in application is a field of its own with
// its attribute byte in the column before it: on no screen may that byte
// land on another constant or field of the row (it would overwrite a
// character) or a field's bytes land on a constant.  Variable texts are
// taken at their widest: a user or device name of 10.
TEST(AppParser, WarehouseItemsLeaveRoomForTheirAttributeBytes) {
  Application app;
  std::string err;
  ASSERT_TRUE(ParseApplication(WarehouseApplicationText(), &app, &err)) << err;
  struct Span {
    int row, first, last;  // first: the attribute byte; last: the closing one, if any
    bool closed;
    std::string what;
  };
  auto width = [](const std::string& text, const Screen& s) {
    if (text == "{title}") return static_cast<int>(s.title.size());
    int w = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
      if (text[i] != '{') {
        ++w;
        continue;
      }
      const std::size_t end = text.find('}', i);
      w += 10;
      i = end;
    }
    return w;
  };
  for (const auto& [name, screen] : app.screens) {
    std::vector<Span> spans;
    const Body* layout = screen.layout.empty() ? nullptr : &app.layouts.at(screen.layout);
    std::string keys;
    for (const Body* b : {layout, &screen.body}) {
      if (!b) continue;
      for (const Constant& c : b->constants) {
        const int w = width(c.text, screen);
        const int col = c.column == 0 ? std::max(2, (80 - w) / 2 + 1) : c.column;
        const bool normal = !c.look.bright && !c.look.reverse && !c.look.underline &&
                            !c.look.blink && !c.look.hidden;
        spans.push_back({c.row, col - 1, col + w - (normal ? 1 : 0), !normal, c.text});
      }
      for (const Rule& r : b->rules)
        spans.push_back({r.row, r.column - 1, r.column + r.length - 1, false, "repeat"});
      for (const Field& f : b->fields)
        spans.push_back({f.row, f.column - 1, f.column + f.length, true, "field"});
      if (!b->keysLine.empty()) keys = b->keysLine;
    }
    if (!keys.empty()) spans.push_back({23, 1, 1 + static_cast<int>(keys.size()), false, keys});
    for (const ListArea& l : screen.lists) {
      for (int r = l.row; r < l.row + l.size; ++r) spans.push_back({r, l.column - 1, 80, false, "list"});
      spans.push_back({l.row + l.size, 72, 79, false, "More..."});
    }
    for (std::size_t i = 0; i < spans.size(); ++i) {
      for (std::size_t j = 0; j < spans.size(); ++j) {
        const Span& a = spans[i];
        const Span& b = spans[j];
        if (i == j || a.row != b.row || a.first > b.first) continue;
        // b starts at or after a: it must start after a ends, or share a's
        // closing attribute byte.
        EXPECT_TRUE(b.first > a.last || (a.closed && b.first == a.last))
            << name << " row " << a.row << ": '" << b.what << "' collides with '" << a.what << "'";
      }
    }
  }
}

// Each malformed line gives an error naming that line (or the line the
// reader had to stop at) and what is wrong.
TEST(AppParser, MalformedLinesNameTheLine) {
  struct Case {
    int line;
    std::string text;
    std::string error;
  } cases[] = {
      {11, "  input 5 10 3 k type=digit", "line 11: unknown field type 'digit'"},
      {11, "  input 25 10 3 k", "line 11: a row 25 is outside 1..24"},
      {11, "  input 5 1 3 k", "line 11: a column 1 is outside 2..80"},
      {11, "  input 5 75 10 k", "line 11: the field runs past column 80"},
      {11, "  input 5 10 3 k adjust=zero fill", "line 11: fill and adjust exclude each other"},
      {11, "  input 5 10 1 k type=signed", "line 11: a signed field needs at least two positions"},
      {7, "  text 1 2 \"Head", "line 7: the quoted text has no closing quote"},
      {7, "  txt 1 2 \"Head\"", "line 7: unknown statement 'txt' in a layout"},
      {11, "  inpt 5 10 3 k", "line 11: unknown statement 'inpt' in screen A"},
      {13, "  on enter goto C", "line 13: screen C is not defined"},
      {13, "  on enter jump B", "line 13: unknown action 'jump'"},
      {13, "  on f25 goto B", "line 13: unknown key 'f25'"},
      {13, "  on enter when k 1 goto B", "line 13: expected 'when FIELD = VALUE'"},
      {12, "  check k in U \"No\"", "line 12: table U is not defined"},
      {12, "  check z required \"No\"", "line 12: field z is not an input field of screen A"},
      {4, "  row 1", "line 4: the row has 1 values, table T has 2 columns"},
      {10, "screen A uses M", "line 10: layout M is not defined"},
      {2, "start Z", "line 1: the start screen Z is not defined"},
      {14, "", "line 15: the block opened on line 10 has no 'end' before this 'screen'"},
      {18, "", "line 15: this block has no 'end'"},
      {8, "  on f3 back", "line 8: 'on' is not allowed in a layout"},
      {16, "  output 5 11 10 \"x\"", "line 17: screen B: this field overlaps the field of line 16"},
      {17, "  on f3 help", "line 17: screen B has no help lines"},
      {17, "  list T 4 2 3 \"{name}\"", "line 16: screen B: this field lies in the list of line 17"},
  };
  for (const Case& c : cases) {
    Application app;
    std::string err;
    // Case 16 adds a second field over an existing one.
    std::string text = c.line == 16 ? Replace(16, "  output 5 10 10 \"{T.name}\"\n" + c.text)
                                    : Replace(c.line, c.text);
    EXPECT_FALSE(ParseApplication(text, &app, &err)) << c.text;
    EXPECT_EQ(err.rfind(c.error, 0), 0u) << "got: " << err << "\nwant: " << c.error;
  }
}

TEST(AppParser, FileErrorsNameTheFileAndLine) {
  QTemporaryDir dir;
  const std::string path = dir.filePath("bad.app").toStdString();
  QFile f(QString::fromStdString(path));
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(Replace(13, "  on enter goto NOWHERE").c_str());
  f.close();
  Application app;
  std::string err;
  EXPECT_FALSE(LoadApplicationFile(path, &app, &err));
  EXPECT_EQ(err, path + ", line 13: screen NOWHERE is not defined");
  EXPECT_FALSE(LoadApplicationFile(dir.filePath("none.app").toStdString(), &app, &err));
  EXPECT_NE(err.find("cannot be read"), std::string::npos);
}

TEST(AppParser, QuotesCommentsAndOptions) {
  const std::string text =
      "start A  # the first screen\n"
      "screen A\n"
      "  text 2 center \"Say \"\"hi\"\" # not a comment\" bright underline\n"
      "  input 5 10 6 v value=\"{v} x\" adjust=blank upper autoenter exit mandatory hidden\n"
      "  on enter stay\n"
      "end\n";
  Application app;
  std::string err;
  ASSERT_TRUE(ParseApplication(text, &app, &err)) << err;
  const Screen& s = app.screens.at("A");
  ASSERT_EQ(s.body.constants.size(), 1u);
  EXPECT_EQ(s.body.constants[0].text, "Say \"hi\" # not a comment");
  EXPECT_EQ(s.body.constants[0].column, 0);  // centred
  EXPECT_TRUE(s.body.constants[0].look.bright);
  const Field& f = s.body.fields[0];
  EXPECT_EQ(f.value, "{v} x");
  EXPECT_EQ(f.adjust, Adjust::kBlankFill);
  EXPECT_TRUE(f.upperCase && f.autoEnter && f.fieldExit && f.mandatoryEnter && f.look.hidden);
}

}  // namespace
}  // namespace tervo::demohost
