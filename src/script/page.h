#pragma once
// One loaded script page (a ksb file): its version, the kind of value it
// returns to a Call, the property masks of its component commands and its
// commands.
//
// File: version (4), result kind (1), mask count K (4), mask record size S
// (4), K mask records, command count N (4), then N commands, each a type
// byte (the low 7 bits are the command id) and its record.

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "common/stream.h"
#include "language/custom_param.h"
#include "script/com_list.h"

namespace kest {

class IProjectUi;
class TParamCollection;
class TVrFileManager;

inline constexpr int32_t kMaskSlotSize = 21;
inline constexpr int32_t kMaskAreaSize = 61 * kMaskSlotSize;  // 1281

class TPage {
 public:
  // Freeing a page frees its page-scoped variables in vars, when given.
  explicit TPage(TParamCollection* vars = nullptr);
  ~TPage();
  TPage(const TPage&) = delete;
  TPage& operator=(const TPage&) = delete;

  // Clears the commands and loads the named file. A file older than version
  // 103 shows "<name>\r\nリビルドしてください" on ui, sets AppTerminating and
  // leaves the page empty; a file newer than 116 gives an empty page.
  // Damaged records raise EReadError, an unknown command "不正なコマンド".
  void Load(std::string_view name, TVrFileManager& files, IProjectUi* ui);
  // The same from the file's bytes.
  void LoadFromBytes(std::string_view name, std::span<const uint8_t> bytes, IProjectUi* ui);
  // Writes the page in its version's layout: 61 mask records of 21 bytes.
  void SaveToStream(TStream& stream) const;

  const std::string& Name() const { return FName; }
  void SetName(std::string name) { FName = std::move(name); }
  int32_t Version = 104;
  uint8_t ResultKind = 1;
  // The value type a call of this page gives back: the kind read as a type
  // code (its high bit ignored), PT_NONE for none or an unknown kind.
  uint8_t ResultType() const;
  // A fresh result value of that type; nothing for PT_NONE, so a call of a
  // page without a result leaves its result variable alone.
  TParamPtr NewResult() const;
  // The 21 mask bytes of a command id; bit i tells whether property i is stored.
  std::span<uint8_t, kMaskSlotSize> Mask(int32_t id);
  std::span<const uint8_t, kMaskSlotSize> Mask(int32_t id) const;
  bool HasProperty(int32_t id, int32_t property) const;
  void SetProperty(int32_t id, int32_t property);
  // Sets the mask bit of every property some component command carries, so
  // that a page built in memory writes all of them.
  void UpdateMasks();

  TComList& Commands() { return FCommands; }
  const TComList& Commands() const { return FCommands; }

 private:
  void ReadMasks(TStream& stream);
  void ReadCommands(TStream& stream);

  TParamCollection* FVars;
  std::string FName;
  std::array<uint8_t, kMaskAreaSize> FMasks{};
  TComList FCommands;
};

}  // namespace kest
