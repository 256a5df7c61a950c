// The mix of the core's event storm, for the page's storm to play the same mix on the page:
// the kinds of event with their shares, the buttons of a press and the odd size texts, as
// JSON on one line.
//
//   event_mix

#include <cstdio>
#include <string>
#include <string_view>

#include "support/event_driver.h"
#include "support/odd_values.h"
#include "web/tables.h"

namespace quorrel::testing {
namespace {

template <typename Items, typename Each>
std::string list(const Items& items, Each each) {
    std::string out = "[";
    for (const auto& item : items) {
        out += (out.size() > 1 ? "," : "") + each(item);
    }
    return out + "]";
}

std::string mix() {
    const std::string plays = list(kPlays, [](const PlayShare& p) {
        return "{\"name\":" + web::jsonString(p.name) + ",\"share\":" + std::to_string(p.share) +
               "}";
    });
    const std::string buttons = list(kPressButtons, [](Int b) { return std::to_string(b); });
    const std::string texts =
        list(kNumberTexts, [](const NumberText& t) { return web::jsonString(t.text); });
    return "{\"plays\":" + plays + ",\"buttons\":" + buttons + ",\"sizeTexts\":" + texts + "}";
}

}  // namespace
}  // namespace quorrel::testing

int main() {
    std::printf("%s\n", quorrel::testing::mix().c_str());
    return 0;
}
