#pragma once
// The call stack: one frame per Call or event start, holding what the caller
// needs to go on when the called page ends.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "common/stream.h"
#include "common/string_lists.h"
#include "language/custom_param.h"
#include "scene/event_queue.h"

namespace kest {

class TParamCollection;

using TSenderLookup = std::function<TObjectHandle(const std::string& name)>;

struct TStack {
  std::string PageName;
  int32_t Pc = 0;
  bool Entered = false;
  bool Running = false;
  std::string ResultVar;  // calls only
  TArrayString Args;
  TObjectRef Sender;
  // The in-progress state of the caller's command, when it was entered.
  std::unique_ptr<TByteStream> State;
  // Made with the called page's result kind; the page sets it through @Result.
  TParamPtr Result;

  // Page name, pc, entered, running, result variable, arguments, sender
  // name, state size and bytes, result kind and value.
  void SaveToStream(TStream& stream) const;
  void LoadFromStream(TStream& stream, const TSenderLookup& findSender);
  void CopyFrom(const TStack& other);
};

class TStackList {
 public:
  // Every push, pop and clear sets the store's call depth to the frame count.
  explicit TStackList(TParamCollection& vars) : FVars(vars) {}

  TStack& Push();
  // Moves the top frame into the spare frame and answers it; raises
  // "スタックエラー" on an empty stack.
  TStack& Pop();
  void Clear();
  // Removes a saved frame by index; false outside the stack. The call depth
  // follows the frame count here too, so the running page keeps seeing its
  // own local variables, whose owner depth moves down with it.
  bool Delete(int32_t index);
  int32_t Count() const { return static_cast<int32_t>(FFrames.size()); }
  TStack& Items(int32_t index) { return *FFrames[static_cast<size_t>(index)]; }
  TStack* Top() { return FFrames.empty() ? nullptr : FFrames.back().get(); }

  // The spare frame, the frame count, then each frame. A damaged record
  // raises EReadError and leaves the stack as it was.
  void SaveToStream(TStream& stream) const;
  void LoadFromStream(TStream& stream, const TSenderLookup& findSender);
  // Exchanges the frames with another stack of the same store.
  void Swap(TStackList& other);

 private:
  void SetDepth();

  TParamCollection& FVars;
  std::vector<std::unique_ptr<TStack>> FFrames;
  TStack FSpare;
};

}  // namespace kest
