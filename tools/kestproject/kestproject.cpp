// kestproject: writes a game's project settings file (kest.kpb).
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "common/sjis.h"
#include "script/project_setting.h"
#include "storage/big_memory_stream.h"

namespace {

const char kUsage[] =
    "usage: kestproject OUT.kpb [options]\n"
    "\n"
    "Writes the project settings file of a game (kest.kpb).\n"
    "\n"
    "options (texts in UTF-8; they are stored in Shift-JIS):\n"
    "  --title TEXT              the game's title (window caption, save folder)\n"
    "  --size WxH                the screen size (default 640x480)\n"
    "  --full-size WxH           the full-screen size (default: the screen size)\n"
    "  --start PAGE              the start page (default start.ksb)\n"
    "  --exit PAGE               the page run when the player closes\n"
    "  --toolbar 0|1             show the toolbar (default 1)\n"
    "  --stop-when-inactive 0|1  stop while another window is active (default 1)\n"
    "  --save-to-disk 0|1        keep save.dat on disk (default 1)\n"
    "  --version N               the file version, 0 to 116 (default 116)\n";

bool ParseSize(const std::string& text, int32_t& w, int32_t& h) {
  int used = 0;
  return std::sscanf(text.c_str(), "%dx%d%n", &w, &h, &used) == 2 && used == static_cast<int>(text.size()) && w > 0 &&
         h > 0 && w <= 16384 && h <= 16384;
}

bool ParseBool(const std::string& text, bool& out) {
  if (text != "0" && text != "1") return false;
  out = text == "1";
  return true;
}

int Fail(const std::string& why) {
  std::fprintf(stderr, "kestproject: %s\n\n%s", why.c_str(), kUsage);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty() || args[0] == "--help" || args[0] == "-h") {
    std::fputs(kUsage, args.empty() ? stderr : stdout);
    return args.empty() ? 2 : 0;
  }
  kest::TProjectSetting s;
  s.ScreenWidth = 640;
  s.ScreenHeight = 480;
  s.StartPage = "start.ksb";
  s.StopWhenInactive = true;
  s.SaveToDisk = true;
  bool full_given = false;
  for (size_t i = 1; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (i + 1 >= args.size()) return Fail(a + " needs a value");
    const std::string& v = args[++i];
    if (a == "--title") {
      auto title = kest::Utf8ToCp932Strict(v);
      if (!title) return Fail("the title has characters Shift-JIS cannot hold");
      s.Title = *title;
    } else if (a == "--size") {
      if (!ParseSize(v, s.ScreenWidth, s.ScreenHeight)) return Fail("--size needs WxH");
    } else if (a == "--full-size") {
      if (!ParseSize(v, s.FullScreenWidth, s.FullScreenHeight)) return Fail("--full-size needs WxH");
      full_given = true;
    } else if (a == "--start") {
      s.StartPage = kest::Utf8ToCp932(v);
    } else if (a == "--exit") {
      s.ExitPage = kest::Utf8ToCp932(v);
    } else if (a == "--toolbar") {
      if (!ParseBool(v, s.ShowToolbar)) return Fail("--toolbar needs 0 or 1");
    } else if (a == "--stop-when-inactive") {
      if (!ParseBool(v, s.StopWhenInactive)) return Fail("--stop-when-inactive needs 0 or 1");
    } else if (a == "--save-to-disk") {
      if (!ParseBool(v, s.SaveToDisk)) return Fail("--save-to-disk needs 0 or 1");
    } else if (a == "--version") {
      char* end = nullptr;
      const long n = std::strtol(v.c_str(), &end, 10);
      if (end == v.c_str() || *end || n < 0 || n > kest::TProjectSetting::kNewestVersion)
        return Fail("--version needs 0 to 116");
      s.Version = static_cast<int32_t>(n);
    } else {
      return Fail("unknown option " + a);
    }
  }
  if (!full_given) {
    s.FullScreenWidth = s.ScreenWidth;
    s.FullScreenHeight = s.ScreenHeight;
  }
  try {
    kest::TTpBigMemoryStream bytes;
    s.SaveToStream(bytes);
    bytes.SaveToFile(args[0]);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "kestproject: %s: %s\n", args[0].c_str(), kest::Cp932ToUtf8(e.what()).c_str());
    return 1;
  }
  return 0;
}
