// Paints the toolbar over a stand-in scene with the exit question on top, and
// writes the picture as a binary PPM, so that captions and layout can be
// checked by eye. A second path adds a five-button English warning.
#include <cstdio>
#include <memory>

#include "platform/sdl/ui_font.h"
#include "platform/sdl/ui_message_box.h"
#include "platform/sdl/ui_toolbar.h"
#include "platform/ui_canvas.h"

namespace {

using namespace kest;

constexpr int kWidth = 640, kSceneHeight = 480;

void PaintScene(TUiCanvas& canvas) {
  for (int y = 0; y < canvas.height; ++y) {
    for (int x = 0; x < canvas.width; ++x) {
      uint32_t r = static_cast<uint32_t>(40 + x * 120 / kWidth),
               g = static_cast<uint32_t>(60 + y * 100 / canvas.height);
      canvas.pixels[y * canvas.pitch_pixels + x] = (r << 16) | (g << 8) | 0x90;
    }
  }
}

bool WritePpm(const TUiBitmap& bitmap, const char* path) {
  std::FILE* f = std::fopen(path, "wb");
  if (!f) return false;
  std::fprintf(f, "P6\n%d %d\n255\n", bitmap.Width(), bitmap.Height());
  for (uint32_t p : bitmap.Pixels()) {
    unsigned char rgb[3] = {static_cast<unsigned char>(p >> 16), static_cast<unsigned char>(p >> 8),
                            static_cast<unsigned char>(p)};
    std::fwrite(rgb, 1, 3, f);
  }
  return std::fclose(f) == 0;
}

bool Render(const std::shared_ptr<TUiFont>& font, TUiMessageBox& box, int hot_button, const char* path) {
  TUiBitmap bitmap(kWidth, TUiToolbar::kDockHeight + kSceneHeight);
  TUiCanvas canvas = bitmap.Canvas();
  TUiCanvas scene = canvas;
  scene.pixels += TUiToolbar::kDockHeight * canvas.pitch_pixels;
  scene.height = kSceneHeight;
  PaintScene(scene);
  TUiToolbar toolbar(font);
  if (hot_button >= 0) toolbar.OnMouseMove(TUiToolbar::ButtonRect(hot_button).x + 5, 5);
  toolbar.Paint(canvas);
  box.Layout(TUiRect{0, TUiToolbar::kDockHeight, kWidth, kSceneHeight});
  TUiRect second = box.ButtonRect(1);
  box.OnMouseMove(second.x + 2, second.y + 2);
  box.Paint(canvas);
  if (WritePpm(bitmap, path)) return true;
  std::fprintf(stderr, "ui_preview: cannot write %s\n", path);
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  std::shared_ptr<TUiFont> font = TUiFont::Open("IPAGothic", 12);
  if (!font) return 1;
  auto question =
      TUiMessageBox::Standard(font, "デモ", "「デモ」を終了しますか？", TUiIcon::Question, TUiButtons::YesNo, true);
  if (!Render(font, question, 0, argc > 1 ? argv[1] : "ui_preview.ppm")) return 1;
  if (argc > 2) {
    auto warning = TUiMessageBox::Standard(
        font, "Extract files",
        "C:\\Games\\Demo\\save\\a very long file name that does not fit on one line of the box.txt\r\n\r\n"
        "既に同名のファイルが存在します。上書きしますか？",
        TUiIcon::Warning, TUiButtons::YesNoCancelNoAllYesAll, false);
    if (!Render(font, warning, 1, argv[2])) return 1;
  }
  return 0;
}
