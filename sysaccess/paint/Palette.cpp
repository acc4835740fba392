#include "sysaccess/paint/Palette.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace sysaccess::paint {

Palette Palette::classic() {
    // Made once: every drawing of a window asks for it.
    static const Palette scheme = [] {
        using ui::SysColor;
        Palette p;
        p.set(SysColor::ButtonFace, Rgb{192, 192, 192});
        p.set(SysColor::ButtonText, Rgb{0, 0, 0});
        p.set(SysColor::ButtonHighlight, Rgb{255, 255, 255});
        p.set(SysColor::ButtonShadow, Rgb{128, 128, 128});
        p.set(SysColor::DarkShadow, Rgb{0, 0, 0});
        p.set(SysColor::WindowBackground, Rgb{255, 255, 255});
        p.set(SysColor::Menu, Rgb{192, 192, 192});
        p.set(SysColor::WindowText, Rgb{0, 0, 0});
        p.set(SysColor::ActiveCaption, Rgb{0, 0, 128});
        p.set(SysColor::InactiveCaption, Rgb{128, 128, 128});
        p.set(SysColor::CaptionText, Rgb{255, 255, 255});
        return p;
    }();
    return scheme;
}

Palette platformPalette() {
#ifdef _WIN32
    // The roles' indexes are the system's own colour indexes.
    Palette p;
    for (ui::SysColor role : Palette::roles) {
        const DWORD c = ::GetSysColor(static_cast<int>(role));
        p.set(role, Rgb{GetRValue(c), GetGValue(c), GetBValue(c)});
    }
    return p;
#else
    return Palette::classic();
#endif
}

}  // namespace sysaccess::paint
