#pragma once
// The commands that build the scene: one per component kind, creating the
// component and setting the properties the author filled in, and the
// commands that read, write and delete single objects.

#include "scene/component_kinds.h"
#include "script/command.h"

namespace kest {

class TKestObject;

// The component commands: one optional expression per property id, chosen by
// the page's mask for the command id.
class TComComponent : public TCommand {
 public:
  using TCommand::TCommand;
  // The expression for a property id, or nothing when the page stores none.
  TKestParser* Property(int32_t id);
  // Creates the command's kind and applies its properties in the fixed order.
  void Execute(TCallMan& man) override;
};

class TComControl : public TComComponent {
 public:
  using TComComponent::TComComponent;
};

class TComTimer : public TComComponent {
 public:
  using TComComponent::TComComponent;
};

class TComSound : public TComComponent {
 public:
  using TComComponent::TComComponent;
};

class TComGetProp : public TCommand {
 public:
  using TCommand::TCommand;
  void Execute(TCallMan& man) override;
};

class TComSetProp : public TCommand {
 public:
  using TCommand::TCommand;
  void Execute(TCallMan& man) override;
};

// Creates a property motion from its seven expressions; its motion plays
// with the scene.
class TComPropMotion : public TCommand {
 public:
  using TCommand::TCommand;
  void Execute(TCallMan& man) override;
};

class TComObjDel : public TCommand {
 public:
  using TCommand::TCommand;
  void Execute(TCallMan& man) override;
};

}  // namespace kest
