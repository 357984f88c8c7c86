#include "platform/radio/web_page.h"

#include <QFile>

namespace tervo::radio {

namespace {

// What every answer of the page carries: the page runs only its own
// script and style, talks only to its own listener, and is not framed by
// other sites (nothing typed can be overlaid or read by them).
void Harden(http::Response* r) {
  r->headers.emplace_back("Content-Security-Policy",
                          "default-src 'none'; script-src 'self'; style-src 'self'; "
                          "img-src 'self'; connect-src 'self'; manifest-src 'self'; "
                          "base-uri 'none'; form-action 'none'; frame-ancestors 'none'");
  r->headers.emplace_back("X-Content-Type-Options", "nosniff");
  r->headers.emplace_back("Referrer-Policy", "no-referrer");
  // A new version of the gateway brings its own page: always ask.
  r->headers.emplace_back("Cache-Control", "no-cache");
}

http::Server::Handler File(const char* resource, const char* type) {
  return [resource, type](const http::Request&) {
    QFile f(QString::fromLatin1(resource));
    if (!f.open(QIODevice::ReadOnly)) return http::Response::Text(500, "page not built in");
    http::Response r;
    r.contentType = type;
    r.body = f.readAll().toStdString();
    Harden(&r);
    return r;
  };
}

}  // namespace

void ServeTerminalPage(http::Server& server) {
  server.Route("/", File(":/web/terminal.html", "text/html; charset=utf-8"));
  server.Route("/terminal.css", File(":/web/terminal.css", "text/css; charset=utf-8"));
  server.Route("/terminal.js", File(":/web/terminal.js", "text/javascript; charset=utf-8"));
  server.Route("/terminal.svg", File(":/web/terminal.svg", "image/svg+xml"));
}

}  // namespace tervo::radio
