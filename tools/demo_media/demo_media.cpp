// demo_media OUTDIR: makes the sounds and the movie of the demo game and
// writes them into OUTDIR: bgm.ogg (calm music that loops without a seam),
// click.ogg (the buttons' click) and sunset.mpg (a sunset over the sea,
// with a chime). Everything is synthesised and drawn from code, so the game
// carries no binary media in its sources, and the same build gives the same
// files. Without the movie encoders the movie is left out and the game plays
// without it.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "sunset_movie.h"
#include "vorbis_file.h"

namespace demo_media {
namespace {

constexpr int kRate = 44100;
constexpr double kPi = 3.14159265358979323846;
// Every sound peaks at -6 dBFS: loud enough, with room for the player's mix.
const double kPeak = std::pow(10.0, -6.0 / 20.0);

double NoteHz(int midi) { return 440.0 * std::pow(2.0, (midi - 69) / 12.0); }

// Rises and falls as half a cosine: no click at either end.
double Ease(double x) { return x <= 0 ? 0 : x >= 1 ? 1 : 0.5 - 0.5 * std::cos(kPi * x); }

// Sound in the making, `frames` long. With `wrap`, what is written past the
// end comes in again at the start, so the last frame leads into the first
// like any other two: a loop without a seam.
struct TTrack {
  TTrack(size_t frames, bool wrap) : Frames(frames), Wrap(wrap), Left(frames), Right(frames) {}

  void Add(size_t at, double left, double right) {
    if (Wrap) at %= Frames;
    if (at >= Frames) return;
    Left[at] += left;
    Right[at] += right;
  }
  // A note from `start` seconds for `length` seconds; `wave(t)` gives its
  // sample `t` seconds in, placed at `pan` (-1 left .. 1 right) with equal power.
  template <class TWave>
  void Note(double start, double length, double pan, TWave wave) {
    const size_t first = static_cast<size_t>(std::llround(start * kRate));
    const size_t count = static_cast<size_t>(std::llround(length * kRate));
    const double left = std::cos((pan + 1) * kPi / 4);
    const double right = std::sin((pan + 1) * kPi / 4);
    for (size_t i = 0; i < count; ++i) {
      const double v = wave(static_cast<double>(i) / kRate);
      Add(first + i, v * left, v * right);
    }
  }
  // This track again, `delay` seconds later, its sides swapped, at `gain`.
  void Echo(TTrack& into, double delay, double gain) const {
    const size_t shift = static_cast<size_t>(std::llround(delay * kRate));
    for (size_t i = 0; i < Frames; ++i) into.Add(i + shift, Right[i] * gain, Left[i] * gain);
  }
  void Mix(const TTrack& other) {
    for (size_t i = 0; i < Frames; ++i) {
      Left[i] += other.Left[i];
      Right[i] += other.Right[i];
    }
  }
  // Scaled to peak at `peak`, interleaved.
  TStereo Normalised(double peak) const {
    double top = 1e-9;
    for (size_t i = 0; i < Frames; ++i) top = std::max({top, std::abs(Left[i]), std::abs(Right[i])});
    TStereo out(2 * Frames);
    for (size_t i = 0; i < Frames; ++i) {
      out[2 * i] = static_cast<float>(Left[i] * peak / top);
      out[2 * i + 1] = static_cast<float>(Right[i] * peak / top);
    }
    return out;
  }

  size_t Frames;
  bool Wrap;
  std::vector<double> Left, Right;
};

struct TChord {
  int Bass;
  int Pad[4];
  int Arpeggio[4];
};

// Four bars of four seconds: C major 9, A minor 7, F major 9 and G add 9, a
// soft pad and a bass under a gentle arpeggio with its echo.
TStereo Music() {
  constexpr double kBar = 4.0;
  const TChord chords[] = {
      {48, {55, 59, 62, 64}, {67, 72, 76, 79}},
      {45, {55, 57, 60, 64}, {69, 72, 76, 79}},
      {41, {57, 60, 64, 67}, {65, 69, 72, 76}},
      {43, {55, 59, 62, 69}, {67, 71, 74, 79}},
  };
  const size_t frames = static_cast<size_t>(std::size(chords) * kBar * kRate);
  TTrack music(frames, true);
  TTrack arpeggio(frames, true);
  for (size_t bar = 0; bar < std::size(chords); ++bar) {
    const TChord& chord = chords[bar];
    const double start = static_cast<double>(bar) * kBar;
    // The pad swells in, holds the bar, and fades under the next chord. Each
    // note sounds twice, a little apart in pitch and side, for its width.
    constexpr double kAttack = 1.6, kRelease = 2.2;
    for (int note : chord.Pad)
      for (double side : {-1.0, 1.0}) {
        const double hz = NoteHz(note) * (1 + side * 0.0012);
        music.Note(start, kBar + kRelease, side * 0.6, [=](double t) {
          const double envelope = Ease(t / kAttack) * (1 - Ease((t - kBar) / kRelease));
          const double x = 2 * kPi * hz * t;
          return 0.09 * envelope * (std::sin(x) - std::sin(3 * x) / 18);
        });
      }
    music.Note(start, kBar + 0.4, 0, [hz = NoteHz(chord.Bass)](double t) {
      const double envelope = Ease(t / 0.12) * std::exp(-t / 6) * (1 - Ease((t - kBar + 0.1) / 0.5));
      const double x = 2 * kPi * hz * t;
      return 0.25 * envelope * (std::sin(x) + 0.15 * std::sin(2 * x));
    });
    // Eight notes a bar, up and down the chord, swaying from side to side;
    // each a soft struck tone whose overtone dies first.
    constexpr int kPattern[8] = {0, 1, 2, 3, 1, 2, 3, 2};
    constexpr double kAccent[8] = {1.0, 0.7, 0.8, 0.7, 0.9, 0.7, 0.8, 0.7};
    for (int step = 0; step < 8; ++step) {
      const double hz = NoteHz(chord.Arpeggio[kPattern[step]]);
      const double gain = 0.16 * kAccent[step];
      constexpr double kLength = 1.6;
      arpeggio.Note(start + step * kBar / 8, kLength, step % 2 ? 0.3 : -0.3, [=](double t) {
        const double envelope =
            std::min(t / 0.006, 1.0) * std::exp(-t / 0.45) * (1 - Ease((t - kLength + 0.08) / 0.08));
        const double x = 2 * kPi * hz * t;
        return gain * envelope * (std::sin(x) + 0.25 * std::exp(-t / 0.15) * std::sin(2 * x) + 0.06 * std::sin(3 * x));
      });
    }
  }
  arpeggio.Echo(music, 0.75, 0.32);
  arpeggio.Echo(music, 1.5, 0.12);
  music.Mix(arpeggio);
  return music.Normalised(kPeak);
}

// A short soft blip that falls a little in pitch, over in 90 ms.
TStereo Click() {
  constexpr double kLength = 0.09;
  TTrack click(static_cast<size_t>(kLength * kRate), false);
  double phase = 0;
  click.Note(0, kLength, 0, [&phase](double t) {
    const double hz = 900 + 500 * std::exp(-t / 0.012);
    phase += 2 * kPi * hz / kRate;
    const double envelope = std::min(t / 0.002, 1.0) * std::exp(-t / 0.02) * (1 - Ease((t - kLength + 0.02) / 0.02));
    return envelope * (std::sin(phase) + 0.15 * std::sin(2 * phase));
  });
  return click.Normalised(kPeak);
}

int Run(const std::string& dir) {
  std::string error;
  if (!WriteOggVorbis(dir + "/bgm.ogg", Music(), 0.4f, &error) ||
      !WriteOggVorbis(dir + "/click.ogg", Click(), 0.4f, &error)) {
    std::fprintf(stderr, "demo_media: %s\n", error.c_str());
    return 1;
  }
  const std::string movie = dir + "/sunset.mpg";
  std::remove(movie.c_str());
  switch (WriteSunsetMovie(movie, &error)) {
    case TMovieOutcome::Written: return 0;
    case TMovieOutcome::NoEncoder:
      std::printf("demo_media: %s; the demo plays without its movie\n", error.c_str());
      return 0;
    case TMovieOutcome::Failed: break;
  }
  std::remove(movie.c_str());
  std::fprintf(stderr, "demo_media: %s\n", error.c_str());
  return 1;
}

}  // namespace
}  // namespace demo_media

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: demo_media OUTDIR\n");
    return 2;
  }
  return demo_media::Run(argv[1]);
}
