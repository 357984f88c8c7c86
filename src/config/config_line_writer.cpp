#include "config/config_line_writer.h"

#include <charconv>

#include "config/config_codec.h"
#include "platform/os/blank_text.h"

namespace tervo::config {

void AppendDecimal(std::string* out, std::int64_t v) {
  char buf[24];
  auto res = std::to_chars(buf, buf + sizeof buf, v);
  out->append(buf, static_cast<std::size_t>(res.ptr - buf));
}

void LineWriter::AppendIndex(std::int32_t v, bool spaced) {
  out_->push_back('[');
  if (spaced && v >= 0) out_->push_back(' ');
  AppendDecimal(out_, v);
  out_->push_back(']');
}

void LineWriter::AppendKey(const Key& key) {
  out_->append(key.name);
  if (key.index0 != Key::kNone) AppendIndex(key.index0, key.spaced);
  if (key.index1 != Key::kNone) AppendIndex(key.index1, key.spaced);
  out_->append("=\"", 2);
}

void LineWriter::Opener(std::string_view name, std::int32_t index) {
  out_->append(name);
  AppendIndex(index, true);
  out_->append("[\r\n", 3);
}

void LineWriter::Closer() { out_->append("]\r\n", 3); }

void LineWriter::Always(const Key& key, std::string_view value) {
  ReleasePending();
  AppendKey(key);
  AppendAsciiString(out_, value);
  out_->append("\"\r\n", 3);
}

void LineWriter::Plain(const Key& key, std::string_view value) {
  ReleasePending();
  AppendKey(key);
  out_->append(value);
  out_->append("\"\r\n", 3);
}

void LineWriter::Sparse(const Key& key, std::string_view value) {
  if (value.find_first_not_of('\0') == std::string_view::npos) return;
  const std::size_t mark = out_->size();
  const bool hadPending = !pending_.empty();
  if (hadPending) out_->append(pending_);
  AppendKey(key);
  const std::size_t valueStart = out_->size();
  AppendAsciiString(out_, value);
  // The test looks at the encoded value with its blanks trimmed.
  const std::string_view shown = os::BlankTrimmed(std::string_view(*out_).substr(valueStart));
  if (shown.empty() || shown == "0") {
    out_->resize(mark);
    return;
  }
  out_->append("\"\r\n", 3);
  if (hadPending) {
    pending_.clear();
    lazyWritten_ = true;
  }
}

void LineWriter::SparseNumber(const Key& key, std::int64_t v) {
  if (v == 0) return;
  ReleasePending();
  AppendKey(key);
  AppendDecimal(out_, v);
  out_->append("\"\r\n", 3);
}

void LineWriter::ReleasePending() {
  if (pending_.empty()) return;
  out_->append(pending_);
  pending_.clear();
  lazyWritten_ = true;
}

void LineWriter::BeginLazyBlock(std::string_view name, std::int32_t index) {
  EndLazyBlock();
  pending_.assign(name);
  pending_.push_back('[');
  if (index >= 0) pending_.push_back(' ');
  AppendDecimal(&pending_, index);
  pending_.append("][\r\n");
  lazyOpen_ = true;
  lazyWritten_ = false;
}

void LineWriter::EndLazyBlock() {
  if (!lazyOpen_) return;
  if (lazyWritten_) Closer();
  pending_.clear();
  lazyOpen_ = false;
  lazyWritten_ = false;
}

}  // namespace tervo::config
