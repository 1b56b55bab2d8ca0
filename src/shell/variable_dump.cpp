#include "shell/variable_dump.h"

#include <algorithm>

#include "common/sjis.h"
#include "language/custom_param.h"
#include "language/param_collection.h"
#include "language/param_types.h"

namespace kest {
namespace {

constexpr int32_t kShownElements = 16;

std::string Element(const TCustomParam& value, int32_t i) {
  if (value.ParamType() == PT_STR) return "\"" + Cp932ToUtf8(value.GetStr(i)) + "\"";
  return Cp932ToUtf8(value.GetStr(i));
}

}  // namespace

std::string DumpVariables(const TParamCollection& variables) {
  std::string out;
  for (int32_t i = 0; i < variables.Count(); ++i) {
    const auto* item = dynamic_cast<const TParamCollectionItem*>(variables.Items(i));
    if (!item || item->IsSystem() || !item->Value()) continue;
    const TCustomParam& value = *item->Value();
    out += Cp932ToUtf8(item->Name());
    if (!value.IsDimensionless() && value.DimCount() > 0 && !(value.DimCount() == 1 && value.GetDim(0) == 1)) {
      out += "[";
      for (int32_t d = 0; d < value.DimCount(); ++d) out += (d ? "," : "") + std::to_string(value.GetDim(d));
      out += "]";
    }
    out += " = ";
    const int32_t shown = std::min(value.Count(), kShownElements);
    for (int32_t e = 0; e < shown; ++e) out += (e ? ", " : "") + Element(value, e);
    if (value.Count() > shown) out += ", ...";
    out += "\n";
  }
  return out;
}

}  // namespace kest
