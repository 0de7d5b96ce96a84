#include "morph_display.h"

#include "digit_model.h"
#include "gradient.h"
#include "ole_color.h"
#include "rounded_region.h"
#include "segment_patterns.h"
#include "surface_ops.h"

#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <cstdlib>

namespace {
// Segment sizes, gaps and offsets beyond this many pixels are refused: regions that large cost
// memory for nothing a display could show.
constexpr int kLargestGeometry = 4096;
// A colour that cannot be translated paints with all bits set.
constexpr QRgb kUntranslatable = 0xFFFFFFFF;

QRgb translated(OleColor colour)
{
    const std::optional<QColor> rgb = OleTranslateColor(colour);
    return rgb ? rgb->rgb() : kUntranslatable;
}

/// The colour as a plain 0x00BBGGRR value for the gradient, all bits set when untranslatable.
quint32 plainColour(OleColor colour)
{
    const std::optional<QColor> rgb = OleTranslateColor(colour);
    if (!rgb)
        return 0xFFFFFFFF;
    return quint32(rgb->red()) | quint32(rgb->green()) << 8 | quint32(rgb->blue()) << 16;
}

SeparatorKind separatorKind(qint32 value)
{
    return value == sepComma ? sepComma : sepPeriod;
}

} // namespace

MorphDisplay::MorphDisplay(QWidget *parent)
    : QWidget(parent)
{
    // Every pixel inside the outline comes from the surface, so nothing under the control needs
    // repainting when a digit changes.
    setAttribute(Qt::WA_OpaquePaintEvent);
    InitProperties();
    // A new instance is usable as it stands: it shows its default value.
    Rebuild();
    RenderValue(m_settings.Value, true);
}

MorphDisplay::~MorphDisplay()
{
    ReleaseBackBuffer();
}

bool MorphDisplay::withinGeometry(std::initializer_list<qint32> values)
{
    return std::all_of(values.begin(), values.end(),
        [](qint32 value) { return std::abs(qint64(value)) <= kLargestGeometry; });
}

bool MorphDisplay::layoutIsDrawable() const
{
    const DisplaySettings &s = m_settings;
    return s.NumDigits >= 0 && s.NumDigits <= kMaxDigits && s.NumDigitsExp >= 0
        && s.NumDigitsExp <= kMaxDigitsExp
        && withinGeometry({s.SegmentHeight, s.SegmentHeightExp, s.SegmentWidth, s.SegmentWidthExp,
            s.InterSegmentGap, s.InterSegmentGapExp, s.InterDigitGap, s.InterDigitGapExp, s.XOffset,
            s.XOffsetExp, s.YOffset, s.YOffsetExp});
}

/// Surfaces, background, shapes, brushes and cell positions from the current properties. A
/// layout the position tables cannot hold is refused and the last good one stays.
bool MorphDisplay::Rebuild()
{
    if (!layoutIsDrawable())
        return false;
    ComputeGradient();
    CreateBackBuffer();
    PaintBackground();
    PaintBorderAndShape();
    BuildShapes();
    MakeBrushes();
    LayoutCells();
    return true;
}

/// After a change of background, border or size: cells are erased to the new background.
void MorphDisplay::Redraw()
{
    CreateBackBuffer();
    PaintBackground();
    PaintBorderAndShape();
    RenderValue(m_settings.Value, true);
    update();
}

/// The background alone at the control's size, never taken from the surface that holds the
/// digits: the gradient, over it the picture and, with a picture, the border ring.
void MorphDisplay::CreateBackBuffer()
{
    ReleaseBackBuffer();
    m_backBuffer = QImage(size(), QImage::Format_RGB32);
    // Until the control first has a size there is no gradient to cover the buffer.
    m_backBuffer.fill(Qt::black);
    QPainter painter(&m_backBuffer);
    painter.drawImage(m_backBuffer.rect(), m_gradient);
    if (!picturePresent())
        return;
    PaintPicture(painter);
    painter.end();
    paintBorder(m_backBuffer);
}

void MorphDisplay::ReleaseBackBuffer()
{
    m_backBuffer = QImage();
}

void MorphDisplay::BuildShapes()
{
    m_decimalKind = separatorKind(m_settings.DecimalSeparator);
    m_thousandsKind = separatorKind(m_settings.ThousandsSeparator);
    m_main.metrics = {m_settings.SegmentHeight, m_settings.SegmentWidth, m_settings.InterSegmentGap,
        m_settings.SegmentStyle, m_settings.YOffset};
    m_exponent.metrics = {m_settings.SegmentHeightExp, m_settings.SegmentWidthExp,
        m_settings.InterSegmentGapExp, m_settings.SegmentStyleExp, m_settings.YOffsetExp};
    for (FieldLayout *field : {&m_main, &m_exponent}) {
        field->shapes =
            SegmentGeometry::buildShapes(field->metrics, m_decimalKind, m_thousandsKind);
        for (std::size_t slot = 0; slot < field->shapes.size(); ++slot)
            field->outlines[slot] = SegmentGeometry::outline(field->shapes[slot]);
        field->placements = SegmentGeometry::placements(field->metrics);
    }
}

void MorphDisplay::MakeBrushes()
{
    m_litPositive = translated(m_settings.SegmentLitColor);
    m_burnInPositive = translated(m_settings.BurnInColor);
    m_litNegative = translated(m_settings.SegmentLitColorNeg);
    m_burnInNegative = translated(m_settings.BurnInColorNeg);
}

void MorphDisplay::LayoutCells()
{
    m_numDigits = m_settings.NumDigits;
    m_numDigitsExp = m_settings.NumDigitsExp;
    m_main.cell = SegmentGeometry::cellSize(m_main.metrics);
    m_exponent.cell = SegmentGeometry::cellSize(m_exponent.metrics);
    m_main.x = SegmentGeometry::cellPositions(m_settings.BorderWidth + m_settings.XOffset,
        m_numDigits, m_main.cell.width(), m_settings.InterDigitGap);
    m_exponent.x = SegmentGeometry::cellPositions(m_settings.BorderWidth + m_settings.XOffsetExp,
        m_numDigitsExp, m_exponent.cell.width(), m_settings.InterDigitGapExp);
}

void MorphDisplay::ComputeGradient()
{
    const QImage gradient = ::ComputeGradient(width(), height(), plainColour(m_settings.BackColor1),
        plainColour(m_settings.BackColor2), m_settings.BackAngle, m_settings.BackMiddleOut);
    if (!gradient.isNull())
        m_gradient = gradient.convertToFormat(QImage::Format_RGB32);
}

bool MorphDisplay::picturePresent() const
{
    return !m_settings.Picture.isNull() && m_settings.Picture.width() > 0
        && m_settings.Picture.height() > 0;
}

/// The whole surface from the background, so that no pixel of an earlier surface survives.
void MorphDisplay::PaintBackground()
{
    m_surface = m_backBuffer;
}

void MorphDisplay::PaintPicture(QPainter &painter)
{
    const int border = m_settings.BorderWidth;
    switch (m_settings.PictureMode) {
    case picRegular:
        painter.drawPixmap(0, 0, m_settings.Picture);
        break;
    case picStretched:
        painter.drawPixmap(
            QRect(border, border, width() - border, height() - border), m_settings.Picture);
        break;
    case picTiled:
        m_tileBrush = QBrush(m_settings.Picture.toImage().convertToFormat(QImage::Format_RGB888));
        painter.setBrushOrigin(border, border);
        painter.fillRect(
            QRect(QPoint(border, border), QPoint(width() - border - 1, height() - border - 1)),
            m_tileBrush);
        break;
    default:
        break;
    }
}

/// The control's rectangle shrunk by inset on every side, its corners rounded.
QRegion MorphDisplay::roundedOutline(int inset) const
{
    const int w = width();
    const int h = height();
    // A corner cannot round more than the whole control.
    const auto curve = [limit = std::max(w, h)](
                           qint32 amount) { return std::clamp(amount, 0, limit); };
    return RoundedRegion(inset, inset, w - inset, h - inset, curve(m_settings.CurveTopLeft),
        curve(m_settings.CurveTopRight), curve(m_settings.CurveBottomLeft),
        curve(m_settings.CurveBottomRight));
}

void MorphDisplay::paintBorder(QImage &target) const
{
    const QRegion ring = roundedOutline(0) - roundedOutline(m_settings.BorderWidth);
    SurfaceOps::fillRegion(target, ring, {}, translated(m_settings.BorderColor));
}

/// The border ring, and the window cut to the rounded outer shape.
void MorphDisplay::PaintBorderAndShape()
{
    paintBorder(m_surface);
    setMask(roundedOutline(0));
    update();
}

void MorphDisplay::RenderValue(QString &value, bool force)
{
    value = DigitModel::normalized(value);
    const bool negative = DigitModel::isNegative(value);
    if (negative != m_isNegative) {
        // New colours: every cell repaints.
        m_lastMainText = QString(m_numDigits, u'X');
        m_lastExpText = QString(m_numDigitsExp, u'X');
    }
    m_isNegative = negative;
    const SplitValue split = DigitModel::SplitExponent(value, m_numDigitsExp);
    DrawMainField(split.mantissa, force);
    if (m_settings.ShowExponent)
        DrawExponentField(split.exponent, force);
}

void MorphDisplay::DrawMainField(QString mantissa, bool force)
{
    if (m_settings.ShowThousandsSeparator)
        DrawThousandsSeparators(
            DigitModel::MarkThousands(mantissa, m_numDigits, m_settings.ThousandsGrouping));
    drawDecimalMark(mantissa);
    drawColon(mantissa);
    repaintCells(
        DigitModel::rightAligned(mantissa, m_numDigits), m_lastMainText, Field::Main, force);
}

void MorphDisplay::drawDecimalMark(QString &mantissa)
{
    if (m_decimalPoint)
        eraseMark(slotDecimalMark, m_decimalKind, *m_decimalPoint);
    m_decimalPoint.reset();
    const qsizetype point = mantissa.indexOf(u'.');
    if (point < 0)
        return;
    const int cell = DigitModel::markCell(m_numDigits, int(point) + 1, int(mantissa.size()));
    mantissa.remove(point, 1);
    if (cell < 0 || cell >= m_numDigits)
        return;
    m_decimalPoint = markPosition(m_decimalKind, cell);
    paintMark(slotDecimalMark, *m_decimalPoint);
}

void MorphDisplay::drawColon(QString &mantissa)
{
    if (m_colon) {
        for (const QPoint &dot : *m_colon)
            SurfaceOps::copyRect(
                m_surface, m_backBuffer, QRect(dot, QSize(m_main.metrics.SW, m_main.metrics.SW)));
    }
    m_colon.reset();
    const qsizetype colon = mantissa.indexOf(u':');
    if (colon < 0)
        return;
    const int cell = DigitModel::markCell(m_numDigits, int(colon) + 1, int(mantissa.size()));
    mantissa.remove(colon, 1);
    if (cell < 0 || cell >= m_numDigits)
        return;
    m_colon = SegmentGeometry::colonPositions(
        m_main.x[std::size_t(cell)], m_main.cell.width(), m_settings.InterDigitGap, m_main.metrics);
    for (const QPoint &dot : *m_colon)
        PaintSegment(m_main, slotDecimalMark, dot, true);
}

void MorphDisplay::DrawThousandsSeparators(const std::vector<bool> &flags)
{
    for (int cell = 0; cell < m_numDigits; ++cell) {
        const QPoint at = markPosition(m_thousandsKind, cell);
        if (flags[std::size_t(cell)])
            paintMark(slotThousandsMark, at);
        else
            eraseMark(slotThousandsMark, m_thousandsKind, at);
    }
}

QPoint MorphDisplay::markPosition(SeparatorKind kind, int cell) const
{
    return SegmentGeometry::markPosition(
        kind, m_main.x[std::size_t(cell)], m_main.cell, m_settings.InterDigitGap, m_main.metrics);
}

void MorphDisplay::paintMark(ShapeSlot slot, QPoint at)
{
    PaintSegment(m_main, slot, at, true);
}

void MorphDisplay::eraseMark(ShapeSlot slot, SeparatorKind kind, QPoint at)
{
    if (kind == sepPeriod) {
        const int side = m_main.metrics.SW;
        SurfaceOps::copyRect(m_surface, m_backBuffer, QRect(at, QSize(side, side)));
        return;
    }
    SurfaceOps::copyRegion(m_surface, m_backBuffer, m_main.shapes[std::size_t(slot)], at);
}

void MorphDisplay::DrawExponentField(const QString &exponent, bool force)
{
    repaintCells(
        DigitModel::rightAligned(exponent, m_numDigitsExp), m_lastExpText, Field::Exponent, force);
}

/// Repaints the cells whose character changed (all of them when forced), then shows the field.
void MorphDisplay::repaintCells(const QString &text, QString &lastText, Field field, bool force)
{
    for (int cell = 0; cell < int(text.size()); ++cell) {
        if (force || cell >= lastText.size() || text.at(cell) != lastText.at(cell))
            DrawDigit(text.at(cell), field, cell);
    }
    update();
    lastText = text;
}

void MorphDisplay::DrawDigit(QChar character, Field field, int cell)
{
    const FieldLayout &layout = field == Field::Main ? m_main : m_exponent;
    const QPoint origin(layout.x[std::size_t(cell)], layout.metrics.yOffset);
    SurfaceOps::copyRect(m_surface, m_backBuffer, QRect(origin, layout.cell));
    ++m_paintedCells;
    const int pattern = SegmentPatterns::PatternIndexOf(character, m_settings.ShowBurnIn);
    if (pattern == SegmentPatterns::kNothing)
        return;
    for (int segment = 0; segment < 7; ++segment) {
        const SegmentPlacement &placement = layout.placements[std::size_t(segment)];
        PaintSegment(layout, placement.slot, origin + placement.offset,
            SegmentPatterns::lit(pattern, segment));
    }
}

void MorphDisplay::PaintSegment(const FieldLayout &layout, int slot, QPoint at, bool lit)
{
    if (!lit && !m_settings.ShowBurnIn)
        return;
    const QRgb colour = lit ? (m_isNegative ? m_litNegative : m_litPositive)
                            : (m_isNegative ? m_burnInNegative : m_burnInPositive);
    const ShapeSet &shapes =
        m_settings.SegmentFillStyle == fillSolid ? layout.shapes : layout.outlines;
    SurfaceOps::fillRegion(m_surface, shapes[std::size_t(slot)], at, colour);
}

void MorphDisplay::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    painter.drawImage(event->rect(), m_surface, event->rect());
}

void MorphDisplay::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    ComputeGradient();
    Redraw();
}
