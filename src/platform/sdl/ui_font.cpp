#include "platform/sdl/ui_font.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <optional>

namespace kest {
namespace {

constexpr char32_t kReplacement = 0xFFFD;
// Drawing arbitrary text must not grow the cache without bound.
constexpr size_t kMaxCachedGlyphs = 4096;
// A glyph larger than this is drawn as empty rather than allocated.
constexpr int kMaxGlyphSide = 4 * TUiFont::kMaxPixelSize;

// The process-wide FreeType handle. It is never released: fonts may live in
// objects destroyed after any static destructor would run. FreeType requires
// that faces are created and freed one at a time per library.
struct TFreeType {
  std::mutex mutex;
  FT_Library library = nullptr;
};

TFreeType& FreeType() {
  static TFreeType* ft = [] {
    auto* f = new TFreeType;
    if (FT_Init_FreeType(&f->library) != 0) f->library = nullptr;
    return f;
  }();
  return *ft;
}

bool EqualsAsciiNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
    if (x >= 'A' && x <= 'Z') x = static_cast<unsigned char>(x + 32);
    if (y >= 'A' && y <= 'Z') y = static_cast<unsigned char>(y + 32);
    if (x != y) return false;
  }
  return true;
}

struct TFontFile {
  std::string path;
  int index = 0;
  std::string family;
  int rank = 0;  // lower is preferred
};

// The installed files of the IPA families, in the order they are preferred
// when the requested family itself is missing.
constexpr std::string_view kIpaFiles[] = {"ipag.ttf", "ipagp.ttf", "ipam.ttf", "ipamp.ttf", "ipaexg.ttf", "ipaexm.ttf"};

std::string PatternString(FcPattern* p, const char* object, int n = 0) {
  FcChar8* s = nullptr;
  if (FcPatternGetString(p, object, n, &s) != FcResultMatch || !s) return {};
  return reinterpret_cast<const char*>(s);
}

int PatternInt(FcPattern* p, const char* object, int fallback) {
  int v = fallback;
  FcPatternGetInteger(p, object, 0, &v);
  return v;
}

// Regular upright faces first, so that a family with bold or italic files
// still opens its plain face.
int StyleRank(FcPattern* p) {
  int weight = PatternInt(p, FC_WEIGHT, FC_WEIGHT_REGULAR);
  int slant = PatternInt(p, FC_SLANT, FC_SLANT_ROMAN);
  return std::abs(weight - FC_WEIGHT_REGULAR) * 2 + (slant != FC_SLANT_ROMAN ? 1000 : 0);
}

// Every installed face for which `accept` gives a rank, best first.
template <typename TAccept>
std::vector<TFontFile> ListFaces(FcPattern* pattern, TAccept accept) {
  std::vector<TFontFile> out;
  FcObjectSet* objects = FcObjectSetBuild(FC_FAMILY, FC_FILE, FC_INDEX, FC_WEIGHT, FC_SLANT, nullptr);
  FcFontSet* set = objects ? FcFontList(nullptr, pattern, objects) : nullptr;
  for (int i = 0; set && i < set->nfont; ++i) {
    FcPattern* p = set->fonts[i];
    TFontFile f{PatternString(p, FC_FILE), PatternInt(p, FC_INDEX, 0), PatternString(p, FC_FAMILY), 0};
    if (f.path.empty()) continue;
    if (std::optional<int> rank = accept(p, f)) {
      f.rank = *rank;
      out.push_back(std::move(f));
    }
  }
  if (set) FcFontSetDestroy(set);
  if (objects) FcObjectSetDestroy(objects);
  std::sort(out.begin(), out.end(), [](const TFontFile& a, const TFontFile& b) {
    return a.rank != b.rank ? a.rank < b.rank : a.path < b.path;
  });
  return out;
}

// fontconfig lists faces whose family merely compares equal under its own
// loose rules (case, spaces); only a face that carries the name itself counts.
std::vector<TFontFile> FacesOfFamily(std::string_view family) {
  FcPattern* pattern = FcPatternCreate();
  if (!pattern) return {};
  std::string name(family);
  FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(name.c_str()));
  auto faces = ListFaces(pattern, [&](FcPattern* p, TFontFile& f) -> std::optional<int> {
    for (int n = 0;; ++n) {
      std::string candidate = PatternString(p, FC_FAMILY, n);
      if (candidate.empty()) return std::nullopt;
      if (EqualsAsciiNoCase(candidate, family)) {
        f.family = candidate;
        return StyleRank(p);
      }
    }
  });
  FcPatternDestroy(pattern);
  return faces;
}

std::vector<TFontFile> IpaFaces() {
  FcPattern* pattern = FcPatternCreate();
  if (!pattern) return {};
  auto faces = ListFaces(pattern, [](FcPattern* p, TFontFile& f) -> std::optional<int> {
    std::string_view base(f.path);
    base = base.substr(base.find_last_of('/') + 1);
    for (size_t i = 0; i < std::size(kIpaFiles); ++i) {
      if (base == kIpaFiles[i]) return static_cast<int>(i) * 10000 + StyleRank(p);
    }
    return std::nullopt;
  });
  FcPatternDestroy(pattern);
  return faces;
}

std::vector<std::string> FamilyChain(std::string_view family) {
  std::vector<std::string> chain{std::string(family)};
  bool ipa = family.size() >= 3 && EqualsAsciiNoCase(family.substr(0, 3), "IPA");
  if (!ipa) return chain;
  for (const char* next : {"IPAGothic", "IPAPGothic"}) {
    if (!EqualsAsciiNoCase(family, next)) chain.emplace_back(next);
  }
  return chain;
}

std::vector<TFontFile> Candidates(std::string_view family) {
  std::vector<TFontFile> all;
  for (const std::string& name : FamilyChain(family)) {
    auto faces = FacesOfFamily(name);
    all.insert(all.end(), faces.begin(), faces.end());
  }
  if (FamilyChain(family).size() > 1) {
    auto faces = IpaFaces();
    all.insert(all.end(), faces.begin(), faces.end());
  }
  return all;
}

}  // namespace

char32_t DecodeUtf8(std::string_view text, size_t& pos) {
  if (pos >= text.size()) {
    pos = text.size();
    return 0;
  }
  auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
  unsigned char lead = byte(pos);
  if (lead < 0x80) {
    ++pos;
    return lead;
  }
  size_t length;
  char32_t cp, minimum;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, cp = lead & 0x1F, minimum = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, cp = lead & 0x0F, minimum = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, cp = lead & 0x07, minimum = 0x10000;
  } else {
    ++pos;
    return kReplacement;
  }
  if (text.size() - pos < length) {
    ++pos;
    return kReplacement;
  }
  for (size_t i = 1; i < length; ++i) {
    unsigned char b = byte(pos + i);
    if ((b & 0xC0) != 0x80) {
      ++pos;
      return kReplacement;
    }
    cp = (cp << 6) | (b & 0x3F);
  }
  if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
    ++pos;
    return kReplacement;
  }
  pos += length;
  return cp;
}

struct TUiFont::TFace {
  FT_Face face = nullptr;
  ~TFace() {
    std::lock_guard lock(FreeType().mutex);
    if (face) FT_Done_Face(face);
  }
};

std::unique_ptr<TUiFont> TUiFont::Open(std::string_view family, int pixelSize) {
  if (pixelSize < 1 || pixelSize > kMaxPixelSize) {
    std::fprintf(stderr, "kestplayer: font size %d px is out of range\n", pixelSize);
    return nullptr;
  }
  TFreeType& ft = FreeType();
  for (const TFontFile& file : Candidates(family)) {
    auto face = std::make_unique<TFace>();
    std::lock_guard lock(ft.mutex);
    if (!ft.library || FT_New_Face(ft.library, file.path.c_str(), file.index, &face->face) != 0) continue;
    if (FT_Set_Pixel_Sizes(face->face, 0, static_cast<FT_UInt>(pixelSize)) != 0) continue;
    return std::unique_ptr<TUiFont>(new TUiFont(std::move(face), file.family, file.path, pixelSize));
  }
  std::string name(family);
  std::fprintf(stderr, "kestplayer: no font of the family \"%s\" is installed%s\n", name.c_str(),
               FamilyChain(family).size() > 1 ? " (nor any IPA font)" : "");
  return nullptr;
}

TUiFont::TUiFont(std::unique_ptr<TFace> face, std::string family, std::string file, int pixelSize)
    : FFace(std::move(face)), FFamily(std::move(family)), FFile(std::move(file)), FPixelSize(pixelSize) {
  const FT_Size_Metrics& m = FFace->face->size->metrics;
  FAscent = static_cast<int>((m.ascender + 63) >> 6);
  int descent = static_cast<int>((-m.descender + 63) >> 6);
  FHeight = std::max(FAscent + descent, 1);
}

TUiFont::~TUiFont() = default;

TUiFont::TGlyph TUiFont::Render(char32_t codePoint) {
  TGlyph g;
  if (codePoint < 0x20 || (codePoint >= 0x7F && codePoint < 0xA0)) return g;
  FT_Face face = FFace->face;
  FT_UInt index = FT_Get_Char_Index(face, codePoint);
  if (index == 0 && codePoint != kReplacement) index = FT_Get_Char_Index(face, kReplacement);
  if (FT_Load_Glyph(face, index, FT_LOAD_DEFAULT | FT_LOAD_NO_BITMAP) != 0) return g;
  FT_GlyphSlot slot = face->glyph;
  g.advance = std::max(0, static_cast<int>((slot->advance.x + 32) >> 6));
  if (FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) != 0) return g;
  const FT_Bitmap& bm = slot->bitmap;
  int w = static_cast<int>(bm.width), h = static_cast<int>(bm.rows);
  bool gray = bm.pixel_mode == FT_PIXEL_MODE_GRAY, mono = bm.pixel_mode == FT_PIXEL_MODE_MONO;
  if (w <= 0 || h <= 0 || w > kMaxGlyphSide || h > kMaxGlyphSide || !bm.buffer || !(gray || mono)) return g;
  g.left = slot->bitmap_left;
  g.top = slot->bitmap_top;
  g.width = w;
  g.height = h;
  g.coverage.resize(static_cast<size_t>(w) * static_cast<size_t>(h));
  for (int y = 0; y < h; ++y) {
    const unsigned char* row = bm.buffer + static_cast<ptrdiff_t>(y) * bm.pitch;
    uint8_t* out = g.coverage.data() + static_cast<size_t>(y) * static_cast<size_t>(w);
    for (int x = 0; x < w; ++x) out[x] = gray ? row[x] : ((row[x >> 3] >> (7 - (x & 7))) & 1) * 255;
  }
  return g;
}

const TUiFont::TGlyph& TUiFont::Glyph(char32_t codePoint) {
  auto it = FCache.find(codePoint);
  if (it != FCache.end()) return it->second;
  if (FCache.size() >= kMaxCachedGlyphs) FCache.clear();
  return FCache.emplace(codePoint, Render(codePoint)).first->second;
}

int TUiFont::Advance(char32_t codePoint) { return Glyph(codePoint).advance; }

int TUiFont::Measure(std::string_view utf8) {
  int64_t width = 0;
  for (size_t pos = 0; pos < utf8.size();) width += Advance(DecodeUtf8(utf8, pos));
  return static_cast<int>(std::min<int64_t>(width, INT_MAX));
}

void TUiFont::Draw(TUiCanvas& canvas, int x, int yTop, std::string_view utf8, uint32_t color) {
  int64_t pen = x;
  int64_t baseline = static_cast<int64_t>(yTop) + FAscent;
  for (size_t pos = 0; pos < utf8.size() && pen < canvas.width;) {
    const TGlyph& g = Glyph(DecodeUtf8(utf8, pos));
    int64_t gx = pen + g.left, gy = baseline - g.top;
    bool on_canvas = gx > -kMaxGlyphSide && gx < canvas.width && gy > -kMaxGlyphSide && gy < canvas.height;
    if (!g.coverage.empty() && on_canvas) {
      canvas.BlendCoverage(static_cast<int>(gx), static_cast<int>(gy), g.coverage.data(), g.width, g.height, g.width,
                           color);
    }
    pen += g.advance;
  }
}

}  // namespace kest
