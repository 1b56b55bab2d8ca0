#pragma once
// How the face names games ask for become font files: names compare in one
// loose form (full-width letters as ASCII, case and spaces ignored), the
// Windows faces games name stand for the IPA families that fit them, and
// KEST_FONT_MAP can pin any name to a file.

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace kest {

// The comparable form of a UTF-8 face name: U+FF01-FF5E become their ASCII
// letters, U+3000 a space, ASCII letters lower case, and spaces are dropped.
// "ＭＳ　ゴシック" and "ms ｺﾞｼｯｸ" differ; "ＭＳ ゴシック" and "ms ゴシック" do not.
std::string NormaliseFaceName(std::string_view utf8);

// The installed family that stands in for a Windows face, by normalised
// name: "msgothic" gives "IPAGothic". Nothing for names without a stand-in.
std::optional<std::string_view> FaceAlias(std::string_view normalised);

// "name=/path/a.ttf;name2=/path/b.ttf" as normalised name -> path. Entries
// without a name or a path are skipped; a later entry wins.
std::unordered_map<std::string, std::string> ParseFontMap(std::string_view text);

}  // namespace kest
