#include "kestc/page_layout.h"

#include <map>

#include "common/sjis.h"
#include "script/command_factory.h"

namespace kest::kestc {

TCommand& TCompiledPage::Append(std::unique_ptr<TCommand> command, int32_t sourceLine) {
  SourceLines.push_back(sourceLine);
  return Page->Commands().Add(std::move(command));
}

std::unique_ptr<TCommand> TCompiledPage::Make(uint8_t id) { return CreateCommand(Page->Commands(), id); }

void TLoopLayout::Open(int32_t level, int32_t whileIndex, std::unique_ptr<TCommand> end, int32_t sourceLine) {
  FLoops.push_back({level, whileIndex, std::move(end), sourceLine, {}, {}});
}

void TLoopLayout::CloseFrom(int32_t level, TCompiledPage& page) {
  while (!FLoops.empty() && FLoops.back().Level >= level) {
    TOpenLoop loop = std::move(FLoops.back());
    FLoops.pop_back();
    const int32_t endIndex = page.Count();
    loop.End->At(field::kWhileLoopTarget) = loop.While;
    page.Append(std::move(loop.End), loop.SourceLine);
    page.At(loop.While).At(field::kWhileExit) = endIndex + 1;
    for (int32_t b : loop.Breaks) page.At(b).At(field::kBreakTarget) = endIndex + 1;
    for (int32_t c : loop.Continues) page.At(c).At(field::kBreakTarget) = endIndex;
  }
}

void ResolveReferences(std::vector<TCompiledPage>& pages, TDiagnostics& errors) {
  std::map<std::string, const TCompiledPage*> byName;
  for (const TCompiledPage& page : pages) byName.emplace(page.Name, &page);
  for (TCompiledPage& page : pages) {
    for (const TReference& ref : page.References) {
      const std::string& name = ref.Page.empty() ? page.Name : ref.Page;
      const auto found = byName.find(name);
      if (found == byName.end()) {
        errors.Add(page.File, ref.Line, ref.Column,
                   "there is no page " + Cp932ToUtf8(name) + " (page names are case-sensitive)");
        continue;
      }
      int32_t pc = 0;
      if (!ref.Label.empty()) {
        pc = found->second->Page->Commands().FindLabel(ref.Label);
        if (pc < 0) {
          errors.Add(page.File, ref.Line, ref.Column,
                     "page " + Cp932ToUtf8(name) + " has no label " + Cp932ToUtf8(ref.Label));
          continue;
        }
      }
      TCommand& command = page.At(ref.Command);
      command.Fields()[static_cast<size_t>(ref.PageField)].Text = name;
      if (ref.PcField >= 0) command.Fields()[static_cast<size_t>(ref.PcField)].Int = pc;
    }
  }
}

void LayOutMasks(TPage& page, const std::array<uint8_t, kMaskAreaSize>& extra) {
  for (int32_t id = 0; id < kCommandIdCount; ++id) {
    auto mask = page.Mask(id);
    for (int32_t i = 0; i < kMaskSlotSize; ++i)
      mask[static_cast<size_t>(i)] = extra[static_cast<size_t>(id * kMaskSlotSize + i)];
  }
  page.UpdateMasks();
}

}  // namespace kest::kestc
