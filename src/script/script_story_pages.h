#pragma once
// The script pages as the histories read them back: a page the call manager
// holds is used as it is, any other is loaded for the question and let go.

#include "text/history/story_pages.h"

namespace kest {

class TCallMan;
class TVrFileManager;

class TScriptStoryPages final : public IStoryPages {
 public:
  TScriptStoryPages(TCallMan& man, TVrFileManager& files) : FMan(man), FFiles(files) {}
  bool Exists(const std::string& page) override;
  std::optional<std::vector<uint8_t>> TextCommand(const std::string& page, int32_t command) override;

 private:
  TCallMan& FMan;
  TVrFileManager& FFiles;
};

}  // namespace kest
