// The game-state functions: captions of saved games, the named histories and
// the display modes. Without the game they answer as for nothing found.
#include <vector>

#include "language/builtin_functions.h"
#include "language/game_state_functions.h"
#include "language/sys_func_man.h"

namespace kest {
namespace {

constexpr int32_t kFuncGetSaveCaption = 27;
constexpr int32_t kFuncGetDisplayMode = 65;
constexpr int32_t kFuncListSaveCaption = 134;
constexpr int32_t kFuncGetHistoryCount = 142;
constexpr int32_t kFuncGetHistoryMaxCount = 143;
constexpr int32_t kFuncSetHistoryMaxCount = 144;

IGameStateFunctions* Game(const TFuncCall& c) { return c.Funcs.Hosts.GameState; }

void GetSaveCaptionFn(TFuncCall& c) { c.Result.SetAsStr(Game(c) ? Game(c)->SaveCaption(c.Int(0)) : std::string()); }

// An array cannot be empty: without saved games each target becomes a scalar.
void StoreSlots(TCustomParam* captions, TCustomParam* slots, const std::vector<TSavedSlot>& games) {
  const int32_t count = static_cast<int32_t>(games.size());
  for (TCustomParam* target : {captions, slots}) {
    if (!target) continue;
    if (count == 0)
      target->MakeScalar();
    else
      target->SetDims(std::span<const int32_t>(&count, 1));
  }
  if (count == 0) {
    if (captions) captions->SetAsStr("");
    if (slots) slots->SetAsInt(0);
  }
  for (int32_t i = 0; i < count; ++i) {
    if (captions) captions->SetStr(i, games[static_cast<size_t>(i)].Caption);
    if (slots) slots->SetInt(i, games[static_cast<size_t>(i)].Slot);
  }
}

void ListSaveCaptionFn(TFuncCall& c) {
  const std::vector<TSavedSlot> games = Game(c) ? Game(c)->SavedGames() : std::vector<TSavedSlot>{};
  StoreSlots(c.VarOrNull(0), c.VarOrNull(1), games);
  c.Result.SetAsInt(static_cast<int32_t>(games.size()));
}

void GetHistoryCountFn(TFuncCall& c) { c.Result.SetAsInt(Game(c) ? Game(c)->HistoryCount(c.Str(0)) : -1); }

void GetHistoryMaxCountFn(TFuncCall& c) { c.Result.SetAsInt(Game(c) ? Game(c)->HistoryMaxCount(c.Str(0)) : -1); }

void SetHistoryMaxCountFn(TFuncCall& c) {
  c.Result.SetAsFlag(Game(c) && Game(c)->SetHistoryMaxCount(c.Str(0), c.Int(1)));
}

// GetDisplayMode(i, w, h, bits, rate): arguments that name no variable are
// passed over.
void GetDisplayModeFn(TFuncCall& c) {
  const std::optional<TDisplayModeInfo> mode = Game(c) ? Game(c)->DisplayMode(c.Int(0)) : std::nullopt;
  c.Result.SetAsFlag(mode.has_value());
  if (!mode) return;
  const int32_t values[] = {mode->Width, mode->Height, mode->Bits, mode->Rate};
  for (size_t i = 0; i < 4; ++i)
    if (TCustomParam* target = c.VarOrNull(i + 1)) target->SetAsInt(values[i]);
}

}  // namespace

void RegisterGameStateFunctions(TSysFuncMan& funcs) {
  funcs.Register(kFuncGetSaveCaption, GetSaveCaptionFn);
  funcs.Register(kFuncGetDisplayMode, GetDisplayModeFn);
  funcs.Register(kFuncListSaveCaption, ListSaveCaptionFn);
  funcs.Register(kFuncGetHistoryCount, GetHistoryCountFn);
  funcs.Register(kFuncGetHistoryMaxCount, GetHistoryMaxCountFn);
  funcs.Register(kFuncSetHistoryMaxCount, SetHistoryMaxCountFn);
}

}  // namespace kest
