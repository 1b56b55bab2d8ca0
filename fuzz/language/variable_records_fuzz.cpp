// Reads variable records out of arbitrary bytes. The first byte picks what the
// rest is: a game block (the second byte picks the save-data version), a
// status block, a game block whose push-stack entries are then popped, or one
// value stream (the second byte is its type code). Damaged data must end in
// EReadError; whatever loads must save, and what is saved must load again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "common/errors.h"
#include "common/stream.h"
#include "language/param_collection.h"
#include "language/typed_param.h"

namespace {

using namespace kest;

void Check(bool condition) {
  if (!condition) std::abort();
}

constexpr int32_t kVersions[] = {102, 103, 113, 120, 121, 134, 135, 138, 139, 140};

// A reference may point outside its target (a negative offset passes until
// it is used), which raises the store's subscript error, not a read error.
void Touch(const TParamCollection& store) {
  for (int32_t i = 0; i < store.Count(); ++i) {
    const TCustomParam& v = *store.Items(i)->Value();
    try {
      v.GetAsStr();
      if (v.Count() > 0) v.GetStr(v.Count() - 1);
      v.IndexOfStr("a", false, true);
    } catch (const EReadError&) {
      throw;
    } catch (const EKestError&) {
    }
  }
}

int32_t GameVarCount(const TParamCollection& store) {
  int32_t n = 0;
  for (int32_t i = 0; i < store.Count(); ++i) n += store.Items(i)->IsStatus ? 0 : 1;
  return n;
}

std::vector<uint8_t> SaveGame(const TParamCollection& store) {
  TByteStream out;
  store.SaveGameVars(out);
  return out.TakeBytes();
}

void GameBlock(TStream& in, int32_t version, bool pop) {
  TParamCollection store;
  store.LoadGameVars(in, version);
  Touch(store);
  const std::vector<uint8_t> saved = SaveGame(store);
  TParamCollection again;
  TByteStream back(saved);
  again.LoadGameVars(back, 140);
  Check(back.Remaining() == 0);
  Check(GameVarCount(again) == GameVarCount(store));
  if (pop) {
    while (store.PushStackCount() > 0) store.PopVar();
    Touch(store);
    SaveGame(store);
  }
}

void StatusBlock(TStream& in) {
  TParamCollection store;
  store.LoadStatusVars(in, 103);
  Touch(store);
  TByteStream out;
  store.SaveStatusVars(out);
  out.Seek(0);
  TParamCollection again;
  again.LoadStatusVars(out, 103);
  store.ClearGameVars();
}

// The first save of a loaded value is canonical, so saving it again after a
// reload gives the same bytes.
void ValueStream(TStream& in, uint8_t type) {
  TParamPtr value = CreateParam(type);
  if (!value) return;
  value->LoadFromStream(in);
  TByteStream first;
  value->SaveToStream(first);
  first.Seek(0);
  TParamPtr copy = CreateParam(type);
  copy->LoadFromStream(first);
  TByteStream second;
  copy->SaveToStream(second);
  Check(second.Bytes() == first.Bytes());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  TByteStream in{std::span<const uint8_t>(data + 2, size - 2)};
  const int32_t version = kVersions[data[1] % std::size(kVersions)];
  try {
    switch (data[0] % 4) {
      case 0: GameBlock(in, version, false); break;
      case 1: StatusBlock(in); break;
      case 2: GameBlock(in, version, true); break;
      case 3: ValueStream(in, data[1]); break;
    }
  } catch (const EReadError&) {
  }
  return 0;
}
