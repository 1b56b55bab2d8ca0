#include "scene/button_captions.h"

#include <string>
#include <utility>
#include <vector>

#include "common/errors.h"
#include "scene/kest_base_list.h"
#include "scene/property_access.h"

namespace kest {

void WriteButtonCaptions(TKestBaseList& scene, TStream& stream) {
  std::vector<std::pair<std::string, std::string>> captions;
  for (int32_t i = 0; i < scene.Count(); ++i) {
    TKestObject& object = scene.Items(i);
    if (object.Kind() != LT_BUTTON || object.Name().empty()) continue;
    std::string text = std::get<std::string>(ReadProperty(object, PR_TEXT));
    if (!text.empty()) captions.emplace_back(object.Name(), std::move(text));
  }
  WriteInt(stream, static_cast<int32_t>(captions.size()));
  for (const auto& [name, text] : captions) {
    WriteStr(stream, name);
    WriteStr(stream, text);
  }
}

void ReadButtonCaptions(TKestBaseList& scene, TStream& stream) {
  const int32_t count = ReadInt(stream);
  if (count < 0) throw EReadError("Button captions: negative count");
  // Two string lengths at least for each.
  RequireRemaining(stream, int64_t{count} * 8);
  std::vector<std::pair<std::string, std::string>> captions;
  captions.reserve(static_cast<size_t>(count));
  for (int32_t i = 0; i < count; ++i) {
    std::string name = ReadStr(stream);
    captions.emplace_back(std::move(name), ReadStr(stream));
  }
  for (auto& [name, text] : captions) {
    TKestObject* object = scene.FindObject(name);
    if (object && object->Kind() == LT_BUTTON) WriteProperty(*object, PR_TEXT, std::move(text));
  }
}

}  // namespace kest
