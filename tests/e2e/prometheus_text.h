// A strict reader of the Prometheus text exposition format, version 0.0.4,
// written from the format's description for the tests of the metrics page:
// what a scraper would refuse, and what makes a histogram or a counter
// nonsense, is an error here.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace tervo::e2e {

using Labels = std::map<std::string, std::string>;

struct PromSample {
  std::string name;
  Labels labels;
  double value = 0;
};

struct PromPage {
  std::map<std::string, std::string> types;  // family -> counter, gauge, histogram, ...
  std::map<std::string, std::string> help;
  std::vector<PromSample> samples;

  // The value of the series, or nullptr when the page does not have it.
  const double* Find(const std::string& name, const Labels& labels = {}) const;
  // The value, or -1 when absent (every value on our page is >= 0).
  double Value(const std::string& name, const Labels& labels = {}) const;
};

// Reads a page.  Besides the syntax (names, label escapes, values without
// timestamps, one family's lines together, HELP and TYPE once and before
// the samples) it
// checks: every sample belongs to a family with a TYPE; no series twice;
// counters end in "_total" and are not negative; a histogram has, per label
// set, buckets in rising "le" order whose counts never fall, a "+Inf"
// bucket equal to its _count, and a _sum.  False with *err naming the line.
bool ParsePromText(const std::string& text, PromPage* page, std::string* err);

// Every counter and histogram series of before is in after and not smaller:
// what a scraper sees of counters that are not reset.  False with *err.
bool CountersNeverFall(const PromPage& before, const PromPage& after, std::string* err);

}  // namespace tervo::e2e
