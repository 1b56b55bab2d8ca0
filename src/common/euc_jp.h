#pragma once
// EUC-JP to Shift-JIS, by arithmetic on the JIS rows: downloaded texts arrive
// in EUC-JP and scripts handle Shift-JIS.

#include <string>
#include <string_view>

namespace kest {

// NUL bytes become spaces and the single shift 0x8E before a half-width
// katakana is dropped. Characters Shift-JIS cannot hold (the JIS X 0212
// triples after 0x8F) and bytes that begin no character become '?'.
std::string EucJpToSjis(std::string_view euc);

}  // namespace kest
