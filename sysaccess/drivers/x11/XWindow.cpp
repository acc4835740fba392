#include "sysaccess/drivers/x11/XWindow.h"

#include <X11/Xatom.h>

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

#include "sysaccess/drivers/x11/Pixels.h"

namespace sysaccess::drivers::x11 {

namespace {

Atom intern(Display* dpy, const char* name) { return XInternAtom(dpy, name, False); }

void maskShape(unsigned long mask, int& shift, int& bits) {
    shift = mask ? std::countr_zero(mask) : 0;
    bits = std::popcount(mask);
}

// The _MOTIF_WM_HINTS record: only the decorations field, set to none.
struct MotifHints {
    unsigned long flags = 2;  // decorations are given
    unsigned long functions = 0;
    unsigned long decorations = 0;
    long inputMode = 0;
    unsigned long status = 0;
};

}  // namespace

Atoms::Atoms(Display* dpy)
    : wmProtocols(intern(dpy, "WM_PROTOCOLS")),
      wmDeleteWindow(intern(dpy, "WM_DELETE_WINDOW")),
      wmName(XA_WM_NAME),
      utf8String(intern(dpy, "UTF8_STRING")),
      netWmName(intern(dpy, "_NET_WM_NAME")),
      netWmIconName(intern(dpy, "_NET_WM_ICON_NAME")),
      netWmIcon(intern(dpy, "_NET_WM_ICON")),
      netWmPid(intern(dpy, "_NET_WM_PID")),
      netWmState(intern(dpy, "_NET_WM_STATE")),
      stateSkipTaskbar(intern(dpy, "_NET_WM_STATE_SKIP_TASKBAR")),
      stateSkipPager(intern(dpy, "_NET_WM_STATE_SKIP_PAGER")),
      stateDemandsAttention(intern(dpy, "_NET_WM_STATE_DEMANDS_ATTENTION")),
      stateAbove(intern(dpy, "_NET_WM_STATE_ABOVE")),
      stateModal(intern(dpy, "_NET_WM_STATE_MODAL")),
      windowType(intern(dpy, "_NET_WM_WINDOW_TYPE")),
      typeNormal(intern(dpy, "_NET_WM_WINDOW_TYPE_NORMAL")),
      typeDialog(intern(dpy, "_NET_WM_WINDOW_TYPE_DIALOG")),
      typeSplash(intern(dpy, "_NET_WM_WINDOW_TYPE_SPLASH")),
      motifHints(intern(dpy, "_MOTIF_WM_HINTS")) {}

XWindow::XWindow(Display* dpy, const Atoms& atoms, const WindowSetup& setup)
    : dpy_(dpy), atoms_(atoms), setup_(setup) {
    const int screen = DefaultScreen(dpy_);
    Visual* visual = DefaultVisual(dpy_, screen);
    const int depth = DefaultDepth(dpy_, screen);
    const auto& g = setup_.geometry;
    const unsigned w = static_cast<unsigned>(std::max(g.width, 1));
    const unsigned h = static_cast<unsigned>(std::max(g.height, 1));

    XSetWindowAttributes attrs{};
    attrs.background_pixel = 0xC0C0C0 & (visual->red_mask | visual->green_mask | visual->blue_mask);
    attrs.bit_gravity = NorthWestGravity;
    attrs.event_mask = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask |
                       KeyPressMask | StructureNotifyMask | FocusChangeMask | PropertyChangeMask;
    win_ = XCreateWindow(dpy_, RootWindow(dpy_, screen), setup_.x, setup_.y, w, h, 0, depth, InputOutput,
                         visual, CWBackPixel | CWBitGravity | CWEventMask, &attrs);
    gc_ = XCreateGC(dpy_, win_, 0, nullptr);
    maskShape(visual->red_mask, redShift_, redBits_);
    maskShape(visual->green_mask, greenShift_, greenBits_);
    maskShape(visual->blue_mask, blueShift_, blueBits_);

    // Fixed size at a fixed place.
    XSizeHints* size = XAllocSizeHints();
    size->flags = USPosition | PPosition | PMinSize | PMaxSize | PWinGravity;
    size->x = setup_.x;
    size->y = setup_.y;
    size->min_width = size->max_width = static_cast<int>(w);
    size->min_height = size->max_height = static_cast<int>(h);
    size->win_gravity = NorthWestGravity;
    XSetWMNormalHints(dpy_, win_, size);
    XFree(size);

    XWMHints* hints = XAllocWMHints();
    hints->flags = InputHint | StateHint;
    hints->input = True;
    hints->initial_state = NormalState;
    XSetWMHints(dpy_, win_, hints);
    XFree(hints);

    XClassHint* cls = XAllocClassHint();
    cls->res_name = setup_.resName.data();
    cls->res_class = setup_.resClass.data();
    XSetClassHint(dpy_, win_, cls);
    XFree(cls);

    Atom protocols[] = {atoms_.wmDeleteWindow};
    XSetWMProtocols(dpy_, win_, protocols, 1);

    MotifHints motif;
    XChangeProperty(dpy_, win_, atoms_.motifHints, atoms_.motifHints, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(&motif), 5);

    Atom type = setup_.dialog ? atoms_.typeDialog : setup_.splash ? atoms_.typeSplash : atoms_.typeNormal;
    XChangeProperty(dpy_, win_, atoms_.windowType, XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(&type), 1);

    std::vector<Atom> states;
    if (!setup_.inTaskbar) states.push_back(atoms_.stateSkipTaskbar), states.push_back(atoms_.stateSkipPager);
    if (setup_.above) states.push_back(atoms_.stateAbove);
    if (setup_.above && setup_.transientFor) states.push_back(atoms_.stateModal);
    if (!states.empty()) {
        XChangeProperty(dpy_, win_, atoms_.netWmState, XA_ATOM, 32, PropModeReplace,
                        reinterpret_cast<unsigned char*>(states.data()), static_cast<int>(states.size()));
    }
    if (setup_.transientFor) XSetTransientForHint(dpy_, win_, setup_.transientFor);

    const long pid = static_cast<long>(getpid());
    XChangeProperty(dpy_, win_, atoms_.netWmPid, XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&pid), 1);
    setTitle("");
}

XWindow::~XWindow() {
    if (ximage_) XDestroyImage(ximage_);  // frees the pixel buffer too
    if (gc_) XFreeGC(dpy_, gc_);
    if (win_) XDestroyWindow(dpy_, win_);
}

void XWindow::map() {
    XMapRaised(dpy_, win_);
    mapped_ = true;
    // Some window managers place a window themselves at the first map.
    XMoveWindow(dpy_, win_, setup_.x, setup_.y);
}

void XWindow::moveTo(int x, int y) {
    if (x == setup_.x && y == setup_.y) return;
    setup_.x = x;
    setup_.y = y;
    XMoveWindow(dpy_, win_, x, y);
}

void XWindow::raise() { XRaiseWindow(dpy_, win_); }

void XWindow::setTitle(const std::string& utf8) {
    if (utf8 == title_ && !utf8.empty()) return;
    title_ = utf8;
    XTextProperty prop{};
    char* list[] = {title_.data()};
    if (Xutf8TextListToTextProperty(dpy_, list, 1, XStdICCTextStyle, &prop) == Success) {
        XSetWMName(dpy_, win_, &prop);
        XSetWMIconName(dpy_, win_, &prop);
        XFree(prop.value);
    } else {
        XStoreName(dpy_, win_, title_.c_str());
    }
    const auto* bytes = reinterpret_cast<const unsigned char*>(title_.data());
    const int n = static_cast<int>(title_.size());
    XChangeProperty(dpy_, win_, atoms_.netWmName, atoms_.utf8String, 8, PropModeReplace, bytes, n);
    XChangeProperty(dpy_, win_, atoms_.netWmIconName, atoms_.utf8String, 8, PropModeReplace, bytes, n);
}

void XWindow::setIcon(const std::vector<unsigned long>& data) {
    if (data.empty()) {
        XDeleteProperty(dpy_, win_, atoms_.netWmIcon);
        return;
    }
    XChangeProperty(dpy_, win_, atoms_.netWmIcon, XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(data.data()), static_cast<int>(data.size()));
}

void XWindow::sendState(Atom state, bool on) {
    XEvent ev{};
    ev.xclient.type = ClientMessage;
    ev.xclient.window = win_;
    ev.xclient.message_type = atoms_.netWmState;
    ev.xclient.format = 32;
    ev.xclient.data.l[0] = on ? 1 : 0;  // _NET_WM_STATE_ADD / _REMOVE
    ev.xclient.data.l[1] = static_cast<long>(state);
    ev.xclient.data.l[3] = 1;  // from a normal application
    XSendEvent(dpy_, DefaultRootWindow(dpy_), False, SubstructureRedirectMask | SubstructureNotifyMask, &ev);
}

void XWindow::setAttention(bool on) {
    if (on == attention_) return;
    attention_ = on;
    if (XWMHints* hints = XGetWMHints(dpy_, win_)) {
        hints->flags = on ? hints->flags | XUrgencyHint : hints->flags & ~XUrgencyHint;
        XSetWMHints(dpy_, win_, hints);
        XFree(hints);
    }
    if (mapped_) sendState(atoms_.stateDemandsAttention, on);
}

void XWindow::setCursor(Cursor cursor) {
    if (cursor == cursor_) return;
    cursor_ = cursor;
    if (cursor) {
        XDefineCursor(dpy_, win_, cursor);
    } else {
        XUndefineCursor(dpy_, win_);
    }
}

void XWindow::paint(const paint::Image& image) {
    if (image.width <= 0 || image.height <= 0) return;
    if (!ximage_ || ximage_->width != image.width || ximage_->height != image.height) {
        if (ximage_) XDestroyImage(ximage_);
        const int screen = DefaultScreen(dpy_);
        ximage_ = XCreateImage(dpy_, DefaultVisual(dpy_, screen), static_cast<unsigned>(DefaultDepth(dpy_, screen)),
                               ZPixmap, 0, nullptr, static_cast<unsigned>(image.width),
                               static_cast<unsigned>(image.height), 32, 0);
        if (!ximage_) return;
        ximage_->data = static_cast<char*>(std::calloc(static_cast<std::size_t>(ximage_->bytes_per_line),
                                                       static_cast<std::size_t>(image.height)));
        if (ximage_->bits_per_pixel == 32) {
            // Pixels are written as native 32-bit values; Xlib swaps them if the server differs.
            ximage_->byte_order = std::endian::native == std::endian::little ? LSBFirst : MSBFirst;
            XInitImage(ximage_);
        }
        image_ = paint::Image{};
    }
    const auto rects = changedRects(image_, image);
    image_ = image;
    for (const auto& r : rects) {
        convert(r);
        putRect(r.x, r.y, r.w, r.h);
    }
}

void XWindow::convert(const paint::Rect& r) {
    auto channel = [](std::uint8_t v, int bits, int shift) {
        return static_cast<unsigned long>(bits >= 8 ? v << (bits - 8) : v >> (8 - bits)) << shift;
    };
    for (int y = r.y; y < r.y + r.h; ++y) {
        for (int x = r.x; x < r.x + r.w; ++x) {
            const paint::Rgb p = image_.at(x, y);
            const unsigned long pixel = channel(p.r, redBits_, redShift_) | channel(p.g, greenBits_, greenShift_) |
                                        channel(p.b, blueBits_, blueShift_);
            if (ximage_->bits_per_pixel == 32) {
                auto* row = reinterpret_cast<std::uint32_t*>(ximage_->data + y * ximage_->bytes_per_line);
                row[x] = static_cast<std::uint32_t>(pixel);
            } else {
                XPutPixel(ximage_, x, y, pixel);
            }
        }
    }
}

void XWindow::putRect(int x, int y, int w, int h) {
    if (!ximage_ || !mapped_) return;
    x = std::max(x, 0);
    y = std::max(y, 0);
    w = std::min(w, ximage_->width - x);
    h = std::min(h, ximage_->height - y);
    if (w <= 0 || h <= 0) return;
    XPutImage(dpy_, win_, gc_, ximage_, x, y, x, y, static_cast<unsigned>(w), static_cast<unsigned>(h));
}

void XWindow::expose(int x, int y, int w, int h) { putRect(x, y, w, h); }

}  // namespace sysaccess::drivers::x11
