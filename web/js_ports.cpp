#include "web/js_ports.h"

#include <emscripten.h>

#include "ui/commands.h"
#include "web/tables.h"

// The page's script keeps its side of each port on the module: Module.board for the canvas,
// Module.page for the controls, boxes and downloads. Texts cross as UTF-8.

// clang-format off
EM_JS(void, js_clear, (), { Module.board.clear(); });
EM_JS(void, js_line, (double x1, double y1, double x2, double y2, int colour), {
    Module.board.line(x1, y1, x2, y2, colour);
});
EM_JS(void, js_box, (double x1, double y1, double x2, double y2, int colour), {
    Module.board.box(x1, y1, x2, y2, colour);
});
EM_JS(void, js_font, (double points), { Module.board.font(points); });
EM_JS(double, js_text_width, (const char* text, int size), {
    return Module.board.textWidth(UTF8ToString(text, size));
});
EM_JS(double, js_text_height, (), { return Module.board.textHeight(); });
EM_JS(void, js_text, (double x, double y, const char* text, int size), {
    Module.board.text(x, y, UTF8ToString(text, size));
});
EM_JS(double, js_client_width, (), { return Module.board.clientWidth(); });
EM_JS(double, js_client_height, (), { return Module.board.clientHeight(); });
EM_JS(int, js_background, (), { return Module.board.background(); });
EM_JS(int, js_size_length, (int which), {
    return lengthBytesUTF8(Module.page.sizeText(which));
});
EM_JS(void, js_size_text, (int which, char* out, int size), {
    stringToUTF8(Module.page.sizeText(which), out, size);
});
EM_JS(void, js_set_box, (const char* name, const char* text, int size), {
    Module.page.setBox(UTF8ToString(name), UTF8ToString(text, size));
});
EM_JS(void, js_set_checked, (const char* name, int checked), {
    Module.page.setChecked(UTF8ToString(name), !!checked);
});
EM_ASYNC_JS(int, js_message, (const char* text, int size, int question), {
    return await Module.page.message(UTF8ToString(text, size), !!question) ? 1 : 0;
});
EM_JS(void, js_download, (const char* name, const char* bytes, int size), {
    Module.page.download(UTF8ToString(name), HEAPU8.slice(bytes, bytes + size));
});
// clang-format on

namespace quorrel::web {

namespace {

int sizeOf(std::string_view text) {
    return static_cast<int>(text.size());
}

// The text of a size selector: 0 the width, 1 the height.
std::string sizeText(int which) {
    std::string text(static_cast<std::size_t>(js_size_length(which)), '\0');
    // Room for the terminating zero the script writes.
    text.push_back('\0');
    js_size_text(which, text.data(), sizeOf(text));
    text.pop_back();
    return text;
}

}  // namespace

void CanvasSurface::clear() {
    js_clear();
}

void CanvasSurface::line(float x1, float y1, float x2, float y2, Colour colour) {
    js_line(x1, y1, x2, y2, colour);
}

void CanvasSurface::box(float x1, float y1, float x2, float y2, Colour colour) {
    js_box(x1, y1, x2, y2, colour);
}

void CanvasSurface::setFontSize(float points) {
    if (points != points_) {
        lineHeight_ = -1;
    }
    points_ = points;
    js_font(points);
}

TextExtent CanvasSurface::measureText(std::string_view text) {
    if (lineHeight_ < 0) {
        lineHeight_ = js_text_height();
    }
    return {js_text_width(text.data(), sizeOf(text)), lineHeight_};
}

void CanvasSurface::printText(float x, float y, std::string_view text) {
    js_text(x, y, text.data(), sizeOf(text));
}

ClientSize CanvasSurface::clientSize() {
    return {js_client_width(), js_client_height()};
}

TwipsPerPixel CanvasSurface::twipsPerPixel() {
    return {kTwipsPerCssPixel, kTwipsPerCssPixel};
}

Colour CanvasSurface::backgroundColour() {
    return js_background();
}

std::string PageControls::widthText() {
    return sizeText(0);
}

std::string PageControls::heightText() {
    return sizeText(1);
}

void PageControls::setMovesText(std::string_view text) {
    js_set_box("Text1", text.data(), sizeOf(text));
}

void PageControls::setExtraText(std::string_view text) {
    js_set_box("Text2", text.data(), sizeOf(text));
}

void PageControls::setChecked(Command item, bool checked) {
    js_set_checked(std::string(commandRow(item).name).c_str(), checked ? 1 : 0);
}

void PageMessages::inform(std::string_view text) {
    js_message(text.data(), sizeOf(text), 0);
}

bool PageMessages::ask(std::string_view text) {
    return js_message(text.data(), sizeOf(text), 1) != 0;
}

void offerDownload(const std::string& name, std::string_view bytes) {
    js_download(name.c_str(), bytes.data(), sizeOf(bytes));
}

}  // namespace quorrel::web
