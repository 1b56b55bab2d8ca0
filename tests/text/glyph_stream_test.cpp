#include "text/glyph_stream.h"

#include <gtest/gtest.h>

#include <span>
#include <string>
#include <vector>

#include "common/errors.h"
#include "common/stream.h"
#include "language/build_kest_parser.h"
#include "language/kest_parser.h"
#include "text/tp_word.h"

namespace kest {
namespace {

TDecorateValues Styled() {
  TDecorateValues d;
  d.FontColor = 0x0000FF;
  d.BorderColor = 0x112233;
  d.ShadowColor = 0x445566;
  d.FontSize = 20;
  d.Style = kStyleBold | kStyleItalic;
  d.FontName = "Gothic";
  d.NoBreak = true;
  d.Ruby = "ruby";
  d.BorderWidth = 3;
  d.ShadowOffset = 2;
  return d;
}

TDecorateValues Plain() { return {}; }

template <class T>
T& Add(TTpWord& w, std::unique_ptr<T> glyph) {
  T& ref = *glyph;
  w.Add(std::move(glyph));
  return ref;
}

TWdChar& AddChar(TTpWord& w, uint16_t code, const TDecorateValues& d) {
  return Add(w, NewGlyph<TWdChar>(w, code, w.Decorations().Acquire(d)));
}

template <class T>
T& AddVar(TTpWord& w, const std::string& text, const TDecorateValues& d) {
  T& v = Add(w, NewGlyph<T>(w, w.Decorations().Acquire(d)));
  v.Expression = text;
  return v;
}

// Every stored kind, plus glyphs a variable produced, which are not stored
// and whose own decoration must not be written either.
void BuildSample(TTpWord& w) {
  TWdChar& a = AddChar(w, 'A', Styled());
  a.Link = "jump";
  a.Wait = 30;
  AddChar(w, 0x82A0, Plain()).Wait = 50;
  Add(w, NewGlyph<TWdOpeAlign>(w)).Align = taCenter;
  Add(w, NewGlyph<TWdOpeReturn>(w)).Clear = true;
  Add(w, NewGlyph<TWdOpeReturn>(w));
  Add(w, NewGlyph<TWdOpeIndent>(w));
  Add(w, NewGlyph<TWdOpeUndent>(w));
  TWdOpeEvent& end = Add(w, NewGlyph<TWdOpeEvent>(w));
  end.Value = "go";
  end.End = true;
  Add(w, NewGlyph<TWdOpeEvent>(w)).Value = "plain";
  TWdImg& img = Add(w, NewGlyph<TWdImg>(w));
  img.Link = "lnk";
  img.Wait = 7;
  img.Source = "pic.png";
  img.Align = taTop;
  TWdOpeVar& var = AddVar<TWdOpeVar>(w, "a + 1", Styled());
  var.Wait = 40;
  var.Link = "vlink";
  AddVar<TWdOpeHistChar>(w, "b", Plain());
  TDecorateValues produced = Plain();
  produced.FontSize = 99;
  Add(w, NewGlyph<TWdVarChar>(w, 'x', w.Decorations().Acquire(produced)));
  Add(w, NewGlyph<TWdVarReturn>(w));
  Add(w, NewGlyph<TWdVarChar>(w, 'y', w.Decorations().Acquire(Plain())));
}

std::vector<uint8_t> Write(const TTpWord& w, int32_t version) {
  TByteStream out;
  WriteGlyphStream(out, w, version);
  return out.TakeBytes();
}

void Read(const std::vector<uint8_t>& bytes, TTpWord& w) {
  TByteStream in{std::span<const uint8_t>(bytes)};
  ReadGlyphStream(in, w);
}

// A glyph's stored fields as text, as a stream of the version keeps them
// (kAll: everything).
constexpr int32_t kAll = 999;

std::string Describe(TDecorateValues d, int32_t version) {
  if (version < 100) {
    d.BorderWidth = d.BorderWidth != 0 ? 1 : 0;
    d.ShadowOffset = d.ShadowColor = 0;
  }
  return " deco " + std::to_string(d.FontColor) + "/" + std::to_string(d.BorderColor) + "/" +
         std::to_string(d.ShadowColor) + "/" + std::to_string(d.FontSize) + "/" + std::to_string(d.Style) + "/" +
         d.FontName + "/" + std::to_string(d.NoBreak) + "/" + d.Ruby + "/" + std::to_string(d.BorderWidth) + "/" +
         std::to_string(d.ShadowOffset);
}

std::string DescribeVar(const TWdOpeVar& v, int32_t version) {
  std::string s = Describe(*v.Decoration(), version);
  s += version > 100 ? " link " + v.Link + " wait " + std::to_string(v.Wait) : " link  wait 0";
  if (v.Compiled) return s + " ops " + std::to_string(v.Compiled->Operations().size());
  if (version >= 102) return s + " text " + v.Expression;
  return s + " ops " + std::to_string(TBuildKestParser::Compile(v.Expression).Operations().size());
}

std::string Describe(const TWdGlyph& g, int32_t version) {
  std::string s = std::to_string(int(g.Code()));
  if (const auto* r = dynamic_cast<const TWdReal*>(&g))
    s += " link " + r->Link + " wait " + std::to_string(r->Wait) + " alpha " + std::to_string(r->Alpha) +
         (r->Revealed ? " revealed" : "");
  switch (g.Kind()) {
    case TGlyphKind::Char: {
      const auto& c = static_cast<const TWdChar&>(g);
      return s + " code " + std::to_string(c.CharCode) + Describe(*c.Decoration(), version);
    }
    case TGlyphKind::Img: {
      const auto& i = static_cast<const TWdImg&>(g);
      return s + " src " + i.Source + " align " + std::to_string(i.Align);
    }
    case TGlyphKind::Return: return s + (static_cast<const TWdOpeReturn&>(g).Clear ? " clear" : "");
    case TGlyphKind::Align: return s + " align " + std::to_string(static_cast<const TWdOpeAlign&>(g).Align);
    case TGlyphKind::Event: {
      const auto& e = static_cast<const TWdOpeEvent&>(g);
      return s + " event " + e.Value + (e.End ? " end" : "");
    }
    case TGlyphKind::Var:
    case TGlyphKind::HistChar: return s + DescribeVar(static_cast<const TWdOpeVar&>(g), version);
    default: return s;
  }
}

std::vector<std::string> Stored(const TTpWord& w, int32_t version) {
  std::vector<std::string> out;
  for (int32_t i = 0; i < w.Count(); ++i)
    if (w.Glyph(i)->Code() != gcNone) out.push_back(Describe(*w.Glyph(i), version));
  return out;
}

TEST(GlyphStream, EveryVersionKeepsWhatItCanHold) {
  TTpWord sample;
  BuildSample(sample);
  for (int32_t version : {0, 99, 100, 101, 102}) {
    SCOPED_TRACE(version);
    const std::vector<uint8_t> bytes = Write(sample, version);
    EXPECT_EQ(bytes.size() >= 9 && std::string(bytes.begin(), bytes.begin() + 6) == "TpWord", version != 0);
    TTpWord back;
    Read(bytes, back);
    EXPECT_EQ(Stored(back, kAll), Stored(sample, version));
    // The produced glyphs' extra use of the plain record is not carried over,
    // nor the record only they used.
    ASSERT_EQ(back.Decorations().Count(), 2);
    EXPECT_EQ(back.Decorations().At(0)->RefCount, 2);
    EXPECT_EQ(back.Decorations().At(1)->RefCount, 2);
    EXPECT_EQ(back.DecorationBase(), 0);
    EXPECT_EQ(Write(back, version), bytes);
  }
}

TEST(GlyphStream, OldVariablesKeepTheirCompiledFormOnly) {
  TTpWord w;
  AddVar<TWdOpeVar>(w, "1 +* )", Plain());
  TTpWord old;
  Read(Write(w, 101), old);
  auto& var = static_cast<TWdOpeVar&>(*old.Glyph(0));
  ASSERT_NE(var.Compiled, nullptr);
  EXPECT_TRUE(var.Compiled->Operations().empty());

  // Text cannot be recovered from compiled code: a new stream holds none.
  var.Compiled = std::make_unique<TKestParser>(TBuildKestParser::Compile("a + 1"));
  TTpWord now;
  Read(Write(old, 102), now);
  EXPECT_EQ(static_cast<TWdOpeVar&>(*now.Glyph(0)).Expression, "");
  TTpWord again;
  Read(Write(old, 100), again);
  EXPECT_EQ(static_cast<TWdOpeVar&>(*again.Glyph(0)).Compiled->Operations().size(), var.Compiled->Operations().size());
}

// Builds stream bytes by hand.
class TBytes {
 public:
  TBytes& Header(const char* text) {
    WriteExact(FOut, text, 9);
    return *this;
  }
  TBytes& Int(int32_t v) {
    WriteInt(FOut, v);
    return *this;
  }
  TBytes& Byte(uint8_t v) {
    WriteByte(FOut, v);
    return *this;
  }
  TBytes& Str(const std::string& v) {
    WriteStr(FOut, v);
    return *this;
  }
  // An old record: stored count, colours, size, style, no-break, one-byte
  // outline width, font name, ruby.
  TBytes& OldDecoration(int32_t storedCount, uint8_t borderByte) {
    Int(storedCount).Int(1).Int(2).Int(3).Byte(4).Byte(1).Byte(borderByte);
    return Str("N").Str("");
  }
  TBytes& Char(uint16_t code, int32_t decoration) {
    Byte(gcChar).Str("").Int(0).Byte(uint8_t(code)).Byte(uint8_t(code >> 8));
    return Int(decoration);
  }
  std::vector<uint8_t> Take() { return FOut.TakeBytes(); }

 private:
  TByteStream FOut;
};

TEST(GlyphStream, HeaderlessStreamReadsOldLayoutAndRecountsRecords) {
  TTpWord w;
  Read(TBytes().Int(2).OldDecoration(0, 5).OldDecoration(99, 0).Int(2).Char(0x41, 0).Char(0x9F40, 0).Take(), w);
  ASSERT_EQ(w.Count(), 2);
  EXPECT_EQ(static_cast<TWdChar&>(*w.Glyph(1)).CharCode, 0x9F40);
  // The unused record goes; the used one counts its two glyphs.
  ASSERT_EQ(w.Decorations().Count(), 1);
  EXPECT_EQ(w.Decorations().At(0)->RefCount, 2);
  // Colours 1 and 2, size 3, style 4, no-break; width byte 5 reads as 1, no shadow.
  EXPECT_EQ(Describe(*w.Decorations().At(0), kAll), " deco 1/2/0/3/4/N/1//1/0");

  TTpWord empty;
  Read(TBytes().Int(0).Int(0).Take(), empty);  // shorter than a header
  EXPECT_EQ(empty.Count(), 0);
}

TEST(GlyphStream, SecondStreamResolvesAgainstItsOwnRecords) {
  TTpWord first;
  AddChar(first, 'a', Styled());
  TTpWord second;
  AddChar(second, 'b', Plain());
  TTpWord w;
  Read(Write(first, 102), w);
  Read(Write(second, 102), w);
  EXPECT_EQ(w.DecorationBase(), 1);
  ASSERT_EQ(w.Count(), 2);
  EXPECT_EQ(TDecorateValues(*static_cast<TWdChar&>(*w.Glyph(1)).Decoration()), Plain());
  // Stream records are taken as they are, not merged with equal ones.
  Read(Write(second, 102), w);
  EXPECT_EQ(w.Decorations().Count(), 3);
}

void ExpectRejected(const std::vector<uint8_t>& bytes) {
  TTpWord w;
  AddChar(w, 'k', Styled());
  TByteStream in{std::span<const uint8_t>(bytes)};
  try {
    ReadGlyphStream(in, w);
    ADD_FAILURE() << "read " << bytes.size() << " bytes";
  } catch (const EReadError& e) {
    EXPECT_NE(std::string(e.what()).find("glyph stream"), std::string::npos) << e.what();
  }
  EXPECT_EQ(w.Count(), 1);
  EXPECT_EQ(w.Decorations().Count(), 1);
  EXPECT_EQ(w.Decorations().At(0)->RefCount, 1);
  EXPECT_EQ(w.DecorationBase(), 0);
}

TEST(GlyphStream, DamagedStreamsLeaveTheEngineAsItWas) {
  ExpectRejected(TBytes().Int(1).OldDecoration(1, 0).Int(1).Char(0x41, 1).Take());
  ExpectRejected(TBytes().Int(1).OldDecoration(1, 0).Int(1).Char(0x41, -1).Take());
  ExpectRejected(TBytes().Int(0).Int(1000).Byte(gcIndent).Take());
  ExpectRejected(TBytes().Int(0x7FFFFFFF).Int(0).Take());
  ExpectRejected(TBytes().Int(0).Int(2).Byte(gcIndent).Byte(8).Take());
  ExpectRejected(TBytes().Header("TpWord1x2").Int(0).Int(0).Take());
  // A variable's decoration index is checked like a character's.
  ExpectRejected(TBytes().Header("TpWord102").Int(0).Int(1).Byte(gcVar).Int(0).Int(0).Str("").Str("a").Take());
}

TEST(GlyphStream, EveryTruncationIsRejected) {
  TTpWord sample;
  BuildSample(sample);
  for (int32_t version : {0, 100, 101, 102}) {
    SCOPED_TRACE(version);
    const std::vector<uint8_t> bytes = Write(sample, version);
    for (size_t n = 0; n < bytes.size(); ++n) ExpectRejected({bytes.begin(), bytes.begin() + ptrdiff_t(n)});
  }
}

}  // namespace
}  // namespace kest
