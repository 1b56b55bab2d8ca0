#pragma once
// The record layout of every command, one table for the page reader, the
// page writer and the script compiler. A command record is the common header
// (indent 4, skipped 1, continue 1, line 4) followed by the command's own
// fields in table order; a field introduced by a later page version is
// absent from older pages.

#include <cstdint>
#include <span>
#include <string_view>

namespace kest {

inline constexpr int32_t kCommandIdCount = 61;
inline constexpr int32_t kOldestPageVersion = 103;
inline constexpr int32_t kNewestPageVersion = 116;

enum TCommandId : uint8_t {
  ciIf = 0, ciElseif, ciElse, ciLabel, ciJump, ciCall, ciExit, ciWait, ciBoxNew, ciImgNew,
  ciMesNew = 10, ciTimer, ciMovie, ciFlip, ciCalc, ciVarNew, ciVarDel, ciGetProp, ciSetProp, ciObjDel,
  ciTextIns = 20, ciMovieStop, ciClrHist, ciCinema, ciCaption, ciMenu, ciMenuClose, ciComment, ciTextClr,
  ciCallHist,
  ciButton = 30, ciWhile, ciWhileInit, ciWhileLoop, ciBreak, ciContinue, ciParticleNew, ciFireNew,
  ciGameSave, ciGameLoad,
  ciPCReset = 40, ciReset, ciSound, ciEditNew, ciMemoNew, ciTerminate, ciDoEvent, ciClrRead, ciMapImgNew,
  ciWaveNew,
  ciTileNew = 50, ciSliderNew, ciScrollbarNew, ciGaugeNew, ciCGCaption, ciMediaPlay, ciPrevMenuNew,
  ciPropMotion, ciFormatHist, ciSaveCabinet,
  ciLoadCabinet = 60,
};

enum class TFieldKind : uint8_t {
  Expr,      // a compiled expression record
  Str,       // 4-byte length and bytes
  Int,       // 4 bytes (program counters)
  Byte,      // 1 byte
  Data,      // 4-byte size and that many opaque bytes (text glyph streams)
  ExprList,  // 4-byte count and that many expressions
  Props,     // one expression per property bit set in the page's mask slot
};

struct TFieldLayout {
  TFieldKind Kind;
  const char* Name;  // as the compiler and the disassembler spell it
  int32_t SinceVersion = 0;  // the field is stored from this page version on
};

struct TCommandLayout {
  uint8_t Id;
  const char* Name;         // "If", "BoxNew", ...
  const char* DisplayName;  // the editor's caption, UTF-8
  std::span<const TFieldLayout> Fields;
  bool IsComponent() const;
};

// Nothing for an id above 60.
const TCommandLayout* CommandLayout(int32_t id);
// Matches the table's names ignoring ASCII letter case; nothing when unknown.
const TCommandLayout* CommandLayoutByName(std::string_view name);

}  // namespace kest
