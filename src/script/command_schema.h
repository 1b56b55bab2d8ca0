#pragma once
// The record layout of every command, one table for the page reader, the
// page writer and the script compiler. A command record is the common header
// (indent 4, skipped 1, continue 1, line 4) followed by the command's own
// fields in table order; a field introduced by a later page version is
// absent from older pages.

#include <cstdint>
#include <span>
#include <string_view>

#include "scene/component_kinds.h"

namespace kest {

inline constexpr int32_t kCommandIdCount = 61;
inline constexpr int32_t kOldestPageVersion = 103;
inline constexpr int32_t kNewestPageVersion = 116;

// clang-format off
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
// clang-format on

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
  const char* Name;          // as the compiler and the disassembler spell it
  int32_t SinceVersion = 0;  // the field is stored from this page version on
};

// The field tables of the commands, by the shape of their records; several
// commands may share one.
namespace layouts {

using K = TFieldKind;

inline constexpr TFieldLayout kCondition[] = {{K::Expr, "cond"}};
inline constexpr TFieldLayout kLabel[] = {{K::Str, "name"}};
inline constexpr TFieldLayout kJump[] = {{K::Str, "page"}, {K::Int, "pc"}, {K::Expr, "cond"}};
inline constexpr TFieldLayout kCall[] = {
    {K::Str, "page"}, {K::Int, "pc"}, {K::Str, "result"}, {K::Expr, "cond"}, {K::ExprList, "args"}};
inline constexpr TFieldLayout kWait[] = {{K::Expr, "cond"}, {K::Expr, "time"}, {K::Expr, "block", 107}};
inline constexpr TFieldLayout kProps[] = {{K::Props, "props"}};
inline constexpr TFieldLayout kFlip[] = {
    {K::Expr, "kind"},  {K::Expr, "duration"}, {K::Expr, "reverse"}, {K::Expr, "move"},      {K::ExprList, "names"},
    {K::Expr, "scrap"}, {K::Expr, "param1"},   {K::Expr, "param2"},  {K::Expr, "mask", 101}, {K::Expr, "block", 107}};
inline constexpr TFieldLayout kCalc[] = {{K::Expr, "expr"}};
inline constexpr TFieldLayout kVarNew[] = {{K::Str, "name"}, {K::Byte, "kind"}, {K::Expr, "value"}, {K::Byte, "scope"}};
inline constexpr TFieldLayout kVarDel[] = {{K::Str, "name"}};
inline constexpr TFieldLayout kGetProp[] = {{K::Expr, "object"}, {K::Expr, "prop"}, {K::Str, "var"}};
inline constexpr TFieldLayout kSetProp[] = {{K::Expr, "object"}, {K::Expr, "prop"}, {K::Expr, "value"}};
inline constexpr TFieldLayout kObject[] = {{K::Expr, "object"}};
inline constexpr TFieldLayout kTextIns[] = {
    {K::Data, "text"}, {K::Expr, "window"}, {K::Expr, "history"}, {K::Expr, "wait"}, {K::Expr, "block", 107}};
inline constexpr TFieldLayout kMovieStop[] = {
    {K::Expr, "object"}, {K::Expr, "fade"}, {K::Expr, "wait"}, {K::Expr, "block", 107}};
inline constexpr TFieldLayout kComment[] = {{K::Str, "text"}};
inline constexpr TFieldLayout kWindow[] = {{K::Expr, "window"}};
inline constexpr TFieldLayout kCallHist[] = {
    {K::Expr, "window"}, {K::Expr, "first"}, {K::Expr, "count"}, {K::Expr, "flag"}, {K::Expr, "history", 111}};
inline constexpr TFieldLayout kWhile[] = {{K::Expr, "cond"}, {K::Int, "exit"}};
inline constexpr TFieldLayout kWhileInit[] = {{K::Expr, "init"}};
inline constexpr TFieldLayout kWhileLoop[] = {{K::Expr, "step"}, {K::Int, "loop"}};
inline constexpr TFieldLayout kBreak[] = {{K::Expr, "cond"}, {K::Int, "target"}};
inline constexpr TFieldLayout kGameSave[] = {
    {K::Expr, "slot"}, {K::Str, "page"}, {K::Int, "pc", 105}, {K::Expr, "title"}};
inline constexpr TFieldLayout kGameLoad[] = {{K::Expr, "slot"}};
inline constexpr TFieldLayout kPCReset[] = {{K::Str, "page"}, {K::Int, "pc"}, {K::Byte, "flag"}};
inline constexpr TFieldLayout kPropMotion[] = {{K::Expr, "name"},        {K::Expr, "target"}, {K::Expr, "prop"},
                                               {K::Expr, "value"},       {K::Expr, "length"}, {K::Expr, "curve"},
                                               {K::Expr, "stopped", 108}};
inline constexpr TFieldLayout kFormatHist[] = {{K::Expr, "sample"}, {K::Expr, "history", 111}};
inline constexpr TFieldLayout kCabinet[] = {{K::Props, "props"}, {K::Expr, "invert"}, {K::ExprList, "names"}};

}  // namespace layouts

// A field of a command record by its place in a table, for a kind of value.
// Made only by FieldOf, so a position always names a field of that kind.
template <TFieldKind... Kinds>
struct TFieldRef {
  size_t Index;
  int32_t SinceVersion;  // the page version that first stores the field
};
using TExprField = TFieldRef<TFieldKind::Expr>;
using TTextField = TFieldRef<TFieldKind::Str, TFieldKind::Data>;
using TIntField = TFieldRef<TFieldKind::Int, TFieldKind::Byte>;
using TListField = TFieldRef<TFieldKind::ExprList>;
using TPropsField = TFieldRef<TFieldKind::Props>;

template <TFieldKind... Kinds>
constexpr bool FieldKindIs(TFieldRef<Kinds...>, TFieldKind kind) {
  return ((kind == Kinds) || ...);
}

// The field of that name in the table, looked up when compiling: a renamed,
// removed or retyped field breaks the build instead of a game.
template <typename TRef, size_t N>
consteval TRef FieldOf(const TFieldLayout (&fields)[N], std::string_view name) {
  for (size_t i = 0; i < N; ++i)
    if (name == fields[i].Name) {
      if (!FieldKindIs(TRef{}, fields[i].Kind)) throw "the field holds another kind of value";
      return TRef{i, fields[i].SinceVersion};
    }
  throw "no field of that name";
}

// Every field the player and the tools name, by command.
namespace field {

inline constexpr auto kCondition = FieldOf<TExprField>(layouts::kCondition, "cond");  // If, Elseif, Exit
inline constexpr auto kLabelName = FieldOf<TTextField>(layouts::kLabel, "name");      // Label, VarDel
inline constexpr auto kTextInsText = FieldOf<TTextField>(layouts::kTextIns, "text");
inline constexpr auto kTextInsWindow = FieldOf<TExprField>(layouts::kTextIns, "window");
inline constexpr auto kTextInsHistory = FieldOf<TExprField>(layouts::kTextIns, "history");
inline constexpr auto kTextInsWait = FieldOf<TExprField>(layouts::kTextIns, "wait");
inline constexpr auto kTextInsBlock = FieldOf<TExprField>(layouts::kTextIns, "block");
inline constexpr auto kWindowName = FieldOf<TExprField>(layouts::kWindow, "window");  // TextClr and others
inline constexpr auto kCallHistWindow = FieldOf<TExprField>(layouts::kCallHist, "window");
inline constexpr auto kCallHistFirst = FieldOf<TExprField>(layouts::kCallHist, "first");
inline constexpr auto kCallHistCount = FieldOf<TExprField>(layouts::kCallHist, "count");
inline constexpr auto kCallHistFlag = FieldOf<TExprField>(layouts::kCallHist, "flag");
inline constexpr auto kCallHistName = FieldOf<TExprField>(layouts::kCallHist, "history");
inline constexpr auto kFormatHistSample = FieldOf<TExprField>(layouts::kFormatHist, "sample");
inline constexpr auto kFormatHistName = FieldOf<TExprField>(layouts::kFormatHist, "history");
inline constexpr auto kJumpPage = FieldOf<TTextField>(layouts::kJump, "page");
inline constexpr auto kJumpPc = FieldOf<TIntField>(layouts::kJump, "pc");
inline constexpr auto kJumpCondition = FieldOf<TExprField>(layouts::kJump, "cond");
inline constexpr auto kCallPage = FieldOf<TTextField>(layouts::kCall, "page");
inline constexpr auto kCallPc = FieldOf<TIntField>(layouts::kCall, "pc");
inline constexpr auto kCallResult = FieldOf<TTextField>(layouts::kCall, "result");
inline constexpr auto kCallCondition = FieldOf<TExprField>(layouts::kCall, "cond");
inline constexpr auto kCallArgs = FieldOf<TListField>(layouts::kCall, "args");
inline constexpr auto kWaitCondition = FieldOf<TExprField>(layouts::kWait, "cond");
inline constexpr auto kWaitTime = FieldOf<TExprField>(layouts::kWait, "time");
inline constexpr auto kWaitBlock = FieldOf<TExprField>(layouts::kWait, "block");
inline constexpr auto kComponentProps = FieldOf<TPropsField>(layouts::kProps, "props");
inline constexpr auto kCalcExpr = FieldOf<TExprField>(layouts::kCalc, "expr");
inline constexpr auto kVarNewName = FieldOf<TTextField>(layouts::kVarNew, "name");
inline constexpr auto kVarNewKind = FieldOf<TIntField>(layouts::kVarNew, "kind");
inline constexpr auto kVarNewValue = FieldOf<TExprField>(layouts::kVarNew, "value");
inline constexpr auto kVarNewScope = FieldOf<TIntField>(layouts::kVarNew, "scope");
inline constexpr auto kVarDelName = FieldOf<TTextField>(layouts::kVarDel, "name");
inline constexpr auto kCommentText = FieldOf<TTextField>(layouts::kComment, "text");
inline constexpr auto kWhileCondition = FieldOf<TExprField>(layouts::kWhile, "cond");
inline constexpr auto kWhileExit = FieldOf<TIntField>(layouts::kWhile, "exit");
inline constexpr auto kWhileInitExpr = FieldOf<TExprField>(layouts::kWhileInit, "init");
inline constexpr auto kWhileLoopStep = FieldOf<TExprField>(layouts::kWhileLoop, "step");
inline constexpr auto kWhileLoopTarget = FieldOf<TIntField>(layouts::kWhileLoop, "loop");
inline constexpr auto kBreakCondition = FieldOf<TExprField>(layouts::kBreak, "cond");  // Break, Continue
inline constexpr auto kBreakTarget = FieldOf<TIntField>(layouts::kBreak, "target");
inline constexpr auto kGetPropObject = FieldOf<TExprField>(layouts::kGetProp, "object");
inline constexpr auto kGetPropId = FieldOf<TExprField>(layouts::kGetProp, "prop");
inline constexpr auto kGetPropVar = FieldOf<TTextField>(layouts::kGetProp, "var");
inline constexpr auto kSetPropObject = FieldOf<TExprField>(layouts::kSetProp, "object");
inline constexpr auto kSetPropId = FieldOf<TExprField>(layouts::kSetProp, "prop");
inline constexpr auto kSetPropValue = FieldOf<TExprField>(layouts::kSetProp, "value");
inline constexpr auto kObjectName = FieldOf<TExprField>(layouts::kObject, "object");  // ObjDel, MenuClose
inline constexpr auto kMediaPlayObject = FieldOf<TExprField>(layouts::kObject, "object");
inline constexpr auto kMovieStopObject = FieldOf<TExprField>(layouts::kMovieStop, "object");
inline constexpr auto kMovieStopFade = FieldOf<TExprField>(layouts::kMovieStop, "fade");
inline constexpr auto kMovieStopWait = FieldOf<TExprField>(layouts::kMovieStop, "wait");
inline constexpr auto kMovieStopBlock = FieldOf<TExprField>(layouts::kMovieStop, "block");
inline constexpr auto kPCResetPage = FieldOf<TTextField>(layouts::kPCReset, "page");  // PCReset, Reset
inline constexpr auto kPCResetPc = FieldOf<TIntField>(layouts::kPCReset, "pc");
inline constexpr auto kPCResetFlag = FieldOf<TIntField>(layouts::kPCReset, "flag");
inline constexpr auto kFlipKind = FieldOf<TExprField>(layouts::kFlip, "kind");
inline constexpr auto kFlipDuration = FieldOf<TExprField>(layouts::kFlip, "duration");
inline constexpr auto kFlipReverse = FieldOf<TExprField>(layouts::kFlip, "reverse");
inline constexpr auto kFlipMove = FieldOf<TExprField>(layouts::kFlip, "move");
inline constexpr auto kFlipNames = FieldOf<TListField>(layouts::kFlip, "names");
inline constexpr auto kFlipScrap = FieldOf<TExprField>(layouts::kFlip, "scrap");
inline constexpr auto kFlipParam1 = FieldOf<TExprField>(layouts::kFlip, "param1");
inline constexpr auto kFlipParam2 = FieldOf<TExprField>(layouts::kFlip, "param2");
inline constexpr auto kFlipMask = FieldOf<TExprField>(layouts::kFlip, "mask");
inline constexpr auto kFlipBlock = FieldOf<TExprField>(layouts::kFlip, "block");
inline constexpr auto kPropMotionName = FieldOf<TExprField>(layouts::kPropMotion, "name");
inline constexpr auto kPropMotionTarget = FieldOf<TExprField>(layouts::kPropMotion, "target");
inline constexpr auto kPropMotionId = FieldOf<TExprField>(layouts::kPropMotion, "prop");
inline constexpr auto kPropMotionValue = FieldOf<TExprField>(layouts::kPropMotion, "value");
inline constexpr auto kPropMotionLength = FieldOf<TExprField>(layouts::kPropMotion, "length");
inline constexpr auto kPropMotionCurve = FieldOf<TExprField>(layouts::kPropMotion, "curve");
inline constexpr auto kPropMotionStopped = FieldOf<TExprField>(layouts::kPropMotion, "stopped");
inline constexpr auto kGameSaveSlot = FieldOf<TExprField>(layouts::kGameSave, "slot");
inline constexpr auto kGameSavePage = FieldOf<TTextField>(layouts::kGameSave, "page");
inline constexpr auto kGameSavePc = FieldOf<TIntField>(layouts::kGameSave, "pc");
inline constexpr auto kGameSaveTitle = FieldOf<TExprField>(layouts::kGameSave, "title");
inline constexpr auto kGameLoadSlot = FieldOf<TExprField>(layouts::kGameLoad, "slot");
inline constexpr auto kCabinetInvert = FieldOf<TExprField>(layouts::kCabinet, "invert");
inline constexpr auto kCabinetNames = FieldOf<TListField>(layouts::kCabinet, "names");

}  // namespace field

struct TCommandLayout {
  uint8_t Id;
  const char* Name;         // "If", "BoxNew", ...
  const char* DisplayName;  // the editor's caption, UTF-8
  std::span<const TFieldLayout> Fields;
  // The kind of scene object the command creates; LT_NONE for the others.
  TComponentKind Creates = LT_NONE;
  bool IsComponent() const;
};

// Nothing for an id above 60.
const TCommandLayout* CommandLayout(int32_t id);
// Matches the table's names ignoring ASCII letter case; nothing when unknown.
const TCommandLayout* CommandLayoutByName(std::string_view name);

}  // namespace kest
