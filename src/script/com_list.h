#pragma once
// The commands of a page in file order; a command's index is its program
// counter value.

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace kest {

class TCommand;
class TPage;

class TComList {
 public:
  explicit TComList(TPage& page);
  ~TComList();

  TPage& Page() const { return FPage; }
  int32_t Count() const { return static_cast<int32_t>(FItems.size()); }
  TCommand* Items(int32_t index) const {
    return index >= 0 && index < Count() ? FItems[static_cast<size_t>(index)].get() : nullptr;
  }
  TCommand& Add(std::unique_ptr<TCommand> command);
  void Clear();
  // The index of the first command that is a label of that name (letter
  // case counts), or -1.
  int32_t FindLabel(std::string_view name) const;

 private:
  TPage& FPage;
  std::vector<std::unique_ptr<TCommand>> FItems;
};

}  // namespace kest
