#include "sysaccess/drivers/x11/XState.h"

#include <X11/Xatom.h>
#include <X11/Xresource.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string_view>

namespace sysaccess::drivers::x11 {

namespace {

constexpr long IconicState = 3;

}  // namespace

int resourceDpi(const char* resources) {
    if (!resources) return 96;
    std::string_view text(resources);
    int dpi = 96;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        const std::size_t colon = line.find(':');
        if (colon == std::string_view::npos) continue;
        std::string_view name = line.substr(0, colon);
        while (!name.empty() && (name.back() == ' ' || name.back() == '\t')) name.remove_suffix(1);
        if (name != "Xft.dpi") continue;
        const std::string value(line.substr(colon + 1));
        char* stop = nullptr;
        const double v = std::strtod(value.c_str(), &stop);
        while (stop && (*stop == ' ' || *stop == '\t' || *stop == '\r')) ++stop;
        // The last setting wins, as in the resource database.
        if (stop != value.c_str() && stop && *stop == '\0' && std::isfinite(v) && v >= 1 && v <= 10000)
            dpi = static_cast<int>(std::lround(v));
    }
    return dpi;
}

int resourceDpi(Display* dpy) { return resourceDpi(XResourceManagerString(dpy)); }

ManagedState::ManagedState(Display* dpy, Window window)
    : dpy_(dpy),
      window_(window),
      wmState_(XInternAtom(dpy, "WM_STATE", False)),
      netWmState_(XInternAtom(dpy, "_NET_WM_STATE", False)),
      hidden_(XInternAtom(dpy, "_NET_WM_STATE_HIDDEN", False)) {}

std::optional<ui::WindowState> ManagedState::mapped(bool on) {
    mapped_ = on;
    everMapped_ = everMapped_ || on;
    return recompute();
}

std::optional<ui::WindowState> ManagedState::propertyChanged(Atom property) {
    if (!watches(property)) return std::nullopt;
    return recompute();
}

std::optional<ui::WindowState> ManagedState::recompute() {
    // WM_STATE: the manager's word on the window (normal, iconic, withdrawn).
    std::optional<long> wm;
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(dpy_, window_, wmState_, 0, 2, False, wmState_, &type, &format, &count, &after, &data) ==
            Success &&
        data) {
        if (format == 32 && count >= 1) wm = reinterpret_cast<long*>(data)[0];
        XFree(data);
    }
    bool hidden = false;
    data = nullptr;
    if (XGetWindowProperty(dpy_, window_, netWmState_, 0, 64, False, XA_ATOM, &type, &format, &count, &after,
                           &data) == Success &&
        data) {
        if (format == 32) {
            const Atom* atoms = reinterpret_cast<Atom*>(data);
            for (unsigned long i = 0; i < count; ++i) hidden = hidden || atoms[i] == hidden_;
        }
        XFree(data);
    }
    bool minimized = hidden || (wm && *wm == IconicState);
    // Unmapped while no manager marks it: out of sight all the same.
    if (!wm && everMapped_ && !mapped_) minimized = true;
    const ui::WindowState next = minimized ? ui::WindowState::Minimized : ui::WindowState::Normal;
    if (!everMapped_ || next == state_) return std::nullopt;
    state_ = next;
    return next;
}

}  // namespace sysaccess::drivers::x11
