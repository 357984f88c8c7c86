#include "reports/monitoring.h"

#include <algorithm>
#include <charconv>
#include <vector>

#include "config/json_writer.h"
#include "config/text.h"
#include "config/windows1252.h"
#include "core/gateway.h"
#include "core/gateway_builder.h"
#include "reports/gateway_status.h"

namespace tervo::reports {

namespace {

// The sessions that can serve a terminal: those with a terminal id.
struct SessionRef {
  int s = 0;
  std::string id;  // trimmed, Windows-1252
};

std::vector<SessionRef> ServedSessions(core::Gateway& g) {
  std::vector<SessionRef> out;
  for (int s = 0; s < g.SessionCount(); ++s) {
    std::string id = text::TrimBlanks(g.Store().TerminalIDDef[static_cast<std::size_t>(s)]);
    if (!id.empty()) out.push_back({s, std::move(id)});
  }
  return out;
}

bool HostConnected(core::Gateway& g, int s) {
  const host5250::HostDisplay* d = g.Display(s);
  return d != nullptr && d->IsConnected();
}

std::string Number(double v) {
  char buf[64];
  const auto r = std::to_chars(buf, buf + sizeof buf, v);
  return std::string(buf, r.ptr);
}

// A label value: UTF-8, with backslash, double quote and line feed escaped.
std::string LabelValue(const std::string& bytes) {
  std::string utf8;
  config::AppendUtf8(&utf8, bytes);
  std::string out;
  for (char c : utf8) {
    if (c == '\\') {
      out += "\\\\";
    } else if (c == '"') {
      out += "\\\"";
    } else if (c == '\n') {
      out += "\\n";
    } else {
      out += c;
    }
  }
  return out;
}

class Page {
 public:
  void Family(const char* name, const char* type, const char* help) {
    out_ += std::string("# HELP ") + name + " " + help + "\n";
    out_ += std::string("# TYPE ") + name + " " + type + "\n";
  }
  void Sample(const std::string& name, const std::string& labels, const std::string& value) {
    out_ += name;
    if (!labels.empty()) out_ += "{" + labels + "}";
    out_ += " " + value + "\n";
  }
  void Sample(const std::string& name, const std::string& labels, std::uint64_t value) {
    Sample(name, labels, std::to_string(value));
  }
  std::string Take() { return std::move(out_); }

 private:
  std::string out_;
};

std::string SessionLabels(const SessionRef& r) {
  return "session=\"" + std::to_string(r.s) + "\",terminal=\"" + LabelValue(r.id) + "\"";
}

const char* RadioWord(GatewayStatus::Radio radio) {
  switch (radio) {
    case GatewayStatus::Radio::kUp:
      return "up";
    case GatewayStatus::Radio::kRetrying:
      return "retrying";
    case GatewayStatus::Radio::kDown:
      return "down";
    case GatewayStatus::Radio::kNotUsed:
      break;
  }
  return "not used";
}

GatewayStatus Status(core::Gateway& g, const LinkFacts& link) {
  return ReadGatewayStatus(g, !g.StartupFinished(), link.terminalConnected);
}

bool TerminalConnected(const LinkFacts& link, const std::string& id) {
  return link.terminalConnected && link.terminalConnected(id);
}

// The day the utilization table counts into.
int CounterDay(core::Gateway& g) {
  const int day = g.Counters().day;
  return day >= 1 && day <= 31 ? day : std::clamp(g.Clock().Now().day, 1, 31);
}

}  // namespace

Serving ReadServing(core::Gateway& g) {
  if (g.ShutDown()) return {false, "stopping"};
  if (!g.Started() || !g.StartupFinished()) return {false, "starting"};
  if (g.RadioUp()) return {true, ""};
  if (text::TrimBlanks(g.Options().Text(config::Option::kComPort)).empty())
    return {false, "no radio base"};
  return {false, "radio link down"};
}

std::string MetricsText(core::Gateway& g, const LinkFacts& link) {
  const GatewayStatus st = Status(g, link);
  const std::vector<SessionRef> sessions = ServedSessions(g);
  const core::RunMetrics& m = g.Metrics();
  Page p;

  p.Family("tervo_serving", "gauge", "1 while /healthz answers 200: the gateway serves terminals.");
  p.Sample("tervo_serving", "", ReadServing(g).serving ? 1 : 0);
  p.Family("tervo_radio_link_up", "gauge", "1 when the radio link is up.");
  p.Sample("tervo_radio_link_up", "", st.radio == GatewayStatus::Radio::kUp ? 1 : 0);
  p.Family("tervo_sessions", "gauge", "Sessions served (one terminal and one host session each).");
  p.Sample("tervo_sessions", "", static_cast<std::uint64_t>(st.sessions));
  p.Family("tervo_terminals_connected", "gauge", "Terminals of the sessions the radio link holds.");
  p.Sample("tervo_terminals_connected", "", static_cast<std::uint64_t>(st.terminals));
  p.Family("tervo_host_sessions_connected", "gauge", "Sessions whose 5250 host session is open.");
  p.Sample("tervo_host_sessions_connected", "", static_cast<std::uint64_t>(st.hostSessions));
  p.Family("tervo_configuration_unsaved", "gauge",
           "1 when the configuration has changes that are not saved.");
  p.Sample("tervo_configuration_unsaved", "", st.unsaved ? 1 : 0);

  auto perSession = [&](const char* name, const char* type, const char* help, auto value) {
    p.Family(name, type, help);
    for (const SessionRef& r : sessions) p.Sample(name, SessionLabels(r), value(r));
  };
  perSession("tervo_terminal_connected", "gauge", "1 when the radio link holds the terminal.",
             [&](const SessionRef& r) -> std::uint64_t { return TerminalConnected(link, r.id); });
  perSession("tervo_host_session_connected", "gauge", "1 when the session's host session is open.",
             [&](const SessionRef& r) -> std::uint64_t { return HostConnected(g, r.s); });
  perSession("tervo_host_session_unreachable", "gauge",
             "1 when the session's last connection never reached the host.",
             [&](const SessionRef& r) -> std::uint64_t { return m.Unreachable(r.s); });

  p.Family("tervo_terminal_battery_volts", "gauge",
           "The terminal's last battery reading; absent until it reported one.");
  for (const SessionRef& r : sessions) {
    const int mv = g.Radio().BatteryLevel(r.id);
    if (mv >= 0) p.Sample("tervo_terminal_battery_volts", SessionLabels(r), Number(mv / 1000.0));
  }

  const auto& today = g.Counters().DailyScreens[static_cast<std::size_t>(CounterDay(g))];
  perSession(
      "tervo_daily_screens", "gauge",
      "Today's entry of the utilization table (the graph's Today), kept across restarts.",
      [&](const SessionRef& r) { return std::to_string(today[static_cast<std::size_t>(r.s)]); });

  perSession("tervo_screens_sent_total", "counter", "Screens sent to the terminal.",
             [&](const SessionRef& r) { return m.Counts(r.s).screensSent; });
  perSession("tervo_answers_processed_total", "counter",
             "Terminal answers whose values and keys went to the host.",
             [&](const SessionRef& r) { return m.Counts(r.s).answersProcessed; });
  perSession("tervo_answers_dropped_total", "counter",
             "Terminal answers that did not reach the host (refused or dropped).",
             [&](const SessionRef& r) {
               const std::uint64_t refused = link.answersRefused ? link.answersRefused(r.id) : 0;
               return m.Counts(r.s).answersDropped + refused;
             });
  perSession("tervo_host_errors_total", "counter",
             "Host error messages sent to the terminal and keys the host refused.",
             [&](const SessionRef& r) { return m.Counts(r.s).hostErrors; });
  perSession("tervo_host_unreachable_total", "counter",
             "Host connections that never reached the host.",
             [&](const SessionRef& r) { return m.Counts(r.s).hostUnreachable; });
  perSession("tervo_screens_defined_total", "counter",
             "Unknown host screens given a definition automatically.",
             [&](const SessionRef& r) { return m.Counts(r.s).screensDefined; });

  const char* h = "tervo_answer_to_screen_seconds";
  p.Family(h, "histogram", "From a terminal's answer to the next screen sent to it.");
  const core::LatencyHistogram& lat = m.Latency();
  for (std::size_t i = 0; i < core::kLatencyBounds.size(); ++i)
    p.Sample(std::string(h) + "_bucket", "le=\"" + Number(core::kLatencyBounds[i]) + "\"",
             lat.atOrBelow[i]);
  p.Sample(std::string(h) + "_bucket", "le=\"+Inf\"", lat.count);
  p.Sample(std::string(h) + "_sum", "", Number(lat.sumSeconds));
  p.Sample(std::string(h) + "_count", "", lat.count);
  return p.Take();
}

http::Response HealthResponse(core::Gateway& g, const LinkFacts& link) {
  const Serving serving = ReadServing(g);
  const GatewayStatus st = Status(g, link);
  const core::RunMetrics& m = g.Metrics();
  http::Response r;
  r.status = serving.serving ? 200 : 503;
  r.contentType = "application/json";
  r.headers.emplace_back("Cache-Control", "no-store");
  config::JsonWriter w(&r.body);
  w.BeginObject();
  w.MemberText("status", serving.serving ? "serving" : "not serving");
  if (!serving.serving) w.MemberText("reason", serving.reason);
  w.MemberText("radio", RadioWord(st.radio));
  w.MemberText("configuration", st.unsaved ? "unsaved" : "saved");
  w.Member("sessionCount", st.sessions);
  w.Member("terminalsConnected", st.terminals);
  w.Member("hostSessionsConnected", st.hostSessions);
  w.Key("sessions");
  w.BeginArray();
  for (const SessionRef& s : ServedSessions(g)) {
    w.BeginObject(true);
    w.Member("session", s.s);
    w.MemberText("terminal", s.id);
    w.MemberBool("terminalConnected", TerminalConnected(link, s.id));
    if (HostConnected(g, s.s)) {
      w.MemberText("host", "connected");
    } else if (m.Unreachable(s.s)) {
      w.MemberText("host", "unreachable");
      w.MemberText("hostReason", m.UnreachableReason(s.s));
    } else {
      w.MemberText("host", "not connected");
    }
    w.EndObject();
  }
  w.EndArray();
  w.EndObject();
  r.body += "\n";
  return r;
}

void ServeMonitoring(core::BuiltGateway& built) {
  if (!built.http) return;
  auto facts = [&built] {
    LinkFacts f;
    if (radio::WireRadioLink* link = built.radio) {
      f.terminalConnected = [link](const std::string& id) { return link->IsTerminalConnected(id); };
      f.answersRefused = [link](const std::string& id) { return link->AnswersRefused(id); };
    }
    return f;
  };
  built.http->Route("/metrics", [&built, facts](const http::Request&) {
    if (!built.gateway) return http::Response::Text(503, "stopping");
    http::Response r;
    r.contentType = kMetricsContentType;
    r.headers.emplace_back("Cache-Control", "no-store");
    r.body = MetricsText(*built.gateway, facts());
    return r;
  });
  built.http->Route("/healthz", [&built, facts](const http::Request&) {
    if (!built.gateway) {
      http::Response r =
          http::Response::Text(503, "{\"status\": \"not serving\", \"reason\": \"stopping\"}");
      r.contentType = "application/json";
      return r;
    }
    return HealthResponse(*built.gateway, facts());
  });
}

}  // namespace tervo::reports
