#pragma once
// The decoration records that character and variable glyphs share: font,
// colours, style, no-break, ruby, outline and shadow. A list interns them so
// that equal decorations are one record, counted by the glyphs that use it.

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace kest {

// Style bits.
inline constexpr uint8_t kStyleBold = 1;
inline constexpr uint8_t kStyleItalic = 2;
inline constexpr uint8_t kStyleUnderline = 4;
inline constexpr uint8_t kStyleStrikeOut = 8;

// The eleven values besides the count; -1, 0 or empty mean the window's or
// the engine's default.
struct TDecorateValues {
  int32_t FontColor = -1;  // 0x00BBGGRR
  int32_t BorderColor = -1;
  int32_t ShadowColor = -1;
  int32_t FontSize = 0;
  uint8_t Style = 0;
  std::string FontName;
  bool NoBreak = false;
  std::string Ruby;
  int32_t BorderWidth = -1;
  int32_t ShadowOffset = -1;

  bool operator==(const TDecorateValues&) const = default;
};

struct TDecorate : TDecorateValues {
  int32_t RefCount = 0;
};

class TDecorateList {
 public:
  TDecorateList();
  ~TDecorateList();
  TDecorateList(const TDecorateList&) = delete;
  TDecorateList& operator=(const TDecorateList&) = delete;

  // The record with these values, counted once more; a new one with count 1
  // when none is equal.
  TDecorate* Acquire(const TDecorateValues& values);
  void AddRef(TDecorate* record) { ++record->RefCount; }
  // One user less; the record goes when none is left.
  void Release(TDecorate* record);
  // A user of record wants other values: it is pointed at an equal record,
  // or the record is edited in place when that user is its only one, or a
  // new record is split off. Gives the record the user holds now.
  TDecorate* Change(TDecorate* record, const TDecorateValues& values);
  // A record taken as it is, without interning (the records of a glyph
  // stream, whose counts the glyphs then make).
  TDecorate* Append(const TDecorateValues& values);
  // While set, records whose count reaches 0 stay (until Clear): freeing a
  // whole text then costs no search per record.
  void KeepUnused(bool keep) { FKeepUnused = keep; }
  // Drops the records no glyph uses.
  void RemoveUnused();
  void Clear();

  int32_t Count() const { return static_cast<int32_t>(FItems.size()); }
  TDecorate* At(int32_t index) const { return FItems[size_t(index)].get(); }
  int32_t IndexOf(const TDecorate* record) const;

 private:
  struct THash {
    size_t operator()(const TDecorateValues& v) const;
  };
  void Unindex(TDecorate* record);
  void Remove(TDecorate* record);

  std::vector<std::unique_ptr<TDecorate>> FItems;
  // One record per distinct set of values (records appended from streams
  // may repeat one; the first is found).
  std::unordered_map<TDecorateValues, TDecorate*, THash> FIndex;
  bool FKeepUnused = false;
};

}  // namespace kest
