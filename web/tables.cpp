#include "web/tables.h"

#include <cstdio>
#include <span>

#include "ui/commands.h"
#include "ui/window.h"

namespace quorrel::web {

namespace {

std::string_view placeName(Place place) {
    switch (place) {
        case Place::Button:
            return "Button";
        case Place::MenuBar:
            return "MenuBar";
        case Place::InMenu:
            return "InMenu";
        case Place::Key:
            return "Key";
    }
    return "";
}

std::string_view scopeName(KeyScope scope) {
    switch (scope) {
        case KeyScope::None:
            return "None";
        case KeyScope::Board:
            return "Board";
        case KeyScope::Window:
            return "Window";
        case KeyScope::DesktopWindow:
            return "DesktopWindow";
    }
    return "";
}

std::string_view kindName(ControlKind kind) {
    switch (kind) {
        case ControlKind::Label:
            return "Label";
        case ControlKind::Selector:
            return "Selector";
        case ControlKind::Button:
            return "Button";
        case ControlKind::Box:
            return "Box";
    }
    return "";
}

// Builds one JSON object member by member.
class Object {
  public:
    Object& text(std::string_view key, std::string_view value) {
        return raw(key, jsonString(value));
    }
    Object& number(std::string_view key, int value) { return raw(key, std::to_string(value)); }
    Object& number(std::string_view key, double value) {
        char text[32];
        std::snprintf(text, sizeof text, "%.17g", value);
        return raw(key, text);
    }
    Object& flag(std::string_view key, bool value) { return raw(key, value ? "true" : "false"); }
    Object& raw(std::string_view key, std::string_view json) {
        out_ += out_.empty() ? "{" : ",";
        out_ += jsonString(key);
        out_ += ':';
        out_ += json;
        return *this;
    }
    std::string done() const { return out_.empty() ? "{}" : out_ + "}"; }

  private:
    std::string out_;
};

// A JSON array of what `each` makes of every element.
template <typename T, typename Each>
std::string array(std::span<const T> items, Each each) {
    std::string out = "[";
    for (const T& item : items) {
        if (out.size() > 1) {
            out += ',';
        }
        out += each(item);
    }
    return out + "]";
}

std::string commandJson(const CommandRow& row) {
    return Object()
        .number("id", static_cast<int>(row.id))
        .text("place", placeName(row.place))
        .text("menu", row.menu)
        .text("caption", row.caption)
        .text("name", row.name)
        .flag("checkable", row.checked != nullptr)
        .number("radius", row.radius)
        .text("shortcut", row.shortcut)
        .text("scope", scopeName(row.scope))
        .done();
}

std::string controlJson(const ControlRow& row) {
    return Object()
        .text("name", row.name)
        .text("kind", kindName(row.kind))
        .text("caption", row.caption)
        .number("left", row.left)
        .number("width", row.width)
        .number("height", row.height)
        .flag("bold", row.bold)
        .text("accessibleName", row.accessibleName)
        .text("description", controlDescription(row))
        .text("tip", controlTip(row))
        .text("buddy", row.buddy)
        .done();
}

std::string menuJson(const MenuRow& row) {
    return Object().text("name", row.name).text("caption", row.caption).done();
}

std::string textJson(std::string_view text) {
    return jsonString(text);
}

}  // namespace

std::string jsonString(std::string_view text) {
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned char>(c));
            out += escaped;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

std::string tablesJson() {
    const std::span<const std::string_view> entries(kSizeEntries);
    const std::span<const std::string_view> order(kFocusOrder);
    const std::span<const std::string_view> families(kBoldFamilies);
    return Object()
        .text("caption", kCaption)
        .text("appTitle", kAppTitle)
        .text("boardName", kBoardName)
        .text("boardHelp", kBoardHelp)
        .text("blankItemName", kBlankItemName)
        .number("twipsPerPixel", kTwipsPerCssPixel)
        .number("clientWidth", kClientWidth)
        .number("clientHeight", kClientHeight)
        .number("controlTop", kControlTop)
        .raw("sizeEntries", array(entries, textJson))
        .number("initialSizeEntry", kInitialSizeEntry)
        .raw("focusOrder", array(order, textJson))
        .raw("boldFamilies", array(families, textJson))
        .number("boldPoints", kBoldPoints)
        .raw("menus", array(std::span<const MenuRow>(kMenus), menuJson))
        .raw("commands", array(commands(), commandJson))
        .raw("controls", array(std::span<const ControlRow>(kControls), controlJson))
        .raw("buttons",
             Object().text("ok", kOkButton).text("yes", kYesButton).text("no", kNoButton).done())
        .raw("pageWords",
             Object().text("notLoaded", kPageNotLoaded).text("tooOld", kPageTooOld).done())
        .done();
}

}  // namespace quorrel::web
