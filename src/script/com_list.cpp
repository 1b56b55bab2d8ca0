#include "script/com_list.h"

#include "script/command.h"

namespace kest {

TComList::TComList(TPage& page) : FPage(page) {}

TComList::~TComList() = default;

TCommand& TComList::Add(std::unique_ptr<TCommand> command) {
  FItems.push_back(std::move(command));
  return *FItems.back();
}

void TComList::Clear() { FItems.clear(); }

int32_t TComList::FindLabel(std::string_view name) const {
  for (size_t i = 0; i < FItems.size(); ++i)
    if (FItems[i]->IsLabel(name)) return static_cast<int32_t>(i);
  return -1;
}

}  // namespace kest
