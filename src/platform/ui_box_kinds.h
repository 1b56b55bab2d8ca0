// What a message box shows and what it answers, shared by every way a box is
// put to the user: drawn in the window, shown by the system before a window
// exists, or answered from a script.
#pragma once

namespace kest {

enum class TUiIcon { None, Information, Warning, Error, Question };
enum class TUiButtons { Ok, OkCancel, YesNo, YesNoCancel, YesNoCancelNoAllYesAll };
enum class TUiResult { None, Ok, Cancel, Yes, No, NoToAll, YesToAll };

}  // namespace kest
