#pragma once

// What the game reaches outside itself: the board it draws on, the controls of the window,
// message boxes, random numbers and the file system. Each front end implements them; the
// tests implement them with recording doubles and scripted draws.

#include <string>
#include <string_view>

#include "game/command.h"
#include "model/types.h"

namespace quorrel {

// The window's controls as the game sees them: the two size selectors, the Moves and Extra
// boxes and the check marks of the menu.
class Controls {
  public:
    virtual ~Controls() = default;

    virtual std::string widthText() = 0;                   // Combo1
    virtual std::string heightText() = 0;                  // Combo2
    virtual void setMovesText(std::string_view text) = 0;  // Text1
    virtual void setExtraText(std::string_view text) = 0;  // Text2
    virtual void setChecked(Command item, bool checked) = 0;
};

// Modal message boxes titled with the application's name, without an icon.
class Messages {
  public:
    virtual ~Messages() = default;

    virtual void inform(std::string_view text) = 0;  // OK only
    virtual bool ask(std::string_view text) = 0;     // Yes (true) or No (false)
};

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

// Uniform draws r with 0 <= r < 1.
class RandomSource {
  public:
    virtual ~RandomSource() = default;

    // Called at the start of every maze.
    virtual void reseed() = 0;
    virtual double next() = 0;
};

enum class CreateResult { Created, NameTaken, Failed };

// Where maze files go. Holds at most one open file at a time.
class FileStore {
  public:
    virtual ~FileStore() = default;

    // Creates a new file of this name and keeps it open. Never opens or truncates an existing
    // entry: anything already there under the name, file or not, gives NameTaken.
    virtual CreateResult create(const std::string& name, std::string& reason) = 0;
    // Writes all of `bytes` to the open file and closes it; false with a reason on failure.
    virtual bool writeAndClose(std::string_view bytes, std::string& reason) = 0;
    // Deletes a file this store created.
    virtual void remove(const std::string& name) = 0;
};

}  // namespace quorrel
