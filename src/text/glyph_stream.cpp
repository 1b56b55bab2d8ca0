#include "text/glyph_stream.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "common/errors.h"
#include "common/stream.h"
#include "language/build_kest_parser.h"
#include "language/kest_parser.h"
#include "text/tp_word.h"

namespace kest {
namespace {

constexpr char kMagic[] = "TpWord";
constexpr int64_t kMagicSize = 6;
constexpr int64_t kHeaderSize = 9;
// The smallest record: five ints, two flag bytes, a one-byte outline width
// and two empty strings.
constexpr int64_t kMinDecorationBytes = 30;
// An event marks its end flag with this byte in front of its string.
constexpr char kEventEndMark = '\x01';

// Where the layout changes.
constexpr int32_t kWideBorderVersion = 100;  // outline width an int, shadows added
constexpr int32_t kVarWaitVersion = 101;     // variables carry wait and link
constexpr int32_t kVarTextVersion = 102;     // variables carry text, not compiled code

[[noreturn]] void Fail(const std::string& what) { throw EReadError(what); }

// One glyph as the stream holds it, before the engine gets it.
struct TGlyphRecord {
  uint8_t Code = gcNone;
  uint8_t Align = 0;
  bool Flag = false;  // a line break's clear flag, an event's end flag
  uint16_t CharCode = 0;
  int32_t Wait = 0;
  int32_t Decoration = 0;
  std::string Link;
  std::string Text;  // event string, image source or expression text
  std::unique_ptr<TKestParser> Compiled;
};

struct TStreamContent {
  std::vector<TDecorateValues> Decorations;
  std::vector<TGlyphRecord> Glyphs;
};

// ---- reading

int32_t ReadVersion(TStream& in) {
  if (in.Remaining() < kHeaderSize) return 0;
  const int64_t start = in.Position();
  char header[kHeaderSize];
  ReadExact(in, header, kHeaderSize);
  if (std::memcmp(header, kMagic, kMagicSize) != 0) {
    in.Seek(start);
    return 0;
  }
  int32_t version = 0;
  for (int64_t i = kMagicSize; i < kHeaderSize; ++i) {
    if (header[i] < '0' || header[i] > '9') Fail("the version after TpWord is not three digits");
    version = version * 10 + (header[i] - '0');
  }
  return version;
}

TDecorateValues ReadDecoration(TStream& in, int32_t version) {
  TDecorateValues d;
  (void)ReadInt(in);  // the stored count; the glyphs make it again
  d.FontColor = ReadInt(in);
  d.BorderColor = ReadInt(in);
  d.FontSize = ReadInt(in);
  d.Style = ReadByte(in);
  d.NoBreak = ReadByte(in) != 0;
  d.BorderWidth = version < kWideBorderVersion ? (ReadByte(in) != 0 ? 1 : 0) : ReadInt(in);
  d.FontName = ReadStr(in);
  d.Ruby = ReadStr(in);
  // Older streams knew no shadows.
  d.ShadowOffset = version < kWideBorderVersion ? 0 : ReadInt(in);
  d.ShadowColor = version < kWideBorderVersion ? 0 : ReadInt(in);
  return d;
}

uint16_t ReadWord(TStream& in) {
  const uint8_t low = ReadByte(in);
  return static_cast<uint16_t>(low | ReadByte(in) << 8);
}

int32_t ReadCount(TStream& in, int64_t minBytes, const char* what) {
  const int32_t count = ReadInt(in);
  if (count < 0 || count > in.Remaining() / minBytes)
    Fail(std::string("the ") + what + " count " + std::to_string(count) + " does not fit the bytes left");
  return count;
}

int32_t ReadDecorationIndex(TStream& in, int32_t decorations) {
  const int32_t index = ReadInt(in);
  if (index < 0 || index >= decorations)
    Fail("decoration index " + std::to_string(index) + " outside the stream's " + std::to_string(decorations) +
         " records");
  return index;
}

void ReadVarBody(TStream& in, int32_t version, int32_t decorations, TGlyphRecord& g) {
  g.Decoration = ReadDecorationIndex(in, decorations);
  if (version >= kVarWaitVersion) {
    g.Wait = ReadInt(in);
    g.Link = ReadStr(in);
  }
  if (version >= kVarTextVersion) {
    g.Text = ReadStr(in);
    return;
  }
  g.Compiled = std::make_unique<TKestParser>();
  g.Compiled->LoadFromStream(in);
}

void ReadEventBody(TStream& in, TGlyphRecord& g) {
  g.Text = ReadStr(in);
  g.Flag = !g.Text.empty() && g.Text[0] == kEventEndMark;
  if (g.Flag) g.Text.erase(0, 1);
}

TGlyphRecord ReadGlyph(TStream& in, int32_t version, int32_t decorations) {
  TGlyphRecord g;
  g.Code = ReadByte(in);
  switch (g.Code) {
    case gcChar:
      g.Link = ReadStr(in);
      g.Wait = ReadInt(in);
      g.CharCode = ReadWord(in);
      g.Decoration = ReadDecorationIndex(in, decorations);
      break;
    case gcAlign: g.Align = ReadByte(in); break;
    case gcReturn: g.Flag = ReadByte(in) != 0; break;
    case gcIndent:
    case gcUndent: break;
    case gcEvent: ReadEventBody(in, g); break;
    case gcVar:
    case gcHistChar: ReadVarBody(in, version, decorations, g); break;
    case gcImg:
      g.Link = ReadStr(in);
      g.Wait = ReadInt(in);
      g.Text = ReadStr(in);
      g.Align = ReadByte(in);
      break;
    default: Fail("unknown glyph code " + std::to_string(g.Code));
  }
  return g;
}

TStreamContent ReadContent(TStream& in) {
  TStreamContent content;
  const int32_t version = ReadVersion(in);
  const int32_t decorations = ReadCount(in, kMinDecorationBytes, "decoration");
  // Grown as records arrive rather than reserved: the count is only a claim.
  for (int32_t i = 0; i < decorations; ++i) content.Decorations.push_back(ReadDecoration(in, version));
  const int32_t glyphs = ReadCount(in, 1, "glyph");
  for (int32_t i = 0; i < glyphs; ++i) content.Glyphs.push_back(ReadGlyph(in, version, decorations));
  return content;
}

bool UsesDecoration(uint8_t code) { return code == gcChar || code == gcVar || code == gcHistChar; }

// The engine's records for the stream's, by stream index. Records no glyph
// uses would only be dropped again (and dropping many from a long list is
// slow), so they are not appended at all.
std::vector<TDecorate*> AppendUsed(TDecorateList& list, const TStreamContent& content) {
  std::vector<bool> used(content.Decorations.size(), false);
  for (const TGlyphRecord& g : content.Glyphs)
    if (UsesDecoration(g.Code)) used[size_t(g.Decoration)] = true;
  std::vector<TDecorate*> records(content.Decorations.size(), nullptr);
  for (size_t i = 0; i < records.size(); ++i)
    if (used[i]) records[i] = list.Append(content.Decorations[i]);
  return records;
}

// The record with one more count for the glyph about to hold it.
TDecorate* Counted(TTpWord& word, const std::vector<TDecorate*>& records, int32_t index) {
  TDecorate* record = records[size_t(index)];
  word.Decorations().AddRef(record);
  return record;
}

std::unique_ptr<TWdGlyph> MakeVar(TTpWord& word, TGlyphRecord& g, TDecorate* counted) {
  std::unique_ptr<TWdOpeVar> var =
      g.Code == gcVar ? NewGlyph<TWdOpeVar>(word, counted) : NewGlyph<TWdOpeHistChar>(word, counted);
  var->Link = std::move(g.Link);
  var->Wait = g.Wait;
  var->Expression = std::move(g.Text);
  var->Compiled = std::move(g.Compiled);
  return var;
}

std::unique_ptr<TWdGlyph> MakeGlyph(TTpWord& word, TGlyphRecord& g, const std::vector<TDecorate*>& records) {
  switch (g.Code) {
    case gcChar: {
      auto c = NewGlyph<TWdChar>(word, g.CharCode, Counted(word, records, g.Decoration));
      c->Link = std::move(g.Link);
      c->Wait = g.Wait;
      return c;
    }
    case gcAlign: {
      auto a = NewGlyph<TWdOpeAlign>(word);
      a->Align = g.Align;
      return a;
    }
    case gcReturn: {
      auto r = NewGlyph<TWdOpeReturn>(word);
      r->Clear = g.Flag;
      return r;
    }
    case gcIndent: return NewGlyph<TWdOpeIndent>(word);
    case gcUndent: return NewGlyph<TWdOpeUndent>(word);
    case gcEvent: {
      auto e = NewGlyph<TWdOpeEvent>(word);
      e->Value = std::move(g.Text);
      e->End = g.Flag;
      return e;
    }
    case gcImg: {
      auto i = NewGlyph<TWdImg>(word);
      i->Link = std::move(g.Link);
      i->Wait = g.Wait;
      i->Source = std::move(g.Text);
      i->Align = g.Align;
      return i;
    }
    default: return MakeVar(word, g, Counted(word, records, g.Decoration));
  }
}

// ---- writing

struct TStreamDecoration {
  int32_t Index = -1;
  int32_t Users = 0;
};

using TDecorationMap = std::unordered_map<const TDecorate*, TStreamDecoration>;

const TDecorate* StoredDecoration(const TWdGlyph& glyph) {
  if (glyph.Code() == gcChar) return static_cast<const TWdChar&>(glyph).Decoration();
  if (glyph.Code() == gcVar || glyph.Code() == gcHistChar) return static_cast<const TWdOpeVar&>(glyph).Decoration();
  return nullptr;
}

// The records the stored glyphs use, numbered in the engine's order and
// counted by those glyphs alone, so that reading the stream back gives the
// same counts.
TDecorationMap MapDecorations(const TTpWord& word, std::vector<const TDecorate*>& order) {
  TDecorationMap map;
  for (int32_t i = 0; i < word.Count(); ++i)
    if (const TDecorate* d = StoredDecoration(*word.Glyph(i))) ++map[d].Users;
  const TDecorateList& list = word.Decorations();
  for (int32_t i = 0; i < list.Count(); ++i) {
    auto it = map.find(list.At(i));
    if (it == map.end() || it->second.Index >= 0) continue;
    it->second.Index = static_cast<int32_t>(order.size());
    order.push_back(list.At(i));
  }
  if (order.size() != map.size()) throw EWriteError("glyph stream: a glyph's decoration is not in its engine's list");
  return map;
}

void WriteHeader(TStream& out, int32_t version) {
  if (version == 0) return;
  if (version < 0 || version > 999) throw EWriteError("glyph stream: version " + std::to_string(version));
  char header[kHeaderSize + 1];
  std::snprintf(header, sizeof header, "%s%03d", kMagic, static_cast<int>(version));
  WriteExact(out, header, kHeaderSize);
}

void WriteDecoration(TStream& out, const TDecorate& d, int32_t users, int32_t version) {
  WriteInt(out, users);
  WriteInt(out, d.FontColor);
  WriteInt(out, d.BorderColor);
  WriteInt(out, d.FontSize);
  WriteByte(out, d.Style);
  WriteByte(out, d.NoBreak ? 1 : 0);
  if (version < kWideBorderVersion)
    WriteByte(out, d.BorderWidth != 0 ? 1 : 0);
  else
    WriteInt(out, d.BorderWidth);
  WriteStr(out, d.FontName);
  WriteStr(out, d.Ruby);
  if (version < kWideBorderVersion) return;
  WriteInt(out, d.ShadowOffset);
  WriteInt(out, d.ShadowColor);
}

std::string_view Trimmed(std::string_view s) {
  while (!s.empty() && static_cast<uint8_t>(s.front()) <= ' ') s.remove_prefix(1);
  while (!s.empty() && static_cast<uint8_t>(s.back()) <= ' ') s.remove_suffix(1);
  return s;
}

// Old readers know only compiled expressions; text that does not compile
// becomes an expression without operations, which shows nothing, as the text
// would have.
TKestParser CompileOrEmpty(std::string_view text) {
  text = Trimmed(text);
  if (text.empty()) return {};
  try {
    return TBuildKestParser::Compile(text);
  } catch (const EKestError&) {
    return {};
  }
}

void WriteCompiled(TStream& out, const TWdOpeVar& var) {
  if (var.Compiled)
    var.Compiled->SaveToStream(out);
  else
    CompileOrEmpty(var.Expression).SaveToStream(out);
}

void WriteVar(TStream& out, const TWdOpeVar& var, int32_t decoration, int32_t version) {
  WriteInt(out, decoration);
  if (version >= kVarWaitVersion) {
    WriteInt(out, var.Wait);
    WriteStr(out, var.Link);
  }
  if (version >= kVarTextVersion)
    WriteStr(out, var.Expression);
  else
    WriteCompiled(out, var);
}

void WriteReal(TStream& out, const TWdReal& real) {
  WriteStr(out, real.Link);
  WriteInt(out, real.Wait);
}

void WriteGlyph(TStream& out, const TWdGlyph& glyph, const TDecorationMap& map, int32_t version) {
  WriteByte(out, glyph.Code());
  switch (glyph.Code()) {
    case gcChar: {
      const auto& c = static_cast<const TWdChar&>(glyph);
      WriteReal(out, c);
      const uint8_t code[2] = {static_cast<uint8_t>(c.CharCode & 0xFF), static_cast<uint8_t>(c.CharCode >> 8)};
      WriteExact(out, code, 2);
      WriteInt(out, map.at(c.Decoration()).Index);
      break;
    }
    case gcAlign: WriteByte(out, static_cast<const TWdOpeAlign&>(glyph).Align); break;
    case gcReturn: WriteByte(out, static_cast<const TWdOpeReturn&>(glyph).Clear ? 1 : 0); break;
    case gcEvent: {
      const auto& e = static_cast<const TWdOpeEvent&>(glyph);
      WriteStr(out, e.End ? kEventEndMark + e.Value : e.Value);
      break;
    }
    case gcVar:
    case gcHistChar: {
      const auto& v = static_cast<const TWdOpeVar&>(glyph);
      WriteVar(out, v, map.at(v.Decoration()).Index, version);
      break;
    }
    case gcImg: {
      const auto& i = static_cast<const TWdImg&>(glyph);
      WriteReal(out, i);
      WriteStr(out, i.Source);
      WriteByte(out, i.Align);
      break;
    }
    default: break;  // indent and undent have no body
  }
}

}  // namespace

void ReadGlyphStream(TStream& stream, TTpWord& word) {
  TStreamContent content;
  try {
    content = ReadContent(stream);
  } catch (const EReadError& e) {
    throw EReadError(std::string("glyph stream: ") + e.what());
  }
  // Nothing below can fail on the bytes: the engine changes only now.
  TDecorateList& list = word.Decorations();
  word.SetDecorationBase(list.Count());
  const std::vector<TDecorate*> records = AppendUsed(list, content);
  for (TGlyphRecord& g : content.Glyphs) word.Add(MakeGlyph(word, g, records));
  list.RemoveUnused();
}

void WriteGlyphStream(TStream& stream, const TTpWord& word, int32_t version) {
  WriteHeader(stream, version);
  std::vector<const TDecorate*> order;
  const TDecorationMap map = MapDecorations(word, order);
  WriteInt(stream, static_cast<int32_t>(order.size()));
  for (const TDecorate* d : order) WriteDecoration(stream, *d, map.at(d).Users, version);
  int32_t stored = 0;
  for (int32_t i = 0; i < word.Count(); ++i) stored += word.Glyph(i)->Code() != gcNone;
  WriteInt(stream, stored);
  for (int32_t i = 0; i < word.Count(); ++i)
    if (word.Glyph(i)->Code() != gcNone) WriteGlyph(stream, *word.Glyph(i), map, version);
}

}  // namespace kest
