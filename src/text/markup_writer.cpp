#include "text/markup_writer.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <set>
#include <tuple>
#include <vector>

#include "common/sjis.h"
#include "text/markup_tag.h"
#include "text/markup_tokenizer.h"
#include "text/tp_word.h"

namespace kest {

namespace {

// No tag of that name exists, so the parser drops it; it still ends the text
// token, which keeps the tokenizer from folding a second space into the first.
constexpr std::string_view kTokenBreak = "<_>";

constexpr std::array<std::string_view, 6> kAlignNames = {"", "LEFT", "RIGHT", "CENTER", "TOP", "BOTTOM"};

struct TStyleTag {
  uint8_t Bit;
  std::string_view Name;
};
constexpr TStyleTag kStyleTags[] = {
    {kStyleBold, "B"}, {kStyleItalic, "I"}, {kStyleUnderline, "U"}, {kStyleStrikeOut, "S"}};
constexpr uint8_t kStyleBits = kStyleBold | kStyleItalic | kStyleUnderline | kStyleStrikeOut;

size_t CharLength(std::string_view s, size_t at) { return IsLeadByte(uint8_t(s[at])) && at + 1 < s.size() ? 2 : 1; }

bool HasControl(std::string_view s) {
  for (char c : s)
    if (uint8_t(c) < 0x20 || c == 0x7F) return true;
  return false;
}

// The bytes the tokenizer takes a backslash in front of.
bool IsEscapable(char c) { return std::string_view("\"%<>\\{}").find(c) != std::string_view::npos; }

// HREF and EVENT values go through ResolveEscapes: the text that resolves to
// value. A CR or LF outside a CR LF pair has none.
std::optional<std::string> EscapeForResolve(std::string_view value) {
  std::string out;
  for (size_t i = 0; i < value.size();) {
    const size_t n = CharLength(value, i);
    const std::string_view c = value.substr(i, n);
    if (value.substr(i, 2) == "\r\n") {
      out += "\\n";
      i += 2;
      continue;
    }
    if (c == "\r" || c == "\n") return std::nullopt;
    // Every backslash doubled: what follows it in the output (a written
    // line break, say) may begin like an escape even where the value's next
    // byte does not.
    if (c == "\\") out += '\\';
    out += c;
    i += n;
  }
  return out;
}

// Outside quoted mode the tokenizer would take these backslashes, and a quote
// would start quoted mode.
std::string TokenizerEscape(std::string_view value) {
  std::string out;
  for (size_t i = 0; i < value.size();) {
    const size_t n = CharLength(value, i);
    const bool taken = value[i] == '\\' && i + 1 < value.size() && IsEscapable(value[i + 1]);
    if (n == 1 && (taken || value[i] == '"')) out += '\\';
    out += value.substr(i, n);
    i += n;
  }
  return out;
}

// Numbers, colours and names read best bare.
bool IsPlainWord(std::string_view value) {
  if (value.empty()) return false;
  for (char c : value)
    if (!std::isalnum(uint8_t(c)) && std::string_view("#+-._").find(c) == std::string_view::npos) return false;
  return true;
}

// The ways to write an attribute value, best first: a plain word bare, then in
// double quotes (the tokenizer copies what they hold), in single quotes, or
// bare with escapes. The first that reads back is used.
std::vector<std::string> Spellings(std::string_view value) {
  std::vector<std::string> out;
  if (IsPlainWord(value)) out.emplace_back(value);
  if (value.find('"') == std::string_view::npos) out.push_back("\"" + std::string(value) + "\"");
  const std::string escaped = TokenizerEscape(value);
  if (value.find('\'') == std::string_view::npos) out.push_back("'" + escaped + "'");
  if (!value.empty() && value.find(' ') == std::string_view::npos && value[0] != '\'') out.push_back(escaped);
  return out;
}

// text is one tag token whose attributes are exactly these, and the tag
// leaves the tokenizer as it found it: text and tags after it read as they
// would alone (a bracket, quote or block closer inside the tag could leave it
// inside a tag or a quote).
bool ReadsBack(std::string_view text, const std::vector<TTagAttribute>& attributes) {
  const TMarkupTokens tokens = TokenizeMarkup(std::string(text) + "x<_>y");
  if (tokens.Count() != 4 || tokens[1] != "x" || tokens[2] != "<_>" || tokens[3] != "y" || !IsTagToken(tokens[0]))
    return false;
  const TTag tag = ParseTag(tokens[0]);
  if (tag.Attributes.size() != attributes.size()) return false;
  for (size_t k = 0; k < attributes.size(); ++k)
    if (tag.Attributes[k].Name != attributes[k].Name || tag.Attributes[k].Value != attributes[k].Value) return false;
  return true;
}

std::optional<std::string> AttributeText(std::string_view tag, const TTagAttribute& a) {
  if (!a.Value) return " " + a.Name;
  if (HasControl(*a.Value)) return std::nullopt;
  for (const std::string& spelling : Spellings(*a.Value)) {
    const std::string text = " " + a.Name + "=" + spelling;
    if (ReadsBack("<" + std::string(tag) + text + ">", {a})) return text;
  }
  return std::nullopt;
}

std::optional<std::string> TagText(std::string_view name, const std::vector<TTagAttribute>& attributes) {
  std::string text = "<" + std::string(name);
  for (const TTagAttribute& a : attributes) {
    const std::optional<std::string> attribute = AttributeText(name, a);
    if (!attribute) return std::nullopt;
    text += *attribute;
  }
  text += ">";
  if (!ReadsBack(text, attributes)) return std::nullopt;
  return text;
}

std::optional<std::string> CharText(uint16_t code) {
  if (code > 0xFF) {
    const auto lead = uint8_t(code >> 8);
    const auto trail = uint8_t(code);
    if (!IsLeadByte(lead) || trail < 0x40 || trail == 0x7F || trail > 0xFC) return std::nullopt;
    return std::string{char(lead), char(trail)};
  }
  const auto c = char(code);
  if (code < 0x20 || code == 0x7F || IsLeadByte(uint8_t(code))) return std::nullopt;
  return IsEscapable(c) ? std::string{'\\', c} : std::string(1, c);
}

// "#RRGGBB" for 0x00BBGGRR.
std::optional<std::string> ColourText(int32_t colour) {
  if (colour < 0 || colour > 0xFFFFFF) return std::nullopt;
  char text[8];
  std::snprintf(text, sizeof text, "#%02X%02X%02X", colour & 0xFF, colour >> 8 & 0xFF, colour >> 16 & 0xFF);
  return text;
}

// The seven values a FONT tag sets.
auto FontKey(const TDecorateValues& d) {
  return std::tie(d.FontSize, d.FontColor, d.BorderColor, d.ShadowColor, d.FontName, d.BorderWidth, d.ShadowOffset);
}

bool IsDefaultFont(const TDecorateValues& d) { return FontKey(d) == FontKey(TDecorateValues{}); }

// The FONT tag that sets d's font values over the defaults.
std::optional<std::string> FontTag(const TDecorateValues& d) {
  std::vector<TTagAttribute> attributes;
  if (d.FontSize != 0) attributes.push_back({"SIZE", std::to_string(d.FontSize)});
  for (auto [name, colour] : {std::pair{"COLOR", d.FontColor}, {"BCOLOR", d.BorderColor}, {"SCOLOR", d.ShadowColor}}) {
    if (colour == -1) continue;
    const std::optional<std::string> text = ColourText(colour);
    if (!text) return std::nullopt;
    attributes.push_back({name, *text});
  }
  if (!d.FontName.empty()) attributes.push_back({"NAME", d.FontName});
  // Absent keeps -1; a written width below 0 would read as 0.
  for (auto [name, width] : {std::pair{"BORDER", d.BorderWidth}, {"SHADOW", d.ShadowOffset}}) {
    if (width == -1) continue;
    if (width < 0) return std::nullopt;
    attributes.push_back({name, std::to_string(width)});
  }
  return TagText("FONT", attributes);
}

const TDecorate* DecorationOf(const TWdGlyph& g) {
  switch (g.Kind()) {
    case TGlyphKind::Char: return static_cast<const TWdChar&>(g).Decoration();
    case TGlyphKind::Var:
    case TGlyphKind::HistChar: return static_cast<const TWdOpeVar&>(g).Decoration();
    default: return nullptr;
  }
}

// A parse interns one record per distinct decoration, in the order the
// glyphs first use them; any other list would not come back.
bool InParseOrder(const TTpWord& word) {
  std::vector<const TDecorate*> used;
  std::set<std::tuple<int32_t, int32_t, int32_t, int32_t, uint8_t, std::string, bool, std::string, int32_t, int32_t>>
      distinct;
  for (int32_t i = 0; i < word.Count(); ++i) {
    const TDecorate* d = DecorationOf(*word.Glyph(i));
    if (!d || std::find(used.begin(), used.end(), d) != used.end()) continue;
    if (!distinct
             .emplace(d->FontColor, d->BorderColor, d->ShadowColor, d->FontSize, d->Style, d->FontName, d->NoBreak,
                      d->Ruby, d->BorderWidth, d->ShadowOffset)
             .second)
      return false;
    used.push_back(d);
  }
  const TDecorateList& list = word.Decorations();
  if (list.Count() != static_cast<int32_t>(used.size())) return false;
  for (size_t k = 0; k < used.size(); ++k)
    if (list.At(static_cast<int32_t>(k)) != used[k]) return false;
  return true;
}

// Walks the glyphs with a model of the parse state and writes, before each
// glyph that takes state, the tags that move the model to that glyph's state.
// Glyphs that take no state (breaks, alignment, indents, events) wait in
// FPending until then, so state tags always follow a character or a tag that
// made a glyph: a closing tag right after <BR> would make the tokenizer drop
// the <BR>.
class TMarkupWriter {
 public:
  explicit TMarkupWriter(const TTpWord& word) : FWord(word), FWait(word.TextDelay) {}

  std::optional<std::string> Write() {
    if (!InParseOrder(FWord)) return std::nullopt;
    for (int32_t i = 0; i < FWord.Count(); ++i)
      if (!Glyph(*FWord.Glyph(i))) return std::nullopt;
    return Finish();
  }

 private:
  struct TLayer {
    std::string Close, Open;
  };

  bool Glyph(const TWdGlyph& g) {
    switch (g.Kind()) {
      case TGlyphKind::Char: return Char(static_cast<const TWdChar&>(g));
      case TGlyphKind::Img: return Image(static_cast<const TWdImg&>(g));
      case TGlyphKind::Return: return Pending(static_cast<const TWdOpeReturn&>(g).Clear ? "<BR CLEAR>" : "<BR>");
      case TGlyphKind::Align: return Align(static_cast<const TWdOpeAlign&>(g).Align);
      case TGlyphKind::Indent: return Pending("<INDENT>");
      case TGlyphKind::Undent: return Pending("<UNDENT>");
      case TGlyphKind::Event: return Event(static_cast<const TWdOpeEvent&>(g));
      case TGlyphKind::Var: return Var(static_cast<const TWdOpeVar&>(g), "VAR", "NAME");
      case TGlyphKind::HistChar: return Var(static_cast<const TWdOpeVar&>(g), "HISTCHAR", "VALUE");
      // Expansions and layout glyphs are not part of the stored text.
      default: return true;
    }
  }

  bool Char(const TWdChar& c) {
    const std::optional<std::string> text = CharText(c.CharCode);
    if (!text || !MoveTo(c.Decoration(), c.Link, c.Wait)) return false;
    Flush();
    if (*text == " " && FSpaceLast) FOut += kTokenBreak;
    FOut += *text;
    FSpaceLast = *text == " ";
    return true;
  }

  bool Image(const TWdImg& g) {
    if (g.Source.empty() || g.Align < taCenter || g.Align > taBottom) return false;
    std::vector<TTagAttribute> attributes = {{"SRC", g.Source}};
    if (g.Align != taBottom) attributes.push_back({"ALIGN", std::string(kAlignNames[g.Align])});
    return Stateful(TagText("IMG", attributes), nullptr, g.Link, g.Wait);
  }

  bool Var(const TWdOpeVar& g, std::string_view tag, std::string_view attribute) {
    if (g.Expression.empty()) return false;
    return Stateful(TagText(tag, {{std::string(attribute), g.Expression}}), g.Decoration(), g.Link, g.Wait);
  }

  bool Stateful(const std::optional<std::string>& tag, const TDecorate* d, std::string_view link, int32_t wait) {
    if (!tag || !MoveTo(d, link, wait)) return false;
    Flush();
    Out(*tag);
    return true;
  }

  bool Event(const TWdOpeEvent& g) {
    const std::optional<std::string> value = EscapeForResolve(g.Value);
    if (!value) return false;
    std::vector<TTagAttribute> attributes = {{"VALUE", *value}};
    if (g.End) attributes.push_back({"END", std::nullopt});
    const std::optional<std::string> tag = TagText("EVENT", attributes);
    return tag && Pending(*tag);
  }

  // A DIV pushes the alignment it adds; a /DIV pops and adds the one below.
  // /DIV is used where that is the glyph's alignment, unless it would follow
  // a <BR>, which the tokenizer drops before a closing tag.
  bool Align(uint8_t align) {
    if (align < taLeft || align > taCenter) return false;
    const size_t n = FAligns.size();
    const uint8_t below = n >= 2 ? FAligns[n - 2] : uint8_t(taLeft);
    if (n >= 1 && below == align && !FPendingBreak) {
      FAligns.pop_back();
      return Pending("</DIV>");
    }
    FAligns.push_back(align);
    return Pending("<DIV ALIGN=" + std::string(kAlignNames[align]) + ">");
  }

  bool Pending(const std::string& tag) {
    FPending += tag;
    FPendingBreak = tag == "<BR>";
    return true;
  }

  void Flush() {
    if (!FPending.empty()) Out(FPending);
    FPending.clear();
    FPendingBreak = false;
  }

  void Out(std::string_view tags) {
    FOut += tags;
    FSpaceLast = false;
  }

  std::string Finish() {
    MoveTo(&FDefault, {}, FWait);
    Flush();
    // The end of a source line loses its blanks.
    if (FSpaceLast) FOut += kTokenBreak;
    return FOut;
  }

  // The tags from the model's state to the target's, closing inner layers
  // first and opening outer ones first. d null: the decoration stays.
  bool MoveTo(const TDecorateValues* d, std::string_view link, int32_t wait) {
    std::vector<TLayer> layers;
    if (!LinkLayer(link, layers)) return false;
    WaitLayer(wait, layers);
    if (d && !DecorationLayers(*d, layers)) return false;
    std::string text;
    for (auto it = layers.rbegin(); it != layers.rend(); ++it) text += it->Close;
    for (const TLayer& layer : layers) text += layer.Open;
    if (!text.empty()) Out(text);
    return true;
  }

  bool LinkLayer(std::string_view link, std::vector<TLayer>& layers) {
    if (link == FLink) return true;
    std::optional<std::string> open = std::string();
    if (!link.empty()) {
      const std::optional<std::string> href = EscapeForResolve(link);
      open = href ? TagText("A", {{"HREF", *href}}) : std::nullopt;
      if (!open) return false;
    }
    layers.push_back({FLink.empty() ? "" : "</A>", *open});
    FLink = link;
    return true;
  }

  void WaitLayer(int32_t wait, std::vector<TLayer>& layers) {
    if (wait == FCurrentWait) return;
    layers.push_back(
        {FCurrentWait != FWait ? "</WAIT>" : "", wait != FWait ? "<WAIT VALUE=" + std::to_string(wait) + ">" : ""});
    FCurrentWait = wait;
  }

  bool DecorationLayers(const TDecorateValues& d, std::vector<TLayer>& layers) {
    if ((d.Style & ~kStyleBits) != 0) return false;
    if (FontKey(d) != FontKey(FState)) {
      const std::optional<std::string> open = IsDefaultFont(d) ? std::string() : FontTag(d);
      if (!open) return false;
      layers.push_back({IsDefaultFont(FState) ? "" : "</FONT>", *open});
    }
    for (const TStyleTag& s : kStyleTags) {
      const bool on = (d.Style & s.Bit) != 0;
      if (on != ((FState.Style & s.Bit) != 0))
        layers.push_back(on ? TLayer{"", "<" + std::string(s.Name) + ">"}
                            : TLayer{"</" + std::string(s.Name) + ">", ""});
    }
    if (d.NoBreak != FState.NoBreak) layers.push_back(d.NoBreak ? TLayer{"", "<NOBR>"} : TLayer{"</NOBR>", ""});
    if (d.Ruby != FState.Ruby) {
      const std::optional<std::string> open = d.Ruby.empty() ? std::string() : TagText("RUBY", {{"VALUE", d.Ruby}});
      if (!open) return false;
      layers.push_back({FState.Ruby.empty() ? "" : "</RUBY>", *open});
    }
    FState = d;
    return true;
  }

  const TTpWord& FWord;
  const int32_t FWait;  // the wait a parse starts with
  const TDecorateValues FDefault{};
  // The model: what the tags written so far leave the parse state at.
  TDecorateValues FState;
  std::string FLink;
  int32_t FCurrentWait = FWait;
  std::vector<uint8_t> FAligns;

  std::string FOut;
  std::string FPending;
  bool FPendingBreak = false;  // FPending ends with <BR>
  bool FSpaceLast = false;     // FOut ends with a space inside a text token
};

}  // namespace

std::optional<std::string> WriteMarkup(const TTpWord& word) { return TMarkupWriter(word).Write(); }

}  // namespace kest
