#pragma once
// Value types of the window toolkit: colours, fonts, and the property enums
// with the desktop's numeric values.
#include <cstdint>
#include <string>

namespace sysaccess::ui {

inline constexpr int TwipsPerPixel = 15;  // 1440 twips an inch at 96 dots per inch

// A 24-bit colour as 0xRRGGBB.
struct Color {
    std::uint32_t rgb = 0;
    constexpr std::uint8_t r() const { return (rgb >> 16) & 0xFF; }
    constexpr std::uint8_t g() const { return (rgb >> 8) & 0xFF; }
    constexpr std::uint8_t b() const { return rgb & 0xFF; }
    friend constexpr bool operator==(Color, Color) = default;
};

constexpr Color RGB(int r, int g, int b) {
    return Color{static_cast<std::uint32_t>(((r & 0xFF) << 16) | ((g & 0xFF) << 8) | (b & 0xFF))};
}

// The sixteen colours of the desktop's classic palette, by index.
Color QBColor(int index);

// System colours of the classic look.
namespace syscolor {
inline constexpr Color ButtonFace = RGB(192, 192, 192);
inline constexpr Color ButtonText = RGB(0, 0, 0);
inline constexpr Color ButtonHighlight = RGB(255, 255, 255);
inline constexpr Color ButtonShadow = RGB(128, 128, 128);
inline constexpr Color DarkShadow = RGB(0, 0, 0);
inline constexpr Color WindowBackground = RGB(255, 255, 255);
inline constexpr Color Menu = RGB(192, 192, 192);
inline constexpr Color WindowText = RGB(0, 0, 0);
inline constexpr Color ActiveCaption = RGB(0, 0, 128);
inline constexpr Color InactiveCaption = RGB(128, 128, 128);
inline constexpr Color CaptionText = RGB(255, 255, 255);
}  // namespace syscolor

struct Font {
    std::string name;      // empty: the system's default dialog font
    double size = 8.25;    // points
    bool bold = false;
    bool italic = false;
    int charset = 0;       // 0 ANSI, 136 Traditional Chinese (Big5)
    int dpi = 96;          // the screen density the size is shown at (set by the renderer)
    friend bool operator==(const Font&, const Font&) = default;
};

enum class FormBorderStyle { None = 0, FixedSingle = 1, Sizable = 2, FixedDialog = 3 };
enum class WindowState { Normal = 0, Minimized = 1, Maximized = 2 };
enum class Alignment { Left = 0, Right = 1, Center = 2 };
enum class BackStyle { Transparent = 0, Opaque = 1 };
enum class ControlBorder { None = 0, Single = 1 };
// Line controls: 0 draws nothing, 1 a solid line.
enum class LineStyle { Transparent = 0, Solid = 1 };
enum class MousePointer { Default = 0, Custom = 99 };

}  // namespace sysaccess::ui
