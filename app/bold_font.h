#pragma once

#include <QFont>
#include <QString>
#include <QStringList>

namespace quorrel::app {

// The labels' and the button's font: MS Sans Serif 8.25 points, bold, upright, not underlined.
// Where that Windows font is missing, as on Linux, fontconfig's nearest sans (DejaVu Sans) is
// wider and runs the labels into the controls beside them; the fonts named after it have
// Arial's widths, which MS Sans Serif's bold face comes close to: Liberation Sans (Debian's
// fonts-liberation2, which the package recommends), Arimo, Arial itself.
inline QFont boldFont() {
    QFont font;
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"),
                      QStringLiteral("Arimo"), QStringLiteral("Arial")});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(8.25);
    font.setWeight(QFont::Bold);
    font.setItalic(false);
    font.setUnderline(false);
    return font;
}

}  // namespace quorrel::app
