#include "platform/radio/terminal_keys.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFileInfo>
#include <QStandardPaths>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>

#include "platform/os/blank_text.h"
#include "platform/radio/terminal_auth.h"

namespace tervo::radio {

namespace {

constexpr std::size_t kShortSecret = 16;

bool ReadAll(const std::string& path, std::string* text) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::stringstream ss;
  ss << in.rdbuf();
  *text = ss.str();
  return !in.bad();
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::stringstream ss(text);
  for (std::string line; std::getline(ss, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

std::string TrimAll(const std::string& s) {
  const auto b = s.find_first_not_of(" \t");
  if (b == std::string::npos) return {};
  return s.substr(b, s.find_last_not_of(" \t") - b + 1);
}

bool IsComment(const std::string& line) {
  const std::string t = TrimAll(line);
  return t.empty() || t[0] == '#';
}

}  // namespace

std::map<std::string, std::string> TerminalKeys::Parse(const std::string& text,
                                                       std::vector<std::string>* bad) {
  std::map<std::string, std::string> keys;
  int number = 0;
  for (const std::string& line : Lines(text)) {
    ++number;
    if (IsComment(line)) continue;
    const auto eq = line.find('=');
    const std::string id = eq == std::string::npos ? std::string() : TrimAll(line.substr(0, eq));
    const std::string secret =
        eq == std::string::npos ? std::string() : TrimAll(line.substr(eq + 1));
    std::string why;
    if (eq == std::string::npos) {
      why = "no \"=\"";
    } else if (id.empty() || id.size() > 8) {
      why = "the terminal id must have 1 to 8 characters";
    } else if (secret.empty()) {
      why = "no secret";
    } else if (keys.count(id)) {
      why = "terminal " + id + " has a key already";
    }
    if (!why.empty()) {
      if (bad) bad->push_back("line " + std::to_string(number) + ": " + why);
      continue;
    }
    keys[id] = secret;
  }
  return keys;
}

void TerminalKeys::Load(const std::string& path,
                        const std::function<void(const std::string&)>& log) {
  auto say = [&](const std::string& s) {
    if (log) log("radio: " + s);
  };
  path_ = path;
  byId_.clear();
  site_.reset();
  mtimeNs_ = size_ = -1;
  inode_ = 0;
  struct stat st {};
  if (path.empty() || ::stat(path.c_str(), &st) != 0) {
    state_ = errno == ENOENT || path.empty() ? State::kNoFile : State::kUnreadable;
    if (state_ == State::kUnreadable)
      say("key file " + path + " cannot be read (" + std::strerror(errno) +
          "); no terminal can sign in");
    return;
  }
  mtimeNs_ = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
  size_ = static_cast<std::int64_t>(st.st_size);
  inode_ = static_cast<std::uint64_t>(st.st_ino);
  // Others must not be able to read the secrets, or change them to their own.
  if ((st.st_mode & (S_IRWXG | S_IRWXO)) != 0) {
    state_ = State::kUnsafe;
    say("key file " + path + " can be read or changed by other users; run chmod 600 " + path +
        ". No terminal can sign in until then");
    return;
  }
  std::string text;
  if (!ReadAll(path, &text)) {
    state_ = State::kUnreadable;
    say("key file " + path + " cannot be read; no terminal can sign in");
    return;
  }
  state_ = State::kLoaded;
  std::vector<std::string> bad;
  for (auto& [id, secret] : Parse(text, &bad)) {
    if (secret.size() < kShortSecret)
      say("key file " + path + ": the secret of " + (id == "*" ? std::string("the site") : id) +
          " is shorter than " + std::to_string(kShortSecret) + " characters; it is easy to guess");
    if (id == "*") {
      site_ = secret;
    } else {
      byId_[id] = secret;
    }
  }
  for (const std::string& b : bad) say("key file " + path + ": " + b + "; skipped");
}

void TerminalKeys::LoadText(const std::string& text) {
  path_.clear();
  byId_.clear();
  site_.reset();
  state_ = State::kLoaded;
  for (auto& [id, secret] : Parse(text, nullptr)) {
    if (id == "*") {
      site_ = secret;
    } else {
      byId_[id] = secret;
    }
  }
}

bool TerminalKeys::Refresh(const std::function<void(const std::string&)>& log) {
  if (path_.empty()) return false;
  struct stat st {};
  const bool exists = ::stat(path_.c_str(), &st) == 0;
  if (!exists && state_ == State::kNoFile) return false;
  if (exists) {
    const std::int64_t mtime =
        static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    const bool unsafe = (st.st_mode & (S_IRWXG | S_IRWXO)) != 0;
    if (mtime == mtimeNs_ && static_cast<std::int64_t>(st.st_size) == size_ &&
        static_cast<std::uint64_t>(st.st_ino) == inode_ && unsafe == (state_ == State::kUnsafe))
      return false;
  }
  // A key file that disappears while the gateway runs does not open the
  // link: the keys read last stay in force until the next start.
  if (!exists) return false;
  Load(path_, log);
  return true;
}

std::optional<std::string> TerminalKeys::SecretFor(const std::string& terminalId) const {
  if (state_ != State::kLoaded) return std::nullopt;
  const auto it = byId_.find(os::TrimBlanks(terminalId));
  if (it != byId_.end()) return it->second;
  return site_;
}

bool TerminalKeys::Store(const std::string& path, const std::string& terminalId,
                         const std::string& secret, std::string* err) {
  const std::string id = TrimAll(terminalId);
  if (id.empty() || id.size() > 8 || id.find('=') != std::string::npos) {
    *err = "the terminal id must have 1 to 8 characters and no \"=\"";
    return false;
  }
  if (secret.find_first_of("\r\n") != std::string::npos || TrimAll(secret) != secret) {
    *err = "the secret must be one line without leading or trailing blanks";
    return false;
  }
  std::string text;
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0 && !ReadAll(path, &text)) {
    *err = "cannot read " + path;
    return false;
  }
  std::string out;
  bool done = secret.empty();
  for (const std::string& line : Lines(text)) {
    const auto eq = line.find('=');
    if (!IsComment(line) && eq != std::string::npos && TrimAll(line.substr(0, eq)) == id) {
      if (!done) out += id + " = " + secret + "\n";
      done = true;
      continue;
    }
    out += line + "\n";
  }
  if (!done) out += id + " = " + secret + "\n";

  const std::string temp = path + ".new";
  const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  if (fd < 0) {
    *err = "cannot write " + temp + ": " + std::strerror(errno);
    return false;
  }
  // O_CREAT's mode is cut by the umask; a file that existed keeps its old
  // mode.  Owner-only either way.
  ::fchmod(fd, 0600);
  std::size_t written = 0;
  while (written < out.size()) {
    const ssize_t n = ::write(fd, out.data() + written, out.size() - written);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    written += static_cast<std::size_t>(n);
  }
  const bool ok = written == out.size() && ::fsync(fd) == 0;
  ::close(fd);
  if (!ok || ::rename(temp.c_str(), path.c_str()) != 0) {
    *err = "cannot write " + path + ": " + std::strerror(errno);
    ::unlink(temp.c_str());
    return false;
  }
  return true;
}

std::string TerminalKeys::NewSecret() {
  static const char kHex[] = "0123456789abcdef";
  std::string out;
  for (unsigned char c : auth::RandomBytes(16)) {
    out += kHex[c >> 4];
    out += kHex[c & 15];
  }
  return out;
}

std::string TerminalKeys::DefaultPath(const std::string& settingsFile) {
  if (!settingsFile.empty()) {
    return QFileInfo(QString::fromStdString(settingsFile)).absolutePath().toStdString() +
           "/terminal-keys";
  }
  return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation).toStdString() +
         "/Tervo/terminal-keys";
}

}  // namespace tervo::radio
