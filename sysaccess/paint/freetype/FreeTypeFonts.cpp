#include "sysaccess/paint/freetype/FreeTypeFonts.h"

#include "sysaccess/paint/Text.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SYNTHESIS_H
#include FT_WINFONTS_H

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <mutex>
#include <stdexcept>
#include <utility>

namespace sysaccess::paint {

namespace {

// fontconfig keeps one configuration for the whole process (the font list, its
// caches, the default languages). The first engine loads it and the last one to
// end releases it, so none of it outlives the program's fonts.
class FontconfigInUse {
public:
    FontconfigInUse() {
        std::lock_guard lock(mutex());
        if (users() == 0 && !FcInit()) throw std::runtime_error("fontconfig cannot start");
        ++users();
    }
    ~FontconfigInUse() {
        std::lock_guard lock(mutex());
        if (--users() == 0) FcFini();
    }
    FontconfigInUse(const FontconfigInUse&) = delete;
    FontconfigInUse& operator=(const FontconfigInUse&) = delete;

private:
    static std::mutex& mutex() {
        static std::mutex m;
        return m;
    }
    static int& users() {
        static int n = 0;
        return n;
    }
};

}  // namespace

struct FreeTypeFonts::Library {
    FontconfigInUse fontconfig;
    FT_Library ft = nullptr;
    Library() {
        if (FT_Init_FreeType(&ft) != 0) throw std::runtime_error("FreeType cannot start");
    }
    ~Library() { FT_Done_FreeType(ft); }
    Library(const Library&) = delete;
    Library& operator=(const Library&) = delete;
};

struct FreeTypeFonts::Face {
    FT_Face ft = nullptr;
    bool embolden = false;
    bool oblique = false;
    bool ansi = false;  // a bitmap font indexed by Windows-1252 bytes, not by Unicode
    std::string file;
    FontMetrics metrics;
    std::map<char32_t, Glyph> glyphs;
    ~Face() {
        if (ft) FT_Done_Face(ft);
    }
};

namespace {

constexpr const char* kDialogFamily = "MS Sans Serif";

std::string substitute(const ui::Font& font) {
    if (font.name.empty()) return kDialogFamily;
    if (font.charset == 136 || font.name == "\u65b0\u7d30\u660e\u9ad4" || font.name == "PMingLiU" ||
        font.name == "MingLiU")
        return "AR PL UMing TW";
    std::string lower;
    for (char c : font.name) lower.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
    if (lower == "times new roman" || lower == "times") return "Liberation Serif";
    if (lower == "ms sans serif" || lower == "ms shell dlg") return kDialogFamily;
    if (lower == "arial" || lower == "helvetica") return "Liberation Sans";
    if (lower == "courier new" || lower == "courier") return "Liberation Mono";
    return font.name;
}

// The Windows-1252 byte of a character, or 0 where the code page has none.
unsigned char ansiByte(char32_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<unsigned char>(c);
    static const std::map<char32_t, unsigned char> upper = [] {
        std::map<char32_t, unsigned char> m;
        for (int b = 0x80; b < 0xA0; ++b) {
            const std::u32string u = decodeAnsi(std::string(1, static_cast<char>(b)), 1252);
            if (u.size() == 1 && u[0] != kReplacementChar) m.emplace(u[0], static_cast<unsigned char>(b));
        }
        return m;
    }();
    const auto it = upper.find(c);
    return it == upper.end() ? 0 : it->second;
}

int ceil26_6(FT_Pos v) { return static_cast<int>((v + 63) >> 6); }

// The dialog face as bitmap strikes: the sans serif screen font that comes
// with Wine's fonts, one strike per face of a file: 8, 10 and 12 points made
// for 96 dpi (11, 13 and 16 pixels) and 8 and 10 points made for 120 dpi (13
// and 17 pixels). Debian's fontconfig rejects fonts without outlines, so the
// files are opened directly rather than found through fontconfig.
const std::vector<std::string>& dialogFontFiles() {
    static const std::vector<std::string> files = [] {
        std::vector<std::string> found;
        for (const char* dir :
             {"/usr/share/wine/fonts", "/usr/local/share/wine/fonts", "/opt/wine-stable/share/wine/fonts"}) {
            for (const char* name : {"sserife.fon", "sseriff.fon"}) {
                const std::filesystem::path p = std::filesystem::path(dir) / name;
                std::error_code ec;
                if (std::filesystem::is_regular_file(p, ec)) found.push_back(p.string());
            }
            if (!found.empty()) break;
        }
        return found;
    }();
    return files;
}

// The strike of the bitmap font files with `pixels` pixels per em, the one
// made for `dpi` first: its file and face, or an index of -1.
std::pair<std::string, int> strikeOfSize(FT_Library ft, const std::vector<std::string>& files, int pixels, int dpi) {
    std::pair<std::string, int> best{std::string(), -1};
    for (const std::string& file : files) {
        FT_Face face = nullptr;
        if (FT_New_Face(ft, file.c_str(), -1, &face) != 0) continue;
        const FT_Long count = face->num_faces;
        FT_Done_Face(face);
        for (FT_Long i = 0; i < count; ++i) {
            if (FT_New_Face(ft, file.c_str(), i, &face) != 0) continue;
            bool found = false;
            for (FT_Int s = 0; s < face->num_fixed_sizes; ++s)
                found = found || (face->available_sizes[s].y_ppem + 32) / 64 == pixels;
            FT_WinFNT_HeaderRec header{};
            const bool madeForDpi = FT_Get_WinFNT_Header(face, &header) == 0 && header.vertical_resolution == dpi;
            FT_Done_Face(face);
            if (found && (best.second < 0 || madeForDpi)) best = {file, static_cast<int>(i)};
            if (found && madeForDpi) return best;
        }
    }
    return best;
}

// Bold made from a regular bitmap as the desktop does it: every pixel is
// doubled one to the right, so each glyph grows by a pixel.
void smearBold(std::vector<std::uint8_t>& alpha, int& width, int rows) {
    std::vector<std::uint8_t> bold(static_cast<std::size_t>(width + 1) * rows, 0);
    for (int y = 0; y < rows; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::uint8_t a = alpha[static_cast<std::size_t>(y) * width + x];
            if (a == 0) continue;
            bold[static_cast<std::size_t>(y) * (width + 1) + x] = a;
            bold[static_cast<std::size_t>(y) * (width + 1) + x + 1] = a;
        }
    }
    alpha = std::move(bold);
    ++width;
}

}  // namespace

FontRequest fontRequest(const ui::Font& font) {
    FontRequest r;
    r.family = substitute(font);
    // The system's dialog font is an 8-point face whatever size is asked of it.
    r.pixels = pixelSize(font);
    r.dpi = font.dpi;
    r.bold = font.bold;
    r.italic = font.italic;
    return r;
}

FreeTypeFonts::FreeTypeFonts() : library_(std::make_unique<Library>()) {}
FreeTypeFonts::~FreeTypeFonts() {
    // The faces go back to FreeType before the library that made them ends.
    fonts_.clear();
    faces_.clear();
}

FreeTypeFonts::Face* FreeTypeFonts::open(const std::string& file, int index, const FontRequest& request,
                                         bool embolden, bool oblique) {
    auto key = std::make_tuple(file, index, request.pixels, embolden, oblique);
    auto it = faces_.find(key);
    if (it != faces_.end()) return it->second.get();
    auto face = std::make_unique<Face>();
    if (FT_New_Face(library_->ft, file.c_str(), index, &face->ft) != 0) {
        face->ft = nullptr;
        return nullptr;
    }
    if (FT_Select_Charmap(face->ft, FT_ENCODING_UNICODE) != 0 && face->ft->num_charmaps > 0) {
        // Bitmap fonts of the ANSI character set come with their byte codes only.
        FT_WinFNT_HeaderRec header{};
        if (FT_Get_WinFNT_Header(face->ft, &header) == 0 && header.charset == FT_WinFNT_ID_CP1252) {
            FT_Set_Charmap(face->ft, face->ft->charmaps[0]);
            face->ansi = true;
        }
    }
    if (FT_Set_Pixel_Sizes(face->ft, 0, static_cast<FT_UInt>(request.pixels)) != 0 && face->ft->num_fixed_sizes > 0)
        FT_Select_Size(face->ft, 0);
    face->file = file;
    face->embolden = embolden;
    face->oblique = oblique;
    const auto& m = face->ft->size->metrics;
    face->metrics.ascent = ceil26_6(m.ascender);
    face->metrics.descent = ceil26_6(-m.descender);
    if (face->metrics.height() <= 0) face->metrics = FontMetrics{request.pixels * 4 / 5, request.pixels / 5 + 1};
    return faces_.emplace(key, std::move(face)).first->second.get();
}

unsigned FreeTypeFonts::charIndex(const Face& face, char32_t c) {
    if (!face.ansi) return FT_Get_Char_Index(face.ft, c);
    const unsigned char byte = ansiByte(c);
    return byte == 0 && c != 0 ? 0 : FT_Get_Char_Index(face.ft, byte);
}

FreeTypeFonts::Face* FreeTypeFonts::match(const FontRequest& request, char32_t mustHave) {
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(request.family.c_str()));
    FcPatternAddDouble(pattern, FC_PIXEL_SIZE, request.pixels);
    FcPatternAddInteger(pattern, FC_WEIGHT, request.bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, request.italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    if (mustHave) {
        FcCharSet* set = FcCharSetCreate();
        FcCharSetAddChar(set, mustHave);
        FcPatternAddCharSet(pattern, FC_CHARSET, set);
        FcCharSetDestroy(set);
    }
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* found = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    if (!found) return nullptr;

    Face* face = nullptr;
    FcChar8* file = nullptr;
    int index = 0, weight = FC_WEIGHT_REGULAR, slant = FC_SLANT_ROMAN;
    if (FcPatternGetString(found, FC_FILE, 0, &file) == FcResultMatch) {
        FcPatternGetInteger(found, FC_INDEX, 0, &index);
        FcPatternGetInteger(found, FC_WEIGHT, 0, &weight);
        FcPatternGetInteger(found, FC_SLANT, 0, &slant);
        // Faces without a bold or italic style are made bold or slanted by hand.
        const bool embolden = request.bold && weight < FC_WEIGHT_DEMIBOLD;
        const bool oblique = request.italic && slant == FC_SLANT_ROMAN;
        face = open(reinterpret_cast<const char*>(file), index, request, embolden, oblique);
    }
    FcPatternDestroy(found);
    if (face && mustHave && charIndex(*face, mustHave) == 0) return nullptr;
    return face;
}

FreeTypeFonts::Resolved& FreeTypeFonts::resolve(const FontRequest& request) {
    auto it = fonts_.find(request);
    if (it != fonts_.end()) return it->second;
    Resolved r;
    if (request.family == kDialogFamily) {
        // The bitmap strike of this size where there is one; another size or
        // a slanted style takes the metric-compatible outline face.
        const auto [file, index] = request.italic ? std::pair<std::string, int>{std::string(), -1}
                                                  : strikeOfSize(library_->ft, dialogFontFiles(), request.pixels, request.dpi);
        if (index >= 0) r.primary = open(file, index, request, request.bold, false);
        if (!r.primary) {
            FontRequest outline = request;
            outline.family = "Liberation Sans";
            r.primary = match(outline, 0);
        }
    }
    if (!r.primary) r.primary = match(request, 0);
    if (!r.primary) {
        FontRequest plain = request;
        plain.family = "sans-serif";
        r.primary = match(plain, 0);
    }
    if (!r.primary) throw std::runtime_error("no font for " + request.family);
    return fonts_.emplace(request, std::move(r)).first->second;
}

FreeTypeFonts::Face* FreeTypeFonts::faceFor(Resolved& font, const FontRequest& request, char32_t c) {
    if (c < 0x20 || charIndex(*font.primary, c) != 0) return font.primary;
    auto it = font.fallback.find(c);
    if (it == font.fallback.end()) {
        Face* other = match(request, c);
        it = font.fallback.emplace(c, other ? other : font.primary).first;
    }
    return it->second;
}

const FreeTypeFonts::Glyph& FreeTypeFonts::glyph(Face& face, char32_t c) {
    auto it = face.glyphs.find(c);
    if (it != face.glyphs.end()) return it->second;
    Glyph g;
    // Hinted for one-bit output and drawn in one bit: solid pixels of the
    // text colour, no grey edges. Bitmap strikes are used as they are.
    FT_Int32 flags = FT_LOAD_DEFAULT | FT_LOAD_TARGET_MONO;
    if (face.oblique) flags |= FT_LOAD_NO_BITMAP;
    const FT_UInt index = charIndex(face, c);
    if (FT_Load_Glyph(face.ft, index, flags) == 0) {
        FT_GlyphSlot slot = face.ft->glyph;
        const bool bitmap = slot->format == FT_GLYPH_FORMAT_BITMAP;
        if (face.oblique) FT_GlyphSlot_Oblique(slot);
        if (face.embolden && !bitmap) FT_GlyphSlot_Embolden(slot);
        g.advance = static_cast<int>((slot->advance.x + 32) >> 6);
        if (bitmap || FT_Render_Glyph(slot, FT_RENDER_MODE_MONO) == 0) {
            const FT_Bitmap& bm = slot->bitmap;
            g.left = slot->bitmap_left;
            g.top = slot->bitmap_top;
            g.width = static_cast<int>(bm.width);
            g.rows = static_cast<int>(bm.rows);
            g.alpha.resize(static_cast<std::size_t>(g.width) * g.rows);
            for (int y = 0; y < g.rows; ++y) {
                const unsigned char* row = bm.buffer + static_cast<std::ptrdiff_t>(y) * bm.pitch;
                for (int x = 0; x < g.width; ++x) {
                    bool ink = false;
                    if (bm.pixel_mode == FT_PIXEL_MODE_MONO) {
                        ink = (row[x >> 3] & (0x80 >> (x & 7))) != 0;
                    } else if (bm.pixel_mode == FT_PIXEL_MODE_GRAY) {
                        // A grey strike of some face: half covered or more is ink.
                        ink = row[x] * 2 >= std::max(1, bm.num_grays - 1);
                    }
                    g.alpha[static_cast<std::size_t>(y) * g.width + x] = ink ? 255 : 0;
                }
            }
            if (face.embolden && bitmap) {
                smearBold(g.alpha, g.width, g.rows);
                ++g.advance;
            }
        }
    }
    return face.glyphs.emplace(c, std::move(g)).first->second;
}

FontMetrics FreeTypeFonts::metrics(const ui::Font& font) {
    std::lock_guard lock(mutex_);
    return resolve(fontRequest(font)).primary->metrics;
}

int FreeTypeFonts::measure(const ui::Font& font, std::u32string_view text) {
    std::lock_guard lock(mutex_);
    const FontRequest request = fontRequest(font);
    Resolved& r = resolve(request);
    int width = 0;
    for (char32_t c : text) width += glyph(*faceFor(r, request, c), c).advance;
    return width;
}

void FreeTypeFonts::draw(Image& image, const Rect& clip, int x, int baseline, const ui::Font& font,
                         std::u32string_view text, Rgb colour) {
    std::lock_guard lock(mutex_);
    const FontRequest request = fontRequest(font);
    Resolved& r = resolve(request);
    const int x0 = std::max(clip.x, 0), y0 = std::max(clip.y, 0);
    const int x1 = std::min(clip.x + clip.w, image.width), y1 = std::min(clip.y + clip.h, image.height);
    for (char32_t c : text) {
        const Glyph& g = glyph(*faceFor(r, request, c), c);
        const int gx = x + g.left, gy = baseline - g.top;
        for (int row = std::max(0, y0 - gy); row < g.rows && gy + row < y1; ++row) {
            for (int col = std::max(0, x0 - gx); col < g.width && gx + col < x1; ++col) {
                const unsigned a = g.alpha[static_cast<std::size_t>(row) * g.width + col];
                if (a == 0) continue;
                Rgb& p = image.pixels[static_cast<std::size_t>(gy + row) * image.width + gx + col];
                const auto mix = [a](std::uint8_t under, std::uint8_t over) {
                    return static_cast<std::uint8_t>((over * a + under * (255 - a) + 127) / 255);
                };
                p = Rgb{mix(p.r, colour.r), mix(p.g, colour.g), mix(p.b, colour.b)};
            }
        }
        x += g.advance;
    }
}

std::string FreeTypeFonts::fileOf(const ui::Font& font) {
    std::lock_guard lock(mutex_);
    return resolve(fontRequest(font)).primary->file;
}

std::shared_ptr<FontEngine> platformFonts() {
    static const std::shared_ptr<FontEngine> engine = std::make_shared<FreeTypeFonts>();
    return engine;
}

}  // namespace sysaccess::paint
