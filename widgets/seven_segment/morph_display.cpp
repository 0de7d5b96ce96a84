#include "morph_display.h"

#include "digit_model.h"
#include "display_themes.h"
#include "gradient.h"
#include "ole_color.h"
#include "property_bag.h"
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

bool withinGeometry(std::initializer_list<qint32> values)
{
    return std::all_of(values.begin(), values.end(),
        [](qint32 value) { return std::abs(qint64(value)) <= kLargestGeometry; });
}

/// Slanted segments need even sizes to meet in a point. An oversized one is left as it is, for
/// the rebuild to refuse.
qint32 raisedToEven(qint32 size)
{
    return withinGeometry({size}) && size % 2 != 0 ? size + 1 : size;
}
} // namespace

MorphDisplay::MorphDisplay(QWidget *parent)
    : QWidget(parent)
{
    InitProperties();
    // A new instance is usable as it stands: it shows its default value.
    Rebuild();
    RenderValue(m_settings.Value, true);
}

MorphDisplay::~MorphDisplay()
{
    ReleaseBackBuffer();
}

bool MorphDisplay::setBackAngle(float value)
{
    return change(QStringLiteral("BackAngle"), QVariant::fromValue(value));
}

bool MorphDisplay::setBackColor1(quint32 value)
{
    return change(QStringLiteral("BackColor1"), QVariant::fromValue(value));
}

bool MorphDisplay::setBackColor2(quint32 value)
{
    return change(QStringLiteral("BackColor2"), QVariant::fromValue(value));
}

bool MorphDisplay::setBackMiddleOut(bool value)
{
    return change(QStringLiteral("BackMiddleOut"), QVariant::fromValue(value));
}

bool MorphDisplay::setBorderColor(quint32 value)
{
    return change(QStringLiteral("BorderColor"), QVariant::fromValue(value));
}

bool MorphDisplay::setBorderWidth(qint16 value)
{
    return change(QStringLiteral("BorderWidth"), QVariant::fromValue(value));
}

bool MorphDisplay::setBurnInColor(quint32 value)
{
    return change(QStringLiteral("BurnInColor"), QVariant::fromValue(value));
}

bool MorphDisplay::setBurnInColorNeg(quint32 value)
{
    return change(QStringLiteral("BurnInColorNeg"), QVariant::fromValue(value));
}

bool MorphDisplay::setCurveBottomLeft(qint32 value)
{
    return change(QStringLiteral("CurveBottomLeft"), QVariant::fromValue(value));
}

bool MorphDisplay::setCurveBottomRight(qint32 value)
{
    return change(QStringLiteral("CurveBottomRight"), QVariant::fromValue(value));
}

bool MorphDisplay::setCurveTopLeft(qint32 value)
{
    return change(QStringLiteral("CurveTopLeft"), QVariant::fromValue(value));
}

bool MorphDisplay::setCurveTopRight(qint32 value)
{
    return change(QStringLiteral("CurveTopRight"), QVariant::fromValue(value));
}

bool MorphDisplay::setDecimalSeparator(qint32 value)
{
    return change(QStringLiteral("DecimalSeparator"), QVariant::fromValue(value));
}

bool MorphDisplay::setInterDigitGap(qint32 value)
{
    return change(QStringLiteral("InterDigitGap"), QVariant::fromValue(value));
}

bool MorphDisplay::setInterDigitGapExp(qint32 value)
{
    return change(QStringLiteral("InterDigitGapExp"), QVariant::fromValue(value));
}

bool MorphDisplay::setInterSegmentGap(qint32 value)
{
    return change(QStringLiteral("InterSegmentGap"), QVariant::fromValue(value));
}

bool MorphDisplay::setInterSegmentGapExp(qint32 value)
{
    return change(QStringLiteral("InterSegmentGapExp"), QVariant::fromValue(value));
}

bool MorphDisplay::setNumDigits(qint32 value)
{
    return change(QStringLiteral("NumDigits"), QVariant::fromValue(value));
}

bool MorphDisplay::setNumDigitsExp(qint32 value)
{
    return change(QStringLiteral("NumDigitsExp"), QVariant::fromValue(value));
}

bool MorphDisplay::setPicture(const QPixmap &value)
{
    return change(QStringLiteral("Picture"), QVariant::fromValue(value));
}

bool MorphDisplay::setPictureMode(qint32 value)
{
    return change(QStringLiteral("PictureMode"), QVariant::fromValue(value));
}

bool MorphDisplay::setSegmentFillStyle(qint32 value)
{
    return change(QStringLiteral("SegmentFillStyle"), QVariant::fromValue(value));
}

bool MorphDisplay::setSegmentHeight(qint32 value)
{
    return change(QStringLiteral("SegmentHeight"), QVariant::fromValue(value));
}

bool MorphDisplay::setSegmentHeightExp(qint32 value)
{
    return change(QStringLiteral("SegmentHeightExp"), QVariant::fromValue(value));
}

bool MorphDisplay::setSegmentLitColor(quint32 value)
{
    return change(QStringLiteral("SegmentLitColor"), QVariant::fromValue(value));
}

bool MorphDisplay::setSegmentLitColorNeg(quint32 value)
{
    return change(QStringLiteral("SegmentLitColorNeg"), QVariant::fromValue(value));
}

bool MorphDisplay::setSegmentStyle(qint32 value)
{
    return change(QStringLiteral("SegmentStyle"), QVariant::fromValue(value));
}

bool MorphDisplay::setSegmentStyleExp(qint32 value)
{
    return change(QStringLiteral("SegmentStyleExp"), QVariant::fromValue(value));
}

bool MorphDisplay::setSegmentWidth(qint32 value)
{
    return change(QStringLiteral("SegmentWidth"), QVariant::fromValue(value));
}

bool MorphDisplay::setSegmentWidthExp(qint32 value)
{
    return change(QStringLiteral("SegmentWidthExp"), QVariant::fromValue(value));
}

bool MorphDisplay::setShowBurnIn(bool value)
{
    return change(QStringLiteral("ShowBurnIn"), QVariant::fromValue(value));
}

bool MorphDisplay::setShowExponent(bool value)
{
    return change(QStringLiteral("ShowExponent"), QVariant::fromValue(value));
}

bool MorphDisplay::setShowThousandsSeparator(bool value)
{
    return change(QStringLiteral("ShowThousandsSeparator"), QVariant::fromValue(value));
}

bool MorphDisplay::setTheme(qint32 value)
{
    return change(QStringLiteral("Theme"), QVariant::fromValue(value));
}

bool MorphDisplay::setThousandsGrouping(qint32 value)
{
    return change(QStringLiteral("ThousandsGrouping"), QVariant::fromValue(value));
}

bool MorphDisplay::setThousandsSeparator(qint32 value)
{
    return change(QStringLiteral("ThousandsSeparator"), QVariant::fromValue(value));
}

bool MorphDisplay::setXOffset(qint32 value)
{
    return change(QStringLiteral("XOffset"), QVariant::fromValue(value));
}

bool MorphDisplay::setXOffsetExp(qint32 value)
{
    return change(QStringLiteral("XOffsetExp"), QVariant::fromValue(value));
}

bool MorphDisplay::setYOffset(qint32 value)
{
    return change(QStringLiteral("YOffset"), QVariant::fromValue(value));
}

bool MorphDisplay::setYOffsetExp(qint32 value)
{
    return change(QStringLiteral("YOffsetExp"), QVariant::fromValue(value));
}

bool MorphDisplay::setValue(const QString &value)
{
    m_settings.Value = value;
    emit PropertyChanged(QStringLiteral("Value"));
    RenderValue(m_settings.Value, false);
    return true;
}

/// Stores the value unchecked, tells the host, then does the property's work.
bool MorphDisplay::change(const QString &name, const QVariant &value)
{
    const DisplayProperty *property = DisplayProperties::find(name);
    if (!property || !property->write(m_settings, value))
        return false;
    emit PropertyChanged(QLatin1String(property->name));
    return doWork(property->work);
}

bool MorphDisplay::doWork(PropertyWork work)
{
    switch (work) {
    case PropertyWork::Rebuild:
        if (!Rebuild())
            return false;
        RenderValue(m_settings.Value, true);
        return true;
    case PropertyWork::Gradient:
        ComputeGradient();
        [[fallthrough]];
    case PropertyWork::Redraw:
        Redraw();
        return true;
    case PropertyWork::Render:
        RenderValue(m_settings.Value, true);
        return true;
    case PropertyWork::Value:
        RenderValue(m_settings.Value, false);
        return true;
    case PropertyWork::Theme:
        return applyTheme();
    }
    return false;
}

bool MorphDisplay::applyTheme()
{
    if (const std::optional<QSize> size = DisplayThemes::apply(m_settings.Theme, m_settings))
        resize(*size);
    const bool rebuilt = Rebuild();
    Redraw();
    return rebuilt;
}

void MorphDisplay::InitProperties()
{
    m_settings = DisplaySettings();
}

bool MorphDisplay::ReadProperties(const PropertyBag &bag, QStringList *unread)
{
    const QStringList failed = readStoredSettings(bag);
    if (unread)
        *unread = failed;
    if (m_settings.SegmentStyle == segHexagonal || m_settings.SegmentStyle == segTrapezoidal) {
        m_settings.SegmentWidth = raisedToEven(m_settings.SegmentWidth);
        m_settings.SegmentHeight = raisedToEven(m_settings.SegmentHeight);
    }
    if (!Rebuild())
        return false;
    RenderValue(m_settings.Value, true);
    return failed.isEmpty();
}

/// Every stored setting, the default for one missing or unreadable; returns the unreadable.
QStringList MorphDisplay::readStoredSettings(const PropertyBag &bag)
{
    const DisplaySettings defaults;
    QStringList failed;
    for (const DisplayProperty &property : DisplayProperties::all()) {
        const QString name = QLatin1String(property.name);
        const QVariant fallback = property.read(defaults);
        const QVariant stored = bag.ReadProperty(name, fallback);
        if (property.write(m_settings, stored))
            continue;
        qWarning("MorphDisplay: stored %s \"%s\" cannot be read; the default is used",
            property.name, qUtf8Printable(stored.toString()));
        property.write(m_settings, fallback);
        failed.append(name);
    }
    return failed;
}

void MorphDisplay::WriteProperties(PropertyBag &bag) const
{
    const DisplaySettings defaults;
    for (const DisplayProperty &property : DisplayProperties::all()) {
        const QString name = QLatin1String(property.name);
        if (std::holds_alternative<QPixmap DisplaySettings::*>(property.member)) {
            if (!m_settings.Picture.isNull())
                bag.WriteProperty(name, QVariant::fromValue(m_settings.Picture), QVariant());
            continue;
        }
        bag.WriteProperty(name, property.read(m_settings), property.read(defaults));
    }
}

QString MorphDisplay::PropertyHelp(const QString &name)
{
    const DisplayProperty *property = DisplayProperties::find(name);
    return property ? QString::fromUtf8(property->help) : QString();
}

QString MorphDisplay::PropertyCategory(const QString &name)
{
    const DisplayProperty *property = DisplayProperties::find(name);
    return property ? QString::fromUtf8(property->category) : QString();
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
    case 0:
        painter.drawPixmap(0, 0, m_settings.Picture);
        break;
    case 1:
        painter.drawPixmap(
            QRect(border, border, width() - border, height() - border), m_settings.Picture);
        break;
    case 2:
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
        eraseMark(8, m_decimalKind, *m_decimalPoint);
    m_decimalPoint.reset();
    const qsizetype point = mantissa.indexOf(u'.');
    if (point < 0)
        return;
    const int cell = DigitModel::markCell(m_numDigits, int(point) + 1, int(mantissa.size()));
    mantissa.remove(point, 1);
    if (cell < 0 || cell >= m_numDigits)
        return;
    m_decimalPoint = markPosition(m_decimalKind, cell);
    paintMark(8, *m_decimalPoint);
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
        PaintSegment(m_main, 8, dot, true);
}

void MorphDisplay::DrawThousandsSeparators(const std::vector<bool> &flags)
{
    for (int cell = 0; cell < m_numDigits; ++cell) {
        const QPoint at = markPosition(m_thousandsKind, cell);
        if (flags[std::size_t(cell)])
            paintMark(9, at);
        else
            eraseMark(9, m_thousandsKind, at);
    }
}

QPoint MorphDisplay::markPosition(SeparatorKind kind, int cell) const
{
    return SegmentGeometry::markPosition(
        kind, m_main.x[std::size_t(cell)], m_main.cell, m_settings.InterDigitGap, m_main.metrics);
}

void MorphDisplay::paintMark(int slot, QPoint at)
{
    PaintSegment(m_main, slot, at, true);
}

void MorphDisplay::eraseMark(int slot, SeparatorKind kind, QPoint at)
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
