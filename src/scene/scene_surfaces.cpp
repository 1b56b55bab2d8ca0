#include "scene/scene_surfaces.h"

namespace kest {

TSceneSurfaces::TSceneSurfaces() : SelRectDIB(2, 2, 32), TransBGDIB(32, 32, 32) {
  const auto pixel = [](TDIBX& s, int32_t colour) { return static_cast<uint32_t>(s.ColorToPixel(colour)); };
  SelRectDIB.Fill(pixel(SelRectDIB, 0));
  SelRectDIB.SetPixel(0, 0, pixel(SelRectDIB, 0xFFFFFF));
  SelRectDIB.SetPixel(1, 1, pixel(SelRectDIB, 0xFFFFFF));
  TransBGDIB.Fill(pixel(TransBGDIB, 0x808080));
  TransBGDIB.FillRect(MakeRect(0, 0, 16, 16), pixel(TransBGDIB, 0xC0C0C0));
  TransBGDIB.FillRect(MakeRect(16, 16, 16, 16), pixel(TransBGDIB, 0xC0C0C0));
}

}  // namespace kest
