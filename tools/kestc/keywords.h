#pragma once
// The words the source language gives a meaning to, shared by the reader and
// the dumper so that both spell them alike.

#include <string_view>

namespace kest::kestc {

// @result: result kinds 0 to 4.
inline constexpr std::string_view kResultKinds[] = {"none", "int", "real", "flag", "string"};
// var: variable kinds 1 to 4.
inline constexpr std::string_view kVarKinds[] = {"int", "real", "flag", "string"};

// var: scopes 0 to 3, by their own names and the editor's.
struct TScopeName {
  std::string_view English;
  std::string_view Japanese;
};
inline constexpr TScopeName kScopes[] = {
    {"global", "グローバル"}, {"auto", "自動破棄"}, {"local", "ローカル"}, {"status", "ステータス"}};

// The friendly forms. A command whose name is one of these is written !NAME
// in its generic form.
inline constexpr std::string_view kFriendlyKeywords[] = {
    "if",   "elseif", "else", "while", "for",  "break",   "continue",  "label",   "jump", "call",
    "exit", "calc",   "var",  "del",   "wait", "doevent", "terminate", "comment", "text"};

}  // namespace kest::kestc
