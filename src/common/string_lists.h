#pragma once
// Lists of strings: TTabStrings splits one line into fields, TArrayString is a
// growable array with its stored form.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kest {

class TStream;

class TTabStrings {
 public:
  explicit TTabStrings(uint8_t delimiter = 9) : FDelimiter(delimiter) {}

  uint8_t Delimiter() const { return FDelimiter; }
  void SetDelimiter(uint8_t value) { FDelimiter = value; }
  // Replaces the fields by those of text. A double-byte character is never
  // split, even when its second byte equals the delimiter; touching delimiters
  // give an empty field, a trailing one gives none.
  void SetLine(std::string_view text);
  // Field i, or the empty string behind the last field.
  const std::string& Field(int32_t index) const;
  int32_t Count() const { return static_cast<int32_t>(FFields.size()); }
  void Clear() { FFields.clear(); }

 private:
  uint8_t FDelimiter;
  std::vector<std::string> FFields;
};

class TArrayString {
 public:
  void Add(std::string_view s) { FStrings.emplace_back(s); }
  void Assign(const TArrayString& other) { FStrings = other.FStrings; }
  void Clear() { FStrings.clear(); }
  int32_t Count() const { return static_cast<int32_t>(FStrings.size()); }
  // Raises EKestError outside 0..Count-1.
  const std::string& Strings(int32_t index) const;
  void SetStrings(int32_t index, std::string_view value);
  const std::vector<std::string>& List() const { return FStrings; }

  // A 4-byte count, then each string as WriteStr writes it.
  void SaveToStream(TStream& stream) const;
  // Replaces the strings; on a read error they stay as they were.
  void LoadFromStream(TStream& stream);

 private:
  std::vector<std::string> FStrings;
};

}  // namespace kest
