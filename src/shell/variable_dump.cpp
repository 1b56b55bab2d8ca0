#include "shell/variable_dump.h"

#include <algorithm>
#include <vector>

#include "common/sjis.h"
#include "language/custom_param.h"
#include "language/param_collection.h"
#include "text/history/read_list.h"

namespace kest {
namespace {

// The subscripts of element `flat`, the last one varying fastest, as the
// store lays arrays out.
std::string Subscripts(const TCustomParam& value, int32_t flat) {
  const int32_t dims = value.DimCount();
  if (value.IsDimensionless() || dims <= 1) return "[" + std::to_string(flat) + "]";
  std::vector<int32_t> index(static_cast<size_t>(dims));
  for (int32_t k = dims; k-- > 0;) {
    const int32_t size = std::max(1, value.GetDim(k));
    index[static_cast<size_t>(k)] = flat % size;
    flat /= size;
  }
  std::string out;
  for (int32_t i : index) out += "[" + std::to_string(i) + "]";
  return out;
}

std::string Lines(const std::string& name, const TCustomParam& value) {
  const int32_t count = value.Count();
  const bool scalar = count == 1 && (value.IsDimensionless() || value.DimCount() <= 1);
  if (scalar) return name + "=" + Cp932ToUtf8(value.GetAsStr()) + "\n";
  std::string out;
  for (int32_t e = 0; e < count; ++e) out += name + Subscripts(value, e) + "=" + Cp932ToUtf8(value.GetStr(e)) + "\n";
  return out;
}

}  // namespace

std::string DumpVariables(const TParamCollection& variables) {
  std::vector<std::pair<std::string, std::string>> blocks;
  for (int32_t i = 0; i < variables.Count(); ++i) {
    const TParamCollectionItem* item = variables.Items(i);
    if (!item || item->IsSystem() || !item->Value()) continue;
    std::string name = Cp932ToUtf8(item->Name());
    std::string lines = Lines(name, *item->Value());
    blocks.emplace_back(std::move(name), std::move(lines));
  }
  std::stable_sort(blocks.begin(), blocks.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  std::string out;
  for (const auto& block : blocks) out += block.second;
  return out;
}

std::string DumpReadMarks(const TKestReadList& marks) {
  std::string out;
  for (int32_t i = 0; i < marks.Count(); ++i) {
    const auto& item = static_cast<const TKestRead&>(*marks[i]);
    for (const auto& [command, screen] : item.Pairs())
      out += "read:" + Cp932ToUtf8(item.Name()) + " " + std::to_string(command) + " " + std::to_string(screen) + "\n";
  }
  return out;
}

}  // namespace kest
