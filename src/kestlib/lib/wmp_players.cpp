// The Windows Media entry points: WMA (and the sound of other ASF files)
// played on the sound output from a copy of the file's bytes.
#include <cstring>
#include <vector>

#include "kestlib/lib/audio_items.h"

namespace {

using kestlib::TAudioPlayer;

// Never destroyed: items the program has not deleted at exit stay as they are.
kestlib::TItemTable<TAudioPlayer>& Players() {
  static auto* table = new kestlib::TItemTable<TAudioPlayer>;
  return *table;
}

}  // namespace

KEST_EXPORT KestHandle kestWmpmanAdd(const void* data, int32_t size) {
  if (!data || size <= 0) return 0;
  const auto* bytes = static_cast<const uint8_t*>(data);
  auto decoder = kestlib::OpenWithFfmpeg(kestlib::MakeMemorySource(std::vector<uint8_t>(bytes, bytes + size)), "asf");
  if (!decoder) return 0;
  return Players().Add(std::make_unique<TAudioPlayer>(std::move(decoder), kestlib::SoundBus()));
}

KEST_EXPORT void kestWmpmanDel(KestHandle item) { Players().Remove(item); }

// Windows Media notifications and device restores have no counterpart here.
KEST_EXPORT void kestWmpmanProcessEvent(const KestMessage*) {}

KEST_EXPORT void kestWmpmanRestore(void) {}

KEST_DEFINE_AUDIO_ITEM_FUNCTIONS(Wmp, Players())
