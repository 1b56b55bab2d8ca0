#include "shell/command_line.h"

#include <charconv>

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
         "  --answers LIST    headless answers to message boxes, e.g. no,yes\n"
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
    } else if (a == "--dump-vars") {
      cl.DumpVariables = true;
    } else if (a == "--date") {
      if (!value(cl.Date) || !TPinnedDateClock::Parse(cl.Date)) return fail("--date needs YYYY-MM-DD or YYYY-MM-DDTHH:MM:SS");
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
      if (!value(v) || !ParseAnswers(v, cl.Answers)) return fail("--answers needs a list of yes, no, ok, cancel, yestoall, notoall");
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
