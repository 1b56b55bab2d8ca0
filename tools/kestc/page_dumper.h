#pragma once
// Turns a page back into source text. The text compiles to the bytes the page
// writer gives for the page: friendly forms where they fit, the generic
// NAME field=value form, modifiers and @mask wherever the page holds what the
// friendly forms would not make. Every candidate text is compiled and
// compared before it is given out; a command whose friendly form does not
// come back exactly is written in its generic form instead.

#include <string>

#include "script/page.h"

namespace kest::kestc {

// name: the page's own Shift-JIS name ("start.ksb"), so that jumps into the
// page itself can be written with its labels. Raises EKestError when no text
// gives the page back.
std::string DumpPage(const TPage& page, const std::string& name);

}  // namespace kest::kestc
