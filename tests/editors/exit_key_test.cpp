#include "editors/exit_key.h"

#include <gtest/gtest.h>

#include "config/screen_store.h"

namespace tervo::editors {
namespace {

// A screen image with text placed at (row, column), 82 characters a row.
std::string Image(std::initializer_list<std::tuple<int, int, std::string>> texts) {
  std::string image(config::kScreenAspectSize, ' ');
  for (const auto& [row, column, text] : texts)
    image.replace(static_cast<std::size_t>((row - 1) * 82 + column - 1), text.size(), text);
  return image;
}

TEST(FindExitKey, ReadsTheKeyBeforeTheWordAndLaterWordsWin) {
  const auto image = Image({{24, 2, "F3=Exit   F12=Cancel"}});
  EXPECT_EQ(FindExitKey(image, "Exit"), "@3");
  EXPECT_EQ(FindExitKey(image, "Exit,Cancel"), "@c");
  EXPECT_EQ(FindExitKey(image, "cancel,EXIT"), "@3") << "case does not matter";
}

TEST(FindExitKey, TwoDigitKeysUseTheKeyLanguagesLetters) {
  // "@12" would reach the host as F1 followed by the character "2".
  EXPECT_EQ(FindExitKey(Image({{24, 2, "F10=Exit"}}), "Exit"), "@a");
  EXPECT_EQ(FindExitKey(Image({{24, 2, "F24=Exit"}}), "Exit"), "@o");
  EXPECT_EQ(FindExitKey(Image({{24, 2, "F25=Exit"}}), "Exit"), "") << "no such key";
  EXPECT_EQ(FindExitKey(Image({{24, 2, "F0=Exit"}}), "Exit"), "") << "no such key";
}

TEST(FindExitKey, OnlyLooksAtTheBottomRowsAndWithinReach) {
  EXPECT_EQ(FindExitKey(Image({{19, 2, "F3=Exit"}}), "Exit"), "") << "row 19 is above the hints";
  EXPECT_EQ(FindExitKey(Image({{21, 1, "F3=Exit"}}), "Exit"), "@3");
  EXPECT_EQ(FindExitKey(Image({{24, 1, "F3 = press to Exit"}}), "Exit"), "")
      << "the word stands more than 11 characters after its digit";
  EXPECT_EQ(FindExitKey(Image({{24, 1, "F3=Exit"}}), ",Exit"), "") << "an empty word ends the list";
}

TEST(IsNumberedMenuEntry, TellsMenuLinesFromLabelsAndNumbers) {
  struct Case {
    const char* text;
    bool entry;
  } cases[] = {
      {"1. Orders", true}, {"12 - Stock", true}, {"90. Sign off", true}, {"Qty", false},
      {"42", false},       {"3", false},         {"1.", false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsNumberedMenuEntry(c.text), c.entry) << c.text;
}

}  // namespace
}  // namespace tervo::editors
