#include "scene/object_handle.h"

namespace kest {

std::string TObjectRef::Name() const {
  TObjectHandle life = FLife.lock();
  return life ? life->Name : std::string();
}

TKestObject* TObjectRef::Get() const {
  TObjectHandle life = FLife.lock();
  return life ? life->Object : nullptr;
}

}  // namespace kest
