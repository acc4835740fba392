#pragma once
// The font engine of Linux: faces found through fontconfig, glyphs hinted and
// rendered by FreeType in one bit, as the desktop draws its screen fonts:
// every pixel is the text colour or left alone.
//
// The desktop's face names map to metric-compatible faces: Times New Roman
// -> Liberation Serif, Arial -> Liberation Sans, the Traditional Chinese
// system font (or any font of the Big5 character set) -> AR PL UMing TW. The
// system's dialog font (empty name) is the 8-point sans serif screen font, a
// bitmap strike from Wine's fonts (Liberation Sans where they are missing):
// the strike made for the density where there is one (the 120-dpi set at
// 120), else one of that pixel size; its bold is the regular strike doubled
// one pixel to the right. A character
// the face lacks is taken from the face fontconfig proposes for it.
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <tuple>
#include <vector>

#include "sysaccess/paint/FontEngine.h"

namespace sysaccess::paint {

// Family, pixel size, weight and slant as asked of fontconfig, and the
// density, which picks among bitmap strikes of one pixel size.
struct FontRequest {
    std::string family;
    int pixels = 0;
    bool bold = false;
    bool italic = false;
    int dpi = 96;
    friend auto operator<=>(const FontRequest&, const FontRequest&) = default;
};
FontRequest fontRequest(const ui::Font& font);

class FreeTypeFonts : public FontEngine {
public:
    FreeTypeFonts();
    ~FreeTypeFonts() override;
    FreeTypeFonts(const FreeTypeFonts&) = delete;
    FreeTypeFonts& operator=(const FreeTypeFonts&) = delete;

    FontMetrics metrics(const ui::Font& font) override;
    int measure(const ui::Font& font, std::u32string_view text) override;
    void draw(Image& image, const Rect& clip, int x, int baseline, const ui::Font& font,
              std::u32string_view text, Rgb colour) override;

    // The font file a font resolves to (for tests and diagnostics).
    std::string fileOf(const ui::Font& font);

private:
    struct Face;
    struct Glyph {
        int left = 0, top = 0, width = 0, rows = 0, advance = 0;
        std::vector<std::uint8_t> alpha;  // width * rows coverage
    };
    struct Resolved {
        Face* primary = nullptr;
        std::map<char32_t, Face*> fallback;
    };

    Resolved& resolve(const FontRequest& request);
    Face* match(const FontRequest& request, char32_t mustHave);
    Face* open(const std::string& file, int index, const FontRequest& request, bool embolden, bool oblique);
    Face* faceFor(Resolved& font, const FontRequest& request, char32_t c);
    const Glyph& glyph(Face& face, char32_t c);
    static unsigned charIndex(const Face& face, char32_t c);  // 0: the face lacks it

    std::mutex mutex_;
    struct Library;
    std::unique_ptr<Library> library_;
    std::map<std::tuple<std::string, int, int, bool, bool>, std::unique_ptr<Face>> faces_;
    std::map<FontRequest, Resolved> fonts_;
};

}  // namespace sysaccess::paint
