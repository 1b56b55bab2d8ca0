#include "media/items/media_managers.h"

#include <algorithm>

#include "common/errors.h"
#include "common/sjis.h"
#include "common/stream.h"
#include "storage/range_stream.h"
#include "storage/vr_file_manager.h"

namespace kest {

namespace {

bool EndsWithIgnoringCase(const std::string& name, std::string_view suffix) {
  return name.size() >= suffix.size() && SameName(std::string_view(name).substr(name.size() - suffix.size()), suffix);
}

}  // namespace

std::unique_ptr<TStream> TMediaFiles::Open(const std::string& name) const {
  if (IsAbsolute(name)) return std::make_unique<TFileRangeStream>(name, TRangeStream::kToEnd, 0);
  if (!FFiles) throw EKestError(name + ":" + Utf8ToCp932("ファイルがありません"));
  return FFiles->OpenRange(name);
}

std::vector<uint8_t> TMediaFiles::Read(const std::string& name) const {
  const std::unique_ptr<TStream> stream = Open(name);
  std::vector<uint8_t> bytes(size_t(std::max<int64_t>(stream->Size(), 0)));
  stream->Seek(0);
  if (!bytes.empty()) ReadExact(*stream, bytes.data(), static_cast<int64_t>(bytes.size()));
  return bytes;
}

bool TOggManager::IsOggName(const std::string& fileName) { return EndsWithIgnoringCase(fileName, ".ogg"); }

TDMediaItem& TOggManager::Add(const std::string& fileName) {
  const bool isOgg = IsOggName(fileName);
  std::unique_ptr<TStream> stream = FFiles.Open(fileName);
  if (!FDirectSound && FMakeWaveItem) return Append(FMakeWaveItem(*this, std::move(stream), isOgg));
  return Append(std::make_unique<TOggItem>(*this, FLib, std::move(stream), isOgg));
}

TDMediaItem& TWmpManager::Add(const std::string& fileName) {
  return Append(std::make_unique<TWmpItem>(*this, FLib, FFiles.Read(fileName)));
}

void TMidiManager::SetPort(int32_t index) { FPort = std::clamp(index, 0, static_cast<int32_t>(FPorts.size()) - 1); }

void TMidiManager::SetPortByName(const std::string& name) {
  const auto it = std::find(FPorts.begin(), FPorts.end(), name);
  FPort = it == FPorts.end() ? 0 : static_cast<int32_t>(it - FPorts.begin());
}

std::string TMidiManager::PortName(int32_t index) const {
  return index >= 0 && index < static_cast<int32_t>(FPorts.size()) ? FPorts[size_t(index)] : kMapperName;
}

TDsVideoItem& TVideoManager::Add(const std::string& fileName, bool drawToSurface) {
  // Windows Media movies are read from a real file; the others through a
  // stream over the game data.
  std::unique_ptr<TStream> stream;
  std::string path = fileName;
  if (TMediaFiles::IsAbsolute(fileName)) {
    stream = FFiles.Open(fileName);
  } else if (EndsWithIgnoringCase(fileName, ".wmv") || EndsWithIgnoringCase(fileName, ".asf")) {
    if (FFiles.Files()) path = FFiles.Files()->GetFileName(fileName);
    stream = FFiles.Open(path);
  } else {
    stream = FFiles.Open(fileName);
  }
  auto item = std::make_unique<TDsVideoItem>(*this, FLib, path, std::move(stream), drawToSurface);
  return static_cast<TDsVideoItem&>(Append(std::move(item)));
}

void TVideoManager::Suspend() {
  TMediaManager::Suspend();
  FLib.kestVidmanSuspend();
}

void TVideoManager::Resume() {
  TMediaManager::Resume();
  FLib.kestVidmanResume();
}

}  // namespace kest
