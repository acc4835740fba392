#pragma once
// One top-level X window showing one form: the window-manager hints it
// carries, and its picture, kept client-side so exposure repaints without
// rendering again.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdint>
#include <string>
#include <vector>

#include "sysaccess/paint/Image.h"
#include "sysaccess/paint/Renderer.h"

namespace sysaccess::drivers::x11 {

struct Atoms {
    explicit Atoms(Display* dpy);
    Atom wmProtocols, wmDeleteWindow, wmName, utf8String, netWmName, netWmIconName, netWmIcon, netWmPid,
        netWmState, stateSkipTaskbar, stateSkipPager, stateDemandsAttention, stateAbove, stateModal,
        windowType, typeNormal, typeDialog, typeSplash, motifHints;
};

// How a window is to present itself to the window manager.
struct WindowSetup {
    int x = 0, y = 0;                 // outer position, pixels
    paint::FrameGeometry geometry;    // size and the drawn frame's parts
    bool inTaskbar = true;
    bool splash = false;              // no title bar and no taskbar entry: a brand window
    bool dialog = false;              // a message box
    bool above = false;               // modal over the program's other windows
    Window transientFor = 0;
    std::string resName, resClass;    // WM_CLASS
};

class XWindow {
public:
    XWindow(Display* dpy, const Atoms& atoms, const WindowSetup& setup);
    ~XWindow();
    XWindow(const XWindow&) = delete;
    XWindow& operator=(const XWindow&) = delete;

    Window id() const { return win_; }
    const paint::FrameGeometry& geometry() const { return setup_.geometry; }
    int x() const { return setup_.x; }
    int y() const { return setup_.y; }

    void map();
    void moveTo(int x, int y);
    void raise();
    // Title in WM_NAME and _NET_WM_NAME, UTF-8.
    void setTitle(const std::string& utf8);
    void setIcon(const std::vector<unsigned long>& netWmIconData);
    void setAttention(bool on);
    bool attention() const { return attention_; }
    void setCursor(Cursor cursor);

    // Shows a new picture of the window, sending only what changed.
    void paint(const paint::Image& image);
    // Sends part of the stored picture again.
    void expose(int x, int y, int w, int h);
    bool painted() const { return !image_.pixels.empty(); }

private:
    void putRect(int x, int y, int w, int h);
    void convert(const paint::Rect& r);
    void sendState(Atom state, bool on);

    Display* dpy_;
    const Atoms& atoms_;
    WindowSetup setup_;
    Window win_ = 0;
    GC gc_ = nullptr;
    XImage* ximage_ = nullptr;
    paint::Image image_;
    bool mapped_ = false;
    bool attention_ = false;
    Cursor cursor_ = 0;
    std::string title_;
    int redShift_ = 0, greenShift_ = 0, blueShift_ = 0, redBits_ = 8, greenBits_ = 8, blueBits_ = 8;
};

}  // namespace sysaccess::drivers::x11
