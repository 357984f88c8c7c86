#include "config/atomic_file.h"

#include <QSaveFile>
#include <QString>
#include <algorithm>

namespace tervo::config {

namespace {

std::string Reason(const QSaveFile& f) { return f.errorString().toLocal8Bit().toStdString(); }

}  // namespace

bool WriteFileAtomically(const std::string& path, std::string_view bytes, std::string* err,
                         const ByteWriter& writer) {
  QSaveFile file(QString::fromLocal8Bit(path.data(), static_cast<qsizetype>(path.size())));
  // Never fall back to writing the target in place: that is what loses the
  // previous file when the disk fills up.
  file.setDirectWriteFallback(false);
  if (!file.open(QIODevice::WriteOnly)) {
    if (err) *err = "cannot create \"" + path + "\": " + Reason(file);
    return false;
  }
  auto sink = [&file](std::string_view chunk) {
    constexpr std::size_t kChunk = 1 << 20;
    while (!chunk.empty()) {
      const std::size_t n = std::min(chunk.size(), kChunk);
      if (file.write(chunk.data(), static_cast<qint64>(n)) != static_cast<qint64>(n)) return false;
      chunk.remove_prefix(n);
    }
    return true;
  };
  const bool written = writer ? writer(bytes, sink) : sink(bytes);
  if (!written) {
    const std::string reason = file.error() != QFileDevice::NoError ? Reason(file) : "write failed";
    file.cancelWriting();
    // The destructor removes the temporary file; the target is untouched.
    if (err) *err = "cannot write \"" + path + "\": " + reason;
    return false;
  }
  if (!file.commit()) {
    if (err) *err = "cannot replace \"" + path + "\": " + Reason(file);
    return false;
  }
  return true;
}

}  // namespace tervo::config
