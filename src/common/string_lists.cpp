#include "common/string_lists.h"

#include "common/errors.h"
#include "common/sjis.h"
#include "common/stream.h"

namespace kest {

void TTabStrings::SetLine(std::string_view text) {
  FFields.clear();
  const size_t n = text.size();
  size_t cut = 0;
  size_t i = 0;
  while (i < n) {
    const uint8_t b = static_cast<uint8_t>(text[i]);
    if (b == FDelimiter) {
      FFields.emplace_back(text.substr(cut, i - cut));
      cut = ++i;
    } else {
      i += IsLeadByte(b) && i + 1 < n ? 2 : 1;
    }
  }
  if (cut < n) FFields.emplace_back(text.substr(cut));
}

const std::string& TTabStrings::Field(int32_t index) const {
  static const std::string kEmpty;
  return index >= 0 && index < Count() ? FFields[static_cast<size_t>(index)] : kEmpty;
}

const std::string& TArrayString::Strings(int32_t index) const {
  if (index < 0 || index >= Count()) throw EKestError("Error:TArrayString.Strings");
  return FStrings[static_cast<size_t>(index)];
}

void TArrayString::SetStrings(int32_t index, std::string_view value) {
  if (index < 0 || index >= Count()) throw EKestError("Error:TArrayString.Strings");
  FStrings[static_cast<size_t>(index)] = value;
}

void TArrayString::SaveToStream(TStream& stream) const {
  WriteInt(stream, Count());
  for (const std::string& s : FStrings) WriteStr(stream, s);
}

// Each string takes at least its 4-byte length, which bounds the count by the
// bytes that remain before anything is reserved.
void TArrayString::LoadFromStream(TStream& stream) {
  const int32_t count = ReadInt(stream);
  std::vector<std::string> loaded;
  if (count > 0) {
    RequireRemaining(stream, int64_t{count} * 4);
    loaded.reserve(static_cast<size_t>(count));
    for (int32_t i = 0; i < count; ++i) loaded.push_back(ReadStr(stream));
  }
  FStrings.swap(loaded);
}

}  // namespace kest
