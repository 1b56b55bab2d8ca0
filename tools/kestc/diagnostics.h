#pragma once
// Compile errors and warnings. A line reader raises ESourceError with the
// column it stopped at; the compiler adds the file and line and keeps going,
// so one run reports every mistake it can find. A warning names something
// that compiles but is likely not what the author meant; it never fails the
// build. All texts here are UTF-8.

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace kest::kestc {

struct TDiagnostic {
  std::string File;
  int32_t Line = 0;
  int32_t Column = 0;
  std::string Message;
  bool Warning = false;
};

// "FILE:LINE:COL: message", or "FILE:LINE:COL: warning: message"; the line
// and column are left out when zero.
std::string FormatDiagnostic(const TDiagnostic& d);

// A mistake at a column of the line being read (1 is its first character).
class ESourceError : public std::runtime_error {
 public:
  ESourceError(int32_t column, const std::string& message) : std::runtime_error(message), Column(column) {}
  int32_t Column;
};

class TDiagnostics {
 public:
  // Past the limit further errors (and, counted apart, warnings) are
  // dropped: the first ones are the ones worth reading.
  explicit TDiagnostics(size_t limit = 100) : FLimit(limit) {}

  void Add(std::string file, int32_t line, int32_t column, std::string message);
  void Warn(std::string file, int32_t line, int32_t column, std::string message);
  // No errors; warnings do not count.
  bool Empty() const { return FItems.empty(); }
  const std::vector<TDiagnostic>& Items() const { return FItems; }
  const std::vector<TDiagnostic>& Warnings() const { return FWarnings; }
  std::string Text() const;
  std::string WarningText() const;

 private:
  size_t FLimit;
  std::vector<TDiagnostic> FItems;
  std::vector<TDiagnostic> FWarnings;
};

}  // namespace kest::kestc
