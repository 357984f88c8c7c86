#include "prometheus_text.h"

#include <cmath>
#include <cstdlib>
#include <set>

namespace tervo::e2e {

namespace {

bool NameChar(char c, bool first) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == ':' ||
         (!first && c >= '0' && c <= '9');
}

bool ValidName(const std::string& s, bool label) {
  for (std::size_t i = 0; i < s.size(); ++i)
    if (!NameChar(s[i], i == 0) || (label && s[i] == ':')) return false;
  return !s.empty();
}

bool EndsWith(const std::string& s, const std::string& end) {
  return s.size() > end.size() && s.compare(s.size() - end.size(), end.size(), end) == 0;
}

// A float as the format writes one: decimal digits, a fraction and an
// exponent (no hex, no "inf"), or +Inf, -Inf, NaN.
bool ParseValue(const std::string& s, double* v) {
  if (s == "+Inf" || s == "-Inf" || s == "NaN") {
    *v = s == "NaN" ? NAN : s[0] == '-' ? -INFINITY : INFINITY;
    return true;
  }
  if (s.empty() || s.find_first_not_of("+-.0123456789eE") != std::string::npos) return false;
  char* end = nullptr;
  *v = std::strtod(s.c_str(), &end);
  return end == s.c_str() + s.size();
}

std::string Key(const std::string& name, const Labels& labels) {
  std::string k = name + "{";
  for (const auto& [n, v] : labels) k += n + "=\"" + v + "\",";
  return k + "}";
}

// The family a sample belongs to: its own name, or a histogram's.
std::string FamilyOf(const PromPage& page, const std::string& name) {
  if (page.types.count(name)) return name;
  for (const char* suffix : {"_bucket", "_sum", "_count"})
    if (EndsWith(name, suffix)) {
      const std::string base = name.substr(0, name.size() - std::string(suffix).size());
      const auto t = page.types.find(base);
      if (t != page.types.end() && t->second == "histogram") return base;
    }
  return "";
}

bool ParseSample(const std::string& line, PromSample* out, std::string* why) {
  std::size_t i = line.find_first_of("{ ");
  out->name = line.substr(0, i);
  if (!ValidName(out->name, false)) return *why = "bad metric name", false;
  if (i < line.size() && line[i] == '{') {
    for (++i; i < line.size() && line[i] != '}';) {
      const std::size_t eq = line.find("=\"", i);
      if (eq == std::string::npos) return *why = "label without =\"", false;
      const std::string label = line.substr(i, eq - i);
      if (!ValidName(label, true)) return *why = "bad label name", false;
      std::string value;
      for (i = eq + 2; i < line.size() && line[i] != '"'; ++i) {
        if (line[i] != '\\') {
          value += line[i];
        } else if (++i < line.size() && (line[i] == '\\' || line[i] == '"' || line[i] == 'n')) {
          value += line[i] == 'n' ? '\n' : line[i];
        } else {
          return *why = "bad escape in a label value", false;
        }
      }
      if (i++ >= line.size()) return *why = "label value not closed", false;
      if (!out->labels.emplace(label, value).second) return *why = "label twice", false;
      if (i < line.size() && line[i] == ',' && i + 1 < line.size() && line[i + 1] != '}') {
        ++i;
      } else if (i >= line.size() || line[i] != '}') {
        return *why = "labels not separated or closed", false;
      }
    }
    ++i;
  }
  if (i >= line.size() || line[i] != ' ') return *why = "no blank before the value", false;
  if (!ParseValue(line.substr(i + 1), &out->value)) return *why = "bad value", false;
  return true;
}

bool CheckHistograms(const PromPage& page, std::string* err) {
  struct Histo {
    std::vector<std::pair<double, double>> buckets;  // le, count
    double count = -1;
    bool sum = false;
  };
  std::map<std::string, Histo> all;
  for (const PromSample& s : page.samples) {
    const std::string family = FamilyOf(page, s.name);
    if (page.types.at(family) != "histogram") continue;
    Labels rest = s.labels;
    rest.erase("le");
    Histo& h = all[Key(family, rest)];
    if (EndsWith(s.name, "_sum")) h.sum = true;
    if (EndsWith(s.name, "_count")) h.count = s.value;
    if (EndsWith(s.name, "_bucket")) {
      double le = 0;
      if (!s.labels.count("le") || !ParseValue(s.labels.at("le"), &le))
        return *err = s.name + ": bucket without a valid le", false;
      h.buckets.emplace_back(le, s.value);
    }
  }
  for (const auto& [key, h] : all) {
    if (h.buckets.empty() || !std::isinf(h.buckets.back().first))
      return *err = key + ": no +Inf bucket last", false;
    for (std::size_t i = 1; i < h.buckets.size(); ++i) {
      if (!(h.buckets[i].first > h.buckets[i - 1].first))
        return *err = key + ": le not rising", false;
      if (h.buckets[i].second < h.buckets[i - 1].second)
        return *err = key + ": bucket counts fall", false;
    }
    if (h.count != h.buckets.back().second) return *err = key + ": +Inf is not _count", false;
    if (!h.sum) return *err = key + ": no _sum", false;
  }
  return true;
}

}  // namespace

const double* PromPage::Find(const std::string& name, const Labels& labels) const {
  for (const PromSample& s : samples)
    if (s.name == name && s.labels == labels) return &s.value;
  return nullptr;
}

double PromPage::Value(const std::string& name, const Labels& labels) const {
  const double* v = Find(name, labels);
  return v ? *v : -1;
}

bool ParsePromText(const std::string& text, PromPage* page, std::string* err) {
  *page = {};
  if (!text.empty() && text.back() != '\n') return *err = "the last line has no line feed", false;
  std::set<std::string> closed, seen;  // families whose lines ended; series
  std::string current;
  int number = 0;
  for (std::size_t start = 0, end; start < text.size(); start = end + 1) {
    end = text.find('\n', start);
    const std::string line = text.substr(start, end - start);
    ++number;
    std::string why;
    auto fail = [&] {
      return *err = "line " + std::to_string(number) + ": " + why + ": " + line, false;
    };
    auto enter = [&](const std::string& family) {
      if (family == current) return true;
      closed.insert(current);
      current = family;
      return !closed.count(family) || (why = "lines of " + family + " not together", false);
    };
    if (line.empty() ||
        (line[0] == '#' && line.rfind("# HELP ", 0) != 0 && line.rfind("# TYPE ", 0) != 0))
      continue;  // a blank line, a comment
    if (line[0] == '#') {
      const std::string rest = line.substr(7);
      const std::string family = rest.substr(0, rest.find(' '));
      const std::string what = rest.size() > family.size() ? rest.substr(family.size() + 1) : "";
      if (!ValidName(family, false)) return why = "bad family name", fail();
      if (!enter(family)) return fail();
      auto& table = line[2] == 'H' ? page->help : page->types;
      if (!table.emplace(family, what).second) return why = "HELP or TYPE twice", fail();
      if (line[2] == 'H') continue;
      if (!std::set<std::string>{"counter", "gauge", "histogram", "summary", "untyped"}.count(what))
        return why = "unknown type", fail();
      if (what == "counter" && !EndsWith(family, "_total"))
        return why = "a counter's name does not end in _total", fail();
      continue;
    }
    PromSample s;
    if (!ParseSample(line, &s, &why)) return fail();
    const std::string family = FamilyOf(*page, s.name);
    if (family.empty()) return why = "no TYPE before this sample", fail();
    if (page->types[family] == "histogram" && family == s.name)
      return why = "a histogram sample without _bucket, _sum or _count", fail();
    if (!enter(family)) return fail();
    if (!seen.insert(Key(s.name, s.labels)).second) return why = "series twice", fail();
    if (page->types[family] == "counter" && !(s.value >= 0)) return why = "counter below 0", fail();
    page->samples.push_back(std::move(s));
  }
  return CheckHistograms(*page, err);
}

bool CountersNeverFall(const PromPage& before, const PromPage& after, std::string* err) {
  for (const PromSample& s : before.samples) {
    const std::string type = before.types.at(FamilyOf(before, s.name));
    if (type != "counter" && type != "histogram") continue;
    const double* now = after.Find(s.name, s.labels);
    if (!now) return *err = Key(s.name, s.labels) + " is gone", false;
    if (*now < s.value)
      return *err = Key(s.name, s.labels) + " fell from " + std::to_string(s.value) + " to " +
                    std::to_string(*now),
             false;
  }
  return true;
}

}  // namespace tervo::e2e
