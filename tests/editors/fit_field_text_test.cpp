#include "editors/fit_field_text.h"

#include <gtest/gtest.h>

#include <vector>

namespace tervo::editors {
namespace {

class CountingLog : public config::Log {
 public:
  std::vector<std::string> lines;
  void WriteLog(const std::string& message, bool) override { lines.push_back(message); }
};

class FitFieldTextTest : public ::testing::Test {
 protected:
  std::string Fit(const std::string& text, int width) {
    return FitFieldText(text, width, options, log);
  }
  config::GeneralOptions options;
  CountingLog log;
};

TEST_F(FitFieldTextTest, Examples) {
  options.SetText("AutoRemove", ".,;");
  options.SetChecked("Cut", false);
  struct Case {
    const char* text;
    int width;
    const char* out;
  };
  const Case cases[] = {
      {"Quantity Description", 18, "Quantity Descript."},
      {"Quantity Description", 21, "Quantity Description"},  // fits: untouched
      {"Qty.,Total; Price", 10, "Qt.To.Pri."},
      {"  Item   number  ", 20, "Item number"},
      {"123 456 789", 5, "123 4"},  // only numbered words: cut
      {"Order 0005", 8, "Ord.0005"},
      {"0ab Cd", 5, "0a.Cd"},  // "0ab" reads as 0: a word to shorten
      {"5ab Cd", 5, "5ab ."},  // a word starting with a number never is
      {"Customer/Address", 12, "Custo.Addre."},
      {"Name", 0, ""},
      {"Name", -3, ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Fit(c.text, c.width), c.out) << c.text << " / " << c.width;
  }
  EXPECT_TRUE(log.lines.empty());
}

TEST_F(FitFieldTextTest, WordsKeepTheEntryNumberAndWholeLeadingWords) {
  options.SetText("AutoRemove", ",;:.");
  options.SetChecked("Cut", false);
  struct Case {
    const char* text;
    int width;
    const char* out;
  };
  const Case cases[] = {
      {"5. Work with your spooled output files", 20, "5 Work with your"},
      {"10. Information Assistant options", 20, "10 Information"},
      {"11. IBM i Access tasks", 21, "11 IBM i Access tasks"},  // fits once cleaned
      {"Quantity Description", 18, "Quantity"},
      {"3. Extraordinarilylongword", 12, "3 Extraordi."},  // alone it cannot fit
      {"Extraordinarilylongword", 8, "Extraor."},
      {"Program/procedure . . . .", 10, "Program"},
      {"Print-out of today's picks", 12, "Print-out of"},
      {"Print-out of today's picks", 7, "Print"},
      {"------------------------------", 20, "--------------------"},
      {"Name", 0, ""},
      {"Name", -2, ""},
      {"Name", 1, "N"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FitWords(c.text, c.width, options), c.out) << c.text << " / " << c.width;
  }
  options.SetChecked("Cut", true);  // the operator's "Cut Fields" still cuts
  EXPECT_EQ(FitWords("Quantity Description", 18, options), "Quantity Descripti");
}

TEST_F(FitFieldTextTest, CutModeCleansAndCutsWithoutMarks) {
  options.SetText("AutoRemove", ".,;");
  options.SetChecked("Cut", true);
  EXPECT_EQ(Fit("Qty.,Total; Price", 10), "Qty Total ");
  EXPECT_EQ(Fit("Quantity Description", 18), "Quantity Descripti");
}

TEST_F(FitFieldTextTest, RemovedCharactersCountUpToTheTrimmedOptionLength) {
  options.SetChecked("Cut", true);
  // Trimmed, the option is 1 character long: only its first character
  // (a blank here) is used, the ":" never is.
  options.SetText("AutoRemove", " : ");
  EXPECT_EQ(Fit("Qty:", 10), "Qty:");
  options.SetText("AutoRemove", ": ");
  EXPECT_EQ(Fit("Qty:Total", 10), "Qty Total");
}

}  // namespace
}  // namespace tervo::editors
