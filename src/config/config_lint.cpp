#include "config/config_lint.h"

#include <algorithm>
#include <map>
#include <optional>
#include <set>
#include <tuple>

#include "config/join_formula.h"
#include "config/json_writer.h"
#include "config/key_text.h"
#include "config/record_members.h"
#include "config/text.h"

namespace tervo::config {

namespace {

std::size_t U(int i) { return static_cast<std::size_t>(i); }

// The gateway builds at most this many steps of each loop of a repeat rule
// and sends nothing when a loop needs more (docs/gateway.md).
constexpr int kMaxRepeatSteps = 500;

// Loops over a screen's captured fields stop at field 499 (500 fields).
int VisitedFields(const ScreenStore& store, int s) {
  return std::min(StoredFieldCount(store, s), kMaxFieldIndex);
}

std::string Quoted(std::string_view bytes) {
  std::string out;
  AppendJsonText(&out, bytes);
  return out;
}

std::string N(std::int64_t v) { return std::to_string(v); }

class Linter {
 public:
  Linter(const ScreenStore& store, const GeneralOptions& options)
      : store_(store), options_(options), last_(LastStoredScreen(store)) {}

  std::vector<LintFinding> Run() {
    SameIdentification();
    for (int i = 0; i <= last_; ++i) {
      const ScreenDef& d = store_.Screens[U(i)];
      if (d.ScreenId == 0 && d.Master != kScreenMaster) continue;  // never chosen, never copied
      if (d.Master == kScreenMaster) MasterKeys(i);
      if (d.DontSendToTerminal <= 0) TerminalFields(i);
      Keys(i);
      if (d.ScreenId != 0) JoinFormulas(i);  // join formulas are not copied from a master
      Repeat(i);
    }
    Divisions();
    std::stable_sort(
        findings_.begin(), findings_.end(), [](const LintFinding& a, const LintFinding& b) {
          return std::tie(a.screen, a.field, a.division) < std::tie(b.screen, b.field, b.division);
        });
    return std::move(findings_);
  }

 private:
  void Add(const char* rule, int screen, int field, std::string reason, int division = -1) {
    LintFinding f;
    f.rule = rule;
    f.screen = screen;
    f.field = field;
    f.division = division;
    f.reason = std::move(reason);
    findings_.push_back(std::move(f));
  }

  // ---- definitions that identify alike ----

  // FindBestScreen's score of definition d for a session with terminal t and
  // user u; nullopt stands for a terminal or user that no definition names.
  static int Score(const ScreenDef& d, const std::optional<std::string>& t,
                   const std::optional<std::string>& u) {
    int base = 1;
    if (d.CheckScreenIdTerm == 1) base = t && text::TrimBlanks(d.ScreenIdTerminal) == *t ? 2 : 0;
    if (d.CheckScreenIdUser != 1) return base;
    return u && text::TrimBlanks(d.ScreenIdUser) == *u ? base + 1 : base - 1;
  }

  static std::string Situation(const std::optional<std::string>& t,
                               const std::optional<std::string>& u) {
    const std::string terminal = t ? "terminal " + Quoted(*t) : "any other terminal";
    const std::string user = u ? "user " + Quoted(*u) : "any other user";
    return terminal + " and " + user;
  }

  void SameIdentification() {
    std::map<std::int32_t, std::vector<int>> byId;
    for (int i = 0; i <= last_; ++i)
      if (store_.Screens[U(i)].ScreenId != 0) byId[store_.Screens[U(i)].ScreenId].push_back(i);
    for (const auto& [id, group] : byId)
      if (group.size() > 1) SameIdentification(id, group);
  }

  void SameIdentification(std::int32_t id, const std::vector<int>& group) {
    // Every situation that tells the definitions apart: each terminal and
    // user a definition checks for, and one that none of them names.
    std::vector<std::optional<std::string>> terminals{std::nullopt}, users{std::nullopt};
    for (int i : group) {
      const ScreenDef& d = store_.Screens[U(i)];
      if (d.CheckScreenIdTerm == 1) terminals.emplace_back(text::TrimBlanks(d.ScreenIdTerminal));
      if (d.CheckScreenIdUser == 1) users.emplace_back(text::TrimBlanks(d.ScreenIdUser));
    }
    std::set<int> winners;
    std::map<std::pair<int, int>, std::string> ties;  // (winner, other) -> first situation
    std::map<int, std::pair<int, int>> bestLoss;      // screen -> (its best score, the winner then)
    for (const auto& t : terminals) {
      for (const auto& u : users) {
        int best = 0;
        int winner = -1;
        for (int i : group) {
          const int s = Score(store_.Screens[U(i)], t, u);
          if (s > best) {
            best = s;
            winner = i;
          }
        }
        if (winner < 0) continue;
        winners.insert(winner);
        for (int i : group) {
          const int s = Score(store_.Screens[U(i)], t, u);
          if (i == winner || s <= 0) continue;
          if (s == best) ties.emplace(std::make_pair(winner, i), Situation(t, u));
          auto it = bestLoss.find(i);
          if (it == bestLoss.end() || s > it->second.first) bestLoss[i] = {s, winner};
        }
      }
    }
    for (int i : group) {
      if (winners.count(i)) continue;
      const int w = bestLoss.count(i) ? bestLoss[i].second : group.front();
      Add(kRuleSameIdentification, i, -1,
          "identifies like screen " + N(w) + " (ScreenId " + N(id) +
              ") for every terminal and user it fits, and screen " + N(w) +
              " is chosen: this definition never is");
    }
    for (const auto& [pair, situation] : ties) {
      if (!winners.count(pair.second)) continue;  // reported above
      Add(kRuleSameIdentification, pair.second, -1,
          "identifies like screen " + N(pair.first) + " (ScreenId " + N(id) + ") for " + situation +
              "; screen " + N(pair.first) + " is chosen there");
    }
  }

  // ---- masters ----

  void MasterKeys(int i) {
    const ScreenDef& d = store_.Screens[U(i)];
    int keys = 0;
    for (int p = 0; p < kPositionSlots; ++p) {
      const int f = store_.Indice[U(i)][U(p)];
      if (ScreenStore::ValidField(f) && (d.Screen[U(f)].Flag & kFlagMasterKey)) ++keys;
    }
    if (keys > 0) return;
    std::string marked;
    for (int j = 0; j < StoredFieldCount(store_, i); ++j)
      if (d.Screen[U(j)].Flag & kFlagMasterKey) marked += (marked.empty() ? "" : ", ") + N(j);
    if (marked.empty()) {
      Add(kRuleMasterWithoutKeys, i, -1,
          "master screen without key fields: it matches no new screen");
    } else {
      Add(kRuleMasterWithoutKeys, i, -1,
          "master screen whose key fields (" + marked +
              ") are not in its position index (Indice): it matches no new screen");
    }
  }

  // ---- what the terminal shows ----

  // The fields the terminal screen takes, in the order the gateway emits
  // them: orders 0, 1, 2, ... each to the first field met in a pass that has
  // it, until a pass finds none.  *missing is the order that ends the screen.
  static std::vector<bool> Rendered(const ScreenDef& d, int fields, int* missing) {
    std::vector<bool> taken(U(std::max(fields, 0)), false);
    int k = 0;
    for (bool productive = true; productive;) {
      productive = false;
      for (int j = 0; j < fields; ++j) {
        if (d.Screen[U(j)].Order != k) continue;
        taken[U(j)] = true;
        ++k;
        productive = true;
      }
    }
    *missing = k;
    return taken;
  }

  // A master that no host screen identifies as lends its settings only
  // through the fields of its position index; those are the ones that can
  // reach a terminal.
  std::vector<bool> CopiedFields(int i, int fields) const {
    std::vector<bool> copied(U(std::max(fields, 0)), false);
    for (std::int32_t f : store_.Indice[U(i)])
      if (f >= 0 && f < fields) copied[U(f)] = true;
    return copied;
  }

  void TerminalFields(int i) {
    const ScreenDef& d = store_.Screens[U(i)];
    const int fields = VisitedFields(store_, i);
    const bool live = d.ScreenId != 0;
    int missing = 0;
    const std::vector<bool> rendered =
        live ? Rendered(d, fields, &missing) : CopiedFields(i, fields);
    const std::int32_t width = options_.Number(Option::kDisplayLen);
    for (int j = 0; j < fields; ++j) {
      const FieldDef& f = d.Screen[U(j)];
      const bool input = f.InputField != 0;
      if (input && live && !rendered[U(j)]) {
        HiddenByOrder(i, j, missing);
        continue;
      }
      if (!rendered[U(j)]) continue;
      if (f.Show != 1) {
        if (input)
          Add(kRuleHiddenInput, i, j,
              "input field with Show " + N(f.Show) + ": the terminal never asks for it");
        continue;
      }
      if (f.Divided) {
        if (input)
          Add(kRuleHiddenInput, i, j,
              "input field divided into parts: the parts are shown but take no input");
        if (live) DividedParts(i, j, width);
        continue;
      }
      if (width <= 0 || f.Size <= width) continue;
      if (!input && f.flag2 == kFlag2Scroll) continue;  // scrolls on the terminal
      Add(kRuleTooWide, i, j,
          std::string(input ? "input field of " : "") + "Size " + N(f.Size) +
              " is wider than the display (DisplayLen " + N(width) + ")");
    }
  }

  void HiddenByOrder(int i, int j, int missing) {
    const ScreenDef& d = store_.Screens[U(i)];
    const int order = d.Screen[U(j)].Order;
    if (order < 0) {
      Add(kRuleHiddenInput, i, j,
          "input field with Order " + N(order) + ": the terminal never shows it");
      return;
    }
    if (order > missing) {
      Add(kRuleHiddenInput, i, j,
          "input field with Order " + N(order) + " after a gap: no field has Order " + N(missing) +
              ", where the terminal screen ends");
      return;
    }
    for (int other = 0; other < VisitedFields(store_, i); ++other) {
      if (other != j && d.Screen[U(other)].Order == order) {
        Add(kRuleHiddenInput, i, j,
            "input field with Order " + N(order) + ", which field " + N(other) +
                " takes first: the terminal never shows it");
        return;
      }
    }
  }

  // Entries the gateway looks at when it shows a divided field.
  std::vector<int> PartsOf(int i, int j) const {
    std::vector<int> parts;
    for (int k = 0; k <= std::min(store_.DivideFieldsCt, kMaxDivision); ++k) {
      const DividedField& e = store_.DivideFields[U(k)];
      if (e.ScrNum == i && e.FieldNum == j) parts.push_back(k);
    }
    return parts;
  }

  void DividedParts(int i, int j, std::int32_t width) {
    const std::vector<int> parts = PartsOf(i, j);
    if (parts.empty()) {
      Add(kRuleDivisionMissingField, i, j,
          "divided field without parts (DivideFields): it shows nothing");
      return;
    }
    for (int k : parts) {
      const std::int32_t size = store_.DivideFields[U(k)].Size;
      if (width > 0 && size > width)
        Add(kRuleTooWide, i, j,
            "part of Size " + N(size) + " is wider than the display (DisplayLen " + N(width) + ")",
            k);
    }
  }

  // ---- keys ----

  void CheckKeys(int i, int field, const std::string& member, const std::string& keys,
                 bool logoffLast, const char* followedBy = nullptr) {
    std::string why;
    if (CheckKeyText(keys, logoffLast, &why)) return;
    if (followedBy) {
      // The text ends in a logoff word only the next keys keep from working.
      std::string alone;
      if (CheckKeyText(keys, true, &alone)) {
        Add(kRuleUnsendableKeys, i, field,
            member + " " + Quoted(keys) + " is followed by " + followedBy +
                ", so its logoff word is sent as keys");
        return;
      }
    }
    Add(kRuleUnsendableKeys, i, field, member + " " + Quoted(keys) + ": " + why);
  }

  void Keys(int i) {
    const ScreenDef& d = store_.Screens[U(i)];
    // Escape and the function keys queue their keys, then KeysAfterEnter; a
    // screen the terminal never sees is answered with its EscKey alone.
    const bool after = !text::TrimBlanks(d.KeysAfterEnter).empty();
    const char* followedBy = after ? "KeysAfterEnter" : nullptr;
    CheckKeys(i, -1, "EscKey", d.EscKey, !after || d.DontSendToTerminal > 0, followedBy);
    CheckKeys(i, -1, "KeysAfterEnter", d.KeysAfterEnter, true);
    for (int k = 0; k < 8; ++k)
      CheckKeys(i, -1, "TeclasFuncaoVal" + N(k + 1), d.TeclasFuncaoVal[U(k)], !after, followedBy);
    const RepeatRule& r = store_.AdvScreens[U(i)];
    if (!r.Active) return;
    const bool terminate = !text::TrimBlanks(r.TKeys).empty();
    CheckKeys(i, -1, "AdvScreens.Keys1", r.Keys1, !terminate, terminate ? "TKeys" : nullptr);
    CheckKeys(i, -1, "AdvScreens.Keys2", r.Keys2, !terminate, terminate ? "TKeys" : nullptr);
    CheckKeys(i, -1, "AdvScreens.TKeys", r.TKeys, true);
  }

  // ---- join formulas ----

  void JoinFormulas(int i) {
    const ScreenDef& d = store_.Screens[U(i)];
    const int count = StoredFieldCount(store_, i);
    for (int j = 0; j < VisitedFields(store_, i); ++j) {
      const std::string& formula = d.Screen[U(j)].JoinField;
      if (formula.empty()) continue;
      const std::string shown = "JoinField " + Quoted(formula);
      const JoinScan scan = ScanJoinFormula(formula);
      for (const JoinToken& t : scan.tokens) {
        if (!t.closed) {
          Add(kRuleJoinMissingField, i, j, shown + ": " + t.name + "( has no \")\"");
        } else if (t.field < 0 || t.field >= count) {
          Add(kRuleJoinMissingField, i, j,
              shown + ": " + t.name + " reads field " + N(t.field) +
                  ", which does not exist (the screen has " + N(count) + " fields)");
        }
      }
      for (std::size_t k = 0; k < scan.keys.size(); ++k) {
        const std::string& keys = scan.keys[k];
        std::string misread;
        for (const char* name : {"@ADX(", "@ADD(", "@EQU("})
          if (misread.empty() && keys.find(name) != std::string::npos) misread = name;
        if (!misread.empty()) {
          Add(kRuleJoinMissingField, i, j,
              shown + ": " + misread.substr(0, 4) +
                  " is not read as a token there (after a token only @ADX, @ADD, @EQU in that "
                  "order are) and goes to "
                  "the host as keys");
          continue;
        }
        std::string why;
        if (!CheckKeyText(keys, k + 1 == scan.keys.size(), &why))
          Add(kRuleUnsendableKeys, i, j, shown + ": " + why);
      }
    }
  }

  // ---- repeat rules ----

  void Repeat(int i) {
    const RepeatRule& r = store_.AdvScreens[U(i)];
    if (!r.Active) return;
    if (r.Counter == 1) {
      // The count starts from the session's user id: any number.
      if (r.SubCounter1 <= 0) {
        Add(kRuleEndlessRepeat, i, -1,
            "repeat rule never ends for a count above IfCounter " + N(r.IfCounter) +
                ": SubCounter1 is " + N(r.SubCounter1));
      } else if (r.IfCounter > 0 && r.SubCounter2 <= 0) {
        Add(kRuleEndlessRepeat, i, -1,
            "repeat rule never ends for a count from 1 to IfCounter " + N(r.IfCounter) +
                ": SubCounter2 is " + N(r.SubCounter2));
      }
      return;
    }
    std::int64_t count = r.Counter == 2 ? r.CounterVal : 0;
    const std::int64_t start = count;
    int steps = 0;
    for (; count > r.IfCounter && steps <= kMaxRepeatSteps; ++steps) count -= r.SubCounter1;
    if (steps > kMaxRepeatSteps) {
      Add(kRuleEndlessRepeat, i, -1,
          r.SubCounter1 <= 0
              ? "repeat rule never ends: the count " + N(start) + " stays above IfCounter " +
                    N(r.IfCounter) + " with SubCounter1 " + N(r.SubCounter1)
              : "repeat rule needs more than " + N(kMaxRepeatSteps) + " steps of Keys1 (count " +
                    N(start) + ", SubCounter1 " + N(r.SubCounter1) +
                    "); the gateway stops and sends nothing");
      return;
    }
    const std::int64_t middle = count;
    for (steps = 0; count > 0 && steps <= kMaxRepeatSteps; ++steps) count -= r.SubCounter2;
    if (steps > kMaxRepeatSteps) {
      Add(kRuleEndlessRepeat, i, -1,
          r.SubCounter2 <= 0 ? "repeat rule never ends: the count " + N(middle) +
                                   " stays above 0 with SubCounter2 " + N(r.SubCounter2)
                             : "repeat rule needs more than " + N(kMaxRepeatSteps) +
                                   " steps of Keys2 (count " + N(middle) + ", SubCounter2 " +
                                   N(r.SubCounter2) + "); the gateway stops and sends nothing");
    }
  }

  // ---- divided-field entries ----

  void Divisions() {
    const int used = std::min(store_.DivideFieldsCt, kDivisionSlots);
    for (int k = 0; k < used; ++k) {
      const DividedField& e = store_.DivideFields[U(k)];
      if (e.ScrNum == -1 || !AnyKept(e)) continue;  // removed, or never used
      if (e.ScrNum < 0 || e.ScrNum > last_) {
        Add(kRuleDivisionMissingField, -1, -1,
            "divided-field entry for screen " + N(e.ScrNum) + " field " + N(e.FieldNum) +
                ": the screen does not exist (screens 0.." + N(last_) + ")",
            k);
        continue;
      }
      const int count = StoredFieldCount(store_, e.ScrNum);
      if (e.FieldNum < 0 || e.FieldNum >= count) {
        Add(kRuleDivisionMissingField, e.ScrNum, e.FieldNum,
            "divided-field entry for field " + N(e.FieldNum) +
                ", which does not exist (the screen has " + N(count) + " fields)",
            k);
      } else if (!store_.Screens[U(e.ScrNum)].Screen[U(e.FieldNum)].Divided) {
        Add(kRuleDivisionMissingField, e.ScrNum, e.FieldNum,
            "divided-field entry for a field that is not divided: the part is never shown", k);
      }
    }
  }

  const ScreenStore& store_;
  const GeneralOptions& options_;
  int last_;
  std::vector<LintFinding> findings_;
};

}  // namespace

std::vector<LintFinding> LintConfiguration(const ScreenStore& store,
                                           const GeneralOptions& options) {
  std::vector<LintFinding> findings;
  const std::int32_t width = options.Number(Option::kDisplayLen);
  if (width <= 0) {
    LintFinding f;
    f.rule = kRuleTooWide;
    f.reason = "DisplayLen " + Quoted(options.Text(Option::kDisplayLen)) +
               " is no display width: every field is too wide";
    findings.push_back(std::move(f));
  }
  for (LintFinding& f : Linter(store, options).Run()) findings.push_back(std::move(f));
  return findings;
}

std::string FormatFinding(const LintFinding& f) {
  std::string where;
  auto part = [&](const char* name, int v) {
    if (v >= 0) where += (where.empty() ? "" : " ") + std::string(name) + " " + std::to_string(v);
  };
  part("line", f.line);
  part("screen", f.screen);
  part("field", f.field);
  part("division", f.division);
  if (where.empty()) where = "general";
  return where + ": " + f.reason + " [" + f.rule + "]";
}

}  // namespace tervo::config
