#pragma once

#include "display_properties.h"
#include "display_settings.h"
#include "segment_geometry.h"

#include <QBrush>
#include <QImage>
#include <QStringList>
#include <QWidget>

#include <optional>
#include <vector>

class PropertyBag;
class QPainter;

/// Seven-segment display of a text value: a main field and an exponent field of digit cells,
/// right-aligned, over a gradient or picture background in a border ring, with rounded corners.
/// Everything is drawn into a persistent surface that painting only copies; a change of value
/// repaints just the cells whose character changed. Setters store unchecked values and report
/// a failed rebuild to the caller; the display then keeps showing its last good layout.
class MorphDisplay : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(float BackAngle READ BackAngle WRITE setBackAngle)
    Q_PROPERTY(quint32 BackColor1 READ BackColor1 WRITE setBackColor1)
    Q_PROPERTY(quint32 BackColor2 READ BackColor2 WRITE setBackColor2)
    Q_PROPERTY(bool BackMiddleOut READ BackMiddleOut WRITE setBackMiddleOut)
    Q_PROPERTY(quint32 BorderColor READ BorderColor WRITE setBorderColor)
    Q_PROPERTY(qint16 BorderWidth READ BorderWidth WRITE setBorderWidth)
    Q_PROPERTY(quint32 BurnInColor READ BurnInColor WRITE setBurnInColor)
    Q_PROPERTY(quint32 BurnInColorNeg READ BurnInColorNeg WRITE setBurnInColorNeg)
    Q_PROPERTY(qint32 CurveBottomLeft READ CurveBottomLeft WRITE setCurveBottomLeft)
    Q_PROPERTY(qint32 CurveBottomRight READ CurveBottomRight WRITE setCurveBottomRight)
    Q_PROPERTY(qint32 CurveTopLeft READ CurveTopLeft WRITE setCurveTopLeft)
    Q_PROPERTY(qint32 CurveTopRight READ CurveTopRight WRITE setCurveTopRight)
    Q_PROPERTY(qint32 DecimalSeparator READ DecimalSeparator WRITE setDecimalSeparator)
    Q_PROPERTY(qint32 InterDigitGap READ InterDigitGap WRITE setInterDigitGap)
    Q_PROPERTY(qint32 InterDigitGapExp READ InterDigitGapExp WRITE setInterDigitGapExp)
    Q_PROPERTY(qint32 InterSegmentGap READ InterSegmentGap WRITE setInterSegmentGap)
    Q_PROPERTY(qint32 InterSegmentGapExp READ InterSegmentGapExp WRITE setInterSegmentGapExp)
    Q_PROPERTY(qint32 NumDigits READ NumDigits WRITE setNumDigits)
    Q_PROPERTY(qint32 NumDigitsExp READ NumDigitsExp WRITE setNumDigitsExp)
    Q_PROPERTY(QPixmap Picture READ Picture WRITE setPicture)
    Q_PROPERTY(qint32 PictureMode READ PictureMode WRITE setPictureMode)
    Q_PROPERTY(qint32 SegmentFillStyle READ SegmentFillStyle WRITE setSegmentFillStyle)
    Q_PROPERTY(qint32 SegmentHeight READ SegmentHeight WRITE setSegmentHeight)
    Q_PROPERTY(qint32 SegmentHeightExp READ SegmentHeightExp WRITE setSegmentHeightExp)
    Q_PROPERTY(quint32 SegmentLitColor READ SegmentLitColor WRITE setSegmentLitColor)
    Q_PROPERTY(quint32 SegmentLitColorNeg READ SegmentLitColorNeg WRITE setSegmentLitColorNeg)
    Q_PROPERTY(qint32 SegmentStyle READ SegmentStyle WRITE setSegmentStyle)
    Q_PROPERTY(qint32 SegmentStyleExp READ SegmentStyleExp WRITE setSegmentStyleExp)
    Q_PROPERTY(qint32 SegmentWidth READ SegmentWidth WRITE setSegmentWidth)
    Q_PROPERTY(qint32 SegmentWidthExp READ SegmentWidthExp WRITE setSegmentWidthExp)
    Q_PROPERTY(bool ShowBurnIn READ ShowBurnIn WRITE setShowBurnIn)
    Q_PROPERTY(bool ShowExponent READ ShowExponent WRITE setShowExponent)
    Q_PROPERTY(
        bool ShowThousandsSeparator READ ShowThousandsSeparator WRITE setShowThousandsSeparator)
    Q_PROPERTY(qint32 Theme READ Theme WRITE setTheme)
    Q_PROPERTY(qint32 ThousandsGrouping READ ThousandsGrouping WRITE setThousandsGrouping)
    Q_PROPERTY(qint32 ThousandsSeparator READ ThousandsSeparator WRITE setThousandsSeparator)
    Q_PROPERTY(QString Value READ Value WRITE setValue)
    Q_PROPERTY(qint32 XOffset READ XOffset WRITE setXOffset)
    Q_PROPERTY(qint32 XOffsetExp READ XOffsetExp WRITE setXOffsetExp)
    Q_PROPERTY(qint32 YOffset READ YOffset WRITE setYOffset)
    Q_PROPERTY(qint32 YOffsetExp READ YOffsetExp WRITE setYOffsetExp)
public:
    /// Cells a field's position table holds.
    static constexpr int kMaxDigits = 50;
    static constexpr int kMaxDigitsExp = 5;

    explicit MorphDisplay(QWidget *parent = nullptr);
    ~MorphDisplay() override;

    float BackAngle() const { return m_settings.BackAngle; }
    bool setBackAngle(float value);
    quint32 BackColor1() const { return m_settings.BackColor1; }
    bool setBackColor1(quint32 value);
    quint32 BackColor2() const { return m_settings.BackColor2; }
    bool setBackColor2(quint32 value);
    bool BackMiddleOut() const { return m_settings.BackMiddleOut; }
    bool setBackMiddleOut(bool value);
    quint32 BorderColor() const { return m_settings.BorderColor; }
    bool setBorderColor(quint32 value);
    qint16 BorderWidth() const { return m_settings.BorderWidth; }
    bool setBorderWidth(qint16 value);
    quint32 BurnInColor() const { return m_settings.BurnInColor; }
    bool setBurnInColor(quint32 value);
    quint32 BurnInColorNeg() const { return m_settings.BurnInColorNeg; }
    bool setBurnInColorNeg(quint32 value);
    qint32 CurveBottomLeft() const { return m_settings.CurveBottomLeft; }
    bool setCurveBottomLeft(qint32 value);
    qint32 CurveBottomRight() const { return m_settings.CurveBottomRight; }
    bool setCurveBottomRight(qint32 value);
    qint32 CurveTopLeft() const { return m_settings.CurveTopLeft; }
    bool setCurveTopLeft(qint32 value);
    qint32 CurveTopRight() const { return m_settings.CurveTopRight; }
    bool setCurveTopRight(qint32 value);
    qint32 DecimalSeparator() const { return m_settings.DecimalSeparator; }
    bool setDecimalSeparator(qint32 value);
    qint32 InterDigitGap() const { return m_settings.InterDigitGap; }
    bool setInterDigitGap(qint32 value);
    qint32 InterDigitGapExp() const { return m_settings.InterDigitGapExp; }
    bool setInterDigitGapExp(qint32 value);
    qint32 InterSegmentGap() const { return m_settings.InterSegmentGap; }
    bool setInterSegmentGap(qint32 value);
    qint32 InterSegmentGapExp() const { return m_settings.InterSegmentGapExp; }
    bool setInterSegmentGapExp(qint32 value);
    qint32 NumDigits() const { return m_settings.NumDigits; }
    bool setNumDigits(qint32 value);
    qint32 NumDigitsExp() const { return m_settings.NumDigitsExp; }
    bool setNumDigitsExp(qint32 value);
    QPixmap Picture() const { return m_settings.Picture; }
    bool setPicture(const QPixmap &value);
    qint32 PictureMode() const { return m_settings.PictureMode; }
    bool setPictureMode(qint32 value);
    qint32 SegmentFillStyle() const { return m_settings.SegmentFillStyle; }
    bool setSegmentFillStyle(qint32 value);
    qint32 SegmentHeight() const { return m_settings.SegmentHeight; }
    bool setSegmentHeight(qint32 value);
    qint32 SegmentHeightExp() const { return m_settings.SegmentHeightExp; }
    bool setSegmentHeightExp(qint32 value);
    quint32 SegmentLitColor() const { return m_settings.SegmentLitColor; }
    bool setSegmentLitColor(quint32 value);
    quint32 SegmentLitColorNeg() const { return m_settings.SegmentLitColorNeg; }
    bool setSegmentLitColorNeg(quint32 value);
    qint32 SegmentStyle() const { return m_settings.SegmentStyle; }
    bool setSegmentStyle(qint32 value);
    qint32 SegmentStyleExp() const { return m_settings.SegmentStyleExp; }
    bool setSegmentStyleExp(qint32 value);
    qint32 SegmentWidth() const { return m_settings.SegmentWidth; }
    bool setSegmentWidth(qint32 value);
    qint32 SegmentWidthExp() const { return m_settings.SegmentWidthExp; }
    bool setSegmentWidthExp(qint32 value);
    bool ShowBurnIn() const { return m_settings.ShowBurnIn; }
    bool setShowBurnIn(bool value);
    bool ShowExponent() const { return m_settings.ShowExponent; }
    bool setShowExponent(bool value);
    bool ShowThousandsSeparator() const { return m_settings.ShowThousandsSeparator; }
    bool setShowThousandsSeparator(bool value);
    qint32 Theme() const { return m_settings.Theme; }
    bool setTheme(qint32 value);
    qint32 ThousandsGrouping() const { return m_settings.ThousandsGrouping; }
    bool setThousandsGrouping(qint32 value);
    qint32 ThousandsSeparator() const { return m_settings.ThousandsSeparator; }
    bool setThousandsSeparator(qint32 value);
    QString Value() const { return m_settings.Value; }
    bool setValue(const QString &value);
    qint32 XOffset() const { return m_settings.XOffset; }
    bool setXOffset(qint32 value);
    qint32 XOffsetExp() const { return m_settings.XOffsetExp; }
    bool setXOffsetExp(qint32 value);
    qint32 YOffset() const { return m_settings.YOffset; }
    bool setYOffset(qint32 value);
    qint32 YOffsetExp() const { return m_settings.YOffsetExp; }
    bool setYOffsetExp(qint32 value);
    void InitProperties();
    /// Loads Picture first, then the rest, evens odd segment sizes of slanted styles, rebuilds.
    /// A stored value that cannot be read takes its default and is named in unread; false then,
    /// as when the rebuild is refused.
    bool ReadProperties(const PropertyBag &bag, QStringList *unread = nullptr);
    void WriteProperties(PropertyBag &bag) const;

    /// The designer's help text and category of a property; empty for an unknown name.
    static QString PropertyHelp(const QString &name);
    static QString PropertyCategory(const QString &name);

    /// Digit cells repainted since creation.
    qint64 paintedCellCount() const { return m_paintedCells; }
    const QImage &surface() const { return m_surface; }

signals:
    void PropertyChanged(const QString &name);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    struct FieldLayout
    {
        FieldMetrics metrics;
        QSize cell;
        std::vector<int> x;
        ShapeSet shapes;
        ShapeSet outlines;
        std::array<SegmentPlacement, 7> placements{};
    };
    enum class Field { Main, Exponent };

    bool change(const QString &name, const QVariant &value);
    bool doWork(PropertyWork work);
    bool applyTheme();
    QStringList readStoredSettings(const PropertyBag &bag);

    bool Rebuild();
    void Redraw();
    bool layoutIsDrawable() const;
    void CreateBackBuffer();
    void ReleaseBackBuffer();
    void BuildShapes();
    void MakeBrushes();
    void LayoutCells();

    void ComputeGradient();
    void PaintBackground();
    void PaintPicture(QPainter &painter);
    QRegion roundedOutline(int inset) const;
    void paintBorder(QImage &target) const;
    void PaintBorderAndShape();
    bool picturePresent() const;

    void RenderValue(QString &value, bool force);
    void DrawMainField(QString mantissa, bool force);
    void DrawExponentField(const QString &exponent, bool force);
    void drawDecimalMark(QString &mantissa);
    void drawColon(QString &mantissa);
    void DrawThousandsSeparators(const std::vector<bool> &flags);
    void repaintCells(const QString &text, QString &lastText, Field field, bool force);
    void DrawDigit(QChar character, Field field, int cell);
    void PaintSegment(const FieldLayout &layout, int slot, QPoint at, bool lit);
    void paintMark(int slot, QPoint at);
    void eraseMark(int slot, SeparatorKind kind, QPoint at);
    QPoint markPosition(SeparatorKind kind, int cell) const;

    DisplaySettings m_settings;

    QImage m_surface;
    QImage m_backBuffer;
    QImage m_gradient;
    QBrush m_tileBrush;

    FieldLayout m_main;
    FieldLayout m_exponent;
    int m_numDigits = 0;
    int m_numDigitsExp = 0;
    SeparatorKind m_decimalKind = sepPeriod;
    SeparatorKind m_thousandsKind = sepComma;

    QRgb m_litPositive = 0;
    QRgb m_burnInPositive = 0;
    QRgb m_litNegative = 0;
    QRgb m_burnInNegative = 0;

    QString m_lastMainText;
    QString m_lastExpText;
    bool m_isNegative = false;
    std::optional<QPoint> m_decimalPoint;
    std::optional<std::array<QPoint, 2>> m_colon;
    qint64 m_paintedCells = 0;
};
