#include "common/trace.h"

#include "common/sjis.h"

namespace kest {

TTraceSink::~TTraceSink() { Close(); }

bool TTraceSink::SetFile(const std::string& path) {
  Close();
  file_ = std::fopen(path.c_str(), "w");
  return file_ != nullptr;
}

void TTraceSink::Close() {
  if (file_) std::fclose(file_);
  file_ = nullptr;
}

void TTraceSink::Step(std::string_view name) {
  if (recorder_) recorder_(TKind::Step, name);
  if (file_ && steps_) {
    std::fprintf(file_, "step %.*s\n", static_cast<int>(name.size()), name.data());
    std::fflush(file_);
  }
}

void TTraceSink::Line(std::string_view cp932) {
  if (recorder_) recorder_(TKind::Line, cp932);
  if (file_) {
    const std::string text = Cp932ToUtf8(cp932);
    std::fprintf(file_, "%s\n", text.c_str());
  }
}

TTraceSink& Trace() {
  static TTraceSink sink;
  return sink;
}

}  // namespace kest
