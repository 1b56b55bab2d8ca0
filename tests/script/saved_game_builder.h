#pragma once
// Saved-game records of any version, assembled field by field from their
// layouts (never by the writer they test): the head, a scene of two base
// screens with boxes on the first, the histories, the interpreter and the
// variables.

#include <cstdint>
#include <string>
#include <string_view>

#include "common/save_versions.h"
#include "script/script_test_util.h"

namespace kest::test {

class TSavedGameBuilder : public TRecordBytes {
 public:
  explicit TSavedGameBuilder(int32_t version) : FVersion(version) {}

  TSavedGameBuilder& Head(std::string_view title, std::string_view jumpPage = "", int32_t jumpPc = 0) {
    Int(FVersion).Str(title).Str(jumpPage).Int(jumpPc);
    return *this;
  }
  // Base screen 0 holds one box per name; nothing queued, nothing focused.
  TSavedGameBuilder& Scene(int32_t width, int32_t height, std::initializer_list<std::string_view> boxes) {
    Int(width).Int(height).Int(0);
    Control("", static_cast<int32_t>(boxes.size()));
    for (std::string_view name : boxes) Box(name);
    Control("", 0);
    Int(0).Int(0);
    if (FVersion >= kSaveSinceFocus) Str("");
    return *this;
  }
  // Empty histories: the default one alone before the named ones came.
  TSavedGameBuilder& Histories() {
    if (FVersion < kSaveSinceNamedHistories) {
      EmptyHistory();
      return *this;
    }
    Int(1).Str("");
    for (int i = 0; i < 6; ++i) Int(0);
    EmptyHistory();
    return *this;
  }
  // The main script at pc of page, no calls under way.
  TSavedGameBuilder& Interpreter(std::string_view page, int32_t pc) {
    Str(page).Int(pc).Byte(1).Byte(0).Int(0).Str("").Int(0);
    Frame();
    Int(0);
    if (FVersion >= kSaveSinceCallLevel) Int(2);
    return *this;
  }
  // Global integers, then the tail the version stores.
  TSavedGameBuilder& Vars(std::initializer_list<std::pair<std::string_view, int32_t>> ints) {
    Int(static_cast<int32_t>(ints.size()));
    for (const auto& [name, value] : ints) Byte(1).Str(name).Int(0).Int(1).Int(value).Byte(0).Byte(0).Int(-1).Byte(0);
    Int(0).Str("");
    if (FVersion >= kSaveSinceSelection) Str("").Int(-1);
    if (FVersion >= kSaveSinceHistoryFormat && FVersion < kSaveSinceNamedHistories)
      for (int i = 0; i < 6; ++i) Int(0);
    if (FVersion >= kSaveSinceTempTarget) Str("");
    if (FVersion >= kSaveSincePushStack) Int(0);
    return *this;
  }
  TSavedGameBuilder& Tables() {
    if (FVersion > 122) Int(100).Int(0);
    return *this;
  }

 private:
  void Control(std::string_view name, int32_t children) {
    Str(name).Int(0);
    if (FVersion >= kSaveSinceClips) Int(0);
    if (FVersion >= kSaveSinceTag) Str("");
    Int(10).Int(20).Int(30).Int(40).Int(0).Int(0).Byte(0);
    if (FVersion >= kSaveSinceOffsets) Int(0).Int(0).Int(0).Int(0);
    if (FVersion >= kSaveSinceClips) Int(0).Int(0).Int(0).Int(0).Byte(0);
    Byte(1).Int(0x123456).Int(0).Int(0).Int(0).Int(0).Byte(0).Str("").Str("");
    if (FVersion >= kSaveSinceMouseIn) Str("");
    for (int i = 1; i < 8; ++i) Str("");
    if (FVersion >= kSaveSinceKeyEvents) {
      Byte(0);
      for (int i = 9; i < 14; ++i) Str("");
    }
    Int(children);
  }
  void Box(std::string_view name) {
    Byte(2);
    Control(name, 0);
    Int(1).Int(0).Int(255);
    if (FVersion >= kSaveSinceClips) Str("").Str("").Byte(0).Byte(0).Str("").Byte(0).Byte(0);
    if (FVersion >= kSaveSinceBlur) Int(0).Int(0);
  }
  void EmptyHistory() {
    if (FVersion < 113) Str("");
    Int(0).Str("").Int(0).Int(0).Int(0).Int(0).Str("");
    if (FVersion >= 113) {
      Int(100);
      for (int i = 0; i < 6; ++i) Int(0);
      Int(0).Int(0).Int(0);
    }
    if (FVersion >= 124) Str("");
  }
  // The spare frame the stack keeps.
  void Frame() { Str("").Int(0).Byte(0).Byte(0).Str("").Int(0).Str("").Int(0).Byte(0); }

  int32_t FVersion;
};

}  // namespace kest::test
