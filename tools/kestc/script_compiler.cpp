#include "kestc/script_compiler.h"

#include "common/sjis.h"
#include "common/stream.h"
#include "kestc/command_parser.h"
#include "kestc/left_out_properties.h"
#include "kestc/source_text.h"

namespace kest::kestc {

std::vector<TCompiledPage> CompileScripts(const std::vector<TScriptSource>& sources, TDiagnostics& errors) {
  std::vector<TCompiledPage> pages;
  pages.reserve(sources.size());
  for (const TScriptSource& source : sources) {
    TCompiledPage& page = pages.emplace_back();
    page.Name = source.Name;
    page.File = source.File;
    page.Page = std::make_unique<TPage>();
    page.Page->SetName(source.Name);
    page.Page->Version = kNewestPageVersion;
    page.Page->ResultKind = 1;
    TPageParser(page, errors).Parse(source.Text);
    WarnOfLeftOutProperties(page, errors);
  }
  ResolveReferences(pages, errors);
  return pages;
}

std::optional<std::string> PageNameOfPath(std::string_view relativeUtf8) {
  if (relativeUtf8.size() <= 4 || LowerAscii(relativeUtf8.substr(relativeUtf8.size() - 4)) != ".kst")
    return std::nullopt;
  std::optional<std::string> name = Utf8ToCp932Strict(relativeUtf8.substr(0, relativeUtf8.size() - 4));
  if (!name) return std::nullopt;
  for (char& c : *name)
    if (c == '/') c = '\\';
  return *name + ".ksb";
}

std::vector<uint8_t> PageBytes(const TPage& page) {
  TByteStream stream;
  page.SaveToStream(stream);
  return stream.TakeBytes();
}

}  // namespace kest::kestc
