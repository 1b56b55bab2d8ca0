#include "script/commands_media.h"

#include "common/stream.h"
#include "language/param_collection.h"
#include "scene/components/media_player.h"
#include "scene/kest_base_list.h"
#include "scene/scene_media.h"
#include "script/call_man.h"
#include "script/page.h"

namespace kest {

namespace {

TKestObject* NamedObject(TCallMan& man, TKestParser& expression) {
  TKestBaseList* scene = man.Hosts().Scene;
  if (!scene) return nullptr;
  const TCustomParam* name = man.Evaluate(expression);
  if (!name || name->GetAsStr().empty()) return nullptr;
  return scene->FindObject(name->GetAsStr());
}

}  // namespace

void TComMovieStop::Begin(TCallMan& man) {
  Restart(Page().Version >= field::kMovieStopBlock.SinceVersion && man.IsTrue(At(field::kMovieStopBlock)));
  TKestObject* target = NamedObject(man, At(field::kMovieStopObject));
  if (!target) return;
  TKestBaseList& scene = target->Scene();
  IMediaPlayer* player = AsMediaPlayer(*target);
  const TCustomParam* fade_value = man.Evaluate(At(field::kMovieStopFade));
  const int32_t fade = fade_value ? fade_value->GetAsInt() : 0;
  if (fade > 0) {
    const std::string source = std::get<std::string>(target->GetProp(PR_SOURCE));
    const bool found = source.starts_with("CD_") || (scene.Media() && scene.Media()->Exists(source));
    const uint8_t state = player ? player->PlayState() : kPlayStateStopped;
    // Only what plays can fade out; anything else is left as it is.
    if (found && (state == kPlayStatePlaying || state == kPlayStateFadingIn)) {
      target->SetProp(PR_DELAY, fade);
      player->SetPlayState(kPlayStateFadingOut);
      Hold(*target);
    }
  } else {
    if (player) player->SetPlayState(kPlayStateStopped);
    scene.Scrap(*target);
  }
  if (const TCustomParam* wait = man.Evaluate(At(field::kMovieStopWait))) SetWait(wait->GetAsFlag());
}

void TComMovieStop::Execute(TCallMan& man) {
  TKestObject* held = Held(man);
  if (Waits() && held) return;
  man.SetPc(man.Pc() + 1);
}

TKestObject* TComMovieStop::FindLoaded(TCallMan& man, const std::string& name) {
  TKestBaseList* scene = man.Hosts().Scene;
  return scene ? scene->FindObject(name) : nullptr;
}

void TComMediaPlay::Execute(TCallMan& man) {
  man.SetPc(man.Pc() + 1);
  if (TKestObject* target = NamedObject(man, At(field::kMediaPlayObject)))
    if (IMediaPlayer* player = AsMediaPlayer(*target)) player->Replay();
}

}  // namespace kest
