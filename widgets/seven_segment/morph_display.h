#pragma once

#include "display_properties.h"
#include "display_settings.h"
#include "segment_geometry.h"

#include <QBrush>
#include <QImage>
#include <QStringList>
#include <QWidget>

#include <initializer_list>
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

#ifndef Q_MOC_RUN
// A getter and a setter for every property; the setter stores, notifies, does the work.
#define MORPH_DISPLAY_ACCESSORS(type, name, ...)                                                   \
    type name() const                                                                              \
    {                                                                                              \
        return m_settings.name;                                                                    \
    }                                                                                              \
    bool set##name(SetterArgument<type> value);
    MORPH_DISPLAY_PROPERTIES(MORPH_DISPLAY_ACCESSORS)
#undef MORPH_DISPLAY_ACCESSORS
#endif
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
    qint64 paintedCellCount() const
    {
        return m_paintedCells;
    }
    const QImage &surface() const
    {
        return m_surface;
    }

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

    template <typename T> bool change(DisplayPropertyId id, const T &value);
    bool doWork(PropertyWork work);
    bool applyTheme();
    QStringList readStoredSettings(const PropertyBag &bag);
    void evenSlantedSegments();
    /// Segment sizes, gaps and offsets within the pixels a display could show.
    static bool withinGeometry(std::initializer_list<qint32> values);

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
    void paintMark(ShapeSlot slot, QPoint at);
    void eraseMark(ShapeSlot slot, SeparatorKind kind, QPoint at);
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
