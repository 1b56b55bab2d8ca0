#pragma once
// What the system functions reach beyond the variable store: the scene, the
// game's own state (save slots, histories, display modes), files, and the
// desktop. Each is a small interface of its own, implemented by the layer
// that owns it and set on the function manager by whoever assembles the
// player; a function whose host is missing answers as the function says it
// does when there is nothing to find (0, empty, false), so the functions
// work before (and without) the rest of the player.

namespace kest {

class ISceneFunctions;
class IGameStateFunctions;
class IFileFunctions;
class IDesktopFunctions;

struct TFunctionHosts {
  // Scene queries: properties, components, menus, buttons, coordinates.
  ISceneFunctions* Scene = nullptr;
  // Save slot captions, histories, display modes.
  IGameStateFunctions* GameState = nullptr;
  // Game files, the save archive, captures and extraction.
  IFileFunctions* Files = nullptr;
  // Open, save and folder dialogs, URLs, the wallpaper.
  IDesktopFunctions* Desktop = nullptr;
};

}  // namespace kest
