#pragma once
// One command of a page. Every command record starts with the common header
// (indent, skipped, continue, line); the command's own fields follow as its
// id's schema lays them out, and are kept here in that order so that a page
// is written back exactly as it was read. The command classes add what the
// command does when it runs.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "common/stream.h"
#include "language/kest_parser.h"
#include "script/command_schema.h"

namespace kest {

class TCallMan;
class TComList;
class TPage;

// One field of a record; which member holds the value follows the field's kind.
struct TFieldValue {
  TKestParser Expr;               // Expr
  std::string Text;               // Str, Data
  int32_t Int = 0;                // Int, Byte
  std::vector<TKestParser> List;  // ExprList
  // Props: by property id, as far as the highest id stored; null where the
  // page's mask has no bit. A command without properties holds no slots.
  std::vector<std::unique_ptr<TKestParser>> Props;

  // The slot of a property id (0..164), made on first use.
  std::unique_ptr<TKestParser>& Prop(int32_t id);
  // The expression of a property id, or nothing.
  const TKestParser* PropOrNull(int32_t id) const {
    return id >= 0 && static_cast<size_t>(id) < Props.size() ? Props[static_cast<size_t>(id)].get() : nullptr;
  }
};

class TCommand {
 public:
  TCommand(TComList& owner, uint8_t id);
  virtual ~TCommand();
  TCommand(const TCommand&) = delete;
  TCommand& operator=(const TCommand&) = delete;

  virtual uint8_t GetCommandId() const { return FId; }
  virtual bool GetContinue() const { return Continue; }
  virtual bool GetSkipped() const { return Skipped; }
  virtual void SetSkipped(bool value) { Skipped = value; }
  // While the command is in progress no event handler may start.
  virtual bool BlocksEvents() const { return false; }
  virtual bool IsLabel(std::string_view) const { return false; }
  // The header and the fields the page's version stores. Counts are checked
  // against the bytes left before anything is allocated for them.
  void LoadFromStream(TStream& stream);
  void SaveToStream(TStream& stream) const;
  // Called once when execution reaches the command.
  virtual void Begin(TCallMan&) {}
  // Runs the command; it may move pc and change the current page.
  virtual void Execute(TCallMan& man);
  // The in-progress state of a waiting command.
  virtual void SaveState(TStream&) {}
  virtual void LoadState(TStream&) {}
  // The command's context is being discarded.
  virtual void Abandon(TCallMan&) {}
  // The command waits across ticks.
  virtual bool IsYielding() const { return false; }

  TComList& Owner() const { return FOwner; }
  TPage& Page() const;
  const TCommandLayout& Layout() const { return *FLayout; }
  std::vector<TFieldValue>& Fields() { return FFields; }
  const std::vector<TFieldValue>& Fields() const { return FFields; }
  // The field named in the schema; raises when the command has none such.
  TFieldValue& Field(std::string_view name);
  // A field by its name in the schema (the field:: constants), as the value
  // its kind holds.
  TKestParser& At(TExprField f) { return FFields[f.Index].Expr; }
  const TKestParser& At(TExprField f) const { return FFields[f.Index].Expr; }
  std::string& At(TTextField f) { return FFields[f.Index].Text; }
  const std::string& At(TTextField f) const { return FFields[f.Index].Text; }
  int32_t& At(TIntField f) { return FFields[f.Index].Int; }
  int32_t At(TIntField f) const { return FFields[f.Index].Int; }
  std::vector<TKestParser>& At(TListField f) { return FFields[f.Index].List; }
  const std::vector<TKestParser>& At(TListField f) const { return FFields[f.Index].List; }
  TFieldValue& At(TPropsField f) { return FFields[f.Index]; }
  const TFieldValue& At(TPropsField f) const { return FFields[f.Index]; }

  int32_t Indent = 0;
  bool Skipped = false;
  bool Continue = false;
  int32_t Line = 0;

 private:
  void LoadField(TStream& stream, const TFieldLayout& layout, TFieldValue& value);
  void SaveField(TStream& stream, const TFieldLayout& layout, const TFieldValue& value) const;

  TComList& FOwner;
  uint8_t FId;
  const TCommandLayout* FLayout;
  std::vector<TFieldValue> FFields;
};

// The versions of a command's in-progress state, written as the digits of
// its "kest" tag. An untagged state (version 0) is as old as they come.
inline constexpr int32_t kStateSinceTagged = 100;
inline constexpr int32_t kStateNewestVersion = kStateSinceTagged;

// The "kest100" tag in front of a command's in-progress state.
void WriteStateTag(TStream& stream);
// The tag's version (0 when its digits are no number); without a tag the
// stream is rewound to where it was and the version is 0.
int32_t ReadStateTag(TStream& stream);

}  // namespace kest
