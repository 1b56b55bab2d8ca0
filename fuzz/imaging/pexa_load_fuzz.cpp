// Pexa files on any bytes: an error is fine, a crash, a hang or a huge
// allocation is not. The first byte picks the identification code, so
// protected files are walked both ways; a file that reads is written again
// and must read back to the same pixels. With bit 2 set the bytes go through
// the image cache instead, as a picture loaded by name (known by content,
// trimmed and masked by bits 3 and 4), where a damaged file keeps the frames
// read whole and names itself.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "common/errors.h"
#include "common/stream.h"
#include "imaging/pexa_collection.h"
#include "imaging/pexa_frame_list.h"

namespace {

class TOneFile final : public kest::IPictureFiles {
 public:
  explicit TOneFile(std::span<const uint8_t> bytes) : FBytes(bytes.begin(), bytes.end()) {}
  bool Exists(const std::string& name) override { return name == "f"; }
  std::vector<uint8_t> Read(const std::string&) override { return FBytes; }

 private:
  std::vector<uint8_t> FBytes;
};

// The cache converts, trims and masks every pixel of what it reads, and the
// round trip compares every pixel: pictures as large as the decoder allows
// take seconds each under the sanitizers, so only their decoding is walked.
int64_t Pixels(kest::TPexaFrameList& list) {
  int64_t pixels = 0;
  for (int32_t f = 0; f < list.Count(); ++f) {
    const kest::TDIBX& c = list.Frames(f).Composite;
    pixels += int64_t{c.Width()} * c.Height();
  }
  return pixels;
}

constexpr int64_t kCheckedPixels = int64_t{1} << 22;

bool SmallEnough(uint32_t code, std::span<const uint8_t> bytes) {
  using namespace kest;
  TPexaFrameList list(code);
  try {
    list.LoadByContent(bytes);
  } catch (const EKestError&) {
  }
  return Pixels(list) <= kCheckedPixels;
}

void ThroughTheCache(uint32_t code, uint8_t flags, std::span<const uint8_t> bytes) {
  using namespace kest;
  if (!SmallEnough(code, bytes)) return;
  TOneFile files(bytes);
  TPexaCollection cache(&files, code);
  int user = 0;
  TPexaItem* item = cache.Acquire(&user, "f", (flags & 8) != 0, (flags & 16) != 0);
  if (item->Frames.empty() && !item->Error.empty()) std::abort();
  for (const TPexaItemFrame& frame : item->Frames)
    if (!frame.Surface || (frame.Mask && (frame.Mask->Width() != frame.Surface->Width() ||
                                          frame.Mask->Height() != frame.Surface->Height())))
      std::abort();
  if (!item->Error.empty() && item->Error.rfind("f: ", 0) != 0) std::abort();
  cache.Release(item, &user);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace kest;
  if (size < 1) return 0;
  const uint32_t code = data[0] & 1 ? 0x2468ACEu : 0;
  if (data[0] & 4) {
    ThroughTheCache(code, data[0], std::span<const uint8_t>(data + 1, size - 1));
    return 0;
  }
  TPexaFrameList list(code);
  try {
    TByteStream input{std::span<const uint8_t>(data + 1, size - 1)};
    list.LoadFromStream(input, (data[0] & 2) != 0);
  } catch (const EKestError&) {
    return 0;
  }
  if (Pixels(list) > kCheckedPixels) return 0;
  TByteStream out;
  TPexaWriteOptions options;
  options.Code = code;
  SavePexa(list, out, options);
  TPexaFrameList back(code);
  TByteStream again{std::span<const uint8_t>(out.Bytes())};
  back.LoadFromStream(again);
  if (back.Count() != list.Count()) std::abort();
  for (int32_t f = 0; f < list.Count(); ++f) {
    const TDIBX& a = list.Frames(f).Composite;
    const TDIBX& b = back.Frames(f).Composite;
    if (a.Width() != b.Width() || a.Height() != b.Height()) std::abort();
    for (int32_t y = 0; y < a.Height(); ++y)
      for (int32_t x = 0; x < a.Width(); ++x)
        if (a.GetPixel(x, y) != b.GetPixel(x, y)) std::abort();
  }
  return 0;
}
