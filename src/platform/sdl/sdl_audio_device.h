// The sound card through SDL.
#pragma once

#include <memory>
#include <string>

#include "platform/audio_device.h"

namespace kest {

// nullptr (with the reason) when there is none.
std::unique_ptr<IAudioDevice> OpenSdlAudio(std::string* error);

}  // namespace kest
