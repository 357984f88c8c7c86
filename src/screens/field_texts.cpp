#include "screens/field_texts.h"

#include "config/text.h"
#include "screens/capture.h"
#include "screens/join_field.h"

namespace tervo::screens {

using text::Mid;
using text::Width;

namespace {

std::string Fit(ScreenContext& ctx, const std::string& text, int width) {
  if (ctx.fitFieldText) return ctx.fitFieldText(text, width);
  return text::Left(text::TrimBlanks(text), Width(width));
}

}  // namespace

int PrepareFieldTextsFrom(ScreenContext& ctx, int session, int from) {
  if (ctx.screensReport.Active) return -1;
  if (!SessionState::ValidSession(session)) return -1;
  const int scr = ctx.CurrentScreenOf(session);
  if (!ctx.store.ValidScreen(scr)) return -1;
  const bool hasTexts = config::ScreenStore::ValidTextScreen(scr);
  std::string scratch;  // stands in for the texts of a screen above 180
  auto shown = [&](int i) -> std::string& {
    return hasTexts
               ? ctx.store.ScreensText[static_cast<std::size_t>(scr)][static_cast<std::size_t>(i)]
               : scratch;
  };
  host5250::HostDisplay* display = ctx.Display(session);

  const int last = LastFieldIndex(ctx, session);
  for (int i = from < 0 ? 0 : from; i <= last; ++i) {
    const auto k = static_cast<std::size_t>(i);
    config::FieldDef& def = ctx.store.Screens[static_cast<std::size_t>(scr)].Screen[k];
    const std::string& hostText = ctx.store.Originals[static_cast<std::size_t>(scr)][k].Text;
    if (def.Show != 0) {
      const std::int32_t bits = def.flag2;
      if (bits & config::kFlag2Summarized) shown(i) = Fit(ctx, hostText, def.Size);
      if (bits & config::kFlag2Truncated) {
        shown(i) = text::Left(text::TrimBlanks(hostText), Width(def.Size));
      }
      if (bits & config::kFlag2Scroll) {
        shown(i) = text::TrimBlanks(hostText);
        def.AuxText = Fit(ctx, hostText, def.SizeTextAux);
      }
      if (bits & config::kFlag2AutoNL) shown(i) = hostText;
      if (bits & config::kFlag2AddUserId) shown(i) = ctx.sessions[session].SessionUser;
      if (bits & config::kFlag2SubUserId) shown(i) = ctx.sessions[session].SessionUser + "-";
      if (bits & config::kFlag2InvertInput) {
        shown(i) = text::Left(text::TrimBlanks(hostText), Width(def.Size));
      }
      if (bits & config::kFlag2VarAux) shown(i) = ctx.sessions[session].SessionVarAux;
      if (bits & config::kFlag2Words) {
        shown(i) = ctx.fitWords ? ctx.fitWords(hostText, def.Size) : Fit(ctx, hostText, def.Size);
      }
      if (display != nullptr && display->Fields().Item(i).Hidden) shown(i).clear();
    } else {
      shown(i).clear();
    }
    if (def.UserId & (config::kUserIdGetUser | config::kUserIdGetVarAux)) {
      const std::string value = text::Left(text::TrimBlanks(hostText), Width(def.Size));
      if (def.UserId & config::kUserIdGetUser) ctx.sessions[session].SessionUser = value;
      if (def.UserId & config::kUserIdGetVarAux) ctx.sessions[session].SessionVarAux = value;
    }
    if (!def.JoinField.empty()) return i;
  }
  return -1;
}

void SetJoinedFieldText(ScreenContext& ctx, int session, int field, const std::string& text) {
  const int scr = ctx.CurrentScreenOf(session);
  if (!config::ScreenStore::ValidTextScreen(scr) || !config::ScreenStore::ValidField(field)) return;
  ctx.store.ScreensText[static_cast<std::size_t>(scr)][static_cast<std::size_t>(field)] = text;
}

void PrepareFieldTexts(ScreenContext& ctx, int session) {
  for (int i = PrepareFieldTextsFrom(ctx, session, 0); i >= 0;
       i = PrepareFieldTextsFrom(ctx, session, i + 1)) {
    const int scr = ctx.CurrentScreenOf(session);
    const std::string formula = ctx.store.Screens[static_cast<std::size_t>(scr)]
                                    .Screen[static_cast<std::size_t>(i)]
                                    .JoinField;
    SetJoinedFieldText(ctx, session, i, EvaluateJoinField(ctx, formula, session, i));
  }
}

}  // namespace tervo::screens
