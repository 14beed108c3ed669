#include "window/looks.h"

#include <QStringList>

namespace window::looks {

QFont defaultFont()
{
    QFont font;
    font.setFamilies({QStringLiteral("Noto Sans CJK SC"), QStringLiteral("Source Han Sans SC"),
                      QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Microsoft YaHei"),
                      QStringLiteral("SimSun")});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(9);
    return font;
}

QFont boldSongFont()
{
    QFont font;
    font.setFamilies({QStringLiteral("SimSun"), QStringLiteral("宋体"), QStringLiteral("NSimSun"),
                      QStringLiteral("Noto Serif CJK SC"), QStringLiteral("Source Han Serif SC"),
                      QStringLiteral("AR PL UMing CN"), QStringLiteral("Noto Sans CJK SC")});
    font.setStyleHint(QFont::Serif);
    font.setPointSize(12);
    font.setBold(true);
    return font;
}

QFont creditsFont()
{
    QFont font = defaultFont();
    font.setPixelSize(10);
    return font;
}

} // namespace window::looks
