#include "script/script_story_pages.h"

#include <memory>

#include "common/app_globals.h"
#include "common/errors.h"
#include "common/sjis.h"
#include "script/call_man.h"
#include "script/command.h"
#include "script/command_schema.h"
#include "script/page.h"
#include "storage/vr_file_manager.h"

namespace kest {

bool TScriptStoryPages::Exists(const std::string& page) { return !page.empty() && FFiles.Exists(page); }

std::optional<std::vector<uint8_t>> TScriptStoryPages::TextCommand(const std::string& page, int32_t command) {
  const TPage* found = nullptr;
  for (const auto& loaded : FMan.Pages())
    if (SameName(loaded->Name(), page)) found = loaded.get();
  std::unique_ptr<TPage> temporary;
  if (!found) {
    if (!Exists(page)) return std::nullopt;
    temporary = std::make_unique<TPage>();
    // A page too old to run neither shows its box nor ends the game here:
    // the history only looks into it (and finds no commands).
    const bool terminating = AppTerminating;
    try {
      temporary->Load(page, FFiles, nullptr);
    } catch (const EKestError&) {
      AppTerminating = terminating;
      return std::nullopt;
    }
    AppTerminating = terminating;
    found = temporary.get();
  }
  const TCommand* text = found->Commands().Items(command);
  if (!text || text->GetCommandId() != ciTextIns) return std::nullopt;
  const std::string& data = text->At(field::kTextInsText);
  return std::vector<uint8_t>(data.begin(), data.end());
}

}  // namespace kest
