// Loading pictures into a surface and saving it, told apart by content for
// reading and by extension for the file calls.
#include <algorithm>
#include <array>
#include <fstream>
#include <iterator>

#include "common/errors.h"
#include "common/stream.h"
#include "imaging/bmp_codec.h"
#include "imaging/custom_dibx.h"
#include "imaging/dibx.h"
#include "imaging/png_codec.h"

namespace kest {

namespace {

enum class TPictureKind { None, Bmp, Png };

TPictureKind KindOf(std::span<const uint8_t> head) {
  if (head.size() >= 2 && head[0] == 'B' && head[1] == 'M') return TPictureKind::Bmp;
  if (head.size() >= 4 && head[1] == 'P' && head[2] == 'N' && head[3] == 'G') return TPictureKind::Png;
  return TPictureKind::None;
}

std::string LowerExtension(const std::string& name) {
  const size_t dot = name.find_last_of('.');
  if (dot == std::string::npos) return {};
  std::string ext = name.substr(dot);
  for (char& ch : ext)
    if (ch >= 'A' && ch <= 'Z') ch = char(ch - 'A' + 'a');
  return ext;
}

}  // namespace

bool TCustomDIBX::LoadPicture(TStream& stream, TCustomDIBX* alphaMask) {
  const int64_t start = stream.Position();
  std::array<uint8_t, 4> head{};
  const int64_t got = stream.Read(head.data(), 4);
  stream.Seek(start);
  const TPictureKind kind = KindOf(std::span<const uint8_t>(head.data(), size_t(std::max<int64_t>(got, 0))));
  if (kind == TPictureKind::None) return false;
  std::vector<uint8_t> bytes(size_t(std::max<int64_t>(stream.Remaining(), 0)));
  ReadExact(stream, bytes.data(), int64_t(bytes.size()));
  TDIBX picture(0, 0, 32);
  TDIBX alpha(0, 0, 8);
  bool hasAlpha = false;
  if (kind == TPictureKind::Bmp) {
    DecodeBmp(bytes, picture);
  } else {
    hasAlpha = DecodePng(bytes, picture, alphaMask ? &alpha : nullptr);
  }
  const int bitCount = BitCount();
  SetSize(picture.Width(), picture.Height(), bitCount);
  ResetClip();
  if (picture.BitCount() == bitCount && Format().IsIndexed()) {
    std::array<uint32_t, 256> palette{};
    picture.GetPalette(palette.data());
    SetPalette(palette.data());
  }
  Draw(0, 0, picture, picture.Bounds(), TBlit::None);
  if (alphaMask) {
    if (hasAlpha) {
      alphaMask->SetSize(alpha.Width(), alpha.Height(), 8);
      alphaMask->ResetClip();
      alphaMask->Draw(0, 0, alpha, alpha.Bounds(), TBlit::None);
    } else {
      alphaMask->SetSize(0, 0, 8);
    }
  }
  return true;
}

bool TCustomDIBX::LoadFromStream(TStream& stream) { return LoadPicture(stream, nullptr); }

bool TCustomDIBX::LoadFromStreamWithAlpha(TStream& stream, TCustomDIBX& alphaMask) {
  if (!LoadPicture(stream, &alphaMask)) return false;
  return !alphaMask.IsEmpty();
}

bool TCustomDIBX::LoadFromFile(const std::string& fileName) {
  const std::string ext = LowerExtension(fileName);
  if (ext != ".bmp" && ext != ".png") return false;
  std::ifstream in(fileName, std::ios::binary);
  if (!in) return false;
  std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  TByteStream stream(std::span<const uint8_t>(bytes.data(), bytes.size()));
  return LoadFromStream(stream);
}

bool TCustomDIBX::SaveToFile(const std::string& fileName) const {
  const std::string ext = LowerExtension(fileName);
  if (ext != ".bmp" && ext != ".png") return false;
  TByteStream stream;
  if (ext == ".bmp") {
    SaveToBmpStream(stream);
  } else {
    SaveToPngStream(stream);
  }
  std::ofstream out(fileName, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(stream.Bytes().data()), std::streamsize(stream.Bytes().size()));
  return bool(out);
}

void TCustomDIBX::SaveToBmpStream(TStream& stream) const { EncodeBmp(*this, stream); }

void TCustomDIBX::SaveToPngStream(TStream& stream) const { EncodePng(*this, stream); }

}  // namespace kest
