#include "screens/write_back.h"

#include <charconv>
#include <cmath>

#include "config/text.h"

namespace tervo::screens {

using text::Mid;
using text::Width;

namespace {

const std::string kZeros(255, '0');
const std::string kBlanks(255, ' ');

// A non-negative number as plain decimal text: "12", "12.5", "0.25".
std::string DecimalText(double v) {
  char buf[400];
  auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed);
  if (r.ec != std::errc()) return "0";
  return std::string(buf, r.ptr);
}

bool InputInhibited(const host5250::HostDisplay& display) {
  std::string status1;
  std::string status2;
  display.QueryStatus(status1, status2);
  return host5250::InputInhibited(status1);
}

std::string LiveText(ScreenContext& ctx, int session, int field) {
  host5250::HostDisplay* display = ctx.Display(session);
  return display != nullptr ? display->Fields().Item(field).Text : std::string();
}

}  // namespace

std::string FormatFieldText(const std::string& text, int type, int justify, int length) {
  const std::size_t l = Width(length);
  if (type < 7) {
    switch (justify) {
      case 0:
      case 3:
        return text::Left(text + kBlanks, l);
      case 1:
        return text::Right((text.empty() ? kBlanks : kZeros) + text, l);
      case 2:
        return text::Right(kBlanks + text, l);
      default:
        return text;
    }
  }
  if (type == 7 || type == 9 || type == 11) return text::Right(kZeros + text, l);
  if (type == 8) {
    const std::string number = DecimalText(std::fabs(text::LeadingNumber(text)));
    return text::Right(kZeros + number, length > 1 ? l - 1 : 0);
  }
  if (type == 10) return text::Left(text + kBlanks, l);
  return text;
}

std::string FormatHostFieldText(ScreenContext& ctx, const std::string& text, int session,
                                int field) {
  host5250::HostDisplay* display = ctx.Display(session);
  if (display == nullptr) return FormatFieldText(text, 0, 0, 0);
  const host5250::DisplayField f = display->Fields().Item(field);
  return FormatFieldText(text, f.Type, f.Justify, f.Length);
}

std::string InterleaveRows(const std::string& a, const std::string& b) {
  std::string out;
  for (long k = 1; k <= static_cast<long>(a.size()); k += 80) {
    out += Mid(a, k, 80);
    out += Mid(b, k, 80);
  }
  return out;
}

void SendKeysAndWait(ScreenContext& ctx, const std::string& keys, int session) {
  if (!SessionState::ValidSession(session)) return;
  // The keys become the session's queue (empty keys leave it empty, so no
  // piece of an earlier queue goes out in their place), and its first piece
  // is sent at once; the poll loop sends the rest.
  ctx.sessions.PendingKeys[static_cast<std::size_t>(session)] = keys;
  if (ctx.runPendingKeys) ctx.runPendingKeys("", session);
  host5250::HostDisplay* display = ctx.Display(session);
  if (display == nullptr || !ctx.processEvents) return;
  // The host may take as long as it likes; events keep being processed, so
  // the gateway stays responsive meanwhile.
  while (InputInhibited(*display)) ctx.processEvents();
}

std::string EvaluateJoinField(ScreenContext& ctx, const std::string& formula, int session,
                              int field) {
  if (!SessionState::ValidSession(session)) return "";
  const auto idx = static_cast<std::size_t>(session);
  ctx.sessions.ReadyToSendFlag[idx] = false;
  std::string current = LiveText(ctx, session, field);
  std::string keys;
  const long len = static_cast<long>(formula.size());

  // Handles a token `name` if one starts at p: sends the keys so far, reads
  // the field number into n and moves p past the ")".
  auto token = [&](long& p, const char* name, int& n) -> bool {
    if (Mid(formula, p, 4) != name) return false;
    SendKeysAndWait(ctx, keys, session);
    keys.clear();
    const std::size_t close = formula.find(')', static_cast<std::size_t>(p - 1));
    const long end = close == std::string::npos ? len + 1 : static_cast<long>(close) + 1;
    if (close == std::string::npos) {
      ctx.log.WriteLog("Join field without ')': " + formula, false);
    }
    const double v = text::RoundHalfEven(text::LeadingNumber(Mid(formula, p + 5, end - (p + 5))));
    n = v < 0 ? -1 : v > 1e9 ? 1000000000 : static_cast<int>(v);
    p = end + 1;
    return true;
  };

  for (long p = 1; p <= len; ++p) {
    if (p < len - 4) {
      int n = 0;
      if (token(p, "@ADX", n)) {
        const std::string joined = InterleaveRows(current, LiveText(ctx, session, n));
        const int scr = ctx.CurrentScreenOf(session);
        // The capture has slots 0..500 only; a larger number changes nothing.
        if (ctx.store.ValidScreen(scr) && config::ScreenStore::ValidField(n)) {
          ctx.store.Originals[static_cast<std::size_t>(scr)].Text[static_cast<std::size_t>(n)] =
              joined;
        }
        current = joined;
      }
      if (token(p, "@ADD", n)) current += LiveText(ctx, session, n);
      if (token(p, "@EQU", n)) current = LiveText(ctx, session, n);
    }
    keys += Mid(formula, p, 1);
  }
  if (!keys.empty()) SendKeysAndWait(ctx, keys, session);
  ctx.sessions.ReadyToSendFlag[idx] = true;
  return current;
}

}  // namespace tervo::screens
