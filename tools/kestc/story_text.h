#pragma once
// Story text in source lines: markup compiled into the glyph stream a
// text-insertion command stores, and a stored stream written back as markup.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "script/command_schema.h"

namespace kest::kestc {

// The fields of TextIns, by their short names here.
using field::kTextInsBlock;
using field::kTextInsHistory;
using field::kTextInsText;
using field::kTextInsWait;
using field::kTextInsWindow;

// The @TextDelay a game starts with: the wait of every glyph outside WAIT.
inline constexpr int32_t kCompileTextDelay = 50;

// The glyph stream of Shift-JIS markup. A parse error is raised as an
// ESourceError at the column of the tag it names when that tag can be found
// in the text, else at column (where the markup starts).
std::string CompileMarkup(std::string_view cp932, int32_t column);

// The UTF-8 markup, on one line, that CompileMarkup turns back into exactly
// these stream bytes; nothing when no markup does.
std::optional<std::string> MarkupSource(std::string_view stream);

}  // namespace kest::kestc
