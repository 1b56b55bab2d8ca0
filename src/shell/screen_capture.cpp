#include "shell/screen_capture.h"

#include <memory>

#include "common/stream.h"
#include "imaging/dibx.h"
#include "imaging/pexa_frame_list.h"
#include "scene/kest_base_list.h"

namespace kest {

std::vector<uint8_t> CaptureBaseScreen(TKestBaseList& scene, const TCaptureRequest& request) {
  const int32_t width = scene.Width(), height = scene.Height();
  if (width < 1 || height < 1 || request.Width < 1 || request.Height < 1) return {};
  if (request.Width > kMaxCaptureSide || request.Height > kMaxCaptureSide) return {};
  const TCustomDIBX& source = scene.ScreenPicture(request.Back);
  if (source.Width() != width || source.Height() != height) return {};
  std::unique_ptr<TDIBX> picture = ConvertedCopy(source, 24, -1);
  TPexaFrameList list;
  TPexaFrame& frame = list.AddFrame();
  frame.TransparentPixel = -1;
  if (request.Width == width && request.Height == height) {
    frame.Composite = std::move(*picture);
  } else {
    frame.Composite.SetSize(request.Width, request.Height, 24);
    frame.Composite.StretchDraw(frame.Composite.Bounds(), *picture, picture->Bounds(), TBlit::None, 255);
  }
  TByteStream out;
  SavePexaCapture(list, out, request.Raw ? TPexaCompression::None : TPexaCompression::Zlib, 70);
  return out.TakeBytes();
}

}  // namespace kest
