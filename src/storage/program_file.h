#pragma once
// Game data carried inside the player program itself: an archive appended
// behind the program, and named resources.
//
// An appended archive is found by the program's last six bytes alone: a
// 4-byte little-endian signed start A, then "kv". It counts only when A lies
// in 0 .. size - 6 and the archive's "vf" stands at A.
//
// Resources are a section of our own, placed behind the program and in front
// of an appended archive when there is one:
//
//   program bytes
//   section start S:
//     4-byte count C
//     C records: name (4-byte length + bytes), type (likewise),
//                8-byte offset of the content from S, 8-byte content size
//     the contents
//     footer: 8-byte length of the whole section from S up to and including
//             the footer, then the four bytes "kres"
//   [appended archive, then A "kv"]
//
// All numbers are little-endian; names and types are Shift-JIS and compare
// ignoring ASCII case. The footer ends where the appended archive begins (or
// at the end of the file when there is none), so either can be replaced
// without disturbing the other.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kest {

struct TProgramResource {
  std::string Name;
  std::string Type;
  // Absolute position of the content in the program file, and its length.
  int64_t Offset = 0;
  int64_t Size = 0;
};

// The start A of the archive appended to the file, when its trailer is sound.
std::optional<int64_t> FindAppendedArchive(const std::string& path);

// Every resource of the program in table order; empty when it has none or
// its section is damaged.
std::vector<TProgramResource> ListProgramResources(const std::string& programPath);
// The last resource with this name and type, ignoring ASCII case.
std::optional<TProgramResource> FindProgramResource(const std::string& programPath, std::string_view name,
                                                    std::string_view type);
// Whether the program holds a resource that the player mounts as its game
// data: one of this name and type whose last two bytes are "vf".
bool HasArchiveResource(const std::string& programPath, std::string_view name = "DUMMY",
                        std::string_view type = "BINTYPE");

// Writes out as program_path with the resource set to content (replacing one
// of the same name and type), keeping its other resources and its appended
// archive. Raises EKestError naming the file that fails.
void WriteProgramWithResource(const std::string& programPath, const std::string& outPath, std::string_view name,
                              std::string_view type, std::span<const uint8_t> content);
// Writes out as program_path with archive_path appended in place of any
// archive it had, followed by the trailer; its resources stay.
void WriteProgramWithArchive(const std::string& programPath, const std::string& archivePath,
                             const std::string& outPath);

}  // namespace kest
