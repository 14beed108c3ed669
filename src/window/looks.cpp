#include "window/looks.h"

#include <QStringList>

namespace window::looks {

namespace {

// The Song (Ming) face Chinese desktop programs are set in. Where no SimSun is
// installed, an installed CJK serif face stands in, so the Chinese renders in
// the same style.
QFont songFont()
{
    QFont font;
    font.setFamilies({QStringLiteral("SimSun"), QStringLiteral("宋体"), QStringLiteral("NSimSun"),
                      QStringLiteral("Noto Serif CJK SC"), QStringLiteral("Source Han Serif SC"),
                      QStringLiteral("AR PL UMing CN"), QStringLiteral("Noto Sans CJK SC")});
    font.setStyleHint(QFont::Serif);
    // Every control is set from the one regular face, bold included (SimSun
    // has no bold face either): a CJK face is tens of megabytes, and a second
    // one would cost the window a tenth more memory and start-up.
    font.setStyleName(QStringLiteral("Regular"));
    return font;
}

} // namespace

QFont defaultFont()
{
    QFont font = songFont();
    font.setPointSize(9);
    return font;
}

QFont boldSongFont()
{
    QFont font = songFont();
    font.setPointSize(12);
    font.setBold(true);
    return font;
}

QFont creditsFont()
{
    QFont font = songFont();
    font.setPixelSize(10);
    return font;
}

} // namespace window::looks
