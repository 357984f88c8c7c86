// Builds the lines of the configuration file in memory.  Key lines are either
// always written or sparse (written only when the value is worth keeping), and
// a block opener can be held back until the first sparse line of the block is
// written, so that an empty field leaves no trace in the file.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tervo::config {

// A key name with up to two indexes: Text[ 7], ScreensText[ 3][ 7],
// DeviceName[2].  Indexes are written with a leading space when not negative,
// unless spaced is false.
struct Key {
  static constexpr std::int32_t kNone = INT32_MIN;
  std::string_view name;
  std::int32_t index0 = kNone;
  std::int32_t index1 = kNone;
  bool spaced = true;
};

class LineWriter {
 public:
  explicit LineWriter(std::string* out) : out_(out) {}

  void Opener(std::string_view name, std::int32_t index);  // Screens[ 3][
  void Closer();                                           // ]

  // name="value" whatever the value.
  void Always(const Key& key, std::string_view value);
  // Written only when value holds a character other than NUL and, encoded and
  // with the blanks trimmed, is neither empty nor "0".
  void Sparse(const Key& key, std::string_view value);
  void SparseNumber(const Key& key, std::int64_t v);  // zero is never written
  // Flags are never empty, so they are always written ("True" / "False"), but
  // they still open a held-back block.
  void Flag(const Key& key, bool v) { Sparse(key, v ? "True" : "False"); }
  // A line written without value encoding (only digits and blanks).
  void Plain(const Key& key, std::string_view value);

  // Holds name[ index][ back until the next sparse line; EndLazyBlock writes
  // the closer only when the opener was written, and forgets it otherwise.
  void BeginLazyBlock(std::string_view name, std::int32_t index);
  void EndLazyBlock();

 private:
  void AppendKey(const Key& key);
  void AppendIndex(std::int32_t v, bool spaced);
  // Writes the held opener in front of a sparse line that is kept.
  void ReleasePending();

  std::string* out_;
  std::string pending_;
  bool lazyOpen_ = false;     // a lazy block is between Begin and End
  bool lazyWritten_ = false;  // ... and its opener reached the file
};

// Decimal text of v as numbers are written: "-80", "5".
void AppendDecimal(std::string* out, std::int64_t v);

}  // namespace tervo::config
