// kesttext: marked-up story text drawn as the player draws it, into a PNG,
// for authors choosing faces and sizes and for looking at the result.
//
//   kesttext [--face NAME] [--size N] [--border N] [--shadow N] [--width N]
//            [--height N] [--spacing N] [--colour RRGGBB] [--border-colour RRGGBB]
//            [--shadow-colour RRGGBB] [--background RRGGBB] [--grey 0-3]
//            -o OUT.png MARKUP...
//
// The markup (UTF-8) is one or more arguments, each a line; every page of
// the text is drawn, fully revealed, one under another.
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "common/errors.h"
#include "common/sjis.h"
#include "common/stream.h"
#include "imaging/dibx.h"
#include "imaging/png_codec.h"
#include "platform/fonts/freetype_font_backend.h"
#include "text/font_pixel_manager.h"
#include "text/text_layout.h"
#include "text/tp_word.h"

namespace {

using namespace kest;

struct TOptions {
  std::string Face = Cp932ToUtf8(kDefaultFontName);
  int32_t Size = 24, Border = 0, Shadow = 0, Width = 640, Height = 480, Spacing = 4, Grey = 3;
  int32_t Colour = 0xFFFFFF, BorderColour = 0x000000, ShadowColour = 0x404040, Background = 0x503020;
  std::string Out;
  std::vector<std::string> Lines;
};

[[noreturn]] void Usage(const std::string& why) {
  std::fprintf(stderr,
               "kesttext: %s\nusage: kesttext [--face NAME] [--size N] [--border N] [--shadow N] [--width N] "
               "[--height N] [--spacing N] [--colour RRGGBB] [--border-colour RRGGBB] [--shadow-colour RRGGBB] "
               "[--background RRGGBB] [--grey 0-3] -o OUT.png MARKUP...\n",
               why.c_str());
  std::exit(2);
}

int32_t Number(std::string_view text, int base, int32_t low, int32_t high) {
  int32_t v = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), v, base);
  if (error != std::errc() || end != text.data() + text.size() || v < low || v > high)
    Usage("bad number " + std::string(text));
  return v;
}

// RRGGBB as the engine's 0x00BBGGRR.
int32_t Colour(std::string_view text) {
  const int32_t rgb = Number(text, 16, 0, 0xFFFFFF);
  return (rgb >> 16 & 0xFF) | (rgb & 0xFF00) | (rgb & 0xFF) << 16;
}

TOptions Parse(int argc, char** argv) {
  TOptions o;
  for (int i = 1; i < argc; ++i) {
    const std::string_view a = argv[i];
    auto value = [&]() -> std::string_view {
      if (i + 1 >= argc) Usage(std::string(a) + " needs a value");
      return argv[++i];
    };
    if (a == "--face")
      o.Face = value();
    else if (a == "--size")
      o.Size = Number(value(), 10, 1, 512);
    else if (a == "--border")
      o.Border = Number(value(), 10, 0, 16);
    else if (a == "--shadow")
      o.Shadow = Number(value(), 10, 0, 64);
    else if (a == "--width")
      o.Width = Number(value(), 10, 1, 8192);
    else if (a == "--height")
      o.Height = Number(value(), 10, 1, 8192);
    else if (a == "--spacing")
      o.Spacing = Number(value(), 10, 0, 256);
    else if (a == "--grey")
      o.Grey = Number(value(), 10, 0, 3);
    else if (a == "--colour")
      o.Colour = Colour(value());
    else if (a == "--border-colour")
      o.BorderColour = Colour(value());
    else if (a == "--shadow-colour")
      o.ShadowColour = Colour(value());
    else if (a == "--background")
      o.Background = Colour(value());
    else if (a == "-o")
      o.Out = value();
    else if (a.starts_with("-") && a.size() > 1)
      Usage("unknown option " + std::string(a));
    else
      o.Lines.emplace_back(a);
  }
  if (o.Out.empty() || o.Lines.empty()) Usage("give -o OUT.png and the markup");
  return o;
}

int Run(const TOptions& o) {
  TFreeTypeFontBackend backend;
  TFontPixelManager fonts(backend);
  TTpWord word;
  word.DefaultFontName = Utf8ToCp932(o.Face);
  word.DefaultFontSize = o.Size;
  word.DefaultBorderWidth = o.Border;
  word.DefaultShadowOffset = o.Shadow;
  word.DefaultFontColor = o.Colour;
  word.DefaultBorderColor = o.BorderColour;
  word.DefaultShadowColor = o.ShadowColour;
  word.Width = o.Width;
  word.VisibleHeight = o.Height;
  word.LineSpacing = o.Spacing;
  word.AntiAlias = o.Grey;
  word.Fonts = &fonts;
  std::vector<std::string> lines;
  for (const std::string& line : o.Lines) {
    const std::optional<std::string> cp932 = Utf8ToCp932Strict(line);
    if (!cp932) Usage("the markup holds a character Shift-JIS does not have");
    lines.push_back(*cp932);
  }
  word.SetMarkup(lines);
  TWdPages pages;
  LayoutGlyphs(word, pages);
  TDIBX picture(o.Width, o.Height * std::max<int32_t>(1, int32_t(pages.size())), 32);
  picture.Fill(uint32_t(picture.ColorToPixel(o.Background)));
  word.Target = &picture;
  for (size_t p = 0; p < pages.size(); ++p) {
    word.OriginY = int32_t(p) * o.Height;
    word.PreparePage(*pages[p]);
    word.RevealAll(*pages[p]);
    word.DrawPage(*pages[p]);
  }
  TByteStream png;
  EncodePng(picture, png);
  std::ofstream out(o.Out, std::ios::binary);
  out.write(reinterpret_cast<const char*>(png.Bytes().data()), std::streamsize(png.Bytes().size()));
  if (!out) {
    std::fprintf(stderr, "kesttext: cannot write %s\n", o.Out.c_str());
    return 1;
  }
  std::printf("%s: %zu page(s), %d glyphs\n", o.Out.c_str(), pages.size(), word.Count());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const TOptions options = Parse(argc, argv);
  try {
    return Run(options);
  } catch (const EKestError& e) {
    std::fprintf(stderr, "kesttext: %s\n", Cp932ToUtf8(e.what()).c_str());
    return 1;
  }
}
