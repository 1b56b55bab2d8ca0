#pragma once
// Ogg Vorbis files of the demo's sounds, from 44100 Hz stereo samples.
#include <string>
#include <vector>

namespace demo_media {

// Interleaved left, right, in -1..1.
using TStereo = std::vector<float>;

// Writes `samples` to `path` at Vorbis quality `quality` (-0.1..1); false
// (with the reason) when it cannot.
bool WriteOggVorbis(const std::string& path, const TStereo& samples, float quality, std::string* error);

}  // namespace demo_media
