#pragma once
// The read marks as a part of the status record.

#include "script/status_part.h"
#include "text/history/read_list.h"

namespace kest {

class TReadListStatusPart final : public IStatusPart {
 public:
  explicit TReadListStatusPart(TKestReadList& list) : FList(list) {}
  void SaveStatusPart(TStream& stream) const override { FList.SaveToStream(stream); }
  void LoadStatusPart(TStream& stream, int32_t version) override { FList.LoadFromStream(stream, version); }

 private:
  TKestReadList& FList;
};

}  // namespace kest
