#include "sysaccess/drivers/x11/X11Driver.h"

// The toolkit's headers come before Xlib's, whose macros (None, Success,
// Status) would clash with their names.
#include "sysaccess/paint/Density.h"
#include "sysaccess/paint/Ico.h"
#include "sysaccess/paint/RenderKey.h"
#include "sysaccess/paint/Renderer.h"
#include "sysaccess/paint/Text.h"
#include "sysaccess/platform/Platform.h"
#include "sysaccess/ui/Application.h"
#include "sysaccess/ui/MessageBoxForm.h"

#include <poll.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <thread>
#include <vector>

#include "sysaccess/drivers/x11/Pixels.h"
#include "sysaccess/drivers/x11/XConvert.h"
#include "sysaccess/drivers/x11/XCursor.h"
#include "sysaccess/drivers/x11/XKeys.h"
#include "sysaccess/drivers/x11/XState.h"
#include "sysaccess/drivers/x11/XWindow.h"

namespace sysaccess::drivers {

using x11::XWindow;
using x11::utf8;
using x11::iconData;
using x11::cursorPicture;

namespace {

// Protocol errors (a window that went away between two requests, a focus
// change the server refuses) are not worth ending the program for.
int ignoreError(Display*, XErrorEvent*) { return 0; }

}  // namespace

struct X11Driver::Impl {
    // A form's window and what the driver last told the server about it.
    struct Shown {
        ui::Form* form = nullptr;
        std::unique_ptr<XWindow> window;
        int left = 0, top = 0;          // twips, as last applied
        const void* icon = nullptr;
        bool focused = false;
        paint::RenderKey drawn;         // what the window's picture was drawn from
        std::unique_ptr<x11::ManagedState> managed;  // minimized or not, as the manager says
    };
    enum class Press { Nothing, Close, Title, Client };

    Display* dpy = nullptr;
    int fd = -1;
    std::unique_ptr<x11::Atoms> atoms;
    paint::Renderer renderer{paint::platformFonts()};
    std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();
    std::vector<Shown> shown;           // in the order opened
    std::map<const void*, Cursor> cursors;
    std::optional<unsigned> codePage;
    paint::Density density;             // the desktop's (Xft.dpi), read once at start
    bool wantFocus = false;             // give the focus to the window that takes input

    // The mouse button held down.
    Press press = Press::Nothing;
    Window pressWindow = 0;
    ui::Control* pressed = nullptr;
    int dragRootX = 0, dragRootY = 0, dragX = 0, dragY = 0;

    Shown* find(Window w) {
        for (auto& s : shown) {
            if (s.window->id() == w) return &s;
        }
        return nullptr;
    }
    Shown* find(const ui::Form& f) {
        for (auto& s : shown) {
            if (s.form == &f) return &s;
        }
        return nullptr;
    }

    unsigned machineCodePage() {
        if (!codePage) {
            codePage = 1252;
            try {
                if (hasPlatform()) codePage = platform().ansiCodePage();
            } catch (...) {
                // Titles are still shown, in the default code page.
            }
        }
        return *codePage;
    }

    static bool takesInput(const ui::Form& form) {
        return ui::Application::exists() && ui::Application::current().acceptsInput(form);
    }

    void post(ui::InputEvent e) {
        if (ui::Application::exists()) ui::Application::current().post(e);
    }

    void render(Shown& s) {
        paint::RenderOptions options;
        options.withFrame = true;
        options.active = s.focused || !anyFocused();
        options.codePage = machineCodePage();
        options.pressed = pressWindow == s.window->id() ? pressed : nullptr;
        options.dpi = density.dpi();
        // Most updates (a pause of the program, a tick that changes nothing
        // visible) leave the form as it was drawn: nothing to draw then.
        paint::RenderKey key(*s.form, options);
        if (key == s.drawn) return;
        s.window->paint(renderer.render(*s.form, options));
        s.drawn = std::move(key);
    }

    bool anyFocused() const {
        return std::any_of(shown.begin(), shown.end(), [](const Shown& s) { return s.focused; });
    }

    void update(Shown& s) {
        ui::Form& f = *s.form;
        s.window->setTitle(utf8(paint::decodeAnsi(f.Caption, machineCodePage())));
        if (f.Left != s.left || f.Top != s.top) {
            s.left = f.Left;
            s.top = f.Top;
            s.window->moveTo(toPixels(f.Left), toPixels(f.Top));
        }
        if (f.Icon.get() != s.icon) {
            s.icon = f.Icon.get();
            s.window->setIcon(iconData(f.Icon));
        }
        s.window->setAttention(f.flashed());
        render(s);
    }

    Cursor cursorFor(ui::Control* c) {
        for (; c; c = c->container()) {
            if (c->kind() != ui::ControlKind::PictureBox) continue;
            auto* box = static_cast<ui::PictureBox*>(c);
            if (box->mousePointer != ui::MousePointer::Custom || !box->mouseIcon) continue;
            const void* key = box->mouseIcon.get();
            auto it = cursors.find(key);
            if (it == cursors.end()) {
                // The cursor grows with the pictures.
                const auto picture = x11::scaled(cursorPicture(box->mouseIcon), density);
                it = cursors.emplace(key, x11::makeCursor(dpy, picture)).first;
            }
            return it->second;
        }
        return 0;
    }

    ui::Control* controlAt(Shown& s, int x, int y) {
        const auto& client = s.window->geometry().client;
        return s.form->hitTest(density.twips(x - client.x), density.twips(y - client.y));
    }

    // Whole pixels of a position in twips, as far as they reach.
    int toPixels(int twips) const { return twips * density.dpi() / paint::TwipsPerInch; }

    // The window manager minimized or restored a window: the form learns its
    // new state and resizes, as on the desktop.
    bool stateChanged(Shown& s, std::optional<ui::WindowState> state) {
        if (!state) return false;
        ui::InputEvent ev;
        ev.type = ui::InputEvent::Type::StateChange;
        ev.form = s.form;
        ev.state = *state;
        post(ev);
        return true;
    }

    // The window that takes input while `blocked` cannot: brought to the front.
    void showModalOver() {
        for (auto it = shown.rbegin(); it != shown.rend(); ++it) {
            if (takesInput(*it->form)) {
                it->window->raise();
                XSetInputFocus(dpy, it->window->id(), RevertToParent, CurrentTime);
                break;
            }
        }
        XBell(dpy, 0);
    }

    bool buttonPress(Shown& s, const XButtonEvent& e) {
        if (e.button != Button1) return false;
        if (!takesInput(*s.form)) {
            showModalOver();
            return false;
        }
        const auto& g = s.window->geometry();
        pressWindow = s.window->id();
        if (g.closeBox.contains(e.x, e.y)) {
            press = Press::Close;
        } else if (g.titleBar.contains(e.x, e.y)) {
            press = Press::Title;
            dragRootX = e.x_root;
            dragRootY = e.y_root;
            dragX = s.window->x();
            dragY = s.window->y();
        } else if (g.client.contains(e.x, e.y)) {
            press = Press::Client;
            pressed = controlAt(s, e.x, e.y);
            if (pressed && (pressed->kind() == ui::ControlKind::CommandButton ||
                            pressed->kind() == ui::ControlKind::CheckBox) &&
                pressed->effectivelyEnabled()) {
                render(s);
            }
        } else {
            press = Press::Nothing;
        }
        return false;
    }

    bool buttonRelease(Shown& s, const XButtonEvent& e) {
        if (e.button != Button1 || pressWindow != s.window->id()) return false;
        const Press was = press;
        ui::Control* target = pressed;
        press = Press::Nothing;
        pressed = nullptr;
        pressWindow = 0;
        const auto& g = s.window->geometry();
        ui::InputEvent ev;
        ev.form = s.form;
        if (was == Press::Close && g.closeBox.contains(e.x, e.y)) {
            ev.type = ui::InputEvent::Type::Close;
            post(ev);
            return true;
        }
        if (was == Press::Client) {
            render(s);  // the pressed look goes
            if (g.client.contains(e.x, e.y) && controlAt(s, e.x, e.y) == target) {
                ev.type = ui::InputEvent::Type::Click;
                ev.control = target;
                post(ev);
                return true;
            }
        }
        return false;
    }

    void motion(Shown& s, const XMotionEvent& e) {
        if (press == Press::Title && pressWindow == s.window->id()) {
            const int x = dragX + e.x_root - dragRootX, y = dragY + e.y_root - dragRootY;
            s.window->moveTo(x, y);
            s.form->Left = s.left = density.twips(x);
            s.form->Top = s.top = density.twips(y);
            return;
        }
        const auto& g = s.window->geometry();
        s.window->setCursor(g.client.contains(e.x, e.y) ? cursorFor(controlAt(s, e.x, e.y)) : 0);
    }

    bool keyPress(Shown& s, XKeyEvent& e) {
        ui::InputEvent ev;
        ev.form = s.form;
        if (!x11::translateKey(e, ev)) return false;
        if (!takesInput(*s.form)) {
            showModalOver();
            return false;
        }
        post(ev);
        return true;
    }

    bool clientMessage(Shown& s, const XClientMessageEvent& e) {
        if (e.message_type != atoms->wmProtocols || static_cast<Atom>(e.data.l[0]) != atoms->wmDeleteWindow) {
            return false;
        }
        if (!takesInput(*s.form)) {
            showModalOver();
            return false;
        }
        ui::InputEvent ev;
        ev.type = ui::InputEvent::Type::Close;
        ev.form = s.form;
        post(ev);
        return true;
    }

    void focus(Shown& s, bool in) {
        if (s.focused == in) return;
        s.focused = in;
        for (auto& other : shown) render(other);
    }

    // Handles one event; true when input was posted to the application.
    bool handle(XEvent& ev) {
        Shown* s = find(ev.xany.window);
        if (!s) return false;
        switch (ev.type) {
            case Expose:
                s->window->expose(ev.xexpose.x, ev.xexpose.y, ev.xexpose.width, ev.xexpose.height);
                return false;
            case ButtonPress: return buttonPress(*s, ev.xbutton);
            case ButtonRelease: return buttonRelease(*s, ev.xbutton);
            case MotionNotify: motion(*s, ev.xmotion); return false;
            case KeyPress: return keyPress(*s, ev.xkey);
            case ClientMessage: return clientMessage(*s, ev.xclient);
            case FocusIn:
                if (ev.xfocus.detail != NotifyPointer) focus(*s, true);
                return false;
            case FocusOut:
                if (ev.xfocus.detail != NotifyPointer && ev.xfocus.detail != NotifyInferior) focus(*s, false);
                return false;
            case MapNotify:
                if (takesInput(*s->form)) XSetInputFocus(dpy, s->window->id(), RevertToParent, CurrentTime);
                return stateChanged(*s, s->managed->mapped(true));
            case UnmapNotify: return stateChanged(*s, s->managed->mapped(false));
            case PropertyNotify: return stateChanged(*s, s->managed->propertyChanged(ev.xproperty.atom));
            default: return false;
        }
    }

    bool dispatchPending() {
        if (wantFocus) {
            wantFocus = false;
            for (auto it = shown.rbegin(); it != shown.rend(); ++it) {
                if (takesInput(*it->form)) {
                    XSetInputFocus(dpy, it->window->id(), RevertToParent, CurrentTime);
                    break;
                }
            }
        }
        bool posted = false;
        while (XPending(dpy) > 0) {
            XEvent ev;
            XNextEvent(dpy, &ev);
            posted = handle(ev) || posted;
        }
        return posted;
    }
};

X11Driver::X11Driver(const char* displayName) : impl_(std::make_unique<Impl>()) {
    const char* name = displayName ? displayName : std::getenv("DISPLAY");
    impl_->dpy = XOpenDisplay(displayName);
    // A busy X server may turn a connection away for a moment (its queue of
    // new connections is full): a named display is asked a few times more
    // over a second before the program gives up.
    for (int tries = 1; !impl_->dpy && name && *name && tries < 10; ++tries) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        impl_->dpy = XOpenDisplay(displayName);
    }
    if (!impl_->dpy) {
        throw DisplayError(std::string("cannot open the display") +
                           (name && *name ? std::string(" \"") + name + "\"" : std::string(" (DISPLAY is not set)")));
    }
    XSetErrorHandler(ignoreError);
    impl_->fd = ConnectionNumber(impl_->dpy);
    impl_->atoms = std::make_unique<x11::Atoms>(impl_->dpy);
    impl_->density = paint::Density(x11::resourceDpi(impl_->dpy));
}

X11Driver::~X11Driver() {
    impl_->shown.clear();
    for (auto& [key, cursor] : impl_->cursors) {
        if (cursor) XFreeCursor(impl_->dpy, cursor);
    }
    XCloseDisplay(impl_->dpy);
}

std::uint64_t X11Driver::now() {
    using namespace std::chrono;
    return static_cast<std::uint64_t>(duration_cast<milliseconds>(steady_clock::now() - impl_->start).count());
}

void X11Driver::sleep(std::uint32_t ms) {
    XFlush(impl_->dpy);
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

void X11Driver::wait(std::optional<std::uint64_t> deadline) {
    for (;;) {
        if (impl_->dispatchPending()) return;
        int timeout = -1;
        if (deadline) {
            const std::uint64_t t = now();
            if (t >= *deadline) return;
            timeout = static_cast<int>(std::min<std::uint64_t>(*deadline - t, INT_MAX));
        }
        XFlush(impl_->dpy);
        pollfd p{impl_->fd, POLLIN, 0};
        if (::poll(&p, 1, timeout) < 0 && errno != EINTR) return;
    }
}

void X11Driver::poll() {
    impl_->dispatchPending();
    XFlush(impl_->dpy);
}

void X11Driver::windowOpened(ui::Form& form) {
    if (impl_->find(form)) return;
    const auto geometry = paint::frameGeometry(form, impl_->density.dpi());
    x11::WindowSetup setup;
    setup.x = impl_->toPixels(form.Left);
    setup.y = impl_->toPixels(form.Top);
    setup.geometry = geometry;
    setup.inTaskbar = form.ShowInTaskbar;
    setup.splash = !form.hasTitleBar && !form.ShowInTaskbar;
    setup.dialog = dynamic_cast<ui::MessageBoxForm*>(&form) != nullptr;
    const std::string app = ui::Application::exists() ? ui::Application::current().title() : "sysaccess";
    setup.resName = app;
    setup.resClass = app;
    // A modal window stays above the program's windows it blocks.
    for (auto it = impl_->shown.rbegin(); it != impl_->shown.rend(); ++it) {
        if (!Impl::takesInput(*it->form) && Impl::takesInput(form)) {
            setup.above = true;
            setup.transientFor = it->window->id();
            break;
        }
    }
    Impl::Shown s;
    s.form = &form;
    s.window = std::make_unique<XWindow>(impl_->dpy, *impl_->atoms, setup);
    s.managed = std::make_unique<x11::ManagedState>(impl_->dpy, s.window->id());
    s.left = form.Left;
    s.top = form.Top;
    impl_->shown.push_back(std::move(s));
    Impl::Shown& added = impl_->shown.back();
    impl_->update(added);
    added.window->map();
    XFlush(impl_->dpy);
}

void X11Driver::windowClosed(ui::Form& form) {
    auto& shown = impl_->shown;
    auto it = std::find_if(shown.begin(), shown.end(), [&](const Impl::Shown& s) { return s.form == &form; });
    if (it == shown.end()) return;
    if (impl_->pressWindow == it->window->id()) {
        impl_->press = Impl::Press::Nothing;
        impl_->pressed = nullptr;
        impl_->pressWindow = 0;
    }
    const bool hadFocus = it->focused;
    shown.erase(it);
    impl_->wantFocus = hadFocus || impl_->wantFocus;
    XFlush(impl_->dpy);
}

void X11Driver::refresh(ui::Form& form) {
    if (Impl::Shown* s = impl_->find(form)) impl_->update(*s);
}

int X11Driver::messageBox(const std::string& text, int style, const std::string& title) {
    if (!ui::Application::exists()) {
        std::fprintf(stderr, "%s: %s\n", title.c_str(), text.c_str());
        return ui::mb::Ok;
    }
    ui::MessageBoxForm box(text, style, title, impl_->machineCodePage());
    try {
        ui::Application::current().showModal(box);
    } catch (...) {
        windowClosed(box);  // the program is ending: the box goes with it
        throw;
    }
    windowClosed(box);
    return box.answer();
}

int X11Driver::screenWidth() {
    return impl_->density.twips(DisplayWidth(impl_->dpy, DefaultScreen(impl_->dpy)));
}

int X11Driver::screenHeight() {
    return impl_->density.twips(DisplayHeight(impl_->dpy, DefaultScreen(impl_->dpy)));
}

int X11Driver::dpi() { return impl_->density.dpi(); }

}  // namespace sysaccess::drivers
