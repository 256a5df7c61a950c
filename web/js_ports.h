#pragma once

#include <string>
#include <string_view>

#include "game/ports.h"

namespace quorrel::web {

// The game's ports on the page: each call goes to the page's script, which draws on the
// board's canvas, reads and writes the controls, shows the message boxes and offers downloads.
// Coordinates stay in twips; the script turns them into pixels.

class CanvasSurface : public Surface {
  public:
    void clear() override;
    void line(float x1, float y1, float x2, float y2, Colour colour) override;
    void box(float x1, float y1, float x2, float y2, Colour colour) override;
    void setFontSize(float points) override;
    TextExtent measureText(std::string_view text) override;
    void printText(float x, float y, std::string_view text) override;
    ClientSize clientSize() override;
    TwipsPerPixel twipsPerPixel() override;
    Colour backgroundColour() override;

  private:
    // The height of a line of text, which depends only on the font's size: asked once a size.
    float points_ = 0;
    double lineHeight_ = -1;
};

class PageControls : public Controls {
  public:
    std::string widthText() override;
    std::string heightText() override;
    void setMovesText(std::string_view text) override;
    void setExtraText(std::string_view text) override;
    void setChecked(Command item, bool checked) override;
};

// Modal boxes in the page. The game waits for the answer while the page goes on running.
class PageMessages : public Messages {
  public:
    void inform(std::string_view text) override;
    bool ask(std::string_view text) override;
};

// Offers `bytes` as a download named `name`.
void offerDownload(const std::string& name, std::string_view bytes);

}  // namespace quorrel::web
