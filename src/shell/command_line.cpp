#include "shell/command_line.h"

#include <charconv>
#include <cstdio>

#include "common/sjis.h"
#include "language/date_clock.h"
#include "platform/dialogs.h"

namespace kest {
namespace {

bool ParseNumber(const std::string& text, int64_t lo, int64_t hi, int64_t& out) {
  int64_t v = 0;
  auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
  if (ec != std::errc() || ptr != text.data() + text.size() || v < lo || v > hi) return false;
  out = v;
  return true;
}

bool ParseAnswers(const std::string& list, std::vector<TUiResult>& out) {
  size_t start = 0;
  while (start <= list.size()) {
    size_t comma = list.find(',', start);
    std::string word = list.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
    auto answer = ParseAnswer(word);
    if (!answer) return false;
    out.push_back(*answer);
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  return true;
}

// "800x600x32@60,1024x768x16"
bool ParseModes(const std::string& list, std::vector<TDisplayMode>& out) {
  size_t start = 0;
  while (start <= list.size()) {
    size_t comma = list.find(',', start);
    const std::string item = list.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
    TDisplayMode m;
    int used = 0;
    if (std::sscanf(item.c_str(), "%dx%dx%d%n", &m.Width, &m.Height, &m.Bits, &used) != 3) return false;
    if (used < static_cast<int>(item.size())) {
      int used2 = 0;
      if (std::sscanf(item.c_str() + used, "@%d%n", &m.Refresh, &used2) != 1 ||
          used + used2 != static_cast<int>(item.size()))
        return false;
    }
    if (m.Width <= 0 || m.Height <= 0 || m.Width > 16384 || m.Height > 16384 || m.Bits <= 0 || m.Bits > 32)
      return false;
    out.push_back(m);
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  return true;
}

}  // namespace

const char* UsageText() {
  return "usage: kestplayer [GAME [DATA...]] [options]\n"
         "       kestplayer /config\n"
         "\n"
         "GAME is a game folder (its game.dat is mounted) or an archive file; without one the\n"
         "player runs the game appended to or beside its own program.\n"
         "\n"
         "options:\n"
         "  --headless        no window: run a fixed number of ticks and print a summary\n"
         "                    (the default when neither DISPLAY nor WAYLAND_DISPLAY is set)\n"
         "  --ticks N         stop after N ticks (headless default 200)\n"
         "  --delta MS        headless tick length in milliseconds (default 15)\n"
         "  --input FILE      headless input script: lines of 'TICK EVENT ARGS'\n"
         "  --answers LIST    headless answers to message boxes, e.g. no,yes; a question\n"
         "                    left without one ends the run with status 1\n"
         "  --capture DIR     headless: a PNG picture of every drawn tick in DIR\n"
         "  --capture-tick N  with --capture: only tick N\n"
         "  --crc FILE        headless: a CRC-32 of the output of every drawn tick\n"
         "  --audio-wav FILE  headless: write the sound output to FILE (44100 Hz 16-bit\n"
         "                    stereo WAV), one tick's length of sound per tick\n"
         "  --settings FILE   read the [Sound] and [Video] settings from FILE instead of\n"
         "                    the game.ini beside the program\n"
         "  --output-bits N   the output surface's bit count: 15, 16 or 32\n"
         "  --integer-scale   full screen at the largest whole multiple that fits\n"
         "  --test-pattern    show a test picture in place of the scene (a display check)\n"
         "  --display-modes L headless: the display modes offered, e.g. 800x600x32@60,1024x768x16\n"
         "  --date WHEN       pin the date and time variables: YYYY-MM-DD[THH:MM:SS],\n"
         "                    advancing with the game clock\n"
         "  --dump-vars       headless: list the game's variables when the run ends\n"
         "  --trace FILE      write the command trace to FILE (or set KEST_TRACE)\n"
         "  --trace-steps     also write start-up and shut-down steps to the trace\n"
         "  --config          the sound settings dialog (as /config)\n"
         "  --help            this text\n";
}

TCommandLine ParseCommandLine(const std::vector<std::string>& args) {
  TCommandLine cl;
  auto fail = [&](std::string why) {
    cl.Error = std::move(why);
    return cl;
  };
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto value = [&](std::string& out) {
      if (i + 1 >= args.size()) return false;
      out = args[++i];
      return true;
    };
    std::string v;
    if (a == "--help" || a == "-h") {
      cl.Help = true;
    } else if (a == "--headless") {
      cl.Headless = true;
    } else if (a == "--config") {
      cl.Config = true;
    } else if (a == "--capture") {
      if (!value(cl.CaptureFolder)) return fail("--capture needs a folder");
    } else if (a == "--capture-tick") {
      int64_t n = 0;
      if (!value(v) || !ParseNumber(v, 1, INT64_MAX, n)) return fail("--capture-tick needs a positive number");
      cl.CaptureTick = n;
    } else if (a == "--crc") {
      if (!value(cl.CrcFile)) return fail("--crc needs a file");
    } else if (a == "--audio-wav") {
      if (!value(cl.AudioWavFile)) return fail("--audio-wav needs a file");
    } else if (a == "--settings") {
      if (!value(cl.SettingsFile)) return fail("--settings needs a file");
    } else if (a == "--output-bits") {
      int64_t n = 0;
      if (!value(v) || !ParseNumber(v, 15, 32, n) || (n != 15 && n != 16 && n != 32))
        return fail("--output-bits needs 15, 16 or 32");
      cl.OutputBits = static_cast<int32_t>(n);
    } else if (a == "--display-modes") {
      if (!value(v) || !ParseModes(v, cl.DisplayModes)) return fail("--display-modes needs WxHxBITS[@HZ],...");
    } else if (a == "--test-pattern") {
      cl.TestPattern = true;
    } else if (a == "--integer-scale") {
      cl.IntegerScale = true;
    } else if (a == "--dump-vars") {
      cl.DumpVariables = true;
    } else if (a == "--date") {
      if (!value(cl.Date) || !TPinnedDateClock::Parse(cl.Date))
        return fail("--date needs YYYY-MM-DD or YYYY-MM-DDTHH:MM:SS");
    } else if (a == "--trace-steps") {
      cl.TraceSteps = true;
    } else if (a == "--ticks") {
      int64_t n = 0;
      if (!value(v) || !ParseNumber(v, 1, INT64_MAX, n)) return fail("--ticks needs a positive number");
      cl.Ticks = n;
    } else if (a == "--delta") {
      int64_t n = 0;
      if (!value(v) || !ParseNumber(v, 1, 299, n)) return fail("--delta needs a number from 1 to 299");
      cl.DeltaMs = static_cast<int32_t>(n);
    } else if (a == "--input") {
      if (!value(cl.InputFile)) return fail("--input needs a file");
    } else if (a == "--trace") {
      if (!value(cl.TraceFile)) return fail("--trace needs a file");
    } else if (a == "--answers") {
      if (!value(v) || !ParseAnswers(v, cl.Answers))
        return fail("--answers needs a list of yes, no, ok, cancel, yestoall, notoall");
    } else if (a.size() > 1 && a[0] == '-' && a[1] == '-') {
      return fail("unknown option " + a);
    } else {
      cl.Params.push_back(a);
    }
  }
  if (!cl.Params.empty() && SameName(cl.Params.front(), "/config")) cl.Config = true;
  return cl;
}

}  // namespace kest
