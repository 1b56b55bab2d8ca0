#pragma once
// An event at a fixed interval. A busy script never finds a backlog: the
// timer posts only when its previous event has been taken up.
#include "scene/kest_object.h"

namespace kest {

class TKestTimer : public TKestComponent {
 public:
  explicit TKestTimer(TKestBaseList& scene);
  TComponentKind Kind() const override { return LT_TIMER; }
  TPropValue GetProp(int32_t id) const override;
  void SetProp(int32_t id, TPropValue value) override;
  bool Update() override;
  void SaveState(TStream& stream) const override;
  void LoadState(TStream& stream, int32_t version) override;

 private:
  // Drops the waiting events and counts the interval from now.
  void Restart();
  // Sets a field the interval depends on; a change restarts it.
  template <class T>
  void Change(T& field, T value);
  bool NotifyWaits() const;

  std::string FNotify;
  int32_t FInterval = 0;
  bool FStopped = false;
  bool FAutoScrap = false;
  bool FFired = false;
  int64_t FLastTick = 0;
};

}  // namespace kest
