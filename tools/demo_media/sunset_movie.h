#pragma once
// The demo's opening movie: a sun setting over the sea, with a chime.
#include <string>

namespace demo_media {

enum class TMovieOutcome {
  Written,
  NoEncoder,  // this FFmpeg cannot make the movie; nothing was written
  Failed,
};

// Writes four seconds of 320x180 MPEG-1 video at 25 frames a second with
// MP2 sound, in an MPEG program stream. `message` says why when it is not
// written.
TMovieOutcome WriteSunsetMovie(const std::string& path, std::string* message);

}  // namespace demo_media
