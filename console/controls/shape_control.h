#pragma once

#include <QColor>
#include <QWidget>

/// The window's shape control: a circle centred in its box with a thin black outline, filled
/// with its fill colour, or with its back colour when opaque. The window's lamps are these.
class ShapeControl : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QColor FillColor READ FillColor WRITE setFillColor)
    Q_PROPERTY(FillStyles FillStyle READ FillStyle WRITE setFillStyle)
    Q_PROPERTY(QColor BackColor READ BackColor WRITE setBackColor)
    Q_PROPERTY(BackStyles BackStyle READ BackStyle WRITE setBackStyle)

public:
    enum FillStyles { Solid = 0, Transparent = 1 };
    Q_ENUM(FillStyles)
    enum BackStyles { Clear = 0, Opaque = 1 };
    Q_ENUM(BackStyles)

    explicit ShapeControl(QWidget *parent = nullptr);

    QColor FillColor() const { return m_fillColor; }
    void setFillColor(const QColor &colour);
    FillStyles FillStyle() const { return m_fillStyle; }
    void setFillStyle(FillStyles style);
    QColor BackColor() const { return m_backColor; }
    void setBackColor(const QColor &colour);
    BackStyles BackStyle() const { return m_backStyle; }
    void setBackStyle(BackStyles style);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QColor m_fillColor = Qt::black;
    FillStyles m_fillStyle = Transparent;
    QColor m_backColor = Qt::white;
    BackStyles m_backStyle = Clear;
};
