#include "platform/host5250/trace.h"

#include <fstream>
#include <regex>
#include <sstream>

#include "platform/host5250/datastream.h"
#include "platform/host5250/telnet.h"

namespace tervo::host5250::testing {

std::string TracePath(const std::string& name) { return std::string(TERVO_TEST_DATA) + "/5250-traces/" + name; }

static std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

std::string Unhex(const std::string& hex) {
  std::string out;
  for (std::size_t i = 0; i + 1 < hex.size(); i += 2) out.push_back(static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16)));
  return out;
}

std::string Hex(const std::string& bytes) {
  static const char* d = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : bytes) {
    out.push_back(d[c >> 4]);
    out.push_back(d[c & 15]);
  }
  return out;
}

std::vector<TraceStep> LoadTrace(const std::string& name) {
  const std::string text = ReadAll(TracePath(name));
  std::vector<TraceStep> steps;
  std::regex step(R"(!(server|client) \{data: ([0-9A-Fa-f]+))");
  for (auto it = std::sregex_iterator(text.begin(), text.end(), step); it != std::sregex_iterator(); ++it) {
    steps.push_back(TraceStep{(*it)[1] == "server", Unhex((*it)[2])});
  }
  return steps;
}

std::vector<std::string> HtmlScreen(const std::string& name) {
  std::string html = ReadAll(TracePath(name));
  const std::size_t a = html.find("<pre");
  const std::size_t b = html.rfind("</pre>");
  std::string body = html.substr(a, b - a);
  body = std::regex_replace(body, std::regex("<[^>]*>"), "");
  body = std::regex_replace(body, std::regex("&gt;"), ">");
  body = std::regex_replace(body, std::regex("&lt;"), "<");
  body = std::regex_replace(body, std::regex("&amp;"), "&");
  std::vector<std::string> rows;
  std::stringstream ss(body);
  std::string line;
  while (std::getline(ss, line)) rows.push_back(line);
  while (!rows.empty() && rows.back().empty()) rows.pop_back();
  return rows;
}

void Feed(Tn5250Session& s, const std::string& bytes, Split split, std::mt19937& rng) {
  switch (split) {
    case Split::kWhole:
      s.Receive(bytes.data(), bytes.size());
      break;
    case Split::kByteByByte:
      for (char c : bytes) s.Receive(&c, 1);
      break;
    case Split::kRandom: {
      std::size_t i = 0;
      while (i < bytes.size()) {
        std::size_t n = std::uniform_int_distribution<std::size_t>(1, 9)(rng);
        n = std::min(n, bytes.size() - i);
        s.Receive(bytes.data() + i, n);
        i += n;
      }
      break;
    }
  }
}

std::string HostRecord(const std::string& payload) {
  ds::RecordHeader h;
  h.opcode = ds::kOpPutGet;
  return telnet::Record(ds::BuildRecord(h, payload));
}

}  // namespace tervo::host5250::testing
