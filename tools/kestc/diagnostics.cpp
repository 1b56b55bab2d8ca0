#include "kestc/diagnostics.h"

namespace kest::kestc {

std::string FormatDiagnostic(const TDiagnostic& d) {
  std::string text = d.File;
  if (d.Line > 0) text += ":" + std::to_string(d.Line);
  if (d.Line > 0 && d.Column > 0) text += ":" + std::to_string(d.Column);
  return text + ": " + d.Message;
}

void TDiagnostics::Add(std::string file, int32_t line, int32_t column, std::string message) {
  if (FItems.size() < FLimit) FItems.push_back({std::move(file), line, column, std::move(message)});
}

std::string TDiagnostics::Text() const {
  std::string text;
  for (const TDiagnostic& d : FItems) text += FormatDiagnostic(d) + "\n";
  return text;
}

}  // namespace kest::kestc
