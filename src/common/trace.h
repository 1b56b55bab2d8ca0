// The trace sink: start-up and shut-down step names, and the interpreter's
// command trace. It writes nothing unless a file is set (--trace FILE or the
// KEST_TRACE environment variable); step names go there only when asked for.
#pragma once

#include <cstdio>
#include <functional>
#include <string>
#include <string_view>

namespace kest {

class TTraceSink {
 public:
  enum class TKind { Step, Line };
  using TRecorder = std::function<void(TKind, std::string_view)>;

  ~TTraceSink();

  // Opens (truncates) the trace file; returns false when it cannot be written.
  bool SetFile(const std::string& path);
  void Close();
  void SetSteps(bool on) { FSteps = on; }
  // Tests watch the trace through a recorder; it sees every record, written or not.
  void SetRecorder(TRecorder recorder) { FRecorder = std::move(recorder); }

  // A start-up or shut-down step name (ASCII).
  void Step(std::string_view name);
  // One trace line of game text, in CP932; written as UTF-8.
  void Line(std::string_view cp932);
  bool Enabled() const { return FFile != nullptr || FRecorder != nullptr; }

 private:
  std::FILE* FFile = nullptr;
  bool FSteps = false;
  TRecorder FRecorder;
};

// The process-wide sink.
TTraceSink& Trace();

}  // namespace kest
