// kestc on any page source: mistakes are reported, never a crash, a hang or
// a huge allocation. A source that compiles is dumped back to text, and that
// text must compile to the same page bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "common/errors.h"
#include "kestc/diagnostics.h"
#include "kestc/page_dumper.h"
#include "kestc/script_compiler.h"

namespace {

using namespace kest::kestc;

// The bytes of the one page, or nothing when the source has mistakes.
bool Compile(const std::string& text, std::vector<uint8_t>& bytes, std::vector<TCompiledPage>& pages) {
  TDiagnostics errors;
  pages = CompileScripts({{"fuzz.kst", "start.ksb", text}}, errors);
  if (!errors.Empty() || pages.size() != 1 || !pages[0].Page) return false;
  bytes = PageBytes(*pages[0].Page);
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  std::vector<uint8_t> bytes;
  std::vector<TCompiledPage> pages;
  if (!Compile(text, bytes, pages)) return 0;
  std::string dumped;
  try {
    dumped = DumpPage(*pages[0].Page, "start.ksb");
  } catch (const kest::EKestError&) {
    std::abort();
  }
  std::vector<uint8_t> again;
  std::vector<TCompiledPage> second;
  if (!Compile(dumped, again, second) || again != bytes) std::abort();
  return 0;
}
