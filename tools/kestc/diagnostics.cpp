#include "kestc/diagnostics.h"

namespace kest::kestc {

std::string FormatDiagnostic(const TDiagnostic& d) {
  std::string text = d.File;
  if (d.Line > 0) text += ":" + std::to_string(d.Line);
  if (d.Line > 0 && d.Column > 0) text += ":" + std::to_string(d.Column);
  return text + (d.Warning ? ": warning: " : ": ") + d.Message;
}

namespace {

std::string Lines(const std::vector<TDiagnostic>& items) {
  std::string text;
  for (const TDiagnostic& d : items) text += FormatDiagnostic(d) + "\n";
  return text;
}

}  // namespace

void TDiagnostics::Add(std::string file, int32_t line, int32_t column, std::string message) {
  if (FItems.size() < FLimit) FItems.push_back({std::move(file), line, column, std::move(message)});
}

void TDiagnostics::Warn(std::string file, int32_t line, int32_t column, std::string message) {
  if (FWarnings.size() < FLimit) FWarnings.push_back({std::move(file), line, column, std::move(message), true});
}

std::string TDiagnostics::Text() const { return Lines(FItems); }

std::string TDiagnostics::WarningText() const { return Lines(FWarnings); }

}  // namespace kest::kestc
