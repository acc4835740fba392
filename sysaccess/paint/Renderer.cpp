#include "sysaccess/paint/Renderer.h"

#include <algorithm>

#include "sysaccess/paint/Classic.h"
#include "sysaccess/paint/ControlPainter.h"
#include "sysaccess/paint/Density.h"
#include "sysaccess/paint/Text.h"
#include "sysaccess/paint/WindowFrame.h"
#include "sysaccess/ui/Form.h"

namespace sysaccess::paint {

Renderer::Renderer(std::shared_ptr<FontEngine> fonts) : fonts_(std::move(fonts)) {}

Image Renderer::render(const ui::Form& form, const RenderOptions& options) const {
    const FrameGeometry g = frameGeometry(form, options.dpi);
    Image image;
    image.width = options.withFrame ? g.width : g.client.w;
    image.height = options.withFrame ? g.height : g.client.h;
    image.pixels.resize(static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height));
    Canvas whole(image);
    // Row by row, faster than pixel by pixel.
    whole.fill(Rect{0, 0, image.width, image.height}, options.palette[ui::SysColor::ButtonFace]);
    Rect client{0, 0, g.client.w, g.client.h};
    if (options.withFrame) {
        // A flashing window shows the opposite of its activation state.
        const bool active = options.active != form.flashed();
        drawWindowFrame(whole, *fonts_, form, g, decodeAnsi(form.Caption, options.codePage), active,
                        options.palette, Density(options.dpi));
        client = g.client;
    }
    Canvas surface = whole.sub(client);
    surface.fill(Rect{0, 0, client.w, client.h}, options.palette(form.BackColor));
    ControlPainter(*fonts_, form, options).children(surface, nullptr);
    return image;
}

}  // namespace sysaccess::paint
