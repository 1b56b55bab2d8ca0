// An extension library of an older release: it answers version 107 and has
// none of the later entry points.
#include <cstdint>

extern "C" __attribute__((visibility("default"))) int32_t kestVersion(void) { return 107; }
