#include "prometheus_text.h"

#include <cmath>
#include <cstdlib>
#include <limits>
#include <set>

namespace tervo::e2e {

namespace {

bool NameStart(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == ':';
}
bool NameChar(char c) { return NameStart(c) || (c >= '0' && c <= '9'); }

bool ValidName(const std::string& s, bool label) {
  if (s.empty() || !NameStart(s[0]) || (label && s[0] == ':')) return false;
  for (char c : s)
    if (!NameChar(c) || (label && c == ':')) return false;
  return true;
}

// A float as the format writes one: digits with an optional fraction and
// exponent, or +Inf, -Inf, NaN.
bool ParseValue(const std::string& s, double* v) {
  if (s == "+Inf" || s == "Inf") {
    *v = std::numeric_limits<double>::infinity();
    return true;
  }
  if (s == "-Inf") {
    *v = -std::numeric_limits<double>::infinity();
    return true;
  }
  if (s == "NaN") {
    *v = std::numeric_limits<double>::quiet_NaN();
    return true;
  }
  std::size_t i = 0;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
  std::size_t digits = 0;
  while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) ++i, ++digits;
  if (i < s.size() && s[i] == '.') {
    ++i;
    while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) ++i, ++digits;
  }
  if (digits == 0) return false;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    ++i;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    std::size_t exp = 0;
    while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) ++i, ++exp;
    if (exp == 0) return false;
  }
  if (i != s.size()) return false;
  *v = std::strtod(s.c_str(), nullptr);
  return true;
}

std::string Key(const std::string& name, const Labels& labels) {
  std::string k = name + "{";
  for (const auto& [n, v] : labels) k += n + "=\"" + v + "\",";
  return k + "}";
}

bool ParseSample(const std::string& line, PromSample* out, std::string* why) {
  std::size_t i = 0;
  while (i < line.size() && NameChar(line[i])) ++i;
  out->name = line.substr(0, i);
  if (!ValidName(out->name, false)) return *why = "bad metric name", false;
  if (i < line.size() && line[i] == '{') {
    ++i;
    while (i < line.size() && line[i] != '}') {
      std::size_t n = i;
      while (i < line.size() && NameChar(line[i])) ++i;
      const std::string label = line.substr(n, i - n);
      if (!ValidName(label, true)) return *why = "bad label name", false;
      if (line.compare(i, 2, "=\"") != 0) return *why = "label without =\"", false;
      i += 2;
      std::string value;
      for (;; ++i) {
        if (i >= line.size()) return *why = "label value not closed", false;
        if (line[i] == '"') break;
        if (line[i] == '\\') {
          if (++i >= line.size()) return *why = "escape at the end", false;
          if (line[i] == 'n') {
            value += '\n';
          } else if (line[i] == '\\' || line[i] == '"') {
            value += line[i];
          } else {
            return *why = "bad escape in a label value", false;
          }
        } else {
          value += line[i];
        }
      }
      ++i;  // the closing quote
      if (!out->labels.emplace(label, value).second) return *why = "label twice", false;
      if (i < line.size() && line[i] == ',') {
        ++i;
        if (i < line.size() && line[i] == '}') return *why = "comma before }", false;
      } else if (i >= line.size() || line[i] != '}') {
        return *why = "labels not separated by a comma", false;
      }
    }
    if (i >= line.size()) return *why = "labels not closed", false;
    ++i;
  }
  if (i >= line.size() || line[i] != ' ') return *why = "no blank before the value", false;
  const std::string rest = line.substr(i + 1);
  const std::size_t blank = rest.find(' ');
  if (!ParseValue(rest.substr(0, blank), &out->value)) return *why = "bad value", false;
  if (blank != std::string::npos) {
    const std::string ts = rest.substr(blank + 1);
    if (ts.empty() || ts.find_first_not_of("-0123456789") != std::string::npos)
      return *why = "bad timestamp", false;
  }
  return true;
}

struct Histo {
  std::vector<std::pair<double, double>> buckets;  // le, count
  const double* sum = nullptr;
  const double* count = nullptr;
};

bool CheckHistograms(const PromPage& page, std::string* err) {
  std::map<std::string, Histo> all;
  for (const PromSample& s : page.samples) {
    for (const char* suffix : {"_bucket", "_sum", "_count"}) {
      const std::string sfx = suffix;
      if (s.name.size() <= sfx.size() ||
          s.name.compare(s.name.size() - sfx.size(), sfx.size(), sfx) != 0)
        continue;
      const std::string family = s.name.substr(0, s.name.size() - sfx.size());
      const auto type = page.types.find(family);
      if (type == page.types.end() || type->second != "histogram") continue;
      Labels rest = s.labels;
      Histo& h = all[Key(family, [&] {
        rest.erase("le");
        return rest;
      }())];
      if (sfx == "_sum") h.sum = &s.value;
      if (sfx == "_count") h.count = &s.value;
      if (sfx == "_bucket") {
        const auto le = s.labels.find("le");
        double bound = 0;
        if (le == s.labels.end() || !ParseValue(le->second, &bound))
          return *err = s.name + ": bucket without a valid le", false;
        h.buckets.emplace_back(bound, s.value);
      }
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
    if (!h.count || *h.count != h.buckets.back().second)
      return *err = key + ": +Inf bucket is not _count", false;
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
  std::set<std::string> closed;  // families whose lines have ended
  std::string current;
  std::set<std::string> seen;
  std::size_t start = 0;
  int number = 0;
  auto enter = [&](const std::string& family, std::string* why) {
    if (family == current) return true;
    if (!current.empty()) closed.insert(current);
    if (closed.count(family)) return *why = "lines of " + family + " are not together", false;
    current = family;
    return true;
  };
  while (start < text.size()) {
    const std::size_t end = text.find('\n', start);
    const std::string line = text.substr(start, end - start);
    start = end + 1;
    ++number;
    std::string why;
    auto fail = [&] {
      *err = "line " + std::to_string(number) + ": " + why + ": " + line;
      return false;
    };
    if (line.empty()) continue;
    if (line[0] == '#') {
      const bool help = line.rfind("# HELP ", 0) == 0;
      const bool type = line.rfind("# TYPE ", 0) == 0;
      if (!help && !type) continue;  // a comment
      const std::string rest = line.substr(7);
      const std::size_t blank = rest.find(' ');
      const std::string family = rest.substr(0, blank);
      const std::string what = blank == std::string::npos ? "" : rest.substr(blank + 1);
      if (!ValidName(family, false)) return why = "bad family name", fail();
      if (!enter(family, &why)) return fail();
      if (help) {
        if (!page->help.emplace(family, what).second) return why = "HELP twice", fail();
        for (std::size_t k = what.find('\\'); k != std::string::npos; k = what.find('\\', k + 2))
          if (k + 1 >= what.size() || (what[k + 1] != '\\' && what[k + 1] != 'n'))
            return why = "bad escape in HELP", fail();
      } else {
        static const std::set<std::string> kTypes = {"counter", "gauge", "histogram", "summary",
                                                     "untyped"};
        if (!kTypes.count(what)) return why = "unknown type", fail();
        if (!page->types.emplace(family, what).second) return why = "TYPE twice", fail();
        for (const PromSample& s : page->samples)
          if (s.name == family) return why = "TYPE after the samples", fail();
        if (what == "counter" &&
            (family.size() < 6 || family.compare(family.size() - 6, 6, "_total") != 0))
          return why = "a counter's name does not end in _total", fail();
      }
      continue;
    }
    PromSample s;
    if (!ParseSample(line, &s, &why)) return fail();
    std::string family = s.name;
    if (!page->types.count(family)) {
      for (const char* suffix : {"_bucket", "_sum", "_count"}) {
        const std::string sfx = suffix;
        if (family.size() > sfx.size() &&
            family.compare(family.size() - sfx.size(), sfx.size(), sfx) == 0) {
          const std::string base = family.substr(0, family.size() - sfx.size());
          const auto t = page->types.find(base);
          if (t != page->types.end() && (t->second == "histogram" || t->second == "summary")) {
            family = base;
            break;
          }
        }
      }
    }
    const auto type = page->types.find(family);
    if (type == page->types.end()) return why = "no TYPE for this sample", fail();
    if (type->second == "histogram" && family == s.name)
      return why = "a histogram sample without _bucket, _sum or _count", fail();
    if (!enter(family, &why)) return fail();
    if (!seen.insert(Key(s.name, s.labels)).second) return why = "series twice", fail();
    if (type->second == "counter" && !(s.value >= 0)) return why = "counter below 0", fail();
    page->samples.push_back(std::move(s));
  }
  return CheckHistograms(*page, err);
}

bool CountersNeverFall(const PromPage& before, const PromPage& after, std::string* err) {
  for (const PromSample& s : before.samples) {
    std::string family = s.name;
    for (const char* suffix : {"_bucket", "_sum", "_count"}) {
      const std::string sfx = suffix;
      if (family.size() > sfx.size() &&
          family.compare(family.size() - sfx.size(), sfx.size(), sfx) == 0 &&
          before.types.count(family.substr(0, family.size() - sfx.size())))
        family = family.substr(0, family.size() - sfx.size());
    }
    const auto type = before.types.find(family);
    if (type == before.types.end() || (type->second != "counter" && type->second != "histogram"))
      continue;
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
