// The application's name, launcher and window icon as the program sets them up.

#include "application.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QColor>
#include <QDir>
#include <QFile>
#include <QIcon>
#include <QImage>
#include <QList>
#include <QSize>
#include <QTemporaryDir>

namespace quorrel::app {
namespace {

// An icon theme "decoy" whose icon of the game's name is a plain red square.
void writeDecoyTheme(const QString& root) {
    const QString folder = root + "/decoy/48x48/apps";
    ASSERT_TRUE(QDir().mkpath(folder));
    QFile index(root + "/decoy/index.theme");
    ASSERT_TRUE(index.open(QIODevice::WriteOnly));
    index.write(
        "[Icon Theme]\nName=decoy\nDirectories=48x48/apps\n\n"
        "[48x48/apps]\nSize=48\nType=Fixed\n");
    index.close();
    QImage red(48, 48, QImage::Format_ARGB32);
    red.fill(Qt::red);
    ASSERT_TRUE(red.save(folder + "/io.github.quorrel.Quorrel.png"));
}

TEST(Application, WindowIconIsTheBuiltInOneWhateverTheIconTheme) {
    QTemporaryDir themes;
    ASSERT_TRUE(themes.isValid());
    writeDecoyTheme(themes.path());
    const QStringList formerPaths = QIcon::themeSearchPaths();
    const QString formerTheme = QIcon::themeName();
    QIcon::setThemeSearchPaths({themes.path()});
    QIcon::setThemeName(QStringLiteral("decoy"));

    setUpApplication();
    const QIcon icon = QApplication::windowIcon();

    QIcon::setThemeSearchPaths(formerPaths);
    QIcon::setThemeName(formerTheme);
    EXPECT_EQ(QGuiApplication::desktopFileName(), "io.github.quorrel.Quorrel");
    EXPECT_EQ(icon.availableSizes(), (QList<QSize>{QSize(48, 48), QSize(128, 128)}));
    for (const int size : {48, 128}) {
        SCOPED_TRACE(size);
        const QImage shown = icon.pixmap(QSize(size, size)).toImage();
        const QImage built = QImage(QStringLiteral(":/icons/%1.png").arg(size));
        ASSERT_FALSE(built.isNull());
        EXPECT_EQ(shown.convertToFormat(QImage::Format_ARGB32_Premultiplied),
                  built.convertToFormat(QImage::Format_ARGB32_Premultiplied));
    }
}

}  // namespace
}  // namespace quorrel::app
