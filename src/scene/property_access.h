#pragma once
// The numbered properties as scripts reach them: the property commands, the
// system functions and property motions all come through here, so the rules
// for names, parents, priorities and styles hold for every kind.

#include <cstdint>

#include "scene/kest_object.h"

namespace kest {

class TCustomParam;

// The value of a property; raises "GetPropエラー" for an id outside 0..164.
TPropValue ReadProperty(TKestObject& object, int32_t id);
// Raises "SetPropエラー" for an id outside 0..164 and for the emission point
// ids; read-only ids do nothing. The value is converted to the property's type.
void WriteProperty(TKestObject& object, int32_t id, const TPropValue& value);

// The same through script variables, each converting to or from its own type.
void GetProperty(TKestObject& object, int32_t id, TCustomParam& target);
void SetProperty(TKestObject& object, int32_t id, const TCustomParam& source);

}  // namespace kest
