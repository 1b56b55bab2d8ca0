#pragma once
// A message window: story text laid out into screenfuls (pages), each
// revealed character by character, with the events a script waits on (a
// page starts, characters appear, a page ends, a link is clicked, the text
// reaches an EVENT tag).
#include <cstdint>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "scene/kest_control.h"
#include "text/history/mes_data.h"
#include "text/text_layout.h"
#include "text/tp_word.h"

namespace kest {

class TKestMes : public TKestControl {
 public:
  explicit TKestMes(TKestBaseList& scene);
  ~TKestMes() override;
  TComponentKind Kind() const override { return LT_MES; }
  int32_t ScrollY() const override { return FScrollY; }
  TPropValue GetProp(int32_t id) const override;
  void SetProp(int32_t id, TPropValue value) override;
  bool Update() override;
  void Paint(TCustomDIBX& surface) override;
  bool HitsSelf(int32_t x, int32_t y) override;
  void MouseMove() override;
  void MouseOut(TKestControl* next) override;
  void LeftDown() override;
  void SaveState(TStream& stream) const override;
  void LoadState(TStream& stream, int32_t version) override;

  // The PR_TEXT setter: the markup parsed, expanded and laid out, its first
  // page announced. A markup error reaches the caller; the window then has
  // no pages.
  void SetText(const std::string& markup);
  // The PR_INDEX setter: another page, revealed from its beginning.
  void ShowPage(int32_t index);
  // A page's stored text (a glyph stream) shown from its first page; with
  // record, its screenfuls go to the history and the read marks. A damaged
  // stream leaves the window without pages.
  void ShowScriptText(std::span<const uint8_t> stream, const std::string& page, int32_t command, bool record);
  // TextClr: no text, nothing recorded.
  void ClearText();
  // The pages built again from the display source; with announce the first
  // page's start event is posted, asHistory expands history-only variables.
  void ReloadText(bool announce, bool asHistory);
  // A history filled the display source: it is shown from its first page.
  // flag is CallHist's: entries then run on one after another instead of
  // each starting a page. offset is the first line's top against the shown
  // range (0 or less).
  void ShowHistory(bool flag, int32_t offset);
  // CallHist's flag, kept even when it finds nothing to show.
  bool HistoryFlag() const { return FHistoryFlag != 0; }
  void SetHistoryFlag(bool flag) { FHistoryFlag = flag ? 1 : 0; }
  // After a game load: the text built again and each page's reveal put back
  // where it was saved.
  void RestoreText();
  TKestNewMesData& DisplaySource() { return FSource; }
  uint8_t RecordState() const { return FRecordState; }
  int32_t PageIndex() const { return FPageIndex; }
  int32_t PageCount() const { return static_cast<int32_t>(FPages.size()); }
  // A page is shown and it is not the last one or its reveal is not done.
  bool Playing() const;
  TTpWord& Engine() { return FEngine; }

 private:
  TWdPage* CurrentPage() const;
  // Fonts, pictures, @TextDelay and the text area, before a text is built.
  void PrepareEngine();
  // The window's own event references (the common ones are the control's).
  std::string Reference(int32_t id) const;
  void AnnouncePage();
  void ReceiveEvent(const std::string& event);
  void ApplyPause();
  void RestartAccumulators();
  // The text of the current page up to its first glyph not yet revealed.
  std::string RevealedText() const;
  void InvalidateLinks();
  bool ShowsPage() const;
  // The screenful becomes the histories' and read marks' pending one.
  void RecordPage(int32_t index);
  // The engine's glyphs first..last of a page (last: its final glyph).
  std::pair<int32_t, int32_t> GlyphSpan(int32_t index) const;
  void ResetPages();
  void Rebuild(bool asHistory);
  void RebuildRestored();
  void CopyRecord(const TMesDataRecord& record, TTpWord& word, bool asHistory);
  void CopyEntry(const TMesDataRecord& record, TTpWord& word, bool asHistory);
  void CopyRange(TTpWord& word, int32_t first, int32_t last, const std::string& vars, bool asHistory);
  void StoreShownValues() const;

  TTpWord FEngine;
  TWdPages FPages;  // after the engine: they hold glyphs of its pool
  int32_t FPageIndex = -1;
  int32_t FScrollY = 0;
  bool FStopped = false;
  bool FTextPaused = false;
  int32_t FSpeedRate = 0;
  uint8_t FRecordState = 0;  // 1 recorded in history and read marks, 2 showing history
  std::string FSourcePage;
  int32_t FSourceCommand = 0;
  std::string FRawText;
  int32_t FSkipFrames = 0;
  bool FPrepare = false, FReset = false;
  bool FLinksOnly = false;
  // What ReloadText builds the text from; saving refreshes the values its
  // lines show.
  mutable TKestNewMesData FSource;
  // The engine glyphs each line of the display source was built into (first,
  // last), by line index; last < first for a line that gave none.
  std::vector<std::pair<int32_t, int32_t>> FLineGlyphs;
  uint8_t FHistoryFlag = 0;
  int32_t FHistoryOffset = 0;
  // Each page's reveal as a loaded game left it, until RestoreText.
  std::vector<uint8_t> FPendingPages;
  // The shown page's time left to its next glyph, kept in the record's spare
  // field (records of other writers hold 0 there: the next glyph comes at once).
  int32_t FPendingWait = 0;
};

}  // namespace kest
