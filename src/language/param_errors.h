#pragma once
// The store's own failure texts, as CP932 bytes ready for EKestError. Names and
// numbers are spliced in unchanged.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace kest {

std::string ErrBadIndex(int32_t index);
std::string ErrBadElementCount(std::string_view sizes);
std::string ErrBadDims(std::span<const int32_t> sizes);
std::string ErrBadVariable(std::string_view name);
std::string ErrBadName(std::string_view name);
std::string ErrBadSubscript(std::string_view name, std::span<const int32_t> indices);
std::string ErrBeyondElements(std::string_view name, std::span<const int32_t> indices);
std::string ErrNoVariable(std::string_view name);
std::string ErrInternal();

// Decimal numbers joined by commas, as the texts above show sizes and indices.
std::string JoinNumbers(std::span<const int32_t> numbers);

}  // namespace kest
