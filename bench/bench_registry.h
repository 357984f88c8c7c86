// Benchmarks register themselves under a subcommand name; tervo-bench runs
// the one named on its command line.  Each prints "name value unit" lines.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace tervo::bench {

using BenchMain = std::function<int(const std::vector<std::string>& args)>;

std::map<std::string, BenchMain>& Registry();

struct Register {
  Register(const std::string& name, BenchMain main) { Registry()[name] = std::move(main); }
};

// Prints one result line in the form every benchmark shares.
void Report(const std::string& name, double value, const std::string& unit);

}  // namespace tervo::bench
