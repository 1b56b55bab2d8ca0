// A 600-character page of Japanese prose at 24 px with outline 2 and shadow 2
// (IPA Gothic through FreeType):
//  - preparing it (rendering every character into the glyph layers), with an
//    empty glyph cache and with a warm one, against FreeType rendering the
//    same 600 characters and nothing else, in the same run (goal: 3 or less);
//  - drawing the revealed page each frame, against a memcpy of the text
//    area (goal: 2 or less).
#include <benchmark/benchmark.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>

#include "common/sjis.h"
#include "imaging/dibx.h"
#include "platform/fonts/freetype_font_backend.h"
#include "text/font_pixel_manager.h"
#include "text/text_layout.h"
#include "text/tp_word.h"

namespace {

using namespace kest;

constexpr int32_t kW = 1280, kH = 720;

std::string Prose() {
  const std::string sentence = Utf8ToCp932(
      "春の夜、窓の外では桜の花びらが静かに舞っていた。遠くで鐘が鳴る。記憶の中の風景は、いつも少しだけ色あせている。"
      "返事はなかった。表の通りを、やわらかな足音が通り過ぎていく。空はどこまでも高く、雲ひとつない。");
  std::string text;
  int32_t n = 0;
  for (size_t i = 0; n < 600; i = (i + 2) % sentence.size(), ++n) text += sentence.substr(i, 2);
  return text;
}

struct TPage {
  TFreeTypeFontBackend Backend;
  std::unique_ptr<TFontPixelManager> Fonts = std::make_unique<TFontPixelManager>(Backend);
  TDIBX Target{kW, kH, 32};
  TTpWord Word;
  TWdPages Pages;

  TPage() {
    Word.Fonts = Fonts.get();
    Word.Target = &Target;
    Word.Width = kW;
    Word.VisibleHeight = kH;
    Word.DefaultFontSize = 24;
    Word.DefaultBorderWidth = 2;
    Word.DefaultShadowOffset = 2;
    Word.DefaultBorderColor = 0;
    Word.SetMarkup(Prose());
    LayoutGlyphs(Word, Pages);
    Target.Fill(0x304050);
  }
  ~TPage() { Pages.clear(); }
};

TPage& Page() {
  static TPage page;
  return page;
}

double Seconds(auto f, int rounds) {
  const auto t0 = std::chrono::steady_clock::now();
  for (int i = 0; i < rounds; ++i) f();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count() / rounds;
}

// FreeType alone: every character loaded and rendered at 24 px.
double RawFreeType(int rounds) {
  TPage& p = Page();
  FT_Library library;
  FT_Init_FreeType(&library);
  FT_Face face;
  const std::string path = p.Backend.FacePath(std::string(kDefaultFontName));
  FT_New_Face(library, path.c_str(), 0, &face);
  FT_Set_Pixel_Sizes(face, 0, 24);
  std::vector<char32_t> chars;
  for (int32_t i = 0; i < p.Word.Count(); ++i)
    if (auto* c = dynamic_cast<TWdChar*>(p.Word.Glyph(i))) chars.push_back(Cp932CodeToUnicode(c->CharCode));
  const double s = Seconds(
      [&] {
        for (char32_t ch : chars) {
          FT_Load_Char(face, ch, FT_LOAD_RENDER | FT_LOAD_NO_BITMAP);
          benchmark::DoNotOptimize(face->glyph->bitmap.buffer);
        }
      },
      rounds);
  FT_Done_Face(face);
  FT_Done_FreeType(library);
  return s;
}

double PrepareCold(int rounds) {
  TPage& p = Page();
  return Seconds(
      [&] {
        p.Fonts = std::make_unique<TFontPixelManager>(p.Backend);
        p.Word.Fonts = p.Fonts.get();
        p.Word.PreparePage(*p.Pages[0]);
      },
      rounds);
}

double PrepareWarm(int rounds) {
  TPage& p = Page();
  p.Word.PreparePage(*p.Pages[0]);
  return Seconds([&] { p.Word.PreparePage(*p.Pages[0]); }, rounds);
}

double Draw(int rounds) {
  TPage& p = Page();
  p.Word.PreparePage(*p.Pages[0]);
  p.Word.RevealAll(*p.Pages[0]);
  return Seconds([&] { p.Word.DrawPage(*p.Pages[0]); }, rounds);
}

// A memcpy of the rows the page's text covers.
double CopyArea(int rounds) {
  TPage& p = Page();
  const int32_t rows = std::min(kH, p.Pages[0]->Height);
  TDIBX from(kW, kH, 32);
  return Seconds(
      [&] {
        for (int32_t y = 0; y < rows; ++y) std::memcpy(p.Target.ScanLine(y), from.ScanLine(y), size_t(kW) * 4);
        benchmark::ClobberMemory();
      },
      rounds);
}

void BM_Ratios(benchmark::State& state) {
  double raw = 0, cold = 0, warm = 0, draw = 0, copy = 0;
  for (auto _ : state) {
    raw = RawFreeType(20);
    cold = PrepareCold(20);
    warm = PrepareWarm(20);
    draw = Draw(200);
    copy = CopyArea(200);
  }
  std::printf("prepare 600 glyphs: raw FreeType %.2f ms, cold cache %.2f ms (%.2fx), warm %.2f ms (%.2fx)\n", raw * 1e3,
              cold * 1e3, cold / raw, warm * 1e3, warm / raw);
  std::printf("draw revealed page: %.3f ms, memcpy of the area %.3f ms (%.2fx)\n", draw * 1e3, copy * 1e3, draw / copy);
  state.counters["prepare_cold_vs_freetype"] = cold / raw;
  state.counters["draw_vs_memcpy"] = draw / copy;
}

BENCHMARK(BM_Ratios)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
