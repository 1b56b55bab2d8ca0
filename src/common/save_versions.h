#pragma once
// The versions of a saved game, each named by what it brought. The record
// hands its version to the loader of every part inside it (scene, histories,
// interpreter, variables, tables), so the names for all of them live here;
// each part gates its reading on them and always writes the newest layout.

#include <cstdint>

namespace kest {

// The chosen item's text and index follow the variables' cursor name.
inline constexpr int32_t kSaveSinceSelection = 103;
// The default history format's six settings are kept with the variables.
inline constexpr int32_t kSaveSinceHistoryFormat = 113;
// The interpreter's call level follows its call stack.
inline constexpr int32_t kSaveSinceCallLevel = 116;
// The @Temp target follows the variables.
inline constexpr int32_t kSaveSinceTempTarget = 121;
// Every history is saved with its own format; the variables drop the default one.
inline constexpr int32_t kSaveSinceNamedHistories = 135;
// The push-stack entries follow the variables.
inline constexpr int32_t kSaveSincePushStack = 139;
inline constexpr int32_t kSaveNewestVersion = 140;

}  // namespace kest
