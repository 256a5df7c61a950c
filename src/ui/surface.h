#pragma once

#include <string_view>

#include "model/types.h"

namespace quorrel {

struct TextExtent {
    double width = 0;
    double height = 0;
};

struct ClientSize {
    double width = 0;
    double height = 0;
};

struct TwipsPerPixel {
    double x = 15;
    double y = 15;
};

// The board the game draws on. Coordinates are twips from the top-left corner of the client
// area, x to the right and y downward. Lines and box outlines use a pen two pixels wide.
class Surface {
  public:
    virtual ~Surface() = default;

    virtual void clear() = 0;
    virtual void line(float x1, float y1, float x2, float y2, Colour colour) = 0;
    // A box between two opposite corners, outline and interior in one colour.
    virtual void box(float x1, float y1, float x2, float y2, Colour colour) = 0;
    // Size of the board's text in points.
    virtual void setFontSize(float points) = 0;
    virtual TextExtent measureText(std::string_view text) = 0;
    // Draws text with its top-left corner at (x, y), on a transparent background.
    virtual void printText(float x, float y, std::string_view text) = 0;
    virtual ClientSize clientSize() = 0;
    virtual TwipsPerPixel twipsPerPixel() = 0;
    virtual Colour backgroundColour() = 0;
};

}  // namespace quorrel
