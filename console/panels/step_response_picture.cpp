#include "step_response_picture.h"

#include <QCoreApplication>
#include <QFont>
#include <QPainter>
#include <QPixmap>

namespace {
const char *const kCaption = QT_TRANSLATE_NOOP("StepResponsePicture", "超调量 σ% = A / B · 100%");
// The picture's caption strip under the curve, plain white, and the ink of its lettering.
const QRect kCaptionArea(0, 238, 338, 31);
const QColor kCaptionInk(20, 20, 20);
constexpr int kCaptionPixels = 13;
} // namespace

QPixmap stepResponsePicture()
{
    QPixmap picture(QStringLiteral(":/termiva/step_response.png"));
    const QString caption = QCoreApplication::translate("StepResponsePicture", kCaption);
    if (caption == QString::fromUtf8(kCaption))
        return picture;
    QPainter painter(&picture);
    painter.fillRect(kCaptionArea, Qt::white);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(kCaptionPixels);
    painter.setFont(font);
    painter.setPen(kCaptionInk);
    painter.drawText(kCaptionArea, Qt::AlignCenter, caption);
    return picture;
}
