// Text through GDI: the system's own fonts, drawn into the renderer's image
// without smoothing (solid pixels of the text colour, as on the classic desktop).
#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <tuple>

#include "sysaccess/paint/FontEngine.h"
#include "sysaccess/paint/gdi/Wide.h"

// After the project's headers: windows.h defines macros (RGB) that they use as names.
#include <windows.h>

namespace sysaccess::paint {

namespace {

std::wstring fromUtf8(const std::string& s) {
    if (s.empty()) return {};
    const int n = ::MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
    std::wstring w(static_cast<std::size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), w.data(), n);
    return w;
}

class GdiFonts : public FontEngine {
public:
    GdiFonts() : dc_(::CreateCompatibleDC(nullptr)) {}
    ~GdiFonts() override {
        for (auto& [key, font] : fonts_) ::DeleteObject(font);
        ::DeleteDC(dc_);
    }

    FontMetrics metrics(const ui::Font& font) override {
        ::SelectObject(dc_, fontFor(font));
        TEXTMETRICW tm{};
        ::GetTextMetricsW(dc_, &tm);
        return FontMetrics{tm.tmAscent, tm.tmDescent};
    }

    int measure(const ui::Font& font, std::u32string_view text) override {
        ::SelectObject(dc_, fontFor(font));
        const std::wstring w = wide(text);
        SIZE size{};
        ::GetTextExtentPoint32W(dc_, w.c_str(), static_cast<int>(w.size()), &size);
        return size.cx;
    }

    void draw(Image& image, const Rect& clip, int x, int baseline, const ui::Font& font,
              std::u32string_view text, Rgb colour) override {
        // Only the part of the image the text may touch goes through a DIB.
        const int left = std::max(0, clip.x), top = std::max(0, clip.y);
        const int right = std::min(image.width, clip.x + clip.w), bottom = std::min(image.height, clip.y + clip.h);
        if (right <= left || bottom <= top || text.empty()) return;
        const int w = right - left, h = bottom - top;
        BITMAPINFO bi{};
        bi.bmiHeader.biSize = sizeof bi.bmiHeader;
        bi.bmiHeader.biWidth = w;
        bi.bmiHeader.biHeight = -h;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        bi.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        HBITMAP dib = ::CreateDIBSection(dc_, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
        if (!dib) return;
        auto* px = static_cast<std::uint8_t*>(bits);
        for (int y = 0; y < h; ++y) {
            for (int xx = 0; xx < w; ++xx) {
                const Rgb c = image.at(left + xx, top + y);
                std::uint8_t* p = px + (static_cast<std::size_t>(y) * w + xx) * 4;
                p[0] = c.b, p[1] = c.g, p[2] = c.r, p[3] = 0;
            }
        }
        HGDIOBJ oldBitmap = ::SelectObject(dc_, dib);
        ::SelectObject(dc_, fontFor(font));
        ::SetBkMode(dc_, TRANSPARENT);
        ::SetTextColor(dc_, RGB(colour.r, colour.g, colour.b));
        ::SetTextAlign(dc_, TA_BASELINE | TA_LEFT);
        const std::wstring ws = wide(text);
        ::TextOutW(dc_, x - left, baseline - top, ws.c_str(), static_cast<int>(ws.size()));
        ::GdiFlush();
        for (int y = 0; y < h; ++y) {
            for (int xx = 0; xx < w; ++xx) {
                const std::uint8_t* p = px + (static_cast<std::size_t>(y) * w + xx) * 4;
                image.pixels[static_cast<std::size_t>(top + y) * image.width + left + xx] = Rgb{p[2], p[1], p[0]};
            }
        }
        ::SelectObject(dc_, oldBitmap);
        ::DeleteObject(dib);
    }

private:
    HFONT fontFor(const ui::Font& f) {
        auto key = std::make_tuple(f.name, pixelSize(f), f.bold, f.italic, f.charset);
        auto it = fonts_.find(key);
        if (it != fonts_.end()) return it->second;
        const std::wstring face = f.name.empty() ? L"MS Sans Serif" : fromUtf8(f.name);
        HFONT font = ::CreateFontW(-pixelSize(f), 0, 0, 0, f.bold ? FW_BOLD : FW_NORMAL,
                                   f.italic, FALSE, FALSE, static_cast<BYTE>(f.charset), OUT_DEFAULT_PRECIS,
                                   CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY, DEFAULT_PITCH, face.c_str());
        fonts_.emplace(key, font);
        return font;
    }

    HDC dc_;
    std::map<std::tuple<std::string, int, bool, bool, int>, HFONT> fonts_;
};

}  // namespace

std::shared_ptr<FontEngine> platformFonts() { return std::make_shared<GdiFonts>(); }

}  // namespace sysaccess::paint
