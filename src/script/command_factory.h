#pragma once
// Makes the command class of a type byte; its low 7 bits are the command id.

#include <cstdint>
#include <memory>

namespace kest {

class TComList;
class TCommand;

// Raises "不正なコマンド" for an id above 60.
std::unique_ptr<TCommand> CreateCommand(TComList& owner, uint8_t typeByte);

}  // namespace kest
