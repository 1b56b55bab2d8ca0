#pragma once
// The families of system function bodies; each registers its numbers with
// the manager.

namespace kest {

class TSysFuncMan;

void RegisterStringFunctions(TSysFuncMan& funcs);
void RegisterMathFunctions(TSysFuncMan& funcs);
// Calc, which compiles and runs expression text.
void RegisterEvalFunctions(TSysFuncMan& funcs);
// DeleteStack, which drops a saved call frame.
void RegisterStackFunctions(TSysFuncMan& funcs);
// Array sizes, filling and copying, adding, inserting and deleting elements.
void RegisterArrayFunctions(TSysFuncMan& funcs);
// Arrays and text: joining, splitting, searching and sorting elements.
void RegisterArrayTextFunctions(TSysFuncMan& funcs);
// Variables themselves: existence, type, @Temp and the push stack.
void RegisterVariableFunctions(TSysFuncMan& funcs);
// File names split at the backslash and the colon.
void RegisterPathFunctions(TSysFuncMan& funcs);
// Dates as day numbers from 1899-12-30: encoding, decoding, the weekday.
void RegisterDateFunctions(TSysFuncMan& funcs);
// Game files, captures and extraction, through the player's file host.
void RegisterFileFunctions(TSysFuncMan& funcs);
// Dialogs, URLs and the wallpaper, through the player's desktop host.
void RegisterDesktopFunctions(TSysFuncMan& funcs);
// Components: properties, lists, coordinates and menu items, through the scene host.
void RegisterSceneFunctions(TSysFuncMan& funcs);
// Saved games, histories and display modes, through the game-state host.
void RegisterGameStateFunctions(TSysFuncMan& funcs);

}  // namespace kest
