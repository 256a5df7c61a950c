#pragma once

#include <string>
#include <string_view>

#include "mazefile/file_store.h"
#include "ui/controls.h"
#include "ui/surface.h"

namespace quorrel::bench {

// A board of the window's design size that throws every drawing away, counting the calls so
// that the work of making them is not skipped.
class NullSurface : public Surface {
  public:
    void clear() override { ++calls; }
    void line(float, float, float, float, Colour) override { ++calls; }
    void box(float, float, float, float, Colour) override { ++calls; }
    void setFontSize(float) override { ++calls; }
    TextExtent measureText(std::string_view text) override {
        return {60.0 * static_cast<double>(text.size()), 180.0};
    }
    void printText(float, float, std::string_view) override { ++calls; }
    ClientSize clientSize() override { return {8880, 7305}; }
    TwipsPerPixel twipsPerPixel() override { return {15, 15}; }
    Colour backgroundColour() override { return 0xF0F0F0; }

    long calls = 0;
};

// Size selectors with fixed texts; message boxes that answer No at once.
class NullWindow : public Controls, public Messages {
  public:
    std::string widthText() override { return width; }
    std::string heightText() override { return height; }
    void setMovesText(std::string_view) override {}
    void setExtraText(std::string_view) override {}
    void setChecked(MenuItem, bool) override {}
    void inform(std::string_view) override { ++messages; }
    bool ask(std::string_view) override {
        ++messages;
        return false;
    }

    std::string width = "50";
    std::string height = "50";
    int messages = 0;
};

// A file store that has no room for any file.
class NullFileStore : public FileStore {
  public:
    CreateResult create(const std::string&, std::string& reason) override {
        reason = "no files are kept";
        return CreateResult::Failed;
    }
    bool writeAndClose(std::string_view, std::string& reason) override {
        reason = "no files are kept";
        return false;
    }
    void remove(const std::string&) override {}
};

}  // namespace quorrel::bench
