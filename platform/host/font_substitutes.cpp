#include "font_substitutes.h"

#include <QFont>
#include <QStringList>

namespace {
void substitute(const char *name, const QStringList &families)
{
    QFont::insertSubstitutions(QString::fromUtf8(name), families);
}
} // namespace

void installFontSubstitutes()
{
    const QString song = QStringLiteral("AR PL UMing CN");
    const QString hei = QStringLiteral("WenQuanYi Zen Hei");
    for (const char *name : {"宋体", "新宋体", "SimSun", "NSimSun"})
        substitute(name, {song, hei});
    for (const char *name : {"黑体", "SimHei"})
        substitute(name, {hei, song});
    // The window's own font, named by the design.
    substitute("AR PL UMing CN", {hei});
    // The clock's Roman type, and Qt's default font where the desktop names none (menus,
    // tooltips, dialogs): what fontconfig gives them from the package's fonts alone. Any font
    // installed besides (URW's Nimbus Roman, Droid Sans Fallback) would otherwise take them over.
    substitute("Times New Roman", {QStringLiteral("DejaVu Serif"), hei, song});
    substitute("Sans Serif", {QStringLiteral("DejaVu Sans"), hei, song});
    // Chinese glyphs in text set in a Latin font.
    substitute("DejaVu Sans", {hei, song});
}
