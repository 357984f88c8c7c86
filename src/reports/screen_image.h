// The screens report's picture of a host screen: the stored screen image
// with the configured fields marked in colour.
//
// The image is text of 82 characters a row (80 characters and CR LF), as the
// capture stores it; offsets below are 0-based offsets into that text.  The
// report shows the first 24 rows (1968 characters).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "config/screen_store.h"

namespace tervo::reports {

constexpr int kImageRowWidth = 82;  // 80 characters and CR LF
constexpr int kImageColumns = 80;
constexpr int kImageRows = 24;
constexpr int kImageLength = kImageRows * kImageRowWidth;  // 1968

// Offset of row and column (both 1-based) in the image text.
int ImageOffset(int row, int column);

// The screen position (row x 80 + column) of the character at an image
// offset; -1 for the CR LF that ends a row and for offsets outside the image.
int PositionAtOffset(int offset);

// Characters from the first to the last position of a field, both
// included, counting 82 for every row boundary crossed (the CR LF of each
// row lies inside the span).  0 when the end comes before the start.
int SpanLength(int startRow, int startColumn, int endRow, int endColumn);

struct Span {
  int offset = 0;
  int length = 0;
};

// The span of captured field j of a screen: from its first character to its
// last.
Span FieldSpan(const config::ScreenOriginal& original, int j);

enum class ImageColour : std::uint8_t { kGreen, kWhite, kYellow, kRed };

struct ImageStyle {
  ImageColour colour = ImageColour::kGreen;
  bool bold = false;
  bool operator==(const ImageStyle&) const = default;
};

// The image as the report draws it: the text with blank protected fields
// starred and blanks of input fields shown as "_", and a style per
// character.  Both are kImageLength long.
struct ReportImage {
  std::string text;
  std::vector<ImageStyle> style;
};

// Builds the picture of screen scr:
// - everything green;
// - shown fields white and bold; a shown field that is protected and blank
//   drawn as "*";
// - parts of divided fields yellow (only for fields that are shown);
// - blanks of unprotected or underlined fields drawn as "_";
// - on a master screen, fields marked "Master Screen key" red.
// A screen outside the tables gives a blank green picture.
ReportImage BuildReportImage(const config::ScreenStore& store, int scr);

}  // namespace tervo::reports
