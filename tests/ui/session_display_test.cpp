#include "ui/session_display.h"

#include <gtest/gtest.h>

#include <QImage>

#include "support/fake_host_display.h"

namespace tervo::ui {
namespace {

TEST(HostKeysFor, MapsActionKeysAndDoublesTheAt) {
  const std::tuple<int, Qt::KeyboardModifiers, const char*, const char*> cases[] = {
      {Qt::Key_Return, Qt::NoModifier, "\r", "@E"}, {Qt::Key_Enter, Qt::KeypadModifier, "\r", "@E"},
      {Qt::Key_F1, Qt::NoModifier, "", "@1"},       {Qt::Key_F9, Qt::NoModifier, "", "@9"},
      {Qt::Key_F10, Qt::NoModifier, "", "@a"},      {Qt::Key_F12, Qt::NoModifier, "", "@c"},
      {Qt::Key_F1, Qt::ShiftModifier, "", "@d"},    {Qt::Key_F12, Qt::ShiftModifier, "", "@o"},
      {Qt::Key_F24, Qt::NoModifier, "", "@o"},      {Qt::Key_PageDown, Qt::NoModifier, "", "@u"},
      {Qt::Key_PageUp, Qt::NoModifier, "", "@v"},   {Qt::Key_Escape, Qt::NoModifier, "\x1b", "@R"},
      {Qt::Key_A, Qt::NoModifier, "a", "a"},        {Qt::Key_At, Qt::NoModifier, "@", "@@"},
      {Qt::Key_C, Qt::ControlModifier, "\x03", ""}, {Qt::Key_Shift, Qt::ShiftModifier, "", ""},
  };
  for (const auto& [key, mods, text, keys] : cases)
    EXPECT_EQ(HostKeysFor(key, mods, QString::fromLatin1(text)), keys) << std::hex << key;
  EXPECT_EQ(HostKeysFor(Qt::Key_E, Qt::NoModifier, QString::fromUtf8("\u20ac")), "\x80")
      << "Windows-1252";
}

QImage Render(SessionDisplay& d) {
  QImage image(d.size(), QImage::Format_RGB32);
  d.render(&image);
  return image;
}

TEST(SessionDisplay, PaintsTextUnderlinesInputAndNeverShowsHiddenFields) {
  tervo::testing::FakeHostDisplay host;
  host.AddField(1, 1, "Item", 4, true);
  host.AddField(1, 10, "     ", 5, false);
  const int secret = host.AddField(2, 10, "PASSWORD", 8, false);
  host.Field(secret).Hidden = true;
  host.cursorRow = 24;
  host.cursorColumn = 80;
  SessionDisplay d(0);
  d.resize(800, 500);  // 10 x 20 pixel cells
  d.SetDisplay(&host);
  d.SetBackColor(kSelectedBackColor);
  const QImage withSecret = Render(d);

  // Blank cells of the input field carry the underline on their last row.
  const QColor under = withSecret.pixelColor(95, 19);
  EXPECT_NE(under, QColor(Qt::black)) << "input fields are underlined";
  EXPECT_EQ(withSecret.pixelColor(95, 10), QColor(Qt::black)) << "only the last pixel row";
  EXPECT_NE(withSecret.pixelColor(795, 479), QColor(Qt::black)) << "cursor at row 24, column 80";

  host.Field(secret).Text = "";
  host.PutText(2, 10, "        ");
  const QImage withoutSecret = Render(d);
  EXPECT_EQ(withSecret, withoutSecret) << "the hidden field's text is not drawn";

  host.PutText(1, 30, "STOCK");
  EXPECT_NE(Render(d), withoutSecret) << "display text is drawn";

  d.SetBackColor(kUnselectedBackColor);
  EXPECT_EQ(Render(d).pixelColor(400, 300), QColor(0x20, 0x20, 0x20));
}

TEST(SessionDisplay, ScalesTheFontToTheCell) {
  SessionDisplay d(0);
  d.resize(800, 500);
  const int big = d.CellFontPixelSize();
  d.resize(400, 250);
  const int small = d.CellFontPixelSize();
  EXPECT_LT(small, big);
  EXPECT_LE(small, 10);
  EXPECT_GE(small, 8);
}

}  // namespace
}  // namespace tervo::ui
