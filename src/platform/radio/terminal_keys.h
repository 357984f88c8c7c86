// The terminals' secrets, kept in a key file of their own: never in the
// configuration file, never in a log.  One line per terminal:
//
//     # comment
//     T1 = 3f9c2a7d51e04b8c9d6e7f8091a2b3c4
//     *  = the site-wide secret, for every terminal without its own
//
// The file must be readable by its owner only (mode 600): a key file that
// other users can read is not used, and no terminal can sign in until it is
// mended, rather than the gateway running open.  See docs/radio-protocol.md
// (enrolment).
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace tervo::radio {

class TerminalKeys {
 public:
  enum class State {
    kNoFile,      // no key file: terminals are not asked for a secret
    kLoaded,      // keys in use (possibly none, if every line was bad)
    kUnsafe,      // the file can be read by others: no terminal is accepted
    kUnreadable,  // the file exists but cannot be read: no terminal is accepted
  };

  // Reads path; lines are reported through log (numbers only, never their
  // text).  An empty path is the same as a missing file.
  void Load(const std::string& path, const std::function<void(const std::string&)>& log = {});
  // Loads again when the file changed since the last Load, so that a
  // terminal enrolled while the gateway runs can sign in at once.  True
  // when it reloaded.
  bool Refresh(const std::function<void(const std::string&)>& log = {});
  // Keys from text in the key file's form, with no file behind them (tests,
  // the fuzz target, a transport that holds keys elsewhere).
  void LoadText(const std::string& text);

  State GetState() const { return state_; }
  const std::string& Path() const { return path_; }
  // Whether terminals must prove a secret: any state but kNoFile.
  bool Required() const { return state_ != State::kNoFile; }
  // The terminal's own secret, else the site-wide one, else none.
  std::optional<std::string> SecretFor(const std::string& terminalId) const;
  std::size_t TerminalCount() const { return byId_.size(); }
  bool HasSiteKey() const { return site_.has_value(); }

  // Parses the file's text: ids (trimmed, "*" for the site) to secrets.
  // Bad lines are skipped and their numbers reported in *bad.
  static std::map<std::string, std::string> Parse(const std::string& text,
                                                  std::vector<std::string>* bad);

  // Enrolment: sets (or with an empty secret removes) one id's secret in
  // the file, creating it readable by its owner only; the file is replaced
  // whole, so a reader never sees half of it.  Comments are kept.
  static bool Store(const std::string& path, const std::string& terminalId,
                    const std::string& secret, std::string* err);
  // A new random secret: 32 hexadecimal digits (128 bits).
  static std::string NewSecret();
  // The usual place: terminal-keys beside the settings file, or in the
  // user's settings folder.
  static std::string DefaultPath(const std::string& settingsFile);

 private:
  State state_ = State::kNoFile;
  std::string path_;
  std::map<std::string, std::string> byId_;
  std::optional<std::string> site_;
  // What the file looked like when read, to notice a change.
  std::int64_t mtimeNs_ = -1;
  std::int64_t size_ = -1;
  std::uint64_t inode_ = 0;
};

}  // namespace tervo::radio
