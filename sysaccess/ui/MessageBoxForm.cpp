#include "sysaccess/ui/MessageBoxForm.h"

#include <algorithm>
#include <cctype>
#include <stdexcept>

#include "sysaccess/paint/FontEngine.h"
#include "sysaccess/paint/Text.h"
#include "sysaccess/paint/TextLayout.h"
#include "sysaccess/ui/Application.h"
#include "sysaccess/ui/Builtin.h"

namespace sysaccess::ui {

namespace {

// Sizes in pixels, as the desktop lays out its boxes.
constexpr int Margin = 12;
constexpr int IconSize = 32;
constexpr int IconGap = 14;      // between the icon and the text
constexpr int ButtonWidth = 75;
constexpr int ButtonHeight = 23;
constexpr int ButtonGap = 6;
constexpr int ButtonsTop = 14;   // space above the row of buttons
constexpr int TitleReserve = 40; // the title bar's close box and frame

const char* iconFile(int style) {
    switch (style & 0x70) {
        case 16: return "stop.ico";
        case 32: return "question.ico";
        case 48: return "exclamation.ico";
        default: return nullptr;
    }
}

// The icon drawn over the box's button-face background.
Picture iconPicture(int style, Color background) {
    const char* file = iconFile(style);
    if (!file) return nullptr;
    IconPicture icon;
    try {
        icon = BuiltinIcon(file, IconSize);
    } catch (const std::logic_error&) {
        return nullptr;  // a box without its icon still asks its question
    }
    auto image = std::make_shared<paint::Image>(icon->image);
    for (int y = 0; y < image->height; ++y) {
        for (int x = 0; x < image->width; ++x) {
            if (icon->transparent(x, y)) {
                image->pixels[static_cast<std::size_t>(y) * image->width + x] =
                    paint::platformPalette()(background);
            }
        }
    }
    return image;
}

int screenPixels() {
    if (!Application::exists()) return 1024;
    return Application::current().driver().screenWidth() / TwipsPerPixel;
}

}  // namespace

MessageBoxForm::MessageBoxForm(const std::string& text, int style, const std::string& title, unsigned codePage,
                               std::shared_ptr<paint::FontEngine> fonts)
    : Form("MsgBox") {
    Caption = title;
    borderStyle = FormBorderStyle::FixedDialog;
    hasTitleBar = true;
    ControlBox = true;
    ShowInTaskbar = false;
    centred = true;
    arrowKeysMoveFocus = true;

    switch (style & 0x0F) {
        case 1: choices_ = {{"OK", mb::Ok}, {"Cancel", 2}}; escapeAnswer_ = 2; break;
        case 2: choices_ = {{"&Abort", 3}, {"&Retry", 4}, {"&Ignore", 5}}; break;
        case 3: choices_ = {{"&Yes", mb::Yes}, {"&No", mb::No}, {"Cancel", 2}}; escapeAnswer_ = 2; break;
        case 4: choices_ = {{"&Yes", mb::Yes}, {"&No", mb::No}}; break;
        case 5: choices_ = {{"&Retry", 4}, {"Cancel", 2}}; escapeAnswer_ = 2; break;
        default: choices_ = {{"OK", mb::Ok}}; escapeAnswer_ = mb::Ok; break;
    }

    // A question without a way out (Yes/No) shows its close box greyed.
    closeBoxEnabled = escapeAnswer_ != 0;

    if (!fonts) fonts = paint::platformFonts();
    // The box is laid out in pixels of the standard density (15 twips each)
    // and grows with the density as a whole; the renderer keeps its text on
    // the lines it has here and fits them at any density (TextFit.h).
    const int lineHeight = std::max(fonts->metrics(font).height(), 1);
    const int maxTextWidth = std::max(screenPixels() * 5 / 8, 200);
    const auto lines = paint::wrapText(*fonts, font, paint::decodeAnsi(text, codePage), maxTextWidth);
    int textWidth = 0;
    for (const auto& line : lines) textWidth = std::max(textWidth, fonts->measure(font, line));
    const int textHeight = static_cast<int>(std::max<std::size_t>(lines.size(), 1)) * lineHeight;

    Picture icon = iconPicture(style, BackColor);
    const int iconBox = IconSize;
    const int textLeft = icon ? Margin + iconBox + IconGap : Margin;
    int textTop = Margin;
    if (icon && textHeight < iconBox) textTop += (iconBox - textHeight) / 2;
    const int contentBottom = std::max(icon ? Margin + iconBox : 0, textTop + textHeight);

    const int n = static_cast<int>(choices_.size());
    const int rowWidth = n * ButtonWidth + (n - 1) * ButtonGap;
    Font titleFont = font;
    titleFont.bold = true;
    const int titleWidth = fonts->measure(titleFont, paint::decodeAnsi(title, codePage)) + TitleReserve;
    const int width = std::max({textLeft + textWidth + Margin, rowWidth + 2 * Margin, titleWidth});
    const int buttonsTop = contentBottom + ButtonsTop;
    const int height = buttonsTop + ButtonHeight + Margin;
    ScaleWidth = width * TwipsPerPixel;
    ScaleHeight = height * TwipsPerPixel;

    Image1.Move(Margin * TwipsPerPixel, Margin * TwipsPerPixel, iconBox * TwipsPerPixel, iconBox * TwipsPerPixel);
    Image1.borderStyle = ControlBorder::None;
    Image1.BackColor = BackColor;
    Image1.Visible = icon != nullptr;
    Image1.picture = icon;
    Image1.TabStop = false;

    // A little wider than the widest line, so the renderer's own wrapping
    // breaks exactly where the measuring did.
    Label1.Move(textLeft * TwipsPerPixel, textTop * TwipsPerPixel, (textWidth + 2) * TwipsPerPixel,
                textHeight * TwipsPerPixel);
    Label1.Caption = text;
    Label1.backStyle = BackStyle::Transparent;

    const int defaultIndex = std::min((style >> 8) & 3, n - 1);
    const int left = (width - rowWidth) / 2;
    for (int i = 0; i < n; ++i) {
        auto b = std::make_unique<CommandButton>(*this, "Button" + std::to_string(i + 1));
        b->Move((left + i * (ButtonWidth + ButtonGap)) * TwipsPerPixel, buttonsTop * TwipsPerPixel,
                ButtonWidth * TwipsPerPixel, ButtonHeight * TwipsPerPixel);
        b->Caption = choices_[static_cast<std::size_t>(i)].caption;
        b->TabIndex = (i - defaultIndex + n) % n;  // the default button takes the focus first
        b->Default = i == defaultIndex;
        b->Cancel = choices_[static_cast<std::size_t>(i)].code == escapeAnswer_;
        const int code = choices_[static_cast<std::size_t>(i)].code;
        b->Click = [this, code] {
            answer_ = code;
            Unload();
        };
        buttons_.push_back(std::move(b));
    }
}

CommandButton* MessageBoxForm::buttonForKey(char ch) {
    const int wanted = std::toupper(static_cast<unsigned char>(ch));
    for (std::size_t i = 0; i < choices_.size(); ++i) {
        const std::string caption = choices_[i].caption;
        const auto amp = caption.find('&');
        if (amp != std::string::npos && amp + 1 < caption.size() &&
            std::toupper(static_cast<unsigned char>(caption[amp + 1])) == wanted) {
            return buttons_[i].get();
        }
    }
    return nullptr;
}

void MessageBoxForm::Form_Unload(int& Cancel) {
    if (answer_ != 0) return;
    if (escapeAnswer_ == 0) {
        Cancel = 1;  // a question must be answered with a button
        return;
    }
    answer_ = escapeAnswer_;
}

}  // namespace sysaccess::ui
