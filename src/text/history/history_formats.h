#pragma once
// The named histories. The unnamed one always exists: it is the history of
// @HistoryCount and @HistoryMaxCount, and the one older save data holds.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "text/history/new_history.h"

namespace kest {

class IStoryPages;
class IVarEvaluator;
class TStream;

// One named history with the layout settings FormatHist copied from its
// sample window (all 0 when there was none).
class TKestHistoryFormat : public THistorySettings {
 public:
  TKestHistoryFormat(std::string name, IStoryPages& story, IVarEvaluator& evaluator)
      : Name(std::move(name)), History(std::make_unique<TKestNewHistory>(story, evaluator)) {}

  std::string Name;  // empty for the default history
  std::unique_ptr<TKestNewHistory> History;
};

class TKestHistoryFormatManager {
 public:
  TKestHistoryFormatManager(IStoryPages& story, IVarEvaluator& evaluator);

  int32_t Count() const { return static_cast<int32_t>(FFormats.size()); }
  TKestHistoryFormat& Items(int32_t index) const { return *FFormats.at(size_t(index)); }
  // Names compare exactly, case included.
  TKestHistoryFormat* Find(std::string_view name) const;
  TKestHistoryFormat& FindOrCreate(std::string_view name);
  TKestHistoryFormat& Default() const { return *Find(""); }

  // Every history takes the screenful as its pending record.
  void AddPending(const THistWindow& window, const std::string& page, const std::string& vars, int32_t screen,
                  int32_t end, int32_t start, int32_t command);
  void Commit(std::string_view window);
  void ClearAll();
  // Leaves the default format alone, with no settings and nothing recorded.
  void Reset();

  void SaveToStream(TStream& stream) const;
  // Versions below 135 hold the default history only.
  void LoadFromStream(TStream& stream, int32_t version);

 private:
  std::unique_ptr<TKestHistoryFormat> NewFormat(std::string name) const;
  void LoadDefaultOnly(TStream& stream, int32_t version);
  void LoadFormats(TStream& stream, int32_t version);

  IStoryPages* FStory;
  IVarEvaluator* FEvaluator;
  std::vector<std::unique_ptr<TKestHistoryFormat>> FFormats;  // in creation order
};

}  // namespace kest
