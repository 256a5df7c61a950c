// The desktop's picture of a short game, for the page's test to hold the page's canvas to: the
// window on Qt's offscreen platform with the board at a given size, the random draws from a
// seed, the commands named performed in turn. Every "|" among them writes the board's image
// as it is then, a binary PPM, to standard output.
//
//   board_picture <board width> <board height> (pixels) <seed> <maze width> <maze height>
//                 <command's object name or |>...

#include <QApplication>
#include <QComboBox>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "board_widget.h"
#include "main_window.h"
#include "support/doubles.h"
#include "ui/commands.h"

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    if (argc < 6) {
        std::fputs("usage: board_picture width height seed maze-width maze-height commands...\n",
                   stderr);
        return 2;
    }
    quorrel::testing::FakeWindow messages;
    quorrel::SeededRandom random(std::strtoull(argv[3], nullptr, 10));
    quorrel::testing::MemoryFileStore files;
    quorrel::app::MainWindow window(quorrel::app::Services{&messages, &random, &files});
    window.show();
    QApplication::processEvents();
    const QSize board(std::atoi(argv[1]), std::atoi(argv[2]));
    window.resize(window.size() + board - window.board().size());
    QApplication::processEvents();
    if (window.board().size() != board) {
        std::fprintf(stderr, "the board is %dx%d\n", window.board().width(),
                     window.board().height());
        return 1;
    }
    window.findChild<QComboBox*>(QStringLiteral("Combo1"))->setEditText(argv[4]);
    window.findChild<QComboBox*>(QStringLiteral("Combo2"))->setEditText(argv[5]);
    for (int i = 6; i < argc; ++i) {
        const std::string_view name = argv[i];
        if (name == "|") {
            const QImage image = window.board().image().convertToFormat(QImage::Format_RGB888);
            std::printf("P6\n%d %d\n255\n", image.width(), image.height());
            for (int y = 0; y < image.height(); ++y) {
                std::fwrite(image.constScanLine(y), 3, static_cast<std::size_t>(image.width()),
                            stdout);
            }
            continue;
        }
        const auto rows = quorrel::commands();
        const auto row =
            std::find_if(rows.begin(), rows.end(), [&](const auto& r) { return r.name == name; });
        if (row == rows.end()) {
            std::fprintf(stderr, "no command named %s\n", argv[i]);
            return 2;
        }
        window.perform(row->id);
    }
    return 0;
}
