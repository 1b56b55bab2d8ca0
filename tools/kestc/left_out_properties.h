#pragma once
// A page keeps one property list for each component command: a command gets
// every property another command of its kind on the page sets, stored empty
// when it does not name it, and an empty expression gives the property its
// creation default when the command runs. That is seldom what the author of
// the command that left it out meant, so each such command is warned of.

#include "kestc/diagnostics.h"
#include "kestc/page_layout.h"

namespace kest::kestc {

// One warning for every component command of the page that leaves out a
// property another command of its kind sets to something; a property named
// with the empty expression counts as given, and the masks asked for by hand
// are not looked at.
void WarnOfLeftOutProperties(const TCompiledPage& page, TDiagnostics& diagnostics);

}  // namespace kest::kestc
