#include "platform/fonts/freetype_font_backend.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>
#include <tuple>
#include <unordered_map>
#include <utility>
#include <vector>

#include "common/sjis.h"
#include "platform/fonts/face_names.h"

namespace kest {
namespace {

struct TFontFile {
  std::string path;
  int index = 0;
  bool operator<(const TFontFile& o) const { return std::tie(path, index) < std::tie(o.path, o.index); }
};

struct TOpenFace {
  FT_Face face = nullptr;  // null when the file could not be opened
  int32_t size = 0;        // the pixel size last set
};

std::string PatternString(FcPattern* p, const char* object, int n) {
  FcChar8* s = nullptr;
  if (FcPatternGetString(p, object, n, &s) != FcResultMatch || !s) return {};
  return reinterpret_cast<const char*>(s);
}

int PatternInt(FcPattern* p, const char* object, int fallback) {
  int v = fallback;
  FcPatternGetInteger(p, object, 0, &v);
  return v;
}

// Where several files carry one family name, the plain upright face is the one
// the name means; the path only makes the choice the same on every run.
struct TListedFace {
  TFontFile file;
  int rank = 0;
  std::vector<std::string> names;
};

int StyleRank(FcPattern* p) {
  int weight = PatternInt(p, FC_WEIGHT, FC_WEIGHT_REGULAR);
  int slant = PatternInt(p, FC_SLANT, FC_SLANT_ROMAN);
  return std::abs(weight - FC_WEIGHT_REGULAR) * 2 + (slant != FC_SLANT_ROMAN ? 1000 : 0);
}

std::vector<TListedFace> ListScalableFaces() {
  std::vector<TListedFace> out;
  FcPattern* pattern = FcPatternCreate();
  FcObjectSet* objects =
      FcObjectSetBuild(FC_FAMILY, FC_FULLNAME, FC_FILE, FC_INDEX, FC_WEIGHT, FC_SLANT, FC_SCALABLE, nullptr);
  FcFontSet* set = pattern && objects ? FcFontList(nullptr, pattern, objects) : nullptr;
  for (int i = 0; set && i < set->nfont; ++i) {
    FcPattern* p = set->fonts[i];
    FcBool scalable = FcTrue;
    FcPatternGetBool(p, FC_SCALABLE, 0, &scalable);
    TListedFace f{{PatternString(p, FC_FILE, 0), PatternInt(p, FC_INDEX, 0)}, StyleRank(p), {}};
    if (!scalable || f.file.path.empty()) continue;
    for (const char* object : {FC_FAMILY, FC_FULLNAME}) {
      for (int n = 0;; ++n) {
        std::string name = PatternString(p, object, n);
        if (name.empty()) break;
        f.names.push_back(std::move(name));
      }
    }
    out.push_back(std::move(f));
  }
  if (set) FcFontSetDestroy(set);
  if (objects) FcObjectSetDestroy(objects);
  if (pattern) FcPatternDestroy(pattern);
  std::sort(out.begin(), out.end(), [](const TListedFace& a, const TListedFace& b) {
    return a.rank != b.rank ? a.rank < b.rank : a.file < b.file;
  });
  return out;
}

// Every family and full name of every installed face, normalised. Only exact
// names count: fontconfig's best match would give some font for any name, and
// the engine must be told a face is missing to use its own fallback.
std::unordered_map<std::string, TFontFile> BuildIndex() {
  std::unordered_map<std::string, TFontFile> index;
  for (const TListedFace& f : ListScalableFaces()) {
    for (const std::string& name : f.names) index.emplace(NormaliseFaceName(name), f.file);
  }
  return index;
}

int32_t Scaled(double units, int32_t size, int upem) { return static_cast<int32_t>(std::lround(units * size / upem)); }

// Bitmap-only files are refused: styles are applied to outlines.
FT_Face OpenFile(FT_Library library, const TFontFile& file) {
  FT_Face face = nullptr;
  if (FT_New_Face(library, file.path.c_str(), file.index, &face) != 0) return nullptr;
  if (!FT_IS_SCALABLE(face)) {
    FT_Done_Face(face);
    return nullptr;
  }
  FT_Select_Charmap(face, FT_ENCODING_UNICODE);
  return face;
}

void ApplyStyle(FT_Outline& outline, uint8_t style) {
  if (style & 1) FT_Outline_EmboldenXY(&outline, 64, 0);
  if (style & 2) {
    FT_Matrix shear{0x10000, 0x3333, 0, 0x10000};
    FT_Outline_Transform(&outline, &shear);
  }
}

// Grey bitmaps are kept as they are; 1-bit ones become 0 or 255.
void CopyBitmap(const FT_GlyphSlot slot, TGlyphImage& g) {
  const FT_Bitmap& bm = slot->bitmap;
  const int w = static_cast<int>(bm.width), h = static_cast<int>(bm.rows);
  const bool mono = bm.pixel_mode == FT_PIXEL_MODE_MONO;
  if (w <= 0 || h <= 0 || !bm.buffer || !(mono || bm.pixel_mode == FT_PIXEL_MODE_GRAY)) return;
  g.Width = w;
  g.Height = h;
  g.OriginX = slot->bitmap_left;
  g.OriginY = slot->bitmap_top;
  g.Coverage.resize(static_cast<size_t>(w) * static_cast<size_t>(h));
  // A negative pitch means the buffer starts at the bottom row.
  const unsigned char* top = bm.pitch < 0 ? bm.buffer - static_cast<ptrdiff_t>(h - 1) * bm.pitch : bm.buffer;
  for (int y = 0; y < h; ++y) {
    const unsigned char* row = top + static_cast<ptrdiff_t>(y) * bm.pitch;
    uint8_t* out = g.Coverage.data() + static_cast<size_t>(y) * static_cast<size_t>(w);
    for (int x = 0; x < w; ++x) out[x] = mono ? ((row[x >> 3] >> (7 - (x & 7))) & 1) * 255 : row[x];
  }
}

}  // namespace

struct TFreeTypeFontBackend::TState {
  FT_Library library = nullptr;
  std::unordered_map<std::string, std::string> overrides;
  std::optional<std::unordered_map<std::string, TFontFile>> index;
  std::unordered_map<std::string, std::optional<TFontFile>> resolved;  // by the CP932 name
  std::map<TFontFile, TOpenFace> faces;

  ~TState() {
    for (auto& [file, open] : faces) {
      if (open.face) FT_Done_Face(open.face);
    }
    if (library) FT_Done_FreeType(library);
  }

  std::optional<TFontFile> Indexed(const std::string& key) {
    if (!index) index = BuildIndex();
    auto it = index->find(key);
    if (it == index->end()) return std::nullopt;
    return it->second;
  }

  std::optional<TFontFile> Pinned(const std::string& key) const {
    auto it = overrides.find(key);
    if (it == overrides.end()) return std::nullopt;
    return TFontFile{it->second, 0};
  }

  // A pinned name first, then the stand-in for a Windows face (which may be
  // pinned itself), then an installed face of that very name.
  std::optional<TFontFile> Lookup(std::string_view name) {
    const std::string key = NormaliseFaceName(Cp932ToUtf8(name));
    if (key.empty()) return std::nullopt;
    if (auto f = Pinned(key)) return f;
    if (std::optional<std::string_view> family = FaceAlias(key)) {
      const std::string target = NormaliseFaceName(*family);
      if (auto f = Pinned(target)) return f;
      if (auto f = Indexed(target)) return f;
    }
    return Indexed(key);
  }

  std::optional<TFontFile> Resolve(std::string_view name) {
    auto it = resolved.find(std::string(name));
    if (it == resolved.end()) it = resolved.emplace(std::string(name), Lookup(name)).first;
    return it->second;
  }

  // A file that fails to open is remembered as such, not retried.
  TOpenFace* Open(std::string_view name) {
    std::optional<TFontFile> file = Resolve(name);
    if (!file || !library) return nullptr;
    auto [it, added] = faces.try_emplace(*file);
    if (added) it->second.face = OpenFile(library, *file);
    return it->second.face ? &it->second : nullptr;
  }

  FT_Face Sized(const TFontRequest& font) {
    // Larger requests are refused rather than allocated.
    if (font.Size < 1 || font.Size > kMaxFontSize) return nullptr;
    TOpenFace* open = Open(font.Name);
    if (!open) return nullptr;
    if (open->size != font.Size) {
      if (FT_Set_Pixel_Sizes(open->face, 0, static_cast<FT_UInt>(font.Size)) != 0) return nullptr;
      open->size = font.Size;
    }
    return open->face;
  }
};

TFreeTypeFontBackend::TFreeTypeFontBackend() : FState(std::make_unique<TState>()) {
  if (FT_Init_FreeType(&FState->library) != 0) FState->library = nullptr;
  if (const char* map = std::getenv("KEST_FONT_MAP")) FState->overrides = ParseFontMap(map);
}

TFreeTypeFontBackend::~TFreeTypeFontBackend() = default;

bool TFreeTypeFontBackend::HasFace(std::string_view name) { return FState->Open(name) != nullptr; }

std::string TFreeTypeFontBackend::FacePath(std::string_view name) {
  std::optional<TFontFile> file = FState->Resolve(name);
  return file ? file->path : std::string();
}

std::optional<TFontMetrics> TFreeTypeFontBackend::Metrics(const TFontRequest& font) {
  FT_Face face = FState->Sized(font);
  if (!face || face->units_per_EM == 0) return std::nullopt;
  const int upem = face->units_per_EM;
  const int32_t s = font.Size;
  const auto* hhea = static_cast<const TT_HoriHeader*>(FT_Get_Sfnt_Table(face, FT_SFNT_HHEA));
  const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
  const auto* post = static_cast<const TT_Postscript*>(FT_Get_Sfnt_Table(face, FT_SFNT_POST));
  double ascender = hhea ? hhea->Ascender : 0, descender = hhea ? hhea->Descender : 0;
  if (ascender == 0 && os2) ascender = os2->sTypoAscender, descender = os2->sTypoDescender;
  if (ascender == 0) ascender = face->ascender, descender = face->descender;
  TFontMetrics m;
  m.Ascent = Scaled(ascender, s, upem);
  m.Descent = Scaled(std::abs(descender), s, upem);
  m.Height = m.Ascent + m.Descent;
  const double thickness = post ? post->underlineThickness : face->underline_thickness;
  m.UnderlineSize = std::max(1, Scaled(thickness, s, upem));
  m.UnderlinePosition = Scaled(post ? post->underlinePosition : face->underline_position, s, upem);
  m.StrikeoutSize = std::max(1, Scaled(os2 ? os2->yStrikeoutSize : thickness, s, upem));
  m.StrikeoutPosition = os2 ? Scaled(os2->yStrikeoutPosition, s, upem) : m.Ascent / 3;
  return m;
}

std::optional<TGlyphImage> TFreeTypeFontBackend::Glyph(const TFontRequest& font, uint16_t code) {
  FT_Face face = FState->Sized(font);
  if (!face) return std::nullopt;
  const FT_UInt index = FT_Get_Char_Index(face, Cp932CodeToUnicode(code));
  const FT_Int32 flags = FT_LOAD_NO_BITMAP | (font.Mono ? FT_LOAD_TARGET_MONO : FT_LOAD_TARGET_NORMAL);
  if (FT_Load_Glyph(face, index, flags) != 0) return std::nullopt;
  FT_GlyphSlot slot = face->glyph;
  if (slot->format != FT_GLYPH_FORMAT_OUTLINE) return std::nullopt;
  ApplyStyle(slot->outline, font.Style);
  TGlyphImage g;
  g.Advance = static_cast<int32_t>((slot->advance.x + 32) >> 6);
  if (slot->outline.n_contours == 0) return g;
  if (FT_Render_Glyph(slot, font.Mono ? FT_RENDER_MODE_MONO : FT_RENDER_MODE_NORMAL) != 0) return std::nullopt;
  CopyBitmap(slot, g);
  return g;
}

TAbcWidths TFreeTypeFontBackend::Abc(const TFontRequest& font, uint16_t code) {
  std::optional<TGlyphImage> g = Glyph(font, code);
  if (!g) return {};
  return {g->OriginX, g->Width, g->Advance - g->OriginX - g->Width};
}

}  // namespace kest
