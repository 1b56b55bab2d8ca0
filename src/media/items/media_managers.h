#pragma once
// The managers of each media kind, one process-wide object each. They make
// items from file names: a name starting with "/" is a host file, any other
// is looked up in the game data.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "common/stream.h"
#include "kestlib/kestlib_loader.h"
#include "media/items/kestlib_items.h"
#include "media/items/media_item.h"
#include "media/items/silent_items.h"

namespace kest {

class TStream;
class TVrFileManager;

// Where media files come from.
class TMediaFiles {
 public:
  explicit TMediaFiles(TVrFileManager* files) : FFiles(files) {}
  static bool IsAbsolute(const std::string& name) { return !name.empty() && name[0] == '/'; }
  // A stream over the file; raises the file manager's error when it has
  // none such.
  std::unique_ptr<TStream> Open(const std::string& name) const;
  std::vector<uint8_t> Read(const std::string& name) const;
  TVrFileManager* Files() const { return FFiles; }

 private:
  TVrFileManager* FFiles;
};

// Ogg and WAV sounds. With the fast path (the DirectSound setting) the
// library plays them; without it they are decoded by the library and mixed
// by the player's own wave mixer, which `makeWaveItem` builds.
class TOggManager final : public TMediaManager {
 public:
  using TWaveItemMaker = std::function<std::unique_ptr<TDMediaItem>(TMediaManager&, std::unique_ptr<TStream>, bool)>;
  TOggManager(const TKestLib& lib, const TMediaFiles& files, bool directSound, TWaveItemMaker makeWaveItem = nullptr)
      : FLib(lib), FFiles(files), FDirectSound(directSound), FMakeWaveItem(std::move(makeWaveItem)) {}
  TDMediaItem& Add(const std::string& fileName);
  // ".ogg" (any letter case) is Ogg; everything else the manager serves as WAV.
  static bool IsOggName(const std::string& fileName);

 private:
  const TKestLib& FLib;
  const TMediaFiles& FFiles;
  bool FDirectSound;
  TWaveItemMaker FMakeWaveItem;
};

class TWmpManager final : public TMediaManager {
 public:
  TWmpManager(const TKestLib& lib, const TMediaFiles& files) : FLib(lib), FFiles(files) {}
  TDMediaItem& Add(const std::string& fileName);

 private:
  const TKestLib& FLib;
  const TMediaFiles& FFiles;
};

class TCddaManager final : public TMediaManager {
 public:
  TDMediaItem& Add(const std::string& name) { return Append(std::make_unique<TCddaItem>(*this, name)); }
};

class TMidiManager final : public TMediaManager {
 public:
  static constexpr const char* kMapperName = "MIDIマッパー";
  TDMediaItem& Add(const std::string& fileName) { return Append(std::make_unique<TMidiItem>(*this, fileName)); }
  // The output ports: the mapper first (UTF-8 here; Shift-JIS at the
  // script's side), then the devices.
  const std::vector<std::string>& Ports() const { return FPorts; }
  int32_t Port() const { return FPort; }
  void SetPort(int32_t index);
  // A name not in the list selects the mapper.
  void SetPortByName(const std::string& name);
  std::string PortName(int32_t index) const;

 private:
  std::vector<std::string> FPorts{kMapperName};
  int32_t FPort = 0;
};

class TVideoManager final : public TMediaManager {
 public:
  TVideoManager(const TKestLib& lib, const TMediaFiles& files) : FLib(lib), FFiles(files) {}
  TDsVideoItem& Add(const std::string& fileName, bool drawToSurface);
  void Suspend() override;
  void Resume() override;

 private:
  const TKestLib& FLib;
  const TMediaFiles& FFiles;
};

}  // namespace kest
