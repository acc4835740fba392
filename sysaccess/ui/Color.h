#pragma once
// Colours of the window toolkit: plain 24-bit colours and the desktop's
// system colours, which name a role rather than a colour.
#include <cstdint>

namespace sysaccess::ui {

// The desktop's system colour roles, by the desktop's own index.
enum class SysColor : std::uint8_t {
    ActiveCaption = 2,
    InactiveCaption = 3,
    Menu = 4,
    WindowBackground = 5,
    WindowText = 8,
    CaptionText = 9,
    ButtonFace = 15,
    ButtonShadow = 16,
    ButtonText = 18,
    ButtonHighlight = 20,
    DarkShadow = 21,
};

// A 24-bit colour as 0xRRGGBB, or, with the top bit set (0x80000000 | role),
// a system colour: whatever the desktop's current colour of that role is.
// The renderer resolves system colours through its palette; r(), g() and b()
// mean something only for plain colours.
struct Color {
    std::uint32_t rgb = 0;
    constexpr bool isSystem() const { return (rgb & 0x80000000u) != 0; }
    constexpr SysColor role() const { return static_cast<SysColor>(rgb & 0xFF); }
    constexpr std::uint8_t r() const { return (rgb >> 16) & 0xFF; }
    constexpr std::uint8_t g() const { return (rgb >> 8) & 0xFF; }
    constexpr std::uint8_t b() const { return rgb & 0xFF; }
    friend constexpr bool operator==(Color, Color) = default;
};

constexpr Color RGB(int r, int g, int b) {
    return Color{static_cast<std::uint32_t>(((r & 0xFF) << 16) | ((g & 0xFF) << 8) | (b & 0xFF))};
}

constexpr Color systemColor(SysColor role) { return Color{0x80000000u | static_cast<std::uint32_t>(role)}; }

// The sixteen colours of the desktop's classic palette, by index.
Color QBColor(int index);

// The system colours, as colours of the toolkit.
namespace syscolor {
inline constexpr Color ButtonFace = systemColor(SysColor::ButtonFace);
inline constexpr Color ButtonText = systemColor(SysColor::ButtonText);
inline constexpr Color ButtonHighlight = systemColor(SysColor::ButtonHighlight);
inline constexpr Color ButtonShadow = systemColor(SysColor::ButtonShadow);
inline constexpr Color DarkShadow = systemColor(SysColor::DarkShadow);
inline constexpr Color WindowBackground = systemColor(SysColor::WindowBackground);
inline constexpr Color Menu = systemColor(SysColor::Menu);
inline constexpr Color WindowText = systemColor(SysColor::WindowText);
inline constexpr Color ActiveCaption = systemColor(SysColor::ActiveCaption);
inline constexpr Color InactiveCaption = systemColor(SysColor::InactiveCaption);
inline constexpr Color CaptionText = systemColor(SysColor::CaptionText);
}  // namespace syscolor

}  // namespace sysaccess::ui
