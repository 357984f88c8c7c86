#include "reports/screens_report.h"

#include <algorithm>

#include "config/text.h"
#include "editors/auto_fill.h"
#include "editors/terminal_preview.h"

namespace tervo::reports {

namespace {

std::size_t U(int i) { return static_cast<std::size_t>(i); }

// The highest screen number the report pages to: the configuration's, never
// beyond the tables.
int LastScreen(const config::ScreenStore& store) {
  return std::clamp<int>(store.NumeroMaximoDeEcrans, 0, store.ScreenTableSize() - 1);
}

}  // namespace

std::string StatusWord(const config::ScreenDef& def) {
  switch (def.Master) {
    case config::kScreenFree:
      return "UNDEFINED";
    case config::kScreenMaster:
      return "MASTER";
    case config::kScreenDefined:
      return "DEFINED";
    case config::kScreenCopy: {
      // Numbers are written with a leading space where a sign would go.
      const std::int32_t n = def.MultipleInputFather;
      return "COPY FROM MASTER " + std::string(n >= 0 ? " " : "") + std::to_string(n);
    }
    default:
      return std::to_string(def.Master);
  }
}

ScreensReport::ScreensReport(screens::ScreenContext& ctx, Hooks hooks)
    : ctx_(ctx), hooks_(std::move(hooks)) {}

const config::ScreenDef* ScreensReport::Def() const {
  return ctx_.store.ValidScreen(show_) ? &ctx_.store.Screens[U(show_)] : nullptr;
}

void ScreensReport::Changed() {
  if (hooks_.markUnsaved) hooks_.markUnsaved();
}

void ScreensReport::MoveTo(int screen) {
  show_ = screen;
  field_ = -1;
  if (ctx_.screensReport.Active) ctx_.screensReport.Screen = show_;
}

void ScreensReport::Open() {
  refill_.clear();
  refillNext_ = 0;
  MoveTo(0);
  Plus();
}

void ScreensReport::Close() {
  refill_.clear();
  refillNext_ = 0;
  ctx_.screensReport = {};
}

void ScreensReport::Plus() {
  const auto& store = ctx_.store;
  const int last = LastScreen(store);
  int s = show_;
  if (s < last) ++s;
  while (s < last && store.Screens[U(s)].ScreenId == 0) ++s;
  MoveTo(s);
}

void ScreensReport::Minus() {
  const auto& store = ctx_.store;
  int s = std::min(show_, LastScreen(store));
  if (s > 1) --s;
  while (s > 1 && store.Screens[U(s)].ScreenId == 0) --s;
  MoveTo(s);
}

bool ScreensReport::TypeNumber(const std::string& typed) {
  const double value = text::LeadingNumber(typed);
  if (value > LastScreen(ctx_.store) || !(value > 0)) return false;
  const int s = static_cast<int>(text::RoundHalfEven(value));
  if (s < 1) return false;
  if (s != show_) MoveTo(s);
  return true;
}

void ScreensReport::Clear() {
  ctx_.store.ResetScreenDef(show_);
  Changed();
  Plus();
}

// The capture is what automatic configuration builds from; without one it
// would only wipe the definition.
bool ScreensReport::AutoFillEnabled() const {
  return ctx_.store.ValidScreen(show_) && ctx_.store.Originals[U(show_)].Count > 0;
}

void ScreensReport::BuildByReportSession(int screen) {
  ctx_.sessions[kReportSession].CurrentScreen = screen;
  if (hooks_.setCurrentSession) hooks_.setCurrentSession(kReportSession);
  editors::AutoFillScreen(ctx_, kReportSession);
}

void ScreensReport::AutoFill() {
  if (!AutoFillEnabled()) return;
  BuildByReportSession(show_);
  Changed();
}

int ScreensReport::StartRefill() {
  refill_.clear();
  refillNext_ = 0;
  const int last = LastScreen(ctx_.store);
  for (int s = 0; s <= last; ++s)
    if (ctx_.store.Screens[U(s)].Master == config::kScreenCopy) refill_.push_back(s);
  return RefillTotal();
}

bool ScreensReport::RefillStep() {
  if (!Refilling()) return false;
  const int s = refill_[U(refillNext_++)];
  // A configuration loaded meanwhile may have fewer screens.
  if (ctx_.store.ValidScreen(s)) {
    BuildByReportSession(s);
    Changed();
  }
  return Refilling();
}

bool ScreensReport::AutoRepeat() const {
  return ctx_.store.ValidScreen(show_) && ctx_.store.AdvScreens[U(show_)].Active;
}

void ScreensReport::SetAutoRepeat(bool on) {
  if (!ctx_.store.ValidScreen(show_)) return;
  ctx_.store.AdvScreens[U(show_)].Active = on;
  Changed();
}

bool ScreensReport::Skip() const { return Def() && Def()->DontSendToTerminal != 0; }

void ScreensReport::SetSkip(bool on) {
  if (!ctx_.store.ValidScreen(show_)) return;
  ctx_.store.Screens[U(show_)].DontSendToTerminal = on ? 1 : 0;
  Changed();
}

bool ScreensReport::Activated() const { return ctx_.screensReport.Active; }

void ScreensReport::SetActivate(bool on) { ctx_.screensReport = {on, on ? show_ : 0}; }

std::int32_t ScreensReport::ScreenId() const { return Def() ? Def()->ScreenId : 0; }
std::string ScreensReport::Status() const { return Def() ? StatusWord(*Def()) : std::string(); }
std::string ScreensReport::IdTerminal() const { return Def() ? Def()->ScreenIdTerminal : ""; }
bool ScreensReport::IdTerminalChecked() const { return Def() && Def()->CheckScreenIdTerm == 1; }
std::string ScreensReport::IdUser() const { return Def() ? Def()->ScreenIdUser : ""; }
bool ScreensReport::IdUserChecked() const { return Def() && Def()->CheckScreenIdUser == 1; }

std::string ScreensReport::Preview() const {
  return ScreenId() > 0 ? editors::CreateTerminalSt(ctx_.store, show_) : std::string();
}

ReportImage ScreensReport::Image() const { return BuildReportImage(ctx_.store, show_); }

int ScreensReport::Click(int offset, Span* span) {
  field_ = -1;
  if (!ctx_.store.ValidScreen(show_)) return -1;
  const std::vector<std::int32_t>& index = ctx_.store.Indice[U(show_)];
  offset = std::clamp(offset, 0, kImageLength - 1);
  for (;; --offset) {
    const int p = PositionAtOffset(offset);
    if (config::ScreenStore::ValidPosition(p) && index[U(p)] >= 0) {
      field_ = index[U(p)];
      break;
    }
    if (offset <= 0) return -1;
  }
  if (span) *span = FieldSpan(ctx_.store.Originals[U(show_)], field_);
  return field_;
}

}  // namespace tervo::reports
