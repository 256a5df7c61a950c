#pragma once

#include <QFont>
#include <QStringList>

#include "qt_text.h"
#include "ui/window.h"

namespace quorrel::app {

// The labels' and the button's font, bold, upright, not underlined; on Linux Liberation Sans
// (Debian's fonts-liberation2, which the package recommends) stands in for MS Sans Serif.
inline QFont boldFont() {
    QStringList families;
    for (std::string_view family : kBoldFamilies) {
        families << toQString(family);
    }
    QFont font;
    font.setFamilies(families);
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(kBoldPoints);
    font.setWeight(QFont::Bold);
    // Set, not left to the application's font, which a desktop may make italic or underlined.
    font.setItalic(false);
    font.setUnderline(false);
    return font;
}

}  // namespace quorrel::app
