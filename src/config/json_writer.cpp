#include "config/json_writer.h"

#include <charconv>

#include "config/windows1252.h"

namespace tervo::config {

void AppendJsonText(std::string* out, std::string_view bytes) {
  static const char kHex[] = "0123456789abcdef";
  out->push_back('"');
  std::size_t plain = 0;  // start of a run copied through AppendUtf8
  auto flush = [&](std::size_t end) {
    if (end > plain) AppendUtf8(out, bytes.substr(plain, end - plain));
    plain = end + 1;
  };
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const char16_t u = Windows1252Char(static_cast<unsigned char>(bytes[i]));
    const char* escape = nullptr;
    switch (u) {
      case '"':
        escape = "\\\"";
        break;
      case '\\':
        escape = "\\\\";
        break;
      case '\b':
        escape = "\\b";
        break;
      case '\f':
        escape = "\\f";
        break;
      case '\n':
        escape = "\\n";
        break;
      case '\r':
        escape = "\\r";
        break;
      case '\t':
        escape = "\\t";
        break;
      default:
        break;
    }
    if (escape) {
      flush(i);
      out->append(escape);
    } else if (u < 0x20 || (u >= 0x7F && u <= 0x9F)) {
      flush(i);
      out->append("\\u00");
      out->push_back(kHex[u >> 4]);
      out->push_back(kHex[u & 15]);
    }
  }
  flush(bytes.size());
  out->push_back('"');
}

void JsonWriter::NewLine(std::size_t depth) {
  out_->push_back('\n');
  out_->append(depth * 2, ' ');
}

void JsonWriter::BeforeValue() {
  if (afterKey_) {
    afterKey_ = false;
    return;
  }
  if (levels_.empty()) return;
  Level& level = levels_.back();
  if (!level.empty) out_->push_back(',');
  if (level.oneLine) {
    if (!level.empty) out_->push_back(' ');
  } else {
    NewLine(levels_.size());
  }
  level.empty = false;
}

void JsonWriter::Begin(char open, bool oneLine) {
  BeforeValue();
  out_->push_back(open);
  // Inside a one-line container everything stays on the line.
  levels_.push_back({oneLine || (!levels_.empty() && levels_.back().oneLine), true});
}

void JsonWriter::End(char close) {
  const Level level = levels_.back();
  levels_.pop_back();
  if (!level.empty && !level.oneLine) NewLine(levels_.size());
  out_->push_back(close);
  if (levels_.empty()) out_->push_back('\n');
}

void JsonWriter::Key(std::string_view name) {
  BeforeValue();
  AppendJsonText(out_, name);
  out_->append(": ");
  afterKey_ = true;
}

void JsonWriter::Number(std::int64_t v) {
  BeforeValue();
  char buf[24];
  auto res = std::to_chars(buf, buf + sizeof buf, v);
  out_->append(buf, static_cast<std::size_t>(res.ptr - buf));
}

void JsonWriter::Bool(bool v) {
  BeforeValue();
  out_->append(v ? "true" : "false");
}

void JsonWriter::Text(std::string_view bytes) {
  BeforeValue();
  AppendJsonText(out_, bytes);
}

}  // namespace tervo::config
