#pragma once

#include <QColor>
#include <QFont>
#include <QLabel>
#include <QRegion>

/// The label holding the character drawing. Its text colour changes with every received
/// character, so the colour is kept here and painted directly: a palette change per character
/// would cost more than everything else on the receive path together.
class CharacterDrawing : public QLabel
{
    Q_OBJECT
    Q_PROPERTY(QColor ForeColor READ ForeColor WRITE setForeColor)

public:
    explicit CharacterDrawing(QWidget *parent = nullptr);

    QColor ForeColor() const { return m_foreColor; }
    void setForeColor(const QColor &colour);

    /// Where the characters stand, the only part a colour change repaints.
    QRegion inkedRegion();
    QRegion coveredFromAbove() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QColor m_foreColor = Qt::black;
    bool m_repaintPending = false;
    QString m_inkedText;
    QFont m_inkedFont;
    QRect m_inkedRect;
    QRegion m_inked;
};
