#pragma once
// The scene registry: it owns the two base screens, every object created in
// the scene and the event queue, and finds objects by name. Objects are
// scrapped during a pass and destroyed at its end, never while events are
// dispatched.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include <functional>

#include "common/game_clock.h"
#include "imaging/dibx.h"
#include "imaging/wipes/custom_wipe.h"
#include "scene/event_queue.h"
#include "scene/kest_base.h"
#include "scene/kest_object.h"
#include "scene/scene_cursor.h"
#include "scene/scene_input.h"
#include "scene/scene_overlays.h"
#include "scene/scene_surfaces.h"
#include "scene/story_records.h"

namespace kest {

class ISceneMedia;
class TFontPixelManager;
class IVarEvaluator;

class TKestParser;
class TPexaCollection;

class TKestBaseList {
 public:
  TKestBaseList();
  ~TKestBaseList();
  TKestBaseList(const TKestBaseList&) = delete;
  TKestBaseList& operator=(const TKestBaseList&) = delete;

  // A new object of a class, named automatically and registered.
  template <class T>
  T& Create() {
    auto object = std::make_unique<T>(*this);
    T& result = *object;
    Register(std::move(object));
    return result;
  }
  // The object of a kind byte (masked with 0x7F); null for kinds that make
  // nothing (0, 1, 10) and for bytes above 27.
  TKestObject* CreateByKind(uint8_t kind);

  TKestBase& Base(int index) { return *FBases[index & 1]; }
  int FrontIndex() const { return FFrontIndex; }
  void SetFrontIndex(int index) {
    FFrontIndex = index & 1;
    FInput.SetFrontIndex(FFrontIndex);
  }
  TKestBase& FrontBase() { return Base(FFrontIndex); }
  TKestBase& BackBase() { return Base(FFrontIndex ^ 1); }

  // "" and 0x01 "BASE0" give the front screen, 0x01 and 0x01 "BASE1" the back
  // one; anything else the first registered object of that name, or null.
  TKestObject* FindObject(std::string_view name);
  // As FindObject, except that 0x01 "BASE0" and 0x01 "BASE1" name the
  // physical screens whichever is in front, and only controls are found.
  TKestControl* FindControl(std::string_view name);
  // Appends the names of registered objects (of the kind unless it is 0,
  // children of the parent when one is given); answers how many.
  int32_t ListComponents(std::vector<std::string>& target, uint8_t kind, const TKestControl* parent) const;
  bool NameTaken(std::string_view name) const { return Registered(name) != nullptr; }

  // The rename rules: a control takes the name from its namesake, which is
  // renamed; a non-visual object scraps its namesake.
  void SetName(TKestObject& object, const std::string& name);
  // Stores a name as is (state records).
  void AssignName(TKestObject& object, std::string name);
  // Marks an object for destruction at the end of the pass; its name goes.
  void Scrap(TKestObject& object);
  bool IsScrapped(const TKestObject& object) const;
  // Destroys what was scrapped (the end of the update pass).
  void DestroyScrapped();
  // Destroys an object at once, a control with all its children.
  void Destroy(TKestObject& object);
  // Destroys every object, empties the queue and makes fresh base screens.
  void Reset();

  // The frame phases: input, then (after the scripts) update, then drawing.
  void ProcessInput();
  void UpdateScene();
  void DrawScene();
  void ClearDirtyLists();
  // The rectangles of the output that changed in the last draw phase.
  std::vector<TRect> OutputDirtyRects();

  // The scene size; both base screens and the output surface follow it.
  void SetSceneSize(int32_t width, int32_t height);
  int32_t Width() const { return FWidth; }
  int32_t Height() const { return FHeight; }
  // The surface the front screen draws to: the screen manager's when one is
  // set, else the scene's own.
  void SetExternalOutput(TCustomDIBX* output) { FExternalOutput = output; }
  TCustomDIBX& Output() { return FExternalOutput ? *FExternalOutput : FOutput; }
  // Bits per pixel of new surfaces (the screen manager's).
  void SetBitCount(int bits) { FBitCount = bits; }
  void FreeSurfaces();
  void ReloadSurfaces();
  // Puts a screen in front; the screen swap of the flip command.
  void SwapScreens(int frontIndex);
  // Starts (or, with restart, replaces) the transition from the front
  // screen's picture to the back one's; kind 0 ends any transition. Answers
  // the transition, or null when the kind makes none.
  TCustomWipe* StartTransition(int frontIndex, int32_t kind, bool reverse, bool restart, int32_t stepValue,
                               int32_t duration);
  TCustomWipe* Transition() const { return FTransition.get(); }
  // The output area the transition drew in the last draw phase.
  TRect TransitionRect() const { return FTransitionRect; }
  // Draws the scene, then lays a copy of the front screen's picture over it
  // (a picture control named 0x01 0x01, as large as the scene): the picture a
  // flip starts from while the controls beneath are rearranged.
  TKestControl& TakeSnapshot();
  // The picture a base screen shows now, its changed parts drawn: the front
  // screen's is the output (overlays lifted off, as they lie above the
  // scene) unless a transition keeps both screens on their own surfaces.
  const TCustomDIBX& ScreenPicture(bool back);
  // Mask pictures of transitions, by name, as 8-bit grey levels.
  TCustomWipe::TMaskLoader MaskPictures() const;

  // The game clock the scene steps by: the player's, or one of its own.
  void SetClock(TGameClock* clock) { FClock = clock ? clock : &FOwnClock; }
  TGameClock& Clock() const { return *FClock; }
  // The image cache the picture kinds fetch their frames from; null until
  // the player gives one (the kinds then show nothing).
  void SetPictures(TPexaCollection* pictures) { FPictures = pictures; }
  TPexaCollection* Pictures() const { return FPictures; }
  // Pictures above the whole scene (overlay movies).
  TSceneOverlays& Overlays() { return FOverlays; }
  // The media managers sounds and movies take their items from (none: they
  // play nothing).
  void SetMedia(ISceneMedia* media) { FMedia = media; }
  ISceneMedia* Media() const { return FMedia; }
  // The glyph cache captions and texts draw with (none: they draw nothing).
  void SetFonts(TFontPixelManager* fonts) { FFonts = fonts; }
  TFontPixelManager* Fonts() const { return FFonts; }
  // What texts evaluate their VAR tags with, and the game's @TextDelay (the
  // wait a parsed character gets without a WAIT tag).
  void SetTextVariables(IVarEvaluator* evaluator, std::function<int32_t()> textDelay) {
    FTextEvaluator = evaluator;
    FTextDelay = std::move(textDelay);
  }
  IVarEvaluator* TextEvaluator() const { return FTextEvaluator; }
  // The histories and read marks the message windows feed.
  TStoryRecords& Story() { return FStory; }
  int32_t TextDelay() const { return FTextDelay ? FTextDelay() : 50; }
  // Evaluates an expression a component keeps (the last frame's extra time of
  // an animation) against the game's variables; none: such expressions count 0.
  using TEvaluator = std::function<int32_t(TKestParser&)>;
  void SetEvaluator(TEvaluator evaluate) { FEvaluate = std::move(evaluate); }
  int32_t Evaluate(TKestParser& expression) const { return FEvaluate ? FEvaluate(expression) : 0; }
  // Where a selection is told to the scripts (@SelStr and @SelIndex).
  using TSelection = std::function<void(const std::string& name, int32_t index)>;
  void SetSelection(TSelection selection) { FSelection = std::move(selection); }
  void Select(const std::string& name, int32_t index) const {
    if (FSelection) FSelection(name, index);
  }
  TSceneInput& Input() { return FInput; }
  const TSceneSurfaces& Surfaces() const { return FSurfaces; }
  // Focus: at most one control, on the front screen, that takes keys.
  TKestControl* Focused() const { return static_cast<TKestControl*>(FFocused.Get()); }
  void SetFocus(TKestControl* control);
  bool FocusRecompute() const { return FFocusRecompute; }
  void ControlCreated();
  void VisibilityChanged(TKestControl& control);
  void TakesFocusChanged(TKestControl& control);
  void ParentChanged(TKestControl& control);
  // The cursor file shown where no control names one (@Cursor).
  void SetDefaultCursor(std::function<std::string()> source) { FDefaultCursor = std::move(source); }
  std::string DefaultCursor() const { return FDefaultCursor ? FDefaultCursor() : std::string(); }
  // Where the cursor the front screen shows goes after each mouse phase.
  void SetCursorSink(ICursorSink* sink) { FCursor.SetSink(sink); }
  // Controls that close on a right click, in the order they registered.
  const std::vector<TObjectRef>& RightClickClosers() const { return FRightClickClosers; }
  void AddRightClickCloser(TKestControl& control) { FRightClickClosers.push_back(control.Ref()); }

  // The scene record of saved games: size, screens, components, queue, focus.
  void SaveState(TStream& stream);
  // Loading ends with every message window's text built again from its
  // record (RestoreTexts).
  void LoadState(TStream& stream, int32_t version);
  // The record alone: a saved game loads more before the texts are built.
  void LoadRecord(TStream& stream, int32_t version);
  void RestoreTexts();

  int32_t Count() const { return static_cast<int32_t>(FObjects.size()); }
  TKestObject& Items(int32_t index) const { return *FObjects[static_cast<size_t>(index)].Object; }

  TTimerList& Events() { return FEvents; }
  // Queues an event of a sender by the posting rules (empty references,
  // suppressed senders, events of the same kind already waiting).
  void PostEvent(TKestComponent& sender, const std::string& reference, const TArrayString& args, uint8_t code);

  // Guards the nesting of child records while a state record loads.
  class TLoadDepth {
   public:
    explicit TLoadDepth(TKestBaseList& scene);
    ~TLoadDepth() { --FScene.FLoadDepth; }
    TLoadDepth(const TLoadDepth&) = delete;
    TLoadDepth& operator=(const TLoadDepth&) = delete;

   private:
    TKestBaseList& FScene;
  };

 private:
  struct TEntry {
    std::unique_ptr<TKestObject> Object;
    uint64_t Order;  // registration order, kept across removals
  };
  struct THash {
    using is_transparent = void;
    size_t operator()(std::string_view name) const { return std::hash<std::string_view>()(name); }
  };
  void Register(std::unique_ptr<TKestObject> object);
  void MakeBases();
  void UpdateObjects();
  void ProcessKeys();
  void LoseFocusIfOffFront();
  // Ends the running transition without drawing it: its surfaces are going.
  void DropTransition();
  TKestObject* Registered(std::string_view name) const;
  void Index(TKestObject& object, uint64_t order);
  void Unindex(TKestObject& object);
  size_t Position(const TKestObject& object) const;

  std::unique_ptr<TKestBase> FBases[2];
  int FFrontIndex = 0;
  std::vector<TEntry> FObjects;
  struct TNamed {
    TKestObject* Object;
    uint64_t Order;
  };
  std::unordered_map<const TKestObject*, uint64_t> FOrder;
  std::unordered_multimap<std::string, TNamed, THash, std::equal_to<>> FByName;
  std::vector<TObjectRef> FScrapped;
  uint64_t FNextOrder = 0;
  int FLoadDepth = 0;
  TTimerList FEvents;
  TSceneInput FInput;
  TSceneSurfaces FSurfaces;
  TSceneOverlays FOverlays;
  TPexaCollection* FPictures = nullptr;
  TGameClock FOwnClock;
  TGameClock* FClock = &FOwnClock;
  ISceneMedia* FMedia = nullptr;
  TFontPixelManager* FFonts = nullptr;
  IVarEvaluator* FTextEvaluator = nullptr;
  std::function<int32_t()> FTextDelay;
  TStoryRecords FStory{[this] { return FTextEvaluator; }};
  TEvaluator FEvaluate;
  TSelection FSelection;
  TObjectRef FFocused;
  bool FFocusRecompute = false;
  std::function<std::string()> FDefaultCursor;
  TSceneCursor FCursor;
  std::vector<TObjectRef> FRightClickClosers;
  int32_t FWidth = 8;
  int32_t FHeight = 8;
  int FBitCount = 32;
  TDIBX FOutput;
  std::unique_ptr<TCustomWipe> FTransition;
  int32_t FTransitionKind = 0;
  TRect FTransitionRect;
  // The base screen whose picture the output holds, -1 for none.
  int FOutputBase = -1;
  TCustomDIBX* FExternalOutput = nullptr;
};

}  // namespace kest
