#include "text/history/history_formats.h"

#include <algorithm>

#include "common/errors.h"
#include "common/save_versions.h"
#include "common/stream.h"

namespace kest {

namespace {

// A name, the six settings and the smallest history record of the versions
// that store formats (no entries, pages or strings).
constexpr int64_t kMinFormatBytes = 4 + 24 + 72;

}  // namespace

TKestHistoryFormatManager::TKestHistoryFormatManager(IStoryPages& story, IVarEvaluator& evaluator)
    : FStory(&story), FEvaluator(&evaluator) {
  Reset();
}

std::unique_ptr<TKestHistoryFormat> TKestHistoryFormatManager::NewFormat(std::string name) const {
  return std::make_unique<TKestHistoryFormat>(std::move(name), *FStory, *FEvaluator);
}

TKestHistoryFormat* TKestHistoryFormatManager::Find(std::string_view name) const {
  for (const auto& format : FFormats)
    if (format->Name == name) return format.get();
  return nullptr;
}

TKestHistoryFormat& TKestHistoryFormatManager::FindOrCreate(std::string_view name) {
  if (TKestHistoryFormat* format = Find(name)) return *format;
  FFormats.push_back(NewFormat(std::string(name)));
  return *FFormats.back();
}

void TKestHistoryFormatManager::AddPending(const THistWindow& window, const std::string& page, const std::string& vars,
                                           int32_t screen, int32_t end, int32_t start, int32_t command) {
  for (const auto& format : FFormats)
    format->History->AddPending(*format, window, page, vars, screen, end, start, command);
}

void TKestHistoryFormatManager::Commit(std::string_view window) {
  for (const auto& format : FFormats) format->History->Commit(window);
}

void TKestHistoryFormatManager::ClearAll() {
  for (const auto& format : FFormats) format->History->Clear();
}

void TKestHistoryFormatManager::Reset() {
  FFormats.clear();
  FFormats.push_back(NewFormat(""));
}

void TKestHistoryFormatManager::SaveToStream(TStream& stream) const {
  WriteInt(stream, Count());
  for (const auto& format : FFormats) {
    WriteStr(stream, format->Name);
    format->SaveToStream(stream);
    format->History->SaveToStream(stream);
  }
}

void TKestHistoryFormatManager::LoadFromStream(TStream& stream, int32_t version) {
  if (version < kSaveSinceNamedHistories)
    LoadDefaultOnly(stream, version);
  else
    LoadFormats(stream, version);
}

// From 113 the variables keep the default format's settings, and they may be
// read before the history: those settings survive the reset. Before 113
// nothing kept them.
void TKestHistoryFormatManager::LoadDefaultOnly(TStream& stream, int32_t version) {
  auto format = NewFormat("");
  format->History->MaxCount = Default().History->MaxCount;
  if (version >= kSaveSinceHistoryLines) static_cast<THistorySettings&>(*format) = Default();
  format->History->LoadFromStream(stream, version);
  FFormats.clear();
  FFormats.push_back(std::move(format));
}

void TKestHistoryFormatManager::LoadFormats(TStream& stream, int32_t version) {
  std::vector<std::unique_ptr<TKestHistoryFormat>> formats;
  try {
    const int32_t count = ReadRecordCount(stream, kMinFormatBytes, "History format");
    for (int32_t i = 0; i < count; ++i) {
      formats.push_back(NewFormat(ReadStr(stream)));
      formats.back()->LoadFromStream(stream);
      formats.back()->History->LoadFromStream(stream, version);
    }
  } catch (const EReadError& e) {
    throw EReadError(std::string("History formats: ") + e.what());
  }
  // Damaged data aside, the default history is always there; without it
  // @HistoryCount would have nothing to count.
  const bool hasDefault = std::any_of(formats.begin(), formats.end(), [](const auto& f) { return f->Name.empty(); });
  if (!hasDefault) formats.insert(formats.begin(), NewFormat(""));
  FFormats = std::move(formats);
}

}  // namespace kest
