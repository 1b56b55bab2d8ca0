// The component functions: properties, lists of components, coordinates and
// the items of menus and preview menus. The scene answers the queries; these
// bodies read the arguments and write the results. A component that does not
// exist leaves the result as it was.
#include <vector>

#include "common/sjis.h"
#include "language/builtin_functions.h"
#include "language/param_convert.h"
#include "language/param_types.h"
#include "language/scene_functions.h"
#include "language/sys_func_man.h"

namespace kest {
namespace {

constexpr int32_t kFuncSetProp = 3;
constexpr int32_t kFuncExists = 19;
constexpr int32_t kFuncGetCheck = 24;
constexpr int32_t kFuncSetCheck = 25;
constexpr int32_t kFuncListCompo = 32;
constexpr int32_t kFuncToClientX = 33;
constexpr int32_t kFuncToClientY = 34;
constexpr int32_t kFuncToScreenX = 35;
constexpr int32_t kFuncToScreenY = 36;
constexpr int32_t kFuncIndexOfMenu = 47;
constexpr int32_t kFuncInPrimary = 69;
constexpr int32_t kFuncGetEnabled = 131;
constexpr int32_t kFuncSetEnabled = 132;
constexpr int32_t kFuncGetVisible = 140;
constexpr int32_t kFuncSetVisible = 141;
constexpr int32_t kFuncGetGroupIndex = 145;
constexpr int32_t kFuncGetSelected = 146;
constexpr int32_t kFuncSetSelected = 147;
constexpr int32_t kFuncInCabinet = 154;

ISceneFunctions* Scene(const TFuncCall& c) { return c.Funcs.Hosts.Scene; }

// A text that reads as no integer names a preview menu's button.
TItemRef NamedItem(const TFuncCall& c, size_t i) {
  TItemRef item{c.Int(i), std::nullopt};
  int32_t unused = 0;
  if (c.Args[i].Value->ParamType() == PT_STR && !TryStrToInt(c.Str(i), unused)) item.Name = c.Str(i);
  return item;
}

void GetPropFn(TFuncCall& c) {
  if (ISceneFunctions* scene = Scene(c)) scene->GetProp(c.Str(0), c.Int(1), c.Result);
}

void SetPropFn(TFuncCall& c) {
  if (ISceneFunctions* scene = Scene(c)) scene->SetProp(c.Str(0), c.Int(1), *c.Args[2].Value);
}

void ExistsFn(TFuncCall& c) {
  const std::string name = c.Str(0);
  c.Result.SetAsFlag(!name.empty() && Scene(c) && Scene(c)->Exists(name));
}

// The names become a one-dimensional array, or a scalar empty string when
// there are none (an array cannot be empty).
void StoreNames(TCustomParam& target, const std::vector<std::string>& names) {
  if (names.empty()) {
    target.MakeScalar();
    target.SetAsStr("");
    return;
  }
  const int32_t count = static_cast<int32_t>(names.size());
  target.SetDims(std::span<const int32_t>(&count, 1));
  for (int32_t i = 0; i < count; ++i) target.SetStr(i, names[static_cast<size_t>(i)]);
}

void ListCompoFn(TFuncCall& c) {
  const int32_t kind = c.Has(1) ? c.Int(1) : 0;
  const std::optional<std::string> parent = c.Has(2) ? std::optional(c.Str(2)) : std::nullopt;
  const std::vector<std::string> names = Scene(c) ? Scene(c)->ListCompo(kind, parent) : std::vector<std::string>{};
  if (TCustomParam* target = c.VarOrNull(0)) StoreNames(*target, names);
  c.Result.SetAsInt(static_cast<int32_t>(names.size()));
}

// Coordinates wrap at 32 bits as the script's own arithmetic does.
int32_t Shifted(int32_t v, int32_t by, int32_t sign) {
  return static_cast<int32_t>(static_cast<uint32_t>(v) + static_cast<uint32_t>(sign) * static_cast<uint32_t>(by));
}

template <bool Horizontal, int32_t Sign>
void ConvertFn(TFuncCall& c) {
  const int32_t v = c.Int(1);
  const std::optional<TSceneOrigin> origin = Scene(c) ? Scene(c)->Origin(c.Str(0)) : std::nullopt;
  c.Result.SetAsInt(origin ? Shifted(v, Horizontal ? origin->X : origin->Y, Sign) : v);
}

// Bytes up to and including the space go from both ends.
std::string_view Trimmed(std::string_view s) {
  size_t first = 0;
  size_t last = s.size();
  while (first < last && static_cast<uint8_t>(s[first]) <= ' ') ++first;
  while (last > first && static_cast<uint8_t>(s[last - 1]) <= ' ') --last;
  return s.substr(first, last - first);
}

// CR, LF and CR LF each end a line; a break at the very end adds no line.
std::vector<std::string_view> Lines(std::string_view text) {
  std::vector<std::string_view> lines;
  size_t start = 0;
  while (start < text.size()) {
    const size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) {
      lines.push_back(text.substr(start));
      break;
    }
    lines.push_back(text.substr(start, end - start));
    start = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
  }
  return lines;
}

void IndexOfMenuFn(TFuncCall& c) {
  c.Result.SetAsInt(-1);
  const std::optional<std::string> items = Scene(c) ? Scene(c)->MenuItems(c.Str(0)) : std::nullopt;
  if (!items) return;
  const std::string text = c.Str(1);
  const std::vector<std::string_view> lines = Lines(Trimmed(*items));
  for (size_t i = 0; i < lines.size(); ++i)
    if (SameName(lines[i], text)) return c.Result.SetAsInt(static_cast<int32_t>(i));
}

template <TItemState State, bool ByName>
void GetItemFn(TFuncCall& c) {
  if (!Scene(c)) return c.Result.SetAsFlag(false);
  const TItemRef item = ByName ? NamedItem(c, 1) : TItemRef{c.Int(1), std::nullopt};
  if (const std::optional<bool> on = Scene(c)->ItemState(c.Str(0), State, item)) c.Result.SetAsFlag(*on);
}

// Answers the state the item has afterwards when Answers is set.
template <TItemState State, bool ByName, bool Answers>
void SetItemFn(TFuncCall& c) {
  if (!Scene(c)) return;
  const std::string name = c.Str(0);
  const TItemRef item = ByName ? NamedItem(c, 1) : TItemRef{c.Int(1), std::nullopt};
  if (!Scene(c)->SetItemState(name, State, item, c.Flag(2)) || !Answers) return;
  if (const std::optional<bool> on = Scene(c)->ItemState(name, State, item)) c.Result.SetAsFlag(*on);
}

void GetGroupIndexFn(TFuncCall& c) {
  if (!Scene(c)) return c.Result.SetAsInt(0);
  if (const std::optional<int32_t> group = Scene(c)->ItemGroup(c.Str(0), NamedItem(c, 1))) c.Result.SetAsInt(*group);
}

void InPrimaryFn(TFuncCall& c) { c.Result.SetAsFlag(Scene(c) && Scene(c)->InPrimary(c.Str(0))); }

void InCabinetFn(TFuncCall& c) { c.Result.SetAsFlag(Scene(c) && Scene(c)->InCabinet(c.Str(0))); }

}  // namespace

void RegisterSceneFunctions(TSysFuncMan& funcs) {
  funcs.Register(kFuncGetProp, GetPropFn);
  funcs.Register(kFuncSetProp, SetPropFn);
  funcs.Register(kFuncExists, ExistsFn);
  funcs.Register(kFuncGetCheck, GetItemFn<TItemState::Checked, false>);
  funcs.Register(kFuncSetCheck, SetItemFn<TItemState::Checked, false, false>);
  funcs.Register(kFuncListCompo, ListCompoFn);
  funcs.Register(kFuncToClientX, ConvertFn<true, -1>);
  funcs.Register(kFuncToClientY, ConvertFn<false, -1>);
  funcs.Register(kFuncToScreenX, ConvertFn<true, 1>);
  funcs.Register(kFuncToScreenY, ConvertFn<false, 1>);
  funcs.Register(kFuncIndexOfMenu, IndexOfMenuFn);
  funcs.Register(kFuncInPrimary, InPrimaryFn);
  funcs.Register(kFuncGetEnabled, GetItemFn<TItemState::Enabled, true>);
  funcs.Register(kFuncSetEnabled, SetItemFn<TItemState::Enabled, true, true>);
  funcs.Register(kFuncGetVisible, GetItemFn<TItemState::Visible, true>);
  funcs.Register(kFuncSetVisible, SetItemFn<TItemState::Visible, true, false>);
  funcs.Register(kFuncGetGroupIndex, GetGroupIndexFn);
  funcs.Register(kFuncGetSelected, GetItemFn<TItemState::Selected, true>);
  funcs.Register(kFuncSetSelected, SetItemFn<TItemState::Selected, true, false>);
  funcs.Register(kFuncInCabinet, InCabinetFn);
}

}  // namespace kest
