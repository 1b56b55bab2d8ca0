#pragma once
// The versions of a saved game, each named by what it brought. The record
// hands its version to the loader of every part inside it (scene, histories,
// interpreter, variables, tables), so the names for all of them live here;
// each part gates its reading on them and always writes the newest layout.
// In the order of their versions.

#include <cstdint>

namespace kest {

// Scene objects: controls keep a mouse-in event reference.
inline constexpr int32_t kSaveSinceMouseIn = 102;
// The chosen item's text and index follow the variables' cursor name.
inline constexpr int32_t kSaveSinceSelection = 103;
// Scene objects: the priority offset; controls keep clips and animation pause.
inline constexpr int32_t kSaveSinceClips = 104;
// Scene objects: sounds and movies keep their rewind-on-load flag.
inline constexpr int32_t kSaveSinceRewindOnLoad = 108;
// Scene objects: a movie keeps its overlay flag.
inline constexpr int32_t kSaveSinceOverlay = 112;
// The default history format's six settings are kept with the variables.
inline constexpr int32_t kSaveSinceHistoryFormat = 113;
// Scene: a queued event stores the call level running it, not a flag.
inline constexpr int32_t kSaveSinceLevelRunning = 114;
// Scene objects: a map image keeps its closing state.
inline constexpr int32_t kSaveSinceMapClosing = 115;
// The interpreter's call level follows its call stack.
inline constexpr int32_t kSaveSinceCallLevel = 116;
// Scene objects: controls keep the focus flag and the key and focus events.
inline constexpr int32_t kSaveSinceKeyEvents = 118;
// Scene: the focused control's name ends the record.
inline constexpr int32_t kSaveSinceFocus = 119;
// Scene objects: the tag.
inline constexpr int32_t kSaveSinceTag = 120;
// The @Temp target follows the variables.
inline constexpr int32_t kSaveSinceTempTarget = 121;
// Scene objects: a caption's record keeps its shadow.
inline constexpr int32_t kSaveSinceCaptionShadow = 122;
// The game tables end the record.
inline constexpr int32_t kSaveSinceTables = 123;
// Scene objects: a property motion keeps its stopped flag.
inline constexpr int32_t kSaveSinceMotionStop = 126;
// Scene objects: sounds and movies keep their mute-on-load flag.
inline constexpr int32_t kSaveSinceMuteOnLoad = 129;
// Scene objects: controls keep their motion and plus offsets.
inline constexpr int32_t kSaveSinceOffsets = 130;
// Every history is saved with its own format; the variables drop the default one.
inline constexpr int32_t kSaveSinceNamedHistories = 135;
// Scene objects: a button keeps its caption engine's record.
inline constexpr int32_t kSaveSinceButtonCaption = 137;
// Scene objects: a sound keeps the position its loop starts from.
inline constexpr int32_t kSaveSinceRepeatPos = 138;
// The push-stack entries follow the variables.
inline constexpr int32_t kSaveSincePushStack = 139;
// Scene objects: boxes and pictures keep their after-image timing.
inline constexpr int32_t kSaveSinceBlur = 140;
inline constexpr int32_t kSaveNewestVersion = 140;

}  // namespace kest
