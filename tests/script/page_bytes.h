#pragma once
// Page bytes assembled field by field as the ksb layout gives them, so the
// page tests never take their fixtures from the writer they check.

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "language/kest_parser.h"
#include "script/command.h"
#include "script/page.h"
#include "script/project_ui.h"
#include "script/script_test_util.h"

namespace kest::test {

class TRecordingUi final : public IProjectUi {
 public:
  void ShowMessage(const std::string&, const std::string& text, TMessageIcon icon) override {
    Messages.push_back(text);
    Icons.push_back(icon);
  }
  TPromptAnswer AskOkCancel(const std::string&, const std::string&) override { return TPromptAnswer::Ok; }
  void ShowStartupError(const std::string&) override {}
  void SetTitle(const std::string&) override {}
  void ReportSaveFailure(const std::string&) override {}

  std::vector<std::string> Messages;
  std::vector<TMessageIcon> Icons;
};

// Version and result kind.
inline TRecordBytes PageStart(int32_t version = 116) {
  TRecordBytes b;
  b.Int(version).Byte(1);
  return b;
}

inline void NoMasks(TRecordBytes& b) { b.Int(0).Int(0); }

// count records of size bytes; byte j of record i is fill(i, j).
template <class Fill>
inline void Masks(TRecordBytes& b, int32_t count, int32_t size, Fill fill) {
  b.Int(count).Int(size);
  for (int32_t i = 0; i < count; ++i)
    for (int32_t j = 0; j < size; ++j) b.Byte(fill(i, j));
}

// The 61 slots of 21 bytes, all zero but the given slots' first bytes.
inline void SlotMasks(TRecordBytes& b, std::initializer_list<std::pair<int32_t, std::vector<uint8_t>>> set) {
  std::vector<std::vector<uint8_t>> slots(kCommandIdCount, std::vector<uint8_t>(kMaskSlotSize));
  for (const auto& [id, bytes] : set) std::copy(bytes.begin(), bytes.end(), slots[static_cast<size_t>(id)].begin());
  Masks(b, kCommandIdCount, kMaskSlotSize, [&](int32_t i, int32_t j) { return slots[i][j]; });
}

inline void Header(TRecordBytes& b, uint8_t type, int32_t indent = 0, bool skipped = false, bool cont = false,
                   int32_t line = 0) {
  b.Byte(type).Int(indent).Byte(skipped).Byte(cont).Int(line);
}

// The record of "result = value": one assignment with an integer operand.
inline void IntExpr(TRecordBytes& b, std::string_view result, int32_t value) {
  b.Int(1).Byte(ocTo).Str(result).Int(1).Byte(PT_INT).Int(value);
}

inline void EmptyExpr(TRecordBytes& b) { b.Int(0); }

inline void LabelCommand(TRecordBytes& b, uint8_t id, std::string_view name) {
  Header(b, id);
  b.Str(name);
}

// "result=value" for an expression IntExpr wrote, "" for an empty one.
inline std::string Describe(const TKestParser& e) {
  if (e.Operations().empty()) return "";
  const TOpeData& op = e.Operations()[0];
  if (e.Operations().size() != 1 || op.Op != ocTo || op.Operands.size() != 1 || !op.Operands[0].Literal()) return "?";
  return op.ResultName + "=" + std::to_string(op.Operands[0].Literal()->GetAsInt());
}

inline void Load(TPage& page, const TBytes& bytes, std::string_view name = "test.ksb", IProjectUi* ui = nullptr) {
  page.LoadFromBytes(name, bytes, ui);
}

inline TCommand& At(TPage& page, int32_t pc) {
  TCommand* c = page.Commands().Items(pc);
  if (!c) throw std::out_of_range("no command at " + std::to_string(pc));
  return *c;
}

inline std::string LabelName(TPage& page, int32_t pc) { return At(page, pc).Field("name").Text; }

// A page of every reading step: masks, flow commands, a component and a
// list, so that cutting it anywhere lands in each kind of field.
inline TBytes SamplePage() {
  TRecordBytes b = PageStart(116);
  SlotMasks(b, {{ciBoxNew, {0x05}}});
  b.Int(6);
  LabelCommand(b, ciLabel, "top");
  Header(b, ciJump, 1, false, false, 2);
  b.Str("next.ksb").Int(12);
  IntExpr(b, "c", 1);
  Header(b, ciCall);
  b.Str("sub.ksb").Int(3).Str("ret");
  EmptyExpr(b);
  b.Int(2);
  IntExpr(b, "a", 1);
  IntExpr(b, "b", 2);
  Header(b, ciBoxNew);
  IntExpr(b, "p0", 10);
  IntExpr(b, "p2", 12);
  Header(b, ciTextIns);
  b.Int(3).Raw("abc");
  IntExpr(b, "w", 0);
  EmptyExpr(b);
  EmptyExpr(b);
  EmptyExpr(b);
  LabelCommand(b, ciComment, "end");
  return b.Bytes();
}

}  // namespace kest::test
