#pragma once
// What an X key press means to the toolkit: the key and the modifiers held
// (from the event's state mask), or a printable character.
// The toolkit's header comes before Xlib's, whose macros clash with its names.
#include "sysaccess/ui/Driver.h"

#include <X11/Xlib.h>

namespace sysaccess::drivers::x11 {

// Fills in the type (Key, or Close for Alt+F4), key, modifiers and character
// of `out`; false for a key the toolkit has no use for.
bool translateKey(XKeyEvent& e, ui::InputEvent& out);

}  // namespace sysaccess::drivers::x11
