#include "uc_histogram.h"

#include "ole_color.h"

ucHistogram::ucHistogram(QWidget *parent)
    : QWidget(parent)
{
    QPalette face = palette();
    face.setColor(QPalette::Window, OleTranslateColor(SystemColor::ButtonText).value_or(Qt::black));
    setPalette(face);
    setAutoFillBackground(true);
}
