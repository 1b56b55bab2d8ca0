// Reads stored records out of arbitrary bytes: each step takes one byte that
// picks a primitive, then reads that primitive, until the data runs out. Short
// data must end in EReadError, never in a crash or a large allocation. The
// strings read pass through the text operations that game data reaches.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>

#include "common/errors.h"
#include "common/hash_collection.h"
#include "common/jstring.h"
#include "common/sjis.h"
#include "common/stream.h"
#include "common/string_lists.h"
#include "common/width_conversion.h"

namespace {

using namespace kest;

void Check(bool condition) {
  if (!condition) std::abort();
}

void ExerciseText(const std::string& s, THashCollection& names) {
  int32_t count = 0;
  for (TJChar c : JChars(s)) count += c.Bytes.empty() ? 0 : 1;
  Check(count == JLength(s));
  Check(SameName(FoldName(s), UpperName(s)));
  Check(JPos(s, s) == (s.empty() ? 0 : 1));
  Check(JCopy(s, 1, count) == s);
  Cp932ToUtf8(s);
  Utf8ToCp932(s);
  ZenToHan(HanToZen(s));
  std::string trimmed = JTrim(s);
  Check(trimmed.size() <= s.size());
  TTabStrings fields;
  fields.SetLine(s);
  if (names.Count() < 64) {
    names.AddNamed(s);
    Check(names.IndexOf(UpperName(s)) == names.Count() - 1);
  }
}

void ReadOne(TStream& stream, uint8_t op, THashCollection& names) {
  switch (op % 10) {
    case 0: ReadInt(stream); break;
    case 1: ReadByte(stream); break;
    case 2: ReadFlag(stream); break;
    case 3: ReadDouble(stream); break;
    case 4: ReadExtended(stream); break;
    case 5: ReadInt64(stream); break;
    case 6: ExerciseText(ReadStr(stream), names); break;
    case 7: {
      TArrayString strings;
      strings.LoadFromStream(stream);
      for (const std::string& s : strings.List()) ExerciseText(s, names);
      break;
    }
    case 8: RequireRemaining(stream, ReadInt(stream)); break;
    case 9: stream.Seek(stream.Position() + (op >> 4)); break;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TByteStream stream{std::span<const uint8_t>(data, size)};
  THashCollection names;
  try {
    while (stream.Remaining() > 0) {
      const int64_t before = stream.Position();
      ReadOne(stream, ReadByte(stream), names);
      Check(stream.Position() > before);
    }
  } catch (const EReadError&) {
  }
  return 0;
}
