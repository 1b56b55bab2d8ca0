// demo_art OUTDIR: draws the pictures of the demo game (title screen, buttons,
// the first scene and its character, the exit question) and writes them as
// Pexa files into OUTDIR. Everything is drawn from code, so the game carries
// no binary pictures in its sources.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <functional>
#include <string>

#include "common/stream.h"
#include "imaging/pexa_frame_list.h"
#include "platform/sdl/ui_font.h"
#include "platform/ui_canvas.h"

namespace {

using namespace kest;

// A picture being drawn: 32-bit colour and an 8-bit coverage of the same size.
struct TArt {
  TArt(int32_t w, int32_t h) : Colour(w, h, 32), Alpha(w, h, 8) {}

  TUiCanvas Canvas() {
    TUiCanvas c;
    c.pixels = reinterpret_cast<uint32_t*>(Colour.ScanLine(0));
    c.width = Colour.Width();
    c.height = Colour.Height();
    c.pitch_pixels = static_cast<int>(Colour.LineStep() / 4);
    return c;
  }
  int32_t W() const { return Colour.Width(); }
  int32_t H() const { return Colour.Height(); }
  uint32_t& Pixel(int32_t x, int32_t y) { return reinterpret_cast<uint32_t*>(Colour.ScanLine(y))[x]; }
  uint8_t& Cover(int32_t x, int32_t y) { return Alpha.ScanLine(y)[x]; }

  TDIBX Colour;
  TDIBX Alpha;
};

uint32_t Mix(uint32_t a, uint32_t b, double t) {
  uint32_t out = 0;
  for (int s = 0; s < 24; s += 8) {
    const double v = ((a >> s) & 0xFF) * (1 - t) + ((b >> s) & 0xFF) * t;
    out |= uint32_t(std::clamp(v, 0.0, 255.0) + 0.5) << s;
  }
  return out;
}

void Blend(TArt& art, int32_t x, int32_t y, uint32_t colour, double coverage, bool opaque = true) {
  if (x < 0 || y < 0 || x >= art.W() || y >= art.H() || coverage <= 0) return;
  art.Pixel(x, y) = Mix(art.Pixel(x, y), colour, std::min(coverage, 1.0));
  if (opaque) art.Cover(x, y) = uint8_t(std::max<double>(art.Cover(x, y), std::min(coverage, 1.0) * 255 + 0.5));
}

// Fills where inside(x, y) holds, 4 x 4 samples a pixel for soft edges.
void Shape(TArt& art, uint32_t colour, const std::function<bool(double, double)>& inside) {
  for (int32_t y = 0; y < art.H(); ++y)
    for (int32_t x = 0; x < art.W(); ++x) {
      int hits = 0;
      for (int sy = 0; sy < 4; ++sy)
        for (int sx = 0; sx < 4; ++sx) hits += inside(x + (sx + 0.5) / 4, y + (sy + 0.5) / 4);
      Blend(art, x, y, colour, hits / 16.0);
    }
}

void Gradient(TArt& art, uint32_t top, uint32_t bottom) {
  for (int32_t y = 0; y < art.H(); ++y)
    for (int32_t x = 0; x < art.W(); ++x) {
      art.Pixel(x, y) = Mix(top, bottom, double(y) / std::max(1, art.H() - 1));
      art.Cover(x, y) = 255;
    }
}

std::unique_ptr<TUiFont> Font(int size) {
  auto font = TUiFont::Open("IPAPGothic", size);
  if (!font) font = TUiFont::Open("IPAGothic", size);
  return font;
}

// Text centred at (cx, cy), with a soft dark outline for legibility.
void Text(TArt& art, TUiFont& font, const std::string& utf8, int cx, int cy, uint32_t colour, bool outline = true) {
  // The glyphs are drawn white on black, then read back as coverage.
  TArt mask(art.W(), art.H());
  TUiCanvas canvas = mask.Canvas();
  const int x = cx - font.Measure(utf8) / 2;
  const int y = cy - font.Height() / 2;
  font.Draw(canvas, x, y, utf8, 0xFFFFFFFF);
  auto cover = [&](int32_t px, int32_t py) {
    if (px < 0 || py < 0 || px >= art.W() || py >= art.H()) return 0.0;
    return ((mask.Pixel(px, py) >> 8) & 0xFF) / 255.0;
  };
  if (outline)
    for (int32_t py = 0; py < art.H(); ++py)
      for (int32_t px = 0; px < art.W(); ++px) {
        double c = 0;
        for (int dy = -2; dy <= 2; ++dy)
          for (int dx = -2; dx <= 2; ++dx) c = std::max(c, cover(px + dx, py + dy));
        Blend(art, px, py, 0x101018, c * 0.8);
      }
  for (int32_t py = 0; py < art.H(); ++py)
    for (int32_t px = 0; px < art.W(); ++px) Blend(art, px, py, colour, cover(px, py));
}

void Save(TArt& art, const std::string& path, bool alpha) {
  TPexaFrameList list;
  TPexaFrame& frame = list.AddFrame();
  art.Colour.SetBitCount(24);
  frame.Composite = std::move(art.Colour);
  if (alpha) frame.Alpha = std::move(art.Alpha);
  TByteStream out;
  SavePexa(list, out, TPexaWriteOptions());
  std::ofstream file(path, std::ios::binary);
  file.write(reinterpret_cast<const char*>(out.Bytes().data()), std::streamsize(out.Bytes().size()));
  if (!file) throw std::runtime_error(path + ": cannot be written");
}

void TitleBackground(const std::string& dir) {
  TArt art(640, 480);
  Gradient(art, 0x0B1030, 0x5A2C6E);
  // Stars: a fixed scatter, brighter ones larger.
  uint32_t seed = 12345;
  for (int i = 0; i < 140; ++i) {
    seed = seed * 1103515245 + 12345;
    const int32_t x = int32_t(seed >> 8) % 640;
    seed = seed * 1103515245 + 12345;
    const int32_t y = int32_t(seed >> 8) % 300;
    const double bright = 0.4 + (seed % 60) / 100.0;
    Blend(art, x, y, 0xFFFFFF, bright);
    if (bright > 0.9) {
      for (auto [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}}) Blend(art, x + dx, y + dy, 0xFFFFFF, 0.35);
    }
  }
  // A moon, and two ranges of hills.
  Shape(art, 0xF4F0D8, [](double x, double y) { return std::hypot(x - 520, y - 90) < 38; });
  Shape(art, 0x2A1840, [](double x, double y) { return y > 360 + 30 * std::sin(x / 70.0) + 10 * std::sin(x / 23.0); });
  Shape(art, 0x160C24,
        [](double x, double y) { return y > 400 + 25 * std::sin(x / 55.0 + 2) + 8 * std::sin(x / 17.0); });
  Save(art, dir + "/title_bg.pxa", false);
}

void Logo(const std::string& dir) {
  TArt art(420, 150);
  auto big = Font(64);
  auto small = Font(28);
  if (!big || !small) throw std::runtime_error("no IPA font found");
  Text(art, *big, "KestPlayer", 210, 55, 0xF8D878);
  Text(art, *small, "デモ　ゲーム", 210, 118, 0xFFFFFF);
  Save(art, dir + "/logo.pxa", true);
}

// A rounded panel with a label: the picture of one button state.
void Button(const std::string& path, const std::string& label, int w, int h, uint32_t fill, uint32_t border,
            uint32_t text, int shift, TUiFont& font) {
  TArt art(w, h);
  const double r = h / 2.5;
  auto rounded = [&](double inset) {
    return [=](double x, double y) {
      const double cx = std::clamp(x, r + inset, w - r - inset);
      const double cy = std::clamp(y, r + inset, h - r - inset);
      return std::hypot(x - cx, y - cy) <= r;
    };
  };
  Shape(art, border, rounded(0));
  Shape(art, fill, rounded(2));
  if (!label.empty()) Text(art, font, label, w / 2 + shift, h / 2 + shift, text, false);
  Save(art, path, true);
}

// The three pictures of a button: at rest, under the pointer, pressed.
void ButtonStates(const std::string& base, const std::string& label, int w, int h, TUiFont& font) {
  Button(base + ".pxa", label, w, h, 0x2A2450, 0x9890D0, 0xE8E4FF, 0, font);
  Button(base + "_hover.pxa", label, w, h, 0x4A3C8C, 0xF8D878, 0xFFFFFF, 0, font);
  Button(base + "_down.pxa", label, w, h, 0x1A1638, 0xF8D878, 0xF8D878, 1, font);
}

void Buttons(const std::string& dir) {
  auto font = Font(24);
  auto small = Font(18);
  if (!font || !small) throw std::runtime_error("no IPA font found");
  struct TLabel {
    const char* Name;
    const char* Text;
  };
  // The exit question's buttons are blank: their captions come from the
  // game (the caption engine draws them over the picture).
  for (TLabel l : {TLabel{"start", "はじめる"}, TLabel{"load", "つづきから"}, TLabel{"exit", "おわる"},
                   TLabel{"yes", ""}, TLabel{"no", ""}}) {
    const int w = std::string(l.Name) == "yes" || std::string(l.Name) == "no" ? 120 : 220;
    ButtonStates(dir + "/btn_" + l.Name, l.Text, w, 48, *font);
  }
  // The story's save and load buttons, small, over the message window.
  for (TLabel l : {TLabel{"save", "セーブ"}, TLabel{"reload", "ロード"}})
    ButtonStates(dir + "/btn_" + l.Name, l.Text, 84, 30, *small);
}

void ExitQuestion(const std::string& dir) {
  TArt art(360, 170);
  Shape(art, 0xC8C0F0, [](double x, double y) { return x > 0 && y > 0 && x < 360 && y < 170; });
  Shape(art, 0x1C1838, [](double x, double y) { return x > 3 && y > 3 && x < 357 && y < 167; });
  auto font = Font(24);
  Text(art, *font, "ゲームを終了しますか？", 180, 50, 0xFFFFFF, false);
  Save(art, dir + "/question.pxa", true);
  TArt note(360, 60);
  Shape(note, 0x1C1838, [](double x, double y) { return x > 0 && y > 0 && x < 360 && y < 60; });
  Text(note, *font, "まだセーブデータがありません", 180, 30, 0xF8D878, false);
  Save(note, dir + "/no_save.pxa", true);
}

void FirstScene(const std::string& dir) {
  TArt art(640, 480);
  Gradient(art, 0x78B8F0, 0xD8ECFF);
  Shape(art, 0xFFF4C0, [](double x, double y) { return std::hypot(x - 90, y - 80) < 45; });
  Shape(art, 0x78A860, [](double x, double y) { return y > 330 + 20 * std::sin(x / 90.0); });
  Shape(art, 0x5C8C48, [](double x, double y) { return y > 380 + 15 * std::sin(x / 60.0 + 1); });
  // A house on the hill.
  Shape(art, 0xE8DCC8, [](double x, double y) { return x > 420 && x < 560 && y > 250 && y < 340; });
  Shape(art, 0xB04838, [](double x, double y) { return y > 190 && y < 252 && std::abs(x - 490) < (y - 190) * 1.3; });
  Shape(art, 0x6A4830, [](double x, double y) { return x > 475 && x < 505 && y > 290 && y < 340; });
  Save(art, dir + "/scene1_bg.pxa", false);
}

void Character(const std::string& dir) {
  TArt art(200, 360);
  // Dress, arms, neck, head, hair, eyes, smile.
  Shape(art, 0x3C68C8,
        [](double x, double y) { return y > 150 && y < 350 && std::abs(x - 100) < 30 + (y - 150) * 0.28; });
  Shape(art, 0xF4D4B8, [](double x, double y) { return x > 90 && x < 110 && y > 120 && y < 160; });
  Shape(art, 0xF4D4B8, [](double x, double y) { return std::hypot((x - 100) / 46.0, (y - 90) / 52.0) < 1; });
  Shape(art, 0x4A2C1C, [](double x, double y) {
    const bool cap = std::hypot((x - 100) / 52.0, (y - 80) / 56.0) < 1 && y < 78;
    const bool side = std::hypot((x - 100) / 54.0, (y - 100) / 60.0) < 1 && std::abs(x - 100) > 38;
    return cap || side;
  });
  for (double ex : {82.0, 118.0})
    Shape(art, 0x302040, [ex](double x, double y) { return std::hypot((x - ex) / 5.0, (y - 95) / 7.0) < 1; });
  Shape(art, 0xC05060, [](double x, double y) { return std::abs(std::hypot(x - 100, y - 105) - 14) < 1.6 && y > 112; });
  Save(art, dir + "/chara.pxa", true);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: demo_art OUTDIR\n");
    return 2;
  }
  try {
    const std::string dir = argv[1];
    TitleBackground(dir);
    Logo(dir);
    Buttons(dir);
    ExitQuestion(dir);
    FirstScene(dir);
    Character(dir);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "demo_art: %s\n", e.what());
    return 1;
  }
  return 0;
}
