#pragma once
// The versions of install.dat, each named by what it brought. The reader
// gates its fields on these; the writer always writes the newest.

#include <cstdint>

namespace kest {

// The installer's values widen from 4 bytes to 8.
inline constexpr int32_t kInstallSinceWideValues = 100;
inline constexpr int32_t kInstallSinceInstallerFlag6 = 101;
inline constexpr int32_t kInstallSinceWrittenFiles = 102;
inline constexpr int32_t kInstallSinceFullInstall = 103;
inline constexpr int32_t kInstallSinceInstallerFlagB = 104;
inline constexpr int32_t kInstallSinceInstallerFlag7 = 105;
inline constexpr int32_t kInstallSinceInstallerList = 106;
inline constexpr int32_t kInstallSinceInstallerText5 = 107;
inline constexpr int32_t kInstallSinceInstallerTexts6 = 108;
inline constexpr int32_t kInstallNewestVersion = kInstallSinceInstallerTexts6;

}  // namespace kest
