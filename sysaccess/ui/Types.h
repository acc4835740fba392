#pragma once
// Value types of the window toolkit: colours, fonts, and the property enums
// with the desktop's numeric values.
#include <cstdint>
#include <string>

#include "sysaccess/ui/Color.h"

namespace sysaccess::ui {

inline constexpr int TwipsPerPixel = 15;  // 1440 twips an inch at 96 dots per inch

struct Font {
    std::string name;      // empty: the system's default dialog font
    double size = 8.25;    // points
    bool bold = false;
    bool italic = false;
    int charset = 0;       // 0 ANSI, 136 Traditional Chinese (Big5)
    int dpi = 96;          // the screen density the size is shown at (set by the renderer)
    int pixels = 0;        // the pixel size the renderer chose at that density; 0: the size in points
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
