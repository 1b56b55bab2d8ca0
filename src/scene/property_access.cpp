#include "scene/property_access.h"

#include "common/errors.h"
#include "common/sjis.h"
#include "language/custom_param.h"
#include "language/typed_param.h"
#include "scene/kest_base_list.h"
#include "scene/kest_control.h"

namespace kest {

namespace {

const TPropertyInfo& Checked(int32_t id, const char* error) {
  const TPropertyInfo* info = PropertyInfo(id);
  if (!info) throw EKestError(Utf8ToCp932(error));
  return *info;
}

// The value in the alternative of a type, converted as variables convert.
template <typename To>
auto ConvertTo(const TPropValue& value) {
  return std::visit(
      [](const auto& v) {
        using V = std::decay_t<decltype(v)>;
        if constexpr (std::is_same_v<V, int32_t>)
          return To::FromInt(v);
        else if constexpr (std::is_same_v<V, long double>)
          return To::FromFloat(v);
        else if constexpr (std::is_same_v<V, bool>)
          return To::FromFlag(v);
        else
          return To::FromStr(v);
      },
      value);
}

TPropValue ConvertFor(const TPropertyInfo& info, const TPropValue& value) {
  if (static_cast<size_t>(info.Type) == value.index()) return value;
  switch (info.Type) {
    case TPropType::Int: return ConvertTo<TIntTraits>(value);
    case TPropType::Float: return ConvertTo<TFloatTraits>(value);
    case TPropType::Bool: return ConvertTo<TFlagTraits>(value);
    case TPropType::Str: break;
  }
  return ConvertTo<TStrTraits>(value);
}

// The parent as scripts name it: "" for the front screen, 0x01 for the back one.
std::string ParentName(TKestObject& object) {
  TKestControl* control = object.AsControl();
  TKestControl* parent = control ? control->Parent() : nullptr;
  if (!parent) return {};
  TKestBaseList& scene = object.Scene();
  if (parent == &scene.FrontBase()) return {};
  if (parent == &scene.BackBase()) return "\x01";
  return parent->Name();
}

void WriteParent(TKestObject& object, const std::string& name) {
  TKestControl* control = object.AsControl();
  if (!control || control->IsBase()) return;
  if (TKestControl* parent = object.Scene().FindControl(name)) control->SetParent(parent);
}

}  // namespace

TPropValue ReadProperty(TKestObject& object, int32_t id) {
  Checked(id, "GetPropエラー");
  if (id == PR_PARENT) return object.IsControl() ? ParentName(object) : std::string();
  return object.GetProp(id);
}

void WriteProperty(TKestObject& object, int32_t id, const TPropValue& value) {
  const TPropertyInfo& info = Checked(id, "SetPropエラー");
  if (id == PR_APPEARX || id == PR_APPEARY) throw EKestError(Utf8ToCp932("SetPropエラー"));
  if (info.ReadOnly) return;
  TPropValue typed = ConvertFor(info, value);
  switch (id) {
    case PR_NAME: object.SetName(std::get<std::string>(typed)); return;
    case PR_PARENT: WriteParent(object, std::get<std::string>(typed)); return;
    case PR_PRIORITY: object.SetPriority(std::get<int32_t>(typed)); return;
    // Styles are a set of four: bold, italic, underline, strike-out.
    case PR_FONTSTYLE:
    case PR_FONTHOVERSTYLE: typed = std::get<int32_t>(typed) & 0x0F; break;
    default: break;
  }
  object.SetProp(id, std::move(typed));
}

void GetProperty(TKestObject& object, int32_t id, TCustomParam& target) {
  TPropValue value = ReadProperty(object, id);
  std::visit(
      [&target](const auto& v) {
        using V = std::decay_t<decltype(v)>;
        if constexpr (std::is_same_v<V, int32_t>)
          target.SetAsInt(v);
        else if constexpr (std::is_same_v<V, long double>)
          target.SetAsFloat(v);
        else if constexpr (std::is_same_v<V, bool>)
          target.SetAsFlag(v);
        else
          target.SetAsStr(v);
      },
      value);
}

void SetProperty(TKestObject& object, int32_t id, const TCustomParam& source) {
  const TPropertyInfo& info = Checked(id, "SetPropエラー");
  switch (info.Type) {
    case TPropType::Int: WriteProperty(object, id, source.GetAsInt()); return;
    case TPropType::Float: WriteProperty(object, id, source.GetAsFloat()); return;
    case TPropType::Bool: WriteProperty(object, id, source.GetAsFlag()); return;
    case TPropType::Str: break;
  }
  WriteProperty(object, id, source.GetAsStr());
}

}  // namespace kest
