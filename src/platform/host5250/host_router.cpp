#include "platform/host5250/host_router.h"

#include <cctype>

#include "platform/host5250/tn5250_client.h"

namespace tervo::host5250 {

namespace {

std::string Normalized(const std::string& name) {
  std::string s;
  for (char c : name) s.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
  std::size_t a = s.find_first_not_of(' ');
  if (a == std::string::npos) return {};
  return s.substr(a, s.find_last_not_of(' ') - a + 1);
}

}  // namespace

bool ResolveRouterName(const std::string& name, RouterKind* kind, std::string* err) {
  const std::string n = Normalized(name);
  if (n == "tn5250" || n == "walldata.tn5250" || n == "walldata.rumbarouter") {
    *kind = RouterKind::kTn5250;
    return true;
  }
  if (n == "demohost" || n == "walldata.demohost") {
    *kind = RouterKind::kDemoHost;
    return true;
  }
  if (err) *err = "Unknown host router \"" + name + "\" (use TN5250 or DemoHost)";
  return false;
}

std::unique_ptr<HostDisplay> CreateHostDisplay(const std::string& routerName,
                                               const RouterOptions& options, std::string* err) {
  RouterKind kind;
  if (!ResolveRouterName(routerName, &kind, err)) return nullptr;
  auto client = std::make_unique<Tn5250Client>();
  if (!client->SetCcsid(options.ccsid, err)) return nullptr;
  client->SetCaFile(options.caFile);
  if (kind == RouterKind::kDemoHost) {
    if (options.demoHostAddress.empty()) {
      if (err) *err = "The demo host is not running";
      return nullptr;
    }
    client->SetFixedSystem(options.demoHostAddress);
  }
  client->Link().name = routerName;
  return client;
}

}  // namespace tervo::host5250
