#pragma once
// The captions of the scene's buttons by name. A button's saved record has no
// field for its caption text, so saved games carry them beside the slot in a
// record of their own that other players pass over.

#include "common/stream.h"

namespace kest {

class TKestBaseList;

void WriteButtonCaptions(TKestBaseList& scene, TStream& stream);
// Gives each named button that exists its caption; raises EReadError on a
// damaged record, having changed nothing.
void ReadButtonCaptions(TKestBaseList& scene, TStream& stream);

}  // namespace kest
