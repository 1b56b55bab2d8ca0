#pragma once
// Writes short test movies with FFmpeg's own encoders: solid colour frames
// that change colour half-way, and optionally a tone.
#include <cstdint>
#include <string>

namespace kesttest {

struct TColour {
  int r, g, b;
};

struct TMoviePlan {
  const char* format;  // muxer name: "mpeg", "avi", "asf"
  const char* video;   // encoder name
  const char* sound;   // encoder name, or null for a silent movie
  int width = 160;
  int height = 120;
  int fps = 25;
  int frames = 50;
};

// The colour of frame `index` of a movie of `frames` frames.
TColour MovieColour(int index, int frames);

// Writes the movie to `path`; false (with the reason) when an encoder is missing.
bool WriteMovie(const std::string& path, const TMoviePlan& plan, std::string* error);

}  // namespace kesttest
