#include "sysaccess/drivers/x11/XKeys.h"

#include <X11/Xutil.h>
#include <X11/keysym.h>

namespace sysaccess::drivers::x11 {

bool translateKey(XKeyEvent& e, ui::InputEvent& out) {
    char buf[8] = {};
    KeySym sym = NoSymbol;
    const int n = XLookupString(&e, buf, sizeof buf, &sym, nullptr);
    out.type = ui::InputEvent::Type::Key;
    out.modifiers.shift = (e.state & ShiftMask) != 0;
    out.modifiers.ctrl = (e.state & ControlMask) != 0;
    out.modifiers.alt = (e.state & Mod1Mask) != 0;
    switch (sym) {
        case XK_Tab: out.key = out.modifiers.shift ? ui::Key::BackTab : ui::Key::Tab; return true;
        case XK_ISO_Left_Tab: out.key = ui::Key::BackTab; return true;
        case XK_space:
        case XK_KP_Space: out.key = ui::Key::Space; return true;
        case XK_Return:
        case XK_KP_Enter: out.key = ui::Key::Enter; return true;
        case XK_Escape: out.key = ui::Key::Escape; return true;
        case XK_Left:
        case XK_KP_Left: out.key = ui::Key::Left; return true;
        case XK_Right:
        case XK_KP_Right: out.key = ui::Key::Right; return true;
        case XK_Up:
        case XK_KP_Up: out.key = ui::Key::Up; return true;
        case XK_Down:
        case XK_KP_Down: out.key = ui::Key::Down; return true;
        case XK_F4:
            if (!out.modifiers.alt) return false;
            out.type = ui::InputEvent::Type::Close;
            return true;
        default:
            // Printable characters only; with Ctrl held the lookup gives
            // control characters, which are no letters.
            if (n != 1 || static_cast<unsigned char>(buf[0]) < 0x20 || buf[0] == 0x7F) return false;
            out.key = ui::Key::Char;
            out.ch = buf[0];
            return true;
    }
}

}  // namespace sysaccess::drivers::x11
