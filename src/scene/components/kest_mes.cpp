#include "scene/components/kest_mes.h"

#include <algorithm>

#include "common/errors.h"
#include "common/sjis.h"
#include "common/stream.h"
#include "scene/kest_base.h"
#include "scene/kest_base_list.h"
#include "text/var_evaluator.h"

namespace kest {

namespace {

// The lines of a text (CR LF, CR or LF between them) as event arguments.
TArrayString Lines(const std::string& text) {
  TArrayString out;
  size_t at = 0;
  while (at <= text.size()) {
    const size_t end = std::min(text.find_first_of("\r\n", at), text.size());
    out.Add(text.substr(at, end - at));
    if (end >= text.size()) break;
    at = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
  }
  return out;
}

std::vector<std::string> MarkupLines(const std::string& markup) { return Lines(markup).List(); }

void AppendCode(std::string& text, uint16_t code) {
  if (code > 0xFF) text += char(code >> 8);
  text += char(code & 0xFF);
}

}  // namespace

TKestMes::TKestMes(TKestBaseList& scene) : TKestControl(scene) {
  FEngine.AntiAlias = 3;
  FEngine.Paging = true;
  FEngine.TextSpeed = 0;
  // EVENT tags hold the reveal only where PR_ONNOTIFY takes them up.
  FEngine.EventsEnabled = false;
  FEngine.EventReceiver = [this](const std::string& event) { ReceiveEvent(event); };
}

TKestMes::~TKestMes() { FPages.clear(); }

std::string TKestMes::Reference(int32_t id) const { return std::get<std::string>(TKestControl::GetProp(id)); }

TWdPage* TKestMes::CurrentPage() const {
  return FPageIndex >= 0 && FPageIndex < PageCount() ? FPages[size_t(FPageIndex)].get() : nullptr;
}

bool TKestMes::ShowsPage() const { return Visible() && Parent() && CurrentPage(); }

bool TKestMes::Playing() const {
  const TWdPage* page = CurrentPage();
  return page && (FPageIndex < PageCount() - 1 || !page->Done);
}

void TKestMes::AnnouncePage() {
  const std::string reference = Reference(PR_ONPLAYSTART);
  if (!reference.empty()) {
    const bool read = FRecordState == 1 && !FSourcePage.empty() &&
                      Scene().Story().ReadList.IsRead(FSourcePage, FSourceCommand, FPageIndex);
    TArrayString args;
    args.Add(read ? "1" : "0");
    Scene().PostEvent(*this, reference, args, PR_ONPLAYSTART);
  }
  FSkipFrames = 1;
}

void TKestMes::SetText(const std::string& markup) {
  Invalidate();
  FSource.Lines.Clear();
  FLineGlyphs.clear();
  FRawText = markup;
  Scene().Story().History.Commit(Name());
  FHistoryOffset = 0;
  FPages.clear();
  FPageIndex = -1;
  PrepareEngine();
  FEngine.SetMarkup(MarkupLines(markup));
  if (IVarEvaluator* vars = Scene().TextEvaluator()) FEngine.ExpandVariables(0, FEngine.Count() - 1, false, *vars);
  LayoutGlyphs(FEngine, FPages);
  FPageIndex = 0;
  FScrollY = 0;
  if (FPages.empty()) return;
  // Hidden until the reveal reaches them, also for PR_TEXT before the first
  // update.
  FEngine.ResetReveal(*FPages[0]);
  FPrepare = FReset = true;
  AnnouncePage();
}

void TKestMes::ShowScriptText(std::span<const uint8_t> stream, const std::string& page, int32_t command, bool record) {
  FRecordState = record ? 1 : 0;
  FSourcePage = record ? page : std::string();
  FSourceCommand = record ? command : 0;
  FHistoryOffset = 0;
  FHistoryFlag = 0;
  FSource.Clear();
  FSource.Lines.Add({page, command, 0, -1, 0, {}});
  // As ReloadText, but from the text the command already holds.
  Invalidate();
  FRawText.clear();
  Scene().Story().History.Commit(Name());
  ResetPages();
  try {
    TByteStream in(stream);
    FEngine.LoadGlyphs(in);
  } catch (const EKestError&) {
    FEngine.Clear();
    return;
  }
  if (IVarEvaluator* vars = Scene().TextEvaluator()) FEngine.ExpandVariables(0, FEngine.Count() - 1, false, *vars);
  FLineGlyphs = {{0, FEngine.Count() - 1}};
  LayoutGlyphs(FEngine, FPages);
  if (FPages.empty()) return;
  FPrepare = FReset = true;
  ShowPage(0);
}

void TKestMes::ClearText() {
  FRecordState = 0;
  SetText(std::string());
}

void TKestMes::PrepareEngine() {
  FEngine.Fonts = Scene().Fonts();
  FEngine.Pictures = Scene().Pictures();
  FEngine.TextDelay = Scene().TextDelay();
  FEngine.Width = Width();
  FEngine.VisibleHeight = Height();
}

void TKestMes::ShowPage(int32_t index) {
  if (index < 0 || index >= PageCount() || index == FPageIndex) return;
  if (FPageIndex >= 0) Scene().Story().History.Commit(Name());
  FPageIndex = index;
  FScrollY = 0;
  AnnouncePage();
  RecordPage(index);
  FEngine.ResetReveal(*CurrentPage());
  FPrepare = FReset = true;
  Invalidate();
}

bool TKestMes::Update() {
  if (FSkipFrames >= 1) {
    --FSkipFrames;
    return false;
  }
  // A page's reveal begins once the script has taken up its start event.
  if (Scene().Events().IsWaiting(Ref(), PR_ONPLAYSTART)) return false;
  TWdPage* page = CurrentPage();
  if (FPrepare) {
    if (page) {
      FEngine.Fonts = Scene().Fonts();
      FEngine.Pictures = Scene().Pictures();
      if (FReset) FEngine.ResetReveal(*page);
      FEngine.PreparePage(*page);
      Invalidate();
    }
    FPrepare = FReset = false;
  }
  if (!page) return false;
  const bool wasDone = page->Done;
  const auto [done, revealed] = FEngine.StepReveal(*page, Clock().FrameDelta);
  if (!revealed.empty() || page->Fading.size() > 0 || done != wasDone) Invalidate();
  if (!revealed.empty() && !Reference(PR_ONPLAYING).empty()) {
    TArrayString args;
    args.Add(revealed);
    Scene().PostEvent(*this, Reference(PR_ONPLAYING), args, PR_ONPLAYING);
  }
  if (done && !wasDone) {
    Scene().Story().ReadList.Commit(Name());
    if (!Reference(PR_ONPLAYEND).empty())
      Scene().PostEvent(*this, Reference(PR_ONPLAYEND), TArrayString(), PR_ONPLAYEND);
  }
  return false;
}

void TKestMes::ReceiveEvent(const std::string& event) {
  const std::string reference = Reference(PR_ONNOTIFY);
  if (!reference.empty()) Scene().PostEvent(*this, reference, Lines(event), PR_ONNOTIFY);
}

void TKestMes::Paint(TCustomDIBX& surface) {
  const TWdPage* page = CurrentPage();
  if (!page) return;
  const TRect bounds = BoundsRect();
  TRect area{std::max(bounds.Left, surface.ClipRect.Left), std::max(bounds.Top, surface.ClipRect.Top),
             std::min(bounds.Right, surface.ClipRect.Right), std::min(bounds.Bottom, surface.ClipRect.Bottom)};
  if (!surface.ClipActive) area = bounds;
  if (area.IsEmpty()) return;
  const TRect savedClip = surface.ClipRect;
  const bool savedActive = surface.ClipActive;
  surface.ClipRect = area;
  surface.ClipActive = true;
  FEngine.Target = &surface;
  FEngine.OriginX = AbsLeft();
  FEngine.OriginY = AbsTop();
  FEngine.UpdateRect = area;
  FEngine.DrawPage(*page);
  surface.ClipRect = savedClip;
  surface.ClipActive = savedActive;
}

bool TKestMes::HitsSelf(int32_t x, int32_t y) {
  if (!FLinksOnly) return true;
  const TWdPage* page = CurrentPage();
  const TWdReal* glyph = page ? FEngine.GlyphAt(*page, x - AbsLeft(), y - AbsTop()) : nullptr;
  return glyph && !glyph->Link.empty();
}

void TKestMes::InvalidateLinks() {
  if (!Visible() || !BaseScreen()) return;
  for (const TRect& r : FEngine.LinkRects) BaseScreen()->AddDirtyRect(r);
}

void TKestMes::MouseMove() {
  TWdPage* page = CurrentPage();
  if (!ShowsPage() || !BaseScreen()) return TKestControl::MouseMove();
  int32_t x = -1, y = -1;
  if (!FStopped && page->Done) {
    const TBaseMouseState& mouse = Scene().Input().Base(BaseScreen()->Index());
    x = mouse.MouseX - AbsLeft();
    y = mouse.MouseY - AbsTop();
  }
  InvalidateLinks();
  FEngine.HoverLink(*page, x, y);
  InvalidateLinks();
}

void TKestMes::MouseOut(TKestControl* next) {
  TWdPage* page = CurrentPage();
  if (!ShowsPage()) return TKestControl::MouseOut(next);
  InvalidateLinks();
  FEngine.HoverLink(*page, -1, -1);
}

void TKestMes::LeftDown() {
  TWdPage* page = CurrentPage();
  const std::string reference = Reference(PR_ONLINK);
  if (!page || reference.empty() || !page->HoverLink || Scene().Events().IsWaiting(Ref(), PR_ONLINK))
    return TKestControl::LeftDown();
  // The run's visible text, then each line of its target.
  const auto* first = static_cast<const TWdReal*>(page->HoverLink);
  std::string text;
  bool in = false;
  for (const auto& row : page->Rows)
    for (const TWdGlyph* g : row->Glyphs) {
      if (g == first) in = true;
      if (!in) continue;
      const bool linked = (g->Kind() == TGlyphKind::Char || g->Kind() == TGlyphKind::VarChar) &&
                          static_cast<const TWdReal*>(g)->Link == first->Link;
      if (g != first && !linked && g->Kind() != TGlyphKind::Img) {
        in = false;
        continue;
      }
      if (linked) AppendCode(text, static_cast<const TWdChar*>(g)->CharCode);
    }
  TArrayString args;
  args.Add(text);
  const TArrayString target = Lines(first->Link);
  for (const std::string& line : target.List()) args.Add(line);
  Scene().PostEvent(*this, reference, args, PR_ONLINK);
  if (TKestBase* base = BaseScreen()) base->ConsumeLeftClick();
}

void TKestMes::ApplyPause() {
  const bool paused = FStopped || FTextPaused;
  if (paused == FEngine.Paused) return;
  FEngine.Paused = paused;
  if (!paused) RestartAccumulators();
}

// Paused or scrolled time is not made up at once.
void TKestMes::RestartAccumulators() {
  if (TWdPage* page = CurrentPage()) {
    page->WaitMs = 0;
    page->FadeAccumulator = 0;
    page->StartDelay = true;
  }
}

std::string TKestMes::RevealedText() const {
  const TWdPage* page = CurrentPage();
  std::string text;
  if (!page) return text;
  for (const auto& row : page->Rows) {
    for (const TWdGlyph* g : row->Glyphs) {
      if (g->Kind() == TGlyphKind::Space) continue;
      if (g->Kind() == TGlyphKind::Char || g->Kind() == TGlyphKind::VarChar) {
        if (static_cast<const TWdReal*>(g)->Alpha == 0) return text;
        AppendCode(text, static_cast<const TWdChar*>(g)->CharCode);
      } else if (g->Kind() == TGlyphKind::Img) {
        if (static_cast<const TWdReal*>(g)->Alpha == 0) return text;
      } else if (g->Kind() == TGlyphKind::Return || g->Kind() == TGlyphKind::VarReturn) {
        text += "\r\n";
      }
    }
  }
  return text;
}

TPropValue TKestMes::GetProp(int32_t id) const {
  switch (id) {
    case PR_FONTNAME: return FEngine.DefaultFontName;
    case PR_FONTHEIGHT: return FEngine.DefaultFontSize;
    case PR_FONTCOLOR: return FEngine.DefaultFontColor;
    case PR_LINESPACE: return FEngine.LineSpacing;
    case PR_FONTLINKCOLOR: return FEngine.LinkColor;
    case PR_FONTHOVERCOLOR: return FEngine.LinkHoverColor;
    case PR_FONTBORDERCOLOR: return FEngine.DefaultBorderColor;
    case PR_FONTBORDER: return FEngine.DefaultBorderWidth;
    case PR_FONTSHADOWCOLOR: return FEngine.DefaultShadowColor;
    case PR_FONTSHADOW: return FEngine.DefaultShadowOffset;
    case PR_ANTIALIAS: return FEngine.AntiAlias > 0;
    case PR_ALPHA: return FEngine.Alpha;
    case PR_DELAY: return FEngine.FadeTime;
    case PR_TEXTDELAY: return FSpeedRate;
    case PR_PAUSED: return FStopped;
    case PR_TEXTPAUSED: return FTextPaused;
    case PR_TEXT: return RevealedText();
    case PR_INDEX: return FPageIndex;
    case PR_COUNT: return PageCount();
    case PR_SCROLLY: return FScrollY;
    case PR_CARETX: return FEngine.CaretX;
    case PR_CARETY: return FEngine.CaretY;
    case PR_CARETHEIGHT: return FEngine.CaretHeight;
    case PR_CAPTURELINK: return FLinksOnly;
    case PR_PLAYING: return Playing();
    default: return TKestControl::GetProp(id);
  }
}

void TKestMes::SetProp(int32_t id, TPropValue value) {
  auto as_int = [&value] { return std::get<int32_t>(value); };
  auto restyle = [this] {
    if (CurrentPage()) FPrepare = true;
    Invalidate();
  };
  switch (id) {
    case PR_FONTNAME: FEngine.DefaultFontName = std::get<std::string>(value); return restyle();
    case PR_FONTHEIGHT: FEngine.DefaultFontSize = as_int(); return restyle();
    case PR_FONTCOLOR: FEngine.DefaultFontColor = as_int(); return restyle();
    case PR_LINESPACE: FEngine.LineSpacing = as_int(); return;
    case PR_FONTLINKCOLOR: FEngine.LinkColor = as_int(); return restyle();
    case PR_FONTHOVERCOLOR: FEngine.LinkHoverColor = as_int(); return restyle();
    case PR_FONTBORDERCOLOR: FEngine.DefaultBorderColor = as_int(); return restyle();
    case PR_FONTBORDER: FEngine.DefaultBorderWidth = as_int(); return restyle();
    case PR_FONTSHADOWCOLOR: FEngine.DefaultShadowColor = as_int(); return restyle();
    case PR_FONTSHADOW: FEngine.DefaultShadowOffset = as_int(); return restyle();
    case PR_ANTIALIAS: FEngine.AntiAlias = std::get<bool>(value) ? 3 : 0; return restyle();
    case PR_ALPHA: FEngine.Alpha = as_int(); return Invalidate();
    case PR_DELAY: FEngine.FadeTime = std::max(0, as_int()); return;
    case PR_TEXTDELAY:
      FSpeedRate = as_int();
      FEngine.TextSpeed = FSpeedRate;
      return;
    case PR_PAUSED: FStopped = std::get<bool>(value); return ApplyPause();
    case PR_TEXTPAUSED: FTextPaused = std::get<bool>(value); return ApplyPause();
    case PR_TEXT: FRecordState = 0; return SetText(std::get<std::string>(value));
    case PR_INDEX: return ShowPage(as_int());
    case PR_COUNT: return;
    case PR_SCROLLY:
      if (as_int() == FScrollY) return;
      FScrollY = as_int();
      if (TWdPage* page = CurrentPage()) page->ScrollOffset = FScrollY;
      RestartAccumulators();
      return Invalidate();
    case PR_CAPTURELINK: FLinksOnly = std::get<bool>(value); return;
    case PR_ONNOTIFY:
      TKestControl::SetProp(id, value);
      FEngine.EventsEnabled = !std::get<std::string>(value).empty();
      return;
    default: TKestControl::SetProp(id, std::move(value));
  }
}

}  // namespace kest
