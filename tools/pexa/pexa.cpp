// pexa: converts pictures to and from the system's layered picture files and
// tells what a file holds (see the help text below).
#include <png.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "common/errors.h"
#include "common/stream.h"
#include "imaging/pexa_frame_list.h"

namespace {

using namespace kest;

constexpr const char* kHelp = R"(usage: pexa COMMAND ...

  convert IN OUT.pxa [--jpeg QUALITY] [--raw] [--tile N] [--protect CODE]
                     [--frames IN2,IN3,...] [--delay MS]
      Write OUT.pxa from the picture IN (.png, .bmp or .pxa) and any further
      frames. Colour is deflated (or stored raw with --raw, or JPEG at the
      quality given); alpha is always deflated. --tile cuts the pictures into
      N x N tiles, equal tiles stored once; --protect stores rows (or the tile
      index) in the order the game's identification code CODE gives.
  info FILE [--code CODE]
      Version, compression, frames and layers, sizes, delays.
  export FILE OUT.png [--frame N|all] [--code CODE]
      Frame N (from 0) as an 8-bit RGB picture, or RGBA when it has alpha;
      with all, every frame N as OUT_N.png. Protected files need the game's
      identification code.
)";

struct TError {
  std::string Message;
};

std::vector<uint8_t> ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw TError{path + ": cannot be read"};
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

uint32_t Number(const std::string& text, const char* what) {
  char* end = nullptr;
  const unsigned long value = std::strtoul(text.c_str(), &end, 0);
  if (text.empty() || *end != '\0' || value > 0xFFFFFFFFul) throw TError{std::string("bad ") + what + ": " + text};
  return static_cast<uint32_t>(value);
}

// Options after the positional arguments: "--name value".
struct TArgs {
  std::vector<std::string> Positional;
  std::vector<std::pair<std::string, std::string>> Options;

  TArgs(int argc, char** argv, std::initializer_list<const char*> flags) {
    for (int i = 2; i < argc; ++i) {
      const std::string a = argv[i];
      if (a.rfind("--", 0) != 0) {
        Positional.push_back(a);
        continue;
      }
      const bool flag = std::find_if(flags.begin(), flags.end(), [&](const char* f) { return a == f; }) != flags.end();
      if (flag) {
        Options.emplace_back(a, "");
      } else if (i + 1 < argc) {
        Options.emplace_back(a, argv[++i]);
      } else {
        throw TError{a + " needs a value"};
      }
    }
  }
  std::optional<std::string> Get(const std::string& name) const {
    for (const auto& [n, v] : Options)
      if (n == name) return v;
    return std::nullopt;
  }
};

TPexaFrameList Load(const std::string& path, uint32_t code) {
  TPexaFrameList list(code);
  const std::vector<uint8_t> bytes = ReadFile(path);
  try {
    list.LoadFromBytes(bytes, path);
  } catch (const EKestError& e) {
    throw TError{path + ": " + e.what()};
  }
  if (list.Count() == 0) throw TError{path + ": not a picture (.pxa, .png, .bmp or .dib)"};
  return list;
}

int Convert(const TArgs& args) {
  if (args.Positional.size() != 2) throw TError{"convert takes IN and OUT.pxa"};
  TPexaWriteOptions options;
  if (auto q = args.Get("--jpeg")) {
    options.Compression = TPexaCompression::Jpeg;
    options.JpegQuality = static_cast<int32_t>(Number(*q, "quality"));
  }
  if (args.Get("--raw")) options.Compression = TPexaCompression::None;
  if (auto t = args.Get("--tile"))
    options.TileWidth = options.TileHeight = static_cast<int32_t>(Number(*t, "tile size"));
  if (auto c = args.Get("--protect")) options.Code = Number(*c, "code");
  std::vector<std::string> inputs{args.Positional[0]};
  if (auto frames = args.Get("--frames")) {
    size_t start = 0;
    while (start <= frames->size()) {
      const size_t comma = frames->find(',', start);
      inputs.push_back(frames->substr(start, comma == std::string::npos ? std::string::npos : comma - start));
      if (comma == std::string::npos) break;
      start = comma + 1;
    }
  }
  TPexaFrameList out;
  for (const std::string& input : inputs) {
    TPexaFrameList in = Load(input, 0);
    for (int32_t f = 0; f < in.Count(); ++f) {
      TPexaFrame& from = in.Frames(f);
      TPexaFrame& to = out.AddFrame();
      to.Composite = std::move(from.Composite);
      to.Alpha = std::move(from.Alpha);
      to.TransparentPixel = from.TransparentPixel;
      to.Delay = from.Delay;
      to.DrawRects = from.DrawRects;
      to.ExtraRects = from.ExtraRects;
    }
  }
  if (auto d = args.Get("--delay"))
    for (int32_t f = 0; f < out.Count(); ++f) out.Frames(f).Delay = static_cast<int32_t>(Number(*d, "delay"));
  TByteStream bytes;
  SavePexa(out, bytes, options);
  std::ofstream file(args.Positional[1], std::ios::binary);
  file.write(reinterpret_cast<const char*>(bytes.Bytes().data()), std::streamsize(bytes.Bytes().size()));
  if (!file) throw TError{args.Positional[1] + ": cannot be written"};
  return 0;
}

int Info(const TArgs& args) {
  if (args.Positional.size() != 1) throw TError{"info takes FILE"};
  const uint32_t code = args.Get("--code") ? Number(*args.Get("--code"), "code") : 0;
  TPexaFrameList list = Load(args.Positional[0], code);
  std::printf("version %d, %d frame%s, background 0x%06X\n", list.Version, list.Count(), list.Count() == 1 ? "" : "s",
              list.BackgroundColor);
  for (int32_t f = 0; f < list.Count(); ++f) {
    const TPexaFrame& frame = list.Frames(f);
    std::printf("frame %d: %d x %d, %d bits, %d ms%s%s\n", f, frame.Composite.Width(), frame.Composite.Height(),
                frame.Composite.BitCount(), frame.Delay, frame.Alpha ? ", alpha" : "",
                frame.TransparentPixel >= 0 ? ", colour key" : "");
  }
  return 0;
}

void WritePng(const TPexaFrame& frame, const std::string& path) {
  const TDIBX& c = frame.Composite;
  const int channels = frame.Alpha ? 4 : 3;
  std::vector<uint8_t> pixels(size_t(c.Width()) * size_t(c.Height()) * size_t(channels));
  for (int32_t y = 0; y < c.Height(); ++y)
    for (int32_t x = 0; x < c.Width(); ++x) {
      const uint32_t colour = c.PixelToColor(c.GetPixel(x, y));
      uint8_t* p = &pixels[(size_t(y) * size_t(c.Width()) + size_t(x)) * size_t(channels)];
      p[0] = uint8_t(colour);
      p[1] = uint8_t(colour >> 8);
      p[2] = uint8_t(colour >> 16);
      if (frame.Alpha) p[3] = frame.Alpha->ScanLine(y)[x];
    }
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = png_uint_32(c.Width());
  image.height = png_uint_32(c.Height());
  image.format = frame.Alpha ? PNG_FORMAT_RGBA : PNG_FORMAT_RGB;
  if (!png_image_write_to_file(&image, path.c_str(), 0, pixels.data(), 0, nullptr))
    throw TError{path + ": " + image.message};
}

// OUT.png for frame 3 is OUT_3.png.
std::string FramePath(const std::string& out, int32_t index) {
  const size_t dot = out.find_last_of('.');
  const size_t slash = out.find_last_of('/');
  const size_t cut = dot != std::string::npos && (slash == std::string::npos || dot > slash) ? dot : out.size();
  return out.substr(0, cut) + "_" + std::to_string(index) + out.substr(cut);
}

int Export(const TArgs& args) {
  if (args.Positional.size() != 2) throw TError{"export takes FILE and OUT.png"};
  const uint32_t code = args.Get("--code") ? Number(*args.Get("--code"), "code") : 0;
  const std::optional<std::string> which = args.Get("--frame");
  const bool all = which && *which == "all";
  const int32_t index = which && !all ? static_cast<int32_t>(Number(*which, "frame")) : 0;
  TPexaFrameList list = Load(args.Positional[0], code);
  if (all) {
    for (int32_t f = 0; f < list.Count(); ++f) WritePng(list.Frames(f), FramePath(args.Positional[1], f));
    return 0;
  }
  if (index >= list.Count()) throw TError{args.Positional[0] + ": has no frame " + std::to_string(index)};
  WritePng(list.Frames(index), args.Positional[1]);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || std::strcmp(argv[1], "--help") == 0) {
    std::fputs(kHelp, argc < 2 ? stderr : stdout);
    return argc < 2 ? 2 : 0;
  }
  const std::string command = argv[1];
  try {
    if (command == "convert") return Convert(TArgs(argc, argv, {"--raw"}));
    if (command == "info") return Info(TArgs(argc, argv, {}));
    if (command == "export") return Export(TArgs(argc, argv, {}));
    std::fprintf(stderr, "pexa: unknown command %s\n%s", command.c_str(), kHelp);
    return 2;
  } catch (const TError& e) {
    std::fprintf(stderr, "pexa: %s\n", e.Message.c_str());
  } catch (const std::exception& e) {
    std::fprintf(stderr, "pexa: %s\n", e.what());
  }
  return 1;
}
