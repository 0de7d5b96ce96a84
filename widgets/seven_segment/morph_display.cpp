#include "morph_display.h"

MorphDisplay::MorphDisplay(QWidget *parent)
    : QWidget(parent)
{
    QPalette face = palette();
    face.setColor(QPalette::Window, Qt::black);
    setPalette(face);
    setAutoFillBackground(true);
}

void MorphDisplay::setValue(const QString &value)
{
    m_value = value;
}
