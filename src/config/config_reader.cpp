#include "config/config_reader.h"

#include <array>
#include <cstdio>
#include <cstring>

#include "config/config_codec.h"
#include "config/config_writer.h"
#include "config/declare_variable.h"
#include "platform/os/blank_text.h"

namespace tervo::config {

std::string BadLine::Message() const {
  return "Error at line , " + std::to_string(number) + " " + line;
}

namespace {

// Names and indexes are kept for levels 0 .. 10; key lines are stored from
// levels 0 .. 2 only (the writer nests two levels deep).
constexpr int kMaxLevel = 10;
constexpr int kDeepestStoredLevel = 2;

bool Fail(std::string* err, const char* message) {
  *err = message;
  return false;
}

class Parser {
 public:
  Parser(ScreenStore& store, GeneralOptions& options, LoadPrompt& prompt)
      : store_(store), options_(options), prompt_(prompt) {}

  void Line(std::string_view raw) {
    ++number_;
    std::string err;
    std::string decoded;
    std::string_view line = raw;
    if (std::memchr(raw.data(), kEscape, raw.size())) {
      decoded = StringAscii(raw, &err);
      line = decoded;
      if (!err.empty()) return Report(line, err);
    }
    if (!Handle(line, &err)) Report(line, err);
  }

  int BadLines() const { return bad_; }

 private:
  bool Handle(std::string_view line, std::string* err) {
    if (!line.empty() && line.back() == '[') return Opener(line, err);
    if (!line.empty() && line.back() == ']') return Closer(err);
    return KeyLine(line, err);
  }

  // name[ index][ : the name and index of the block that this line opens.
  bool Opener(std::string_view line, std::string* err) {
    const int level = level_++;
    if (dead_ >= 0) return true;  // inside a block that could not be opened
    bool ok = true;
    std::int32_t index = 0;
    const std::size_t open = line.find('[');
    const std::size_t close = line.find(']');
    if (level > kMaxLevel) {
      ok = Fail(err, "blocks nested too deep");
    } else if (close == std::string_view::npos || close < open) {
      ok = Fail(err, "missing ] after the block index");
    } else if (!ReadNumber(line.substr(open + 1, close - open - 1), &index, err)) {
      ok = false;
    }
    if (!ok) {
      dead_ = level;  // what the block holds has no valid home: skip it
      return false;
    }
    names_[level].assign(os::BlankTrimmed(line.substr(0, open)));
    indexes_[level] = index;
    return true;
  }

  bool Closer(std::string* err) {
    // A closer outside every block would shift every later block one level
    // out and lose the rest of the file, so it is a bad line instead.
    if (level_ == 0) return Fail(err, "] outside any block");
    --level_;
    if (dead_ >= level_) dead_ = -1;
    return true;
  }

  bool KeyLine(std::string_view line, std::string* err) {
    if (dead_ >= 0) return true;
    if (line.empty()) return Fail(err, "blank line");
    // The key ends at the first =" : taking it from there (not from the first
    // "[" of the line) keeps values that contain "[" or "]".
    std::string_view head;
    std::size_t valueStart = 0;
    const std::size_t eq = line.find("=\"");
    if (eq != std::string_view::npos) {
      head = line.substr(0, eq);
      valueStart = eq + 2;
    } else {
      const std::size_t quote = line.find('"');
      if (quote == std::string_view::npos) return Fail(err, "missing quote");
      if (quote == 0) return Fail(err, "missing key name");
      head = line.substr(0, quote - 1);  // the character before the quote is the "="
      valueStart = quote + 1;
    }
    if (line.size() < valueStart + 1 || line.back() != '"')
      return Fail(err, "missing closing quote");
    const std::string_view value = line.substr(valueStart, line.size() - 1 - valueStart);

    std::string_view name = head;
    std::int32_t index[2] = {kNoIndex, kNoIndex};
    const std::size_t open = head.find('[');
    if (open != std::string_view::npos) {
      name = head.substr(0, open);
      std::size_t pos = open;
      for (int k = 0; k < 2 && pos != std::string_view::npos; ++k) {
        const std::size_t close = head.find(']', pos);
        if (close == std::string_view::npos) return Fail(err, "missing ] after an index");
        if (!ReadNumber(head.substr(pos + 1, close - pos - 1), &index[k], err)) return false;
        pos = head.find('[', close);
      }
    }
    name = os::BlankTrimmed(name);
    if (name.empty()) return Fail(err, "missing key name");
    if (level_ > kDeepestStoredLevel) return true;
    switch (level_) {
      case 0:
        return DeclareVariable(store_, options_, name, {}, {}, value, index[0], index[1], kNoIndex,
                               err);
      case 1:
        return DeclareVariable(store_, options_, names_[0], name, {}, value, indexes_[0], index[0],
                               index[1], err);
      default:
        return DeclareVariable(store_, options_, names_[0], names_[1], name, value, indexes_[0],
                               indexes_[1], index[0], err);
    }
  }

  void Report(std::string_view line, const std::string& reason) {
    ++bad_;
    prompt_.ReportBadLine({number_, std::string(line), reason});
  }

  ScreenStore& store_;
  GeneralOptions& options_;
  LoadPrompt& prompt_;
  std::array<std::string, kMaxLevel + 1> names_{};
  std::array<std::int32_t, kMaxLevel + 1> indexes_{};
  int level_ = 0;
  int dead_ = -1;  // level of a block whose opener was bad, -1 when none
  int number_ = 0;
  int bad_ = 0;
};

}  // namespace

// Reads in chunks until the end: the size a seek reports is no guide for
// things that are not plain files (a folder named like the file, a pipe).
bool ReadWholeFile(const std::string& path, std::string* out) {
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return false;
  constexpr std::size_t kChunk = 1 << 20;
  std::size_t used = 0;
  for (;;) {
    out->resize(used + kChunk);
    const std::size_t got = std::fread(out->data() + used, 1, kChunk, f);
    used += got;
    if (got < kChunk) break;
  }
  const bool ok = std::ferror(f) == 0;
  std::fclose(f);
  out->resize(used);
  return ok;
}

int ParseConfig(std::string_view bytes, ScreenStore& store, GeneralOptions& options,
                LoadPrompt& prompt) {
  Parser parser(store, options, prompt);
  std::size_t start = 0;
  while (start < bytes.size()) {
    const void* nl = std::memchr(bytes.data() + start, '\n', bytes.size() - start);
    const std::size_t end =
        nl ? static_cast<std::size_t>(static_cast<const char*>(nl) - bytes.data()) : bytes.size();
    std::string_view line = bytes.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    parser.Line(line);
    start = end + 1;
  }
  return parser.BadLines();
}

bool LoadData(const std::string& base, ScreenStore& store, GeneralOptions& options,
              LoadPrompt& prompt, int* badLines) {
  std::string bytes;
  if (!ReadWholeFile(ConfigFilePath(base), &bytes)) return false;
  const int bad = ParseConfig(bytes, store, options, prompt);
  if (badLines) *badLines = bad;
  return true;
}

bool LoadDataFromFile2(const std::string& base, ScreenStore& store, GeneralOptions& options,
                       LoadPrompt& prompt, int* badLines) {
  if (LoadData(base, store, options, prompt, badLines)) return true;
  options.ApplyFallbacks();
  return false;
}

}  // namespace tervo::config
