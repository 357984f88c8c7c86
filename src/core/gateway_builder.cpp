#include "core/gateway_builder.h"

#include "config/config_reader.h"
#include "config/text.h"
#include "config/user_settings.h"
#include "core/http_endpoint.h"
#include "core/scaled_clock.h"
#include "platform/radio/tls_setup.h"
#include "platform/radio/web_page.h"

namespace tervo::core {

namespace {

// Bad lines are kept until the gateway's log exists.
class CountingPrompt : public config::LoadPrompt {
 public:
  void ReportBadLine(const config::BadLine& bad) override { lines.push_back(bad.Message()); }
  std::vector<std::string> lines;
};

}  // namespace

bool BuildGateway(const GatewayConfig& config, GatewayUi& ui, BuiltGateway* out, std::string* err) {
  if (config.sessionCount < 0 || config.sessionCount > screens::kSessionSlots - 1) {
    *err = "SessionCount must be 1 to 32";
    return false;
  }
  auto settings = std::make_unique<config::UserSettings>(config.settingsFile);
  std::string base = config.configBase;
  if (base.empty()) base = settings->FileName();

  auto store = std::make_unique<config::ScreenStore>();
  auto options = std::make_unique<config::GeneralOptions>();
  CountingPrompt prompt;
  int bad = 0;
  out->configLoaded = config::LoadDataFromFile2(base, *store, *options, prompt, &bad);
  out->badLines = bad;
  // For this run only: saving writes the configured address, not this one.
  if (!config.radioAddress.empty())
    options->SetRunOverride(Option::kTCPIPAddr, config.radioAddress);

  std::unique_ptr<os::Clock> clock;
  if (config.timeScale != 1.0) {
    clock = std::make_unique<ScaledClock>(config.timeScale, os::SystemClock().Now());
  } else {
    clock = std::make_unique<os::SystemClock>();
  }

  ProgramServiceOptions so;
  so.logFolder = config.logFolder;
  so.demoHostAddress = config.demoHostAddress;
  auto services = std::make_unique<ProgramServices>(so, *store, *options, *clock);
  out->services = services.get();

  // The link's own log lines go to the gateway's debug log once it exists.
  auto logTarget = std::make_shared<Gateway*>(nullptr);
  radio::RadioLinkOptions ro;
  ro.log = [logTarget](const std::string& line) {
    if (*logTarget) (*logTarget)->WriteLog(line, false);
  };
  // The link's keys and certificates are the machine's, not the
  // configuration's: they stay out of the .TVO (docs/settings.md).
  auto security = [&](const char* key) {
    return settings->Get(config::kRadioApplication, "Security", key, "");
  };
  ro.keyFile = security("KeyFile");
  if (ro.keyFile.empty()) ro.keyFile = radio::TerminalKeys::DefaultPath(settings->OverrideFile());
  ro.tls = {security("TlsCertificate"), security("TlsKey"), security("TlsClientCa")};
  ro.clock = clock.get();

  // The terminal page's listener.  Its port belongs to the machine, like
  // the certificates: a setting, or --http-port for one run.
  std::vector<std::pair<std::string, bool>> webLines;  // logged once the gateway exists
  const std::string httpText =
      !config.httpPort.empty() ? config.httpPort
                               : settings->Get(config::kRadioApplication, "Web", "HttpPort", "");
  HttpListen listen;
  std::string httpErr;
  if (!ParseHttpListen(httpText, options->Text(Option::kTCPIPAddr), &listen, &httpErr)) {
    webLines.emplace_back("web: " + httpErr + "; the terminal page is not served", true);
  } else if (listen.enabled) {
    std::optional<QSslConfiguration> tls;
    QSslConfiguration conf;
    if (ro.tls.Enabled() && !radio::ServerTlsConfiguration(ro.tls, &conf, &httpErr)) {
      // No silent fall-back to clear text, as for the terminals' link.
      webLines.emplace_back("web: TLS: " + httpErr + "; the terminal page is not served", true);
    } else {
      if (ro.tls.Enabled()) tls = conf;
      http::ServerOptions ho;
      ho.log = [logTarget](const std::string& line) {
        if (*logTarget) (*logTarget)->WriteLog(line, false);
      };
      auto server = std::make_unique<http::Server>(ho);
      if (server->Listen(listen.address, listen.port, tls, &httpErr)) {
        radio::ServeTerminalPage(*server);
        ro.web = server.get();
        ro.webPath = radio::kTerminalSocketPath;
        out->pageAddress = PageAddress(*server);
        webLines.emplace_back("web: terminal page at " + out->pageAddress, false);
        out->http = std::move(server);
      } else {
        webLines.emplace_back("web: " + httpErr + "; the terminal page is not served", true);
      }
    }
  }
  auto radio = std::make_unique<radio::WireRadioLink>(ro);
  out->radio = radio.get();
  // A ComPort that is not a number names the serial device itself
  // ("/dev/ttyUSB0"); the port number then reads as 0 and is not used.
  const std::string comPort = text::TrimBlanks(options->Text(Option::kComPort));
  std::int32_t portNumber = 0;
  std::string notNumber;
  if (!comPort.empty() && !text::ToInt32(comPort, &portNumber, &notNumber))
    radio->SetSerialDevice(comPort);

  const int sessions = config.sessionCount > 0 ? config.sessionCount : DefaultSessionCount(*store);

  GatewayParts parts;
  parts.store = std::move(store);
  parts.options = std::move(options);
  parts.radio = std::move(radio);
  parts.clock = std::move(clock);
  parts.timers = std::make_unique<os::QtTimers>(config.timeScale);
  parts.settings = std::move(settings);
  parts.services = std::move(services);
  parts.ui = &ui;
  out->gateway = std::make_unique<Gateway>(std::move(parts));
  *logTarget = out->gateway.get();
  out->gateway->SetConfigPath(base);
  out->gateway->SetSessionCount(sessions);
  for (const auto& line : prompt.lines) out->gateway->WriteLog(line, false);
  for (const auto& [line, show] : webLines) out->gateway->WriteLog(line, show);
  return true;
}

}  // namespace tervo::core
