#include "font_substitutes.h"

#include <QFont>
#include <QStringList>

void installFontSubstitutes()
{
    const QStringList songStyle{
        QStringLiteral("AR PL UMing CN"), QStringLiteral("WenQuanYi Zen Hei")};
    const QStringList heiStyle{
        QStringLiteral("WenQuanYi Zen Hei"), QStringLiteral("AR PL UMing CN")};
    for (const char *name : {"宋体", "新宋体", "SimSun", "NSimSun"})
        QFont::insertSubstitutions(QString::fromUtf8(name), songStyle);
    for (const char *name : {"黑体", "SimHei"})
        QFont::insertSubstitutions(QString::fromUtf8(name), heiStyle);
}
