// kestplayer: the program entry. It alone picks the SDL back ends (window,
// display, sound card, boxes); the libraries below it see the platform
// interfaces only.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "common/program_random.h"
#include "common/sjis.h"
#include "common/trace.h"
#include "kestlib/kestlib_loader.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/display.h"
#include "platform/fonts/freetype_font_backend.h"
#include "platform/sdl/fallback_dialogs.h"
#include "platform/sdl/sdl_audio_device.h"
#include "platform/sdl/sdl_display.h"
#include "platform/sdl/sdl_window.h"
#include "platform/sdl/window_dialogs.h"
#include "platform/system.h"
#include "shell/command_line.h"
#include "shell/form_system_host.h"
#include "shell/form_view.h"
#include "shell/headless_driver.h"
#include "shell/headless_input.h"
#include "shell/instance_key.h"
#include "shell/loop_thread.h"
#include "shell/main_loop.h"
#include "shell/player_factory.h"
#include "shell/variable_dump.h"
#include "storage/program_file.h"
#include "text/font_pixel_manager.h"

namespace kest {
namespace {

std::string KestLibPath() {
  const char* overridden = std::getenv("KEST_LIBRARY");
  if (overridden && *overridden) return overridden;
  return ProgramFolder() + "/" + kKestLibFileName;
}

void SetUpTrace(const TCommandLine& cl) {
  std::string file = cl.TraceFile;
  if (file.empty()) {
    const char* env = std::getenv("KEST_TRACE");
    if (env) file = env;
  }
  if (file.empty()) return;
  if (!Trace().SetFile(file)) std::fprintf(stderr, "kestplayer: cannot write the trace file %s\n", file.c_str());
  Trace().SetSteps(cl.TraceSteps);
}

void PinDate(const TCommandLine& cl, TPlayerFactory& factory) {
  if (cl.Date.empty()) return;
  if (auto pinned = TPinnedDateClock::Parse(cl.Date)) {
    auto clock = std::make_unique<TPinnedDateClock>(*pinned);
    clock->Follow(&factory.Clock());
    factory.SetDateClock(std::move(clock));
  }
}

// A headless run draws the same random numbers every time: from the time of
// day of a pinned date, else from 0. The scripts run from the first tick on,
// after this.
void SeedHeadlessRandom(const TCommandLine& cl) {
  uint32_t seed = 0;
  if (auto pinned = TPinnedDateClock::Parse(cl.Date)) {
    const TLocalDateTime now = pinned->Now();
    seed = static_cast<uint32_t>(((now.Hour * 60 + now.Min) * 60 + now.Sec) * 1000);
  }
  ProgramRandom().SetSeed(seed);
}

// The system variables reach the window and the project through these.
void ConnectHosts(TPlayerFactory& factory, TFormSystemHost& host) {
  if (TParamCollection* variables = factory.Variables()) {
    variables->Hosts.Screen = &host;
    variables->Hosts.Project = &host;
  }
}

// The glyph cache every text and caption shares, for the whole run, over the
// FreeType faces (a window or not: headless frames show the same text).
struct TProcessFonts {
  TFreeTypeFontBackend Backend;
  std::unique_ptr<TFontPixelManager> Cache;
  TProcessFonts() {
    Trace().Step("TFontPixelManager.Create");
    Cache = std::make_unique<TFontPixelManager>(Backend);
    Trace().Step("TFontPixelManager.Create.done");
  }
};

TFormViewServices Services(const TCommandLine& cl, IPlayerFactory& factory, IDialogs& dialogs, TLoopThread& loop,
                           IClock& clock, const TKestLib* lib) {
  TFormViewServices s;
  s.Factory = &factory;
  s.Dialogs = &dialogs;
  s.Loop = &loop;
  s.Clock = &clock;
  s.KestLib = lib;
  s.Params = cl.Params;
  s.ProgramPath = ProgramPath();
  s.SettingsFile = cl.SettingsFile;
  s.JapaneseLocale = JapaneseLocale();
  s.ProgramHasArchiveResource = HasArchiveResource(s.ProgramPath, "DUMMY", "BINTYPE");
  return s;
}

int RunHeadless(const TCommandLine& cl, const TKestLib* lib) {
  THeadlessInput input;
  std::string error;
  if (!cl.InputFile.empty() && !input.Load(cl.InputFile, &error)) {
    std::fprintf(stderr, "kestplayer: %s\n", error.c_str());
    return 2;
  }
  TScriptedDialogs dialogs;
  for (TUiResult answer : cl.Answers) dialogs.Push(answer);
  dialogs.SetObserver([](const std::string& caption, const std::string& text, TUiResult answer) {
    std::printf("kestplayer: box \"%s\": %s -> %s\n", caption.c_str(), text.c_str(), AnswerName(answer));
  });
  TProcessFonts fonts;
  TPlayerFactory factory(true);
  PinDate(cl, factory);
  factory.SetFonts(fonts.Cache.get());
  if (!cl.AudioWavFile.empty() && !factory.SetWavOutput(cl.AudioWavFile, &error)) {
    std::fprintf(stderr, "kestplayer: %s\n", error.c_str());
    return 2;
  }
  TFakeDisplay display;
  display.modes = cl.DisplayModes.empty() ? std::vector<TDisplayMode>{{640, 480, 32, 60},
                                                                      {800, 600, 32, 60},
                                                                      {1024, 768, 32, 60},
                                                                      {1280, 720, 32, 60},
                                                                      {1920, 1080, 32, 60}}
                                          : cl.DisplayModes;
  THeadlessCapture capture;
  capture.SetClock(&factory.Clock());
  if (!cl.CrcFile.empty() && !capture.SetCrcFile(cl.CrcFile, &error)) {
    std::fprintf(stderr, "kestplayer: %s\n", error.c_str());
    return 2;
  }
  if (!cl.CaptureFolder.empty()) {
    std::error_code ec;
    std::filesystem::create_directories(cl.CaptureFolder, ec);
    capture.SetCaptureFolder(cl.CaptureFolder, cl.CaptureTick);
  }
  factory.SetScreen(
      &display, &capture, cl.OutputBits, [&capture](const TCustomDIBX& out) { capture.OnFrame(out); }, cl.TestPattern);
  TLoopThread loop;
  TManualClock clock;
  factory.SetMediaClock(&clock);
  TFormView form(Services(cl, factory, dialogs, loop, clock, lib));
  factory.SetFileServices(ProgramPath(), &dialogs, [&form] { form.PostClose(); });
  factory.SetGameFolder(cl.Params.empty() ? std::string() : cl.Params.front());
  TFormSystemHost host(form);
  THeadlessResult result;
  try {
    form.FormCreate();
  } catch (const TUnansweredBox&) {
    result.Unanswered = true;
    form.PostClose();
  }
  ConnectHosts(factory, host);
  SeedHeadlessRandom(cl);
  const bool started = !form.CloseRequested();
  if (started) {
    THeadlessDriver driver(form, loop, clock, input, cl.DeltaMs);
    driver.SetOnPeriod([&factory](int32_t ms) { factory.AdvanceSound(ms); });
    driver.SetOnScriptEvent(
        [&factory](const THeadlessScriptEvent& event) { factory.PostScriptEvent(event.Reference, event.Args); });
    driver.SetOnGameRequest([&form](const THeadlessGameRequest& request) {
      if (IPlayerProject* project = form.Project()) {
        if (request.Load) {
          project->RequestLoad(request.Slot);
        } else {
          project->RequestSave(request.Slot, request.Title);
        }
      }
    });
    result = driver.Run(cl.Ticks > 0 ? cl.Ticks : TCommandLine::kDefaultHeadlessTicks);
  }
  if (cl.DumpVariables && factory.Variables()) std::fputs(DumpVariables(*factory.Variables()).c_str(), stdout);
  if (cl.DumpVariables && factory.ReadMarks()) std::fputs(DumpReadMarks(*factory.ReadMarks()).c_str(), stdout);
  std::string game = "no project";
  if (IPlayerProject* project = form.Project())
    game = "\"" + Cp932ToUtf8(project->Title()) + "\" " + std::to_string(project->ScreenWidth()) + "x" +
           std::to_string(project->ScreenHeight());
  form.FormClose();
  const long long sound_ms = factory.Audio() ? factory.Audio()->FramesPlayed() * 1000 / IAudioDevice::kRate : 0;
  std::printf(
      "kestplayer: headless %s (%s): %lld ticks in %lld periods of %d ms, GameTime %lld ms, FrameCount %lld, "
      "%d boxes, sound %lld ms, %lld frames (last CRC %08x), %s\n",
      cl.Params.empty() ? "(program folder)" : cl.Params.front().c_str(), game.c_str(),
      static_cast<long long>(result.Ticks), static_cast<long long>(result.Periods), cl.DeltaMs,
      static_cast<long long>(factory.Clock().GameTime), static_cast<long long>(factory.Clock().FrameCount),
      dialogs.Shown(), sound_ms, static_cast<long long>(capture.Frames()), capture.LastCrc(),
      result.Unanswered ? "a question was left without an answer"
      : !started        ? "the game did not start"
      : result.Closed   ? ("closed at period " + std::to_string(result.ClosedAt)).c_str()
                        : "still running");
  return started && !result.Unanswered ? 0 : 1;
}

int RunWindowed(const TCommandLine& cl, const TKestLib* lib) {
  std::string error;
  auto window = TSdlWindow::Create(&error);
  if (!window) {
    TFallbackDialogs().MessageBox("The window cannot be opened: " + error, "KestPlayer", TUiIcon::Error,
                                  TUiButtons::Ok);
    return 1;
  }
  TSteadyClock clock;
  TLoopThread loop;
  TMainLoop main_loop(clock, *window, loop);
  TWindowDialogs dialogs(
      *window, [&main_loop] { main_loop.RunOnce(); }, JapaneseLocale());
  TProcessFonts fonts;
  TPlayerFactory factory(false, OpenSdlAudio);
  PinDate(cl, factory);
  factory.SetFonts(fonts.Cache.get());
  TSdlDisplay display;
  window->SetIntegerScaling(cl.IntegerScale);
  TWindowScreenOutput screen_output(*window);
  factory.SetScreen(&display, &screen_output, cl.OutputBits, nullptr, cl.TestPattern);
  factory.SetCursorSink(window.get());
  TFormViewServices services = Services(cl, factory, dialogs, loop, clock, lib);
  services.Window = window.get();
  TFormView form(std::move(services));
  factory.SetFileServices(ProgramPath(), &dialogs, [&form] { form.PostClose(); });
  factory.SetGameFolder(cl.Params.empty() ? std::string() : cl.Params.front());
  factory.SetHelperTurn([&main_loop] { main_loop.RunOnceBehindHelper(); });
  TFormSystemHost host(form);
  main_loop.SetForm(&form);
  form.FormCreate();
  ConnectHosts(factory, host);
  SeedHeadlessRandom(cl);
  const bool started = !form.CloseRequested();
  if (started)
    main_loop.Run(cl.Ticks);
  else
    std::fprintf(stderr, "kestplayer: the game did not start\n");
  form.FormClose();
  return started ? 0 : 1;
}

int Main(const std::vector<std::string>& args) {
  const TCommandLine cl = ParseCommandLine(args);
  if (!cl.Error.empty()) {
    std::fprintf(stderr, "kestplayer: %s\n\n%s", cl.Error.c_str(), UsageText());
    return 2;
  }
  if (cl.Help) {
    std::fputs(UsageText(), stdout);
    return 0;
  }
  // A player started from a CD or DVD, or a second player on the same game
  // folder, ends at once and says nothing.
  if (IsOnOpticalDisc(ProgramFolder())) return 0;
  auto lock = TInstanceLock::Acquire(InstanceKeyForStart(cl, ProgramFolder()));
  if (!lock) return 0;

  if (cl.Config) {
    std::puts("kestplayer: the sound settings dialog is not part of this build yet; game.ini is unchanged.");
    return 0;
  }
  SetUpTrace(cl);
  const bool headless = cl.Headless || !HasDisplay();
  TKestLibLoad load = LoadKestLib(KestLibPath());
  if (!load.lib) {
    if (headless)
      std::fprintf(stderr, "Error: %s\n", load.error.c_str());
    else
      TFallbackDialogs().MessageBox(load.error, "Error", TUiIcon::Warning, TUiButtons::Ok);
    return 1;
  }
  return headless ? RunHeadless(cl, load.lib.get()) : RunWindowed(cl, load.lib.get());
}

}  // namespace
}  // namespace kest

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  return kest::Main(args);
}
