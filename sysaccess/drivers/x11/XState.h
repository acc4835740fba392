#pragma once
// What the X server and the window manager say about the screen and a
// window: the density the user set for the desktop (Xft.dpi in the X
// resources) and whether the manager shows a window or keeps it as an icon.
// The toolkit's header comes before Xlib's, whose macros would clash with its names.
#include "sysaccess/ui/Types.h"

#include <X11/Xlib.h>

#include <optional>

namespace sysaccess::drivers::x11 {

// The Xft.dpi value of the X resources (the RESOURCE_MANAGER property that
// xrdb sets), rounded to whole dots per inch; 96 when it is missing or no
// number.
int resourceDpi(Display* dpy);
// The same from the text of the resources, one "name:\tvalue" a line.
int resourceDpi(const char* resources);

// Follows the state the window manager gives a window. A manager that
// iconifies a window unmaps it and marks it iconic (WM_STATE, and in newer
// managers _NET_WM_STATE_HIDDEN); restoring maps it again and marks it
// normal. A window unmapped by someone else while no manager marks it counts
// as minimized too, since nobody sees it.
class ManagedState {
public:
    ManagedState(Display* dpy, Window window);
    // Call on MapNotify, UnmapNotify and PropertyNotify of WM_STATE or
    // _NET_WM_STATE; returns the new state when it changed.
    std::optional<ui::WindowState> mapped(bool on);
    std::optional<ui::WindowState> propertyChanged(Atom property);
    bool watches(Atom property) const { return property == wmState_ || property == netWmState_; }
    ui::WindowState state() const { return state_; }

private:
    std::optional<ui::WindowState> recompute();

    Display* dpy_;
    Window window_;
    Atom wmState_, netWmState_, hidden_;
    bool everMapped_ = false;
    bool mapped_ = false;
    ui::WindowState state_ = ui::WindowState::Normal;
};

}  // namespace sysaccess::drivers::x11
