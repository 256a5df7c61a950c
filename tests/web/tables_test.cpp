// The tables the page builds itself from: every caption, name and position of the window's
// own tables, in JSON a browser reads.

#include "web/tables.h"

#include <gtest/gtest.h>

#include <string>

#include "ui/commands.h"
#include "ui/window.h"

namespace quorrel::web {
namespace {

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

TEST(JsonString, EscapesQuotesBackslashesAndControlCharacters) {
    EXPECT_EQ(jsonString("plain"), "\"plain\"");
    EXPECT_EQ(jsonString("a \"b\" \\c"), "\"a \\\"b\\\" \\\\c\"");
    EXPECT_EQ(jsonString("one\r\ntwo\t"), "\"one\\u000d\\u000atwo\\u0009\"");
    EXPECT_EQ(jsonString(""), "\"\"");
}

TEST(Tables, HoldTheWindowsCaptionTitleAndBoard) {
    const std::string json = tablesJson();
    EXPECT_TRUE(contains(json, "\"caption\":\"Quorrel 1.0\""));
    EXPECT_TRUE(contains(json, "\"appTitle\":\"quorrel\""));
    EXPECT_TRUE(contains(json, "\"boardName\":\"Maze board\""));
    EXPECT_TRUE(contains(json, "\"blankItemName\":\"Blank\""));
    EXPECT_TRUE(contains(json, "\"twipsPerPixel\":15"));
    EXPECT_TRUE(contains(json,
                         "\"focusOrder\":[\"Command1\",\"Text1\",\"Text2\",\"Combo1\","
                         "\"Combo2\",\"board\"]"));
    EXPECT_TRUE(contains(json,
                         "\"boldFamilies\":[\"MS Sans Serif\",\"Liberation Sans\",\"Arimo\","
                         "\"Arial\"],\"boldPoints\":8.25,"));
    EXPECT_TRUE(contains(json, "\"buttons\":{\"ok\":\"OK\",\"yes\":\"&Yes\",\"no\":\"&No\"}"));
    EXPECT_TRUE(contains(json, "\"pageWords\":{\"notLoaded\":" + jsonString(kPageNotLoaded) +
                                   ",\"tooOld\":" + jsonString(kPageTooOld) + "}"));
}

TEST(Tables, HoldEveryCommandInTheOrderOfItsNumber) {
    const std::string json = tablesJson();
    std::size_t at = 0;
    for (const CommandRow& row : commands()) {
        const std::string id = "{\"id\":" + std::to_string(static_cast<int>(row.id)) + ",";
        const std::size_t found = json.find(id, at);
        ASSERT_NE(found, std::string::npos) << row.name;
        EXPECT_TRUE(contains(json.substr(found, 400),
                             "\"name\":" + jsonString(row.name) +
                                 ",\"checkable\":" + (row.checked != nullptr ? "true" : "false")))
            << row.name;
        at = found + 1;
    }
    EXPECT_TRUE(contains(json, "\"caption\":\"&Visibility\""));
    EXPECT_TRUE(contains(json, "\"shortcut\":\"F1\",\"scope\":\"Window\""));
    EXPECT_TRUE(contains(json, "\"shortcut\":\"Ctrl+N\",\"scope\":\"DesktopWindow\""));
}

TEST(Tables, HoldEveryControlWithItsPlaceAndWords) {
    const std::string json = tablesJson();
    EXPECT_TRUE(contains(json, "\"controlTop\":120"));
    for (const ControlRow& row : kControls) {
        EXPECT_TRUE(contains(json, "{\"name\":" + jsonString(row.name) + ",\"kind\":")) << row.name;
        EXPECT_TRUE(contains(json, "\"left\":" + std::to_string(row.left) +
                                       ",\"width\":" + std::to_string(row.width) +
                                       ",\"height\":" + std::to_string(row.height)))
            << row.name;
        EXPECT_TRUE(contains(json, "\"description\":" + jsonString(controlDescription(row))))
            << row.name;
    }
}

}  // namespace
}  // namespace quorrel::web
