#pragma once
// Everything that plays over time (sounds, music, CD tracks, movies) is an
// item owned by the manager of its kind; components and commands drive every
// kind through this one interface.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace kest {

class TMediaManager;

class TDMediaItem {
 public:
  explicit TDMediaItem(TMediaManager& manager) : FManager(manager) {}
  virtual ~TDMediaItem() = default;
  TDMediaItem(const TDMediaItem&) = delete;
  TDMediaItem& operator=(const TDMediaItem&) = delete;

  virtual bool GetRepeat() = 0;
  virtual void SetRepeat(bool value) = 0;
  virtual int32_t GetRepeatPos() { return 0; }
  virtual void SetRepeatPos(int32_t) {}
  virtual int32_t GetPan() = 0;
  virtual int32_t GetVolume() = 0;
  virtual void SetPan(int32_t value) = 0;
  virtual void SetVolume(int32_t value) = 0;
  // Milliseconds.
  virtual int32_t GetPosition() = 0;
  // Negative positions start from 0; the end is reported again after it.
  void SetPosition(int32_t value);
  virtual int32_t GetLength() = 0;
  // True once, the first time the item is seen at its end.
  bool IsEnd();
  virtual bool IsPlaying() = 0;
  virtual bool IsPaused() = 0;
  // While the manager is inactive a start waits for it to become active.
  void Play();
  virtual void Pause() = 0;

  TMediaManager& Manager() const { return FManager; }
  bool WasPlaying = false;

 protected:
  // Whether the item stands at its end, without consuming the report:
  // managers ask it when they suspend, so an end seen then is still told.
  virtual bool AtEnd() = 0;
  virtual void DoPlay() = 0;
  virtual void DoSetPosition(int32_t ms) = 0;

 private:
  friend class TMediaManager;
  TMediaManager& FManager;
  bool FEndReported = false;
};

class TMediaManager {
 public:
  virtual ~TMediaManager() { Clear(); }

  void Remove(TDMediaItem* item);
  void Clear();
  int32_t Count() const { return static_cast<int32_t>(FItems.size()); }
  TDMediaItem& Items(int32_t index) const { return *FItems.at(size_t(index)); }

  // Pauses what plays (remembering it) and resumes it; one level deep.
  virtual void Suspend();
  virtual void Resume();
  bool Active() const { return FActive; }
  bool Suspended() const { return FSuspended; }
  void SetActive(bool value);

 protected:
  TDMediaItem& Append(std::unique_ptr<TDMediaItem> item);

 private:
  std::vector<std::unique_ptr<TDMediaItem>> FItems;
  bool FActive = true;
  bool FSuspended = false;
};

}  // namespace kest
