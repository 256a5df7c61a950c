// Prints the page's tables as JSON; the build puts them into the site's index.html, so that
// the page builds its window before the game has loaded.

#include <cstdio>

#include "web/tables.h"

int main() {
    std::puts(quorrel::web::tablesJson().c_str());
    return 0;
}
