#include "platform/DialogFont.h"

namespace platform {

QFont DialogFont()
{
    QFont font;
    font.setFamilies(QStringList{QStringLiteral("Liberation Sans"), QStringLiteral("Arial")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(DialogFontPixelSize);
    return font;
}

} // namespace platform
