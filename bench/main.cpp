#include <QCoreApplication>
#include <cstdio>

#include "bench_registry.h"

namespace tervo::bench {

std::map<std::string, BenchMain>& Registry() {
  static std::map<std::string, BenchMain> registry;
  return registry;
}

void Report(const std::string& name, double value, const std::string& unit) {
  std::printf("%s %.3f %s\n", name.c_str(), value, unit.c_str());
  std::fflush(stdout);
}

}  // namespace tervo::bench

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  auto& registry = tervo::bench::Registry();
  if (argc < 2 || !registry.count(argv[1])) {
    std::fprintf(stderr, "usage: tervo-bench BENCHMARK [args]\nbenchmarks:");
    for (const auto& [name, unused] : registry) std::fprintf(stderr, " %s", name.c_str());
    std::fprintf(stderr, "\n");
    return 2;
  }
  std::vector<std::string> args(argv + 2, argv + argc);
  return registry[argv[1]](args);
}
