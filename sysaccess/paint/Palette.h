#pragma once
// The desktop's colours by role (button face, shadows, caption, ...), as one
// palette the whole renderer draws with. On Windows they are the system's
// current colours; elsewhere the classic scheme. The fixed colours that
// programs set (ui::RGB, QBColor) pass through unchanged.
#include <array>

#include "sysaccess/paint/Image.h"
#include "sysaccess/ui/Color.h"

namespace sysaccess::paint {

class Palette {
public:
    // The classic scheme: grey faces, white highlights, navy active caption.
    static Palette classic();

    Rgb operator[](ui::SysColor role) const { return colours_[static_cast<std::size_t>(role)]; }
    void set(ui::SysColor role, Rgb colour) { colours_[static_cast<std::size_t>(role)] = colour; }
    // A colour of the toolkit as drawn: a system colour through its role.
    Rgb operator()(ui::Color c) const { return c.isSystem() ? (*this)[c.role()] : Rgb{c.r(), c.g(), c.b()}; }

    // The roles, for going through them all (render keys, the system's colours).
    static constexpr std::array<ui::SysColor, 11> roles{
        ui::SysColor::ActiveCaption,  ui::SysColor::InactiveCaption, ui::SysColor::Menu,
        ui::SysColor::WindowBackground, ui::SysColor::WindowText,  ui::SysColor::CaptionText,
        ui::SysColor::ButtonFace,     ui::SysColor::ButtonShadow,    ui::SysColor::ButtonText,
        ui::SysColor::ButtonHighlight, ui::SysColor::DarkShadow};

    friend bool operator==(const Palette&, const Palette&) = default;

private:
    std::array<Rgb, 32> colours_{};  // by the role's index
};

// The palette of this platform: the system's colours on Windows, the
// classic scheme elsewhere.
Palette platformPalette();

}  // namespace sysaccess::paint
