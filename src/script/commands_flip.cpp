#include "script/commands_flip.h"

#include <algorithm>

#include "common/stream.h"
#include "imaging/wipes/custom_wipe.h"
#include "scene/kest_base_list.h"
#include "script/call_man.h"
#include "script/page.h"

namespace kest {

namespace {

// The lines of a text: each a control name.
std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find_first_of("\r\n", start);
    if (end == std::string::npos) end = text.size();
    if (end > start) lines.push_back(text.substr(start, end - start));
    if (end < text.size() && text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ++end;
    start = end + 1;
  }
  return lines;
}

const std::string kSnapshot = "\x01\x01";

}  // namespace

void TComFlip::MoveChildren(TCallMan& man, int32_t mode, const std::vector<std::string>& names) {
  TKestBaseList& scene = *man.Hosts().Scene;
  scene.TakeSnapshot();
  // From the last child to the first: moving one does not disturb the rest.
  const std::vector<TKestControl*> children = scene.FrontBase().Children();
  for (auto it = children.rbegin(); it != children.rend(); ++it) {
    TKestControl* child = *it;
    if (child->Name() == kSnapshot) continue;
    const bool named = std::find(names.begin(), names.end(), child->Name()) != names.end();
    if ((mode == 1 && named) || (mode == 0 && !named)) child->SetParent(&scene.BackBase());
  }
}

void TComFlip::Begin(TCallMan& man) {
  FStep = 0;
  int32_t kind = 0;
  if (const TCustomParam* k = man.Evaluate(At(field::kFlipKind))) kind = k->GetAsInt();
  if (kind > WP_BLOCKRANDOM) kind = WP_NONE;
  const TCustomParam* duration = man.Evaluate(At(field::kFlipDuration));
  const int32_t given = duration ? duration->GetAsInt() : 0;
  FDuration = std::max(1, given);
  FYields = given > 0;
  const bool reverse = man.IsTrue(At(field::kFlipReverse));
  FBlockEvents = Page().Version >= field::kFlipBlock.SinceVersion && man.IsTrue(At(field::kFlipBlock));
  FScrap = man.IsTrue(At(field::kFlipScrap));
  const TCustomParam* move = man.Evaluate(At(field::kFlipMove));
  std::vector<std::string> names;
  for (TKestParser& expression : At(field::kFlipNames))
    if (const TCustomParam* text = man.Evaluate(expression))
      for (std::string& line : Lines(text->GetAsStr())) names.push_back(std::move(line));
  TKestBaseList* scene = man.Hosts().Scene;
  if (!scene) {
    FStep = 3;
    return;
  }
  if (move) {
    // Without a time the flip ends at once, before anything moves.
    if (!duration || given <= 0)
      FStep = 3;
    else
      MoveChildren(man, move->GetAsInt(), names);
  }
  if (FStep == 3) return;
  TCustomWipe* wipe = scene->StartTransition(scene->FrontIndex(), kind, reverse, true, 0, FDuration);
  if (!wipe) return;
  if (const TCustomParam* p = man.Evaluate(At(field::kFlipParam1))) wipe->SetParam(0, p->GetAsInt());
  if (const TCustomParam* p = man.Evaluate(At(field::kFlipParam2))) wipe->SetParam(1, p->GetAsInt());
  if (Page().Version >= field::kFlipMask.SinceVersion)
    if (const TCustomParam* mask = man.Evaluate(At(field::kFlipMask)); mask && !mask->GetAsStr().empty())
      wipe->SetMaskName(mask->GetAsStr(), scene->MaskPictures());
  wipe->Prepare();
}

void TComFlip::Execute(TCallMan& man) {
  if (FStep == 0) {
    FStep = 1;
    return;
  }
  if (FStep == 1) {
    FStart = man.Clock().GameTime;
    FStep = 2;
    return;
  }
  const int64_t elapsed = man.Clock().GameTime - FStart;
  TKestBaseList* scene = man.Hosts().Scene;
  if (FStep == 2 && elapsed < FDuration) {
    if (scene && scene->Transition()) scene->Transition()->Position = static_cast<int32_t>(elapsed);
    return;
  }
  Finish(man, false);
}

void TComFlip::Finish(TCallMan& man, bool scrapCabinets) {
  FStep = 3;
  man.SetPc(man.Pc() + 1);
  TKestBaseList* scene = man.Hosts().Scene;
  if (!scene) return;
  scene->StartTransition(1 - scene->FrontIndex(), WP_NONE, false, true, 0, 0);
  if (TKestObject* snapshot = scene->FindObject(kSnapshot)) scene->Scrap(*snapshot);
  if (!FScrap) return;
  for (TKestControl* child : scene->BackBase().Children())
    if (scrapCabinets || child->Kind() != LT_CABINET) scene->Scrap(*child);
}

void TComFlip::Abandon(TCallMan& man) {
  const int32_t pc = man.Pc();
  Finish(man, true);
  man.SetPc(pc);
}

void TComFlip::SaveState(TStream& stream) {
  WriteStateTag(stream);
  WriteFlag(stream, FBlockEvents);
  WriteFlag(stream, FScrap);
}

void TComFlip::LoadState(TStream& stream) {
  const int32_t version = ReadStateTag(stream);
  if (version >= kStateSinceTagged) {
    FBlockEvents = ReadFlag(stream);
    FScrap = ReadFlag(stream);
  }
  // The step and start time are not kept: a loaded flip swaps on its first tick.
  FStep = 3;
}

}  // namespace kest
