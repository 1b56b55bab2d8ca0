#include "common/trace.h"

#include "common/sjis.h"

namespace kest {

TTraceSink::~TTraceSink() { Close(); }

bool TTraceSink::SetFile(const std::string& path) {
  Close();
  FFile = std::fopen(path.c_str(), "w");
  return FFile != nullptr;
}

void TTraceSink::Close() {
  if (FFile) std::fclose(FFile);
  FFile = nullptr;
}

void TTraceSink::Step(std::string_view name) {
  if (FRecorder) FRecorder(TKind::Step, name);
  if (FFile && FSteps) {
    std::fprintf(FFile, "step %.*s\n", static_cast<int>(name.size()), name.data());
    std::fflush(FFile);
  }
}

void TTraceSink::Line(std::string_view cp932) {
  if (FRecorder) FRecorder(TKind::Line, cp932);
  if (FFile) {
    const std::string text = Cp932ToUtf8(cp932);
    std::fprintf(FFile, "%s\n", text.c_str());
  }
}

TTraceSink& Trace() {
  static TTraceSink sink;
  return sink;
}

}  // namespace kest
