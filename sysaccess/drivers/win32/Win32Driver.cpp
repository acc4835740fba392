#include "sysaccess/drivers/win32/Win32Driver.h"

#include <algorithm>
#include <string>

#include "sysaccess/drivers/win32/TickCount64.h"
#include "sysaccess/paint/Density.h"
#include "sysaccess/paint/Text.h"
#include "sysaccess/paint/gdi/Wide.h"
#include "sysaccess/platform/Platform.h"
#include "sysaccess/ui/Application.h"
#include "sysaccess/ui/Form.h"

// After the project's headers: windows.h defines macros named like them.
#include <windows.h>
#include <windowsx.h>

namespace sysaccess::drivers {

namespace {

const wchar_t* const WindowClass = L"SysaccessForm";
Win32Driver* current = nullptr;

LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (current) return current->handle(hwnd, message, wParam, lParam);
    return ::DefWindowProcW(hwnd, message, wParam, lParam);
}

unsigned codePage() { return hasPlatform() ? platform().ansiCodePage() : ::GetACP(); }

// A text of the programs, in the machine's code page, for the wide calls.
std::wstring wideText(const std::string& ansi) { return paint::wide(paint::decodeAnsi(ansi, codePage())); }

// Drops Space and Enter typed with Ctrl held in a dialog's message loop.
LRESULT CALLBACK ctrlKeyFilter(int code, WPARAM wParam, LPARAM lParam) {
    if (code == MSGF_DIALOGBOX && lParam) {
        const MSG& m = *reinterpret_cast<const MSG*>(lParam);
        const bool ctrl = (::GetKeyState(VK_CONTROL) & 0x8000) != 0;
        const bool key = (m.message == WM_KEYDOWN || m.message == WM_KEYUP) &&
                         (m.wParam == VK_SPACE || m.wParam == VK_RETURN);
        const bool character = m.message == WM_CHAR && (m.wParam == ' ' || m.wParam == '\r' || m.wParam == '\n');
        if (ctrl && (key || character)) return 1;
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

// The density of the system (the primary monitor), and of the monitor a
// window is on. GetDpiForWindow exists from Windows 10 on; before it every
// window has the system's density.
int systemDpi() {
    HDC screen = ::GetDC(nullptr);
    const int dpi = screen ? ::GetDeviceCaps(screen, LOGPIXELSX) : 96;
    if (screen) ::ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : 96;
}

int windowDpi(HWND hwnd) {
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    static const auto getDpi = reinterpret_cast<GetDpiForWindowFn>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    const UINT dpi = getDpi && hwnd ? getDpi(hwnd) : 0;
    return dpi > 0 ? static_cast<int>(dpi) : systemDpi();
}

// The frame around a client area at a density (AdjustWindowRectExForDpi
// from Windows 10 on, the system's metrics before).
RECT frameAround(int w, int h, DWORD style, DWORD exStyle, int dpi) {
    RECT r{0, 0, w, h};
    using AdjustFn = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
    static const auto adjust = reinterpret_cast<AdjustFn>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"user32.dll"), "AdjustWindowRectExForDpi")));
    if (!adjust || !adjust(&r, style, FALSE, exStyle, static_cast<UINT>(dpi))) ::AdjustWindowRectEx(&r, style, FALSE, exStyle);
    return r;
}

}  // namespace

Win32Driver::Win32Driver(void* instance) : instance_(instance), renderer_(paint::platformFonts()) {
    current = this;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = windowProc;
    wc.hInstance = static_cast<HINSTANCE>(instance_);
    wc.hCursor = ::LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    wc.lpszClassName = WindowClass;
    ::RegisterClassExW(&wc);
    owner_ = ::CreateWindowExW(0, WindowClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                               static_cast<HINSTANCE>(instance_), nullptr);
    handCursor_ = ::LoadCursorW(static_cast<HINSTANCE>(instance_), MAKEINTRESOURCEW(2));
    icon_ = ::LoadIconW(static_cast<HINSTANCE>(instance_), MAKEINTRESOURCEW(1));
}

Win32Driver::~Win32Driver() {
    for (auto& [form, w] : windows_) ::DestroyWindow(static_cast<HWND>(w.hwnd));
    if (owner_) ::DestroyWindow(static_cast<HWND>(owner_));
    current = nullptr;
}

std::uint64_t Win32Driver::now() { return tickCount64(); }

void Win32Driver::sleep(std::uint32_t ms) { ::Sleep(ms); }

void Win32Driver::wait(std::optional<std::uint64_t> deadline) {
    DWORD timeout = INFINITE;
    if (deadline) {
        const std::uint64_t t = now();
        timeout = *deadline <= t ? 0 : static_cast<DWORD>(std::min<std::uint64_t>(*deadline - t, 0x7FFFFFFF));
    }
    ::MsgWaitForMultipleObjectsEx(0, nullptr, timeout, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    poll();
}

void Win32Driver::poll() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

void Win32Driver::windowOpened(ui::Form& form) {
    DWORD style = WS_POPUP | WS_CLIPCHILDREN;
    DWORD exStyle = WS_EX_DLGMODALFRAME;
    if (form.hasTitleBar) {
        style |= WS_CAPTION;
        if (form.ControlBox) style |= WS_SYSMENU;
    } else {
        style |= WS_DLGFRAME;
    }
    if (form.ShowInTaskbar) exStyle |= WS_EX_APPWINDOW;
    // Made at its position on the system's density, then sized for the
    // density of the monitor it landed on.
    const paint::Density d(systemDpi());
    HWND owner = form.ShowInTaskbar ? nullptr : static_cast<HWND>(owner_);
    Window& win = windows_[&form];
    win.caption = form.Caption;
    HWND hwnd = ::CreateWindowExW(exStyle, WindowClass, wideText(form.Caption).c_str(), style, d.pixels(form.Left),
                                  d.pixels(form.Top), 1, 1, owner, nullptr, static_cast<HINSTANCE>(instance_), nullptr);
    win.hwnd = hwnd;
    // The system draws this title bar: a close box that closes nothing is greyed in its menu.
    if (form.hasTitleBar && form.ControlBox && !form.closeBoxEnabled)
        ::EnableMenuItem(::GetSystemMenu(hwnd, FALSE), SC_CLOSE, MF_BYCOMMAND | MF_GRAYED);
    win.dpi = windowDpi(hwnd);
    fit(form, win, form.centred);
    if (form.Icon && icon_) {
        ::SendMessageW(hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
        ::SendMessageW(hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_));
    }
    refresh(form);
    ::ShowWindow(hwnd, SW_SHOWNORMAL);
    ::UpdateWindow(hwnd);
}

void Win32Driver::windowClosed(ui::Form& form) {
    auto it = windows_.find(&form);
    if (it == windows_.end()) return;
    HWND hwnd = static_cast<HWND>(it->second.hwnd);
    windows_.erase(it);
    ::DestroyWindow(hwnd);
}

void Win32Driver::fit(ui::Form& form, Window& win, bool centre) {
    HWND hwnd = static_cast<HWND>(win.hwnd);
    const paint::Density d(win.dpi);
    const auto style = static_cast<DWORD>(::GetWindowLongPtrW(hwnd, GWL_STYLE));
    const auto exStyle = static_cast<DWORD>(::GetWindowLongPtrW(hwnd, GWL_EXSTYLE));
    const RECT r = frameAround(d.pixels(form.ScaleWidth), d.pixels(form.ScaleHeight), style, exStyle, win.dpi);
    const int w = r.right - r.left, h = r.bottom - r.top;
    RECT at{};
    ::GetWindowRect(hwnd, &at);
    int x = at.left, y = at.top;
    if (centre) {
        // Centred on the monitor the window is on, with its real frame size.
        MONITORINFO mi{};
        mi.cbSize = sizeof mi;
        if (::GetMonitorInfoW(::MonitorFromWindow(hwnd, MONITOR_DEFAULTTOPRIMARY), &mi)) {
            x = mi.rcMonitor.left + (mi.rcMonitor.right - mi.rcMonitor.left - w) / 2;
            y = mi.rcMonitor.top + (mi.rcMonitor.bottom - mi.rcMonitor.top - h) / 2;
        }
    }
    ::SetWindowPos(hwnd, nullptr, x, y, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32Driver::refresh(ui::Form& form) {
    auto it = windows_.find(&form);
    if (it == windows_.end()) return;
    Window& win = it->second;
    HWND hwnd = static_cast<HWND>(win.hwnd);
    paint::RenderOptions options;
    options.withFrame = false;
    options.codePage = codePage();
    options.dpi = win.dpi;
    paint::Image image = renderer_.render(form, options);
    // Repaint only the rows that changed.
    if (image.width != win.shown.width || image.height != win.shown.height) {
        win.shown = std::move(image);
        ::InvalidateRect(hwnd, nullptr, FALSE);
    } else {
        int top = -1, bottom = -1;
        for (int y = 0; y < image.height; ++y) {
            const auto row = static_cast<std::ptrdiff_t>(y) * image.width;
            if (!std::equal(image.pixels.begin() + row, image.pixels.begin() + row + image.width,
                            win.shown.pixels.begin() + row)) {
                if (top < 0) top = y;
                bottom = y + 1;
            }
        }
        if (top >= 0) {
            win.shown = std::move(image);
            RECT dirty{0, top, win.shown.width, bottom};
            ::InvalidateRect(hwnd, &dirty, FALSE);
        }
    }
    if (form.Caption != win.caption) {
        win.caption = form.Caption;
        ::SetWindowTextW(hwnd, wideText(form.Caption).c_str());
    }
    if (form.flashed() != win.flashed) {
        win.flashed = form.flashed();
        ::FlashWindow(hwnd, TRUE);
    }
    // A modal window elsewhere disables this one, as the desktop does.
    const bool enabled = ui::Application::exists() && ui::Application::current().acceptsInput(form);
    if (enabled != win.enabled) {
        win.enabled = enabled;
        ::EnableWindow(hwnd, enabled);
    }
}

int Win32Driver::messageBox(const std::string& text, int style, const std::string& title) {
    HWND owner = nullptr;
    for (auto& [form, w] : windows_) {
        if (ui::Application::exists() && ui::Application::current().acceptsInput(*form)) owner = static_cast<HWND>(w.hwnd);
    }
    // The system's box presses its focused or default button on Space and
    // Enter even with Ctrl held; a filter on the box's own message loop
    // drops those keys, so a question is answered only by keys meant for it.
    HHOOK filter = ::SetWindowsHookExW(WH_MSGFILTER, ctrlKeyFilter, nullptr, ::GetCurrentThreadId());
    const int answer = ::MessageBoxA(owner, text.c_str(), title.c_str(), static_cast<UINT>(style));
    if (filter) ::UnhookWindowsHookEx(filter);
    return answer;
}

int Win32Driver::screenWidth() { return paint::Density(systemDpi()).twips(::GetSystemMetrics(SM_CXSCREEN)); }
int Win32Driver::dpi() { return systemDpi(); }
int Win32Driver::screenHeight() { return paint::Density(systemDpi()).twips(::GetSystemMetrics(SM_CYSCREEN)); }

ui::Form* Win32Driver::formOf(void* hwnd) const {
    for (auto& [form, w] : windows_) {
        if (w.hwnd == hwnd) return form;
    }
    return nullptr;
}

void Win32Driver::post(ui::Form& form, const ui::InputEvent& event) {
    if (!ui::Application::exists()) return;
    ui::InputEvent e = event;
    e.form = &form;
    ui::Application::current().post(e);
}

std::intptr_t Win32Driver::handle(void* hwndPtr, unsigned message, std::uintptr_t wParam, std::intptr_t lParam) {
    HWND hwnd = static_cast<HWND>(hwndPtr);
    ui::Form* form = formOf(hwndPtr);
    if (!form) return ::DefWindowProcW(hwnd, message, wParam, lParam);
    using ui::InputEvent;
    switch (message) {
        case WM_SYSCOLORCHANGE:
            refresh(*form);  // the desktop's colours changed: the window takes the new ones
            return 0;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = ::BeginPaint(hwnd, &ps);
            const paint::Image& img = windows_[form].shown;
            if (img.width > 0) {
                BITMAPINFO bi{};
                bi.bmiHeader.biSize = sizeof bi.bmiHeader;
                bi.bmiHeader.biWidth = img.width;
                bi.bmiHeader.biHeight = -img.height;
                bi.bmiHeader.biPlanes = 1;
                bi.bmiHeader.biBitCount = 32;
                bi.bmiHeader.biCompression = BI_RGB;
                std::vector<std::uint8_t> bgra(static_cast<std::size_t>(img.width) * img.height * 4);
                for (std::size_t i = 0; i < img.pixels.size(); ++i) {
                    bgra[i * 4] = img.pixels[i].b;
                    bgra[i * 4 + 1] = img.pixels[i].g;
                    bgra[i * 4 + 2] = img.pixels[i].r;
                }
                ::SetDIBitsToDevice(dc, 0, 0, static_cast<DWORD>(img.width), static_cast<DWORD>(img.height), 0, 0, 0,
                                    static_cast<UINT>(img.height), bgra.data(), &bi, DIB_RGB_COLORS);
            }
            ::EndPaint(hwnd, &ps);
            return 0;
        }
        case WM_ERASEBKGND:
            return 1;
        case WM_LBUTTONUP: {
            InputEvent e;
            e.type = InputEvent::Type::Click;
            const paint::Density d(windows_[form].dpi);
            e.control = form->hitTest(d.twips(GET_X_LPARAM(lParam)), d.twips(GET_Y_LPARAM(lParam)));
            post(*form, e);
            return 0;
        }
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN: {
            // Alt turns key presses into WM_SYSKEYDOWN; the key still goes to
            // the toolkit with its modifiers (which then presses nothing), and
            // on to the system for its own meaning (Alt+Space: the window menu).
            InputEvent e;
            e.type = InputEvent::Type::Key;
            e.modifiers.shift = (::GetKeyState(VK_SHIFT) & 0x8000) != 0;
            e.modifiers.ctrl = (::GetKeyState(VK_CONTROL) & 0x8000) != 0;
            e.modifiers.alt = message == WM_SYSKEYDOWN || (::GetKeyState(VK_MENU) & 0x8000) != 0;
            bool known = true;
            switch (wParam) {
                case VK_TAB: e.key = e.modifiers.shift ? ui::Key::BackTab : ui::Key::Tab; break;
                case VK_SPACE: e.key = ui::Key::Space; break;
                case VK_RETURN: e.key = ui::Key::Enter; break;
                case VK_ESCAPE: e.key = ui::Key::Escape; break;
                case VK_LEFT: e.key = ui::Key::Left; break;
                case VK_RIGHT: e.key = ui::Key::Right; break;
                case VK_UP: e.key = ui::Key::Up; break;
                case VK_DOWN: e.key = ui::Key::Down; break;
                default: known = false;
            }
            if (known) post(*form, e);
            if (message == WM_SYSKEYDOWN) break;
            return 0;
        }
        case WM_SETCURSOR: {
            POINT p;
            ::GetCursorPos(&p);
            ::ScreenToClient(hwnd, &p);
            const paint::Density d(windows_[form].dpi);
            ui::Control* c = form->hitTest(d.twips(p.x), d.twips(p.y));
            if (LOWORD(lParam) == HTCLIENT && c && c->kind() == ui::ControlKind::PictureBox &&
                static_cast<ui::PictureBox*>(c)->mousePointer == ui::MousePointer::Custom && handCursor_) {
                ::SetCursor(static_cast<HCURSOR>(handCursor_));
                return TRUE;
            }
            break;
        }
        case WM_SIZE: {
            InputEvent e;
            e.type = InputEvent::Type::StateChange;
            e.state = wParam == SIZE_MINIMIZED ? ui::WindowState::Minimized : ui::WindowState::Normal;
            if (wParam == SIZE_MINIMIZED || wParam == SIZE_RESTORED) post(*form, e);
            return 0;
        }
        case 0x02E0: {  // WM_DPICHANGED: moved to a monitor of another density
            Window& win = windows_[form];
            win.dpi = LOWORD(wParam) > 0 ? LOWORD(wParam) : win.dpi;
            const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
            ::SetWindowPos(hwnd, nullptr, suggested->left, suggested->top, 0, 0,
                           SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOSIZE);
            fit(*form, win, false);
            refresh(*form);
            return 0;
        }
        case WM_CLOSE: {
            InputEvent e;
            e.type = InputEvent::Type::Close;
            post(*form, e);
            return 0;
        }
        case WM_QUERYENDSESSION:
            return TRUE;
        case WM_ENDSESSION:
            // The system is going down: its windows close as the user would close them.
            if (wParam && ui::Application::exists()) ui::Application::current().closeAllWindows();
            return 0;
    }
    return ::DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace sysaccess::drivers
