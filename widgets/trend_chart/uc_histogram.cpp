#include "uc_histogram.h"

#include "line_raster.h"
#include "property_bag.h"
#include "twips.h"

#include <QPainter>
#include <QShowEvent>

#include <cmath>
#include <cstring>
#include <limits>

namespace {
// Canvas columns left of the face: drawn, never shown.
constexpr int kHiddenStrip = 8;

struct Defaults
{
    static constexpr qint16 Appearance = 1;
    static constexpr qint16 BorderStyle = 1;
    static constexpr qint16 DrawWidth = 1;
    static constexpr qint16 GridTickHorizontal = 10;
    static constexpr qint16 GridTickVertical = 25;
    static constexpr qint32 NumberOfPoints = 100;
    static constexpr OleColor BackColor = SystemColor::ButtonText;
    static constexpr OleColor GridColour = 0x008000;
    static constexpr qint32 Max = 100;
    static constexpr OleColor ForeColor = 0x00FF00;
};

std::optional<qint16> toTicks(const QVariant &value)
{
    bool ok = false;
    const double number = value.typeId() == QMetaType::QString
        ? value.toString().trimmed().toDouble(&ok)
        : value.toDouble(&ok);
    const double rounded = std::nearbyint(number);
    if (!ok || !(rounded >= std::numeric_limits<qint16>::min())
        || !(rounded <= std::numeric_limits<qint16>::max()))
        return std::nullopt;
    return qint16(rounded);
}

/// A pen the given number of pixels wide whatever the painter's scale; one pixel and less is
/// Qt's fastest line, width 0.
QPen cosmeticPen(const QColor &colour, qint16 width)
{
    QPen pen(colour, width > 1 ? width : 0);
    pen.setCosmetic(true);
    return pen;
}

template <typename Number>
Number readNumber(const PropertyBag &bag, const char *name, Number defaultValue)
{
    bool ok = false;
    const qlonglong value = bag.ReadProperty(QLatin1String(name), defaultValue).toLongLong(&ok);
    if (!ok || value < std::numeric_limits<Number>::min()
        || value > std::numeric_limits<Number>::max())
        return defaultValue;
    return Number(value);
}

/// Colours are 32 bits, stored signed or unsigned alike: -1 is 0xFFFFFFFF and a negative value
/// with the high bit set names a system colour.
OleColor readColour(const PropertyBag &bag, const char *name, OleColor defaultValue)
{
    bool ok = false;
    const qlonglong value = bag.ReadProperty(QLatin1String(name), defaultValue).toLongLong(&ok);
    if (!ok || value < std::numeric_limits<qint32>::min()
        || value > std::numeric_limits<quint32>::max())
        return defaultValue;
    return OleColor(value);
}

QColor translated(OleColor colour)
{
    return OleTranslateColor(colour).value_or(QColor::fromRgba(0xFFFFFFFF));
}
} // namespace

bool ucHistogram::GridLook::operator==(const GridLook &other) const
{
    return spacings.ColumnSpacing == other.spacings.ColumnSpacing
        && spacings.RowSpacing == other.spacings.RowSpacing && back == other.back
        && grid == other.grid && penWidth == other.penWidth && size == other.size;
}

ucHistogram::ucHistogram(QWidget *parent)
    : QFrame(parent)
{
    InitProperties();
}

void ucHistogram::InitProperties()
{
    m_appearance = Defaults::Appearance;
    m_borderStyle = Defaults::BorderStyle;
    m_drawWidth = Defaults::DrawWidth;
    m_gridTickHorizontal = Defaults::GridTickHorizontal;
    m_gridTickVertical = Defaults::GridTickVertical;
    m_numberOfPoints = Defaults::NumberOfPoints;
    m_backColor = Defaults::BackColor;
    m_gridColour = Defaults::GridColour;
    m_max = Defaults::Max;
    m_foreColor = Defaults::ForeColor;
    m_pointBuffer = PointBuffer(m_numberOfPoints);
    applyFace();
}

void ucHistogram::ReadProperties(const PropertyBag &bag)
{
    m_appearance = readNumber(bag, "Appearance", Defaults::Appearance);
    m_borderStyle = readNumber(bag, "BorderStyle", Defaults::BorderStyle);
    m_drawWidth = readNumber(bag, "DrawWidth", Defaults::DrawWidth);
    m_gridTickHorizontal = toTicks(
        bag.ReadProperty(QStringLiteral("GridTickHorizontal"), Defaults::GridTickHorizontal))
                               .value_or(Defaults::GridTickHorizontal);
    m_gridTickVertical =
        toTicks(bag.ReadProperty(QStringLiteral("GridTickVertical"), Defaults::GridTickVertical))
            .value_or(Defaults::GridTickVertical);
    m_numberOfPoints = readNumber(bag, "NumberOfPoints", Defaults::NumberOfPoints);
    if (m_numberOfPoints > kMaxNumberOfPoints)
        m_numberOfPoints = Defaults::NumberOfPoints;
    m_backColor = readColour(bag, "BackColor", Defaults::BackColor);
    m_gridColour = readColour(bag, "GridColour", Defaults::GridColour);
    m_max = readNumber(bag, "Max", Defaults::Max);
    m_foreColor = readColour(bag, "ForeColor", Defaults::ForeColor);
    m_pointBuffer = PointBuffer(m_numberOfPoints);
    applyFace();
    if (!m_canvas.isNull())
        m_canvas.fill(translated(m_backColor));
}

void ucHistogram::WriteProperties(PropertyBag &bag) const
{
    bag.WriteProperty(QStringLiteral("Appearance"), m_appearance, Defaults::Appearance);
    bag.WriteProperty(QStringLiteral("BorderStyle"), m_borderStyle, Defaults::BorderStyle);
    bag.WriteProperty(QStringLiteral("DrawWidth"), m_drawWidth, Defaults::DrawWidth);
    bag.WriteProperty(
        QStringLiteral("GridTickHorizontal"), m_gridTickHorizontal, Defaults::GridTickHorizontal);
    bag.WriteProperty(
        QStringLiteral("GridTickVertical"), m_gridTickVertical, Defaults::GridTickVertical);
    bag.WriteProperty(QStringLiteral("NumberOfPoints"), m_numberOfPoints, Defaults::NumberOfPoints);
    bag.WriteProperty(QStringLiteral("BackColor"), m_backColor, Defaults::BackColor);
    bag.WriteProperty(QStringLiteral("GridColour"), m_gridColour, Defaults::GridColour);
    bag.WriteProperty(QStringLiteral("Max"), m_max, Defaults::Max);
    bag.WriteProperty(QStringLiteral("ForeColor"), m_foreColor, Defaults::ForeColor);
}

void ucHistogram::Resize()
{
    const QSize face = contentsRect().size();
    m_canvas = QImage(face.width() + kHiddenStrip, face.height(), QImage::Format_RGB32);
    m_canvas.fill(translated(m_backColor));
    m_spacings = ChartGeometry::resize(m_spacings, canvasWidth(), canvasHeight(), m_numberOfPoints,
        m_gridTickHorizontal, m_gridTickVertical, m_max);
}

qint32 ucHistogram::canvasWidth() const
{
    return m_canvas.width() * Twips::kPerPixel;
}

qint32 ucHistogram::canvasHeight() const
{
    return m_canvas.height() * Twips::kPerPixel;
}

void ucHistogram::NextPoint(qint32 value)
{
    if (value > m_max)
        return;
    m_pointBuffer.append(value);
    DrawChart();
}

void ucHistogram::Refresh()
{
    DrawChart();
}

void ucHistogram::DrawChart()
{
    if (m_canvas.isNull())
        return;
    prepareGridLayer();
    std::memcpy(m_canvas.bits(), m_gridLayer.constBits(), std::size_t(m_gridLayer.sizeInBytes()));
    // The canvas keeps the data line's pen, so every later grid is drawn that wide too.
    m_canvasPenWidth = m_drawWidth;
    drawSamples();
    m_drawn = true;
    update();
}

/// The grid changes only with the spacings, colours, size or pen width, so it is drawn once
/// into a layer that every redraw starts from.
void ucHistogram::prepareGridLayer()
{
    const GridLook look{m_spacings, m_backColor, m_gridColour, m_canvasPenWidth, m_canvas.size()};
    if (look == m_gridLook && !m_gridLayer.isNull())
        return;
    m_gridLook = look;
    m_gridLayer = QImage(m_canvas.size(), QImage::Format_RGB32);
    m_gridLayer.fill(translated(m_backColor));
    QPainter painter(&m_gridLayer);
    painter.setPen(cosmeticPen(translated(m_gridColour), m_canvasPenWidth));
    const int right = ChartGeometry::toPixels(canvasWidth());
    const int bottom = ChartGeometry::toPixels(canvasHeight());
    for (const qint32 y : ChartGeometry::rowLines(canvasHeight(), m_spacings.RowSpacing))
        painter.drawLine(0, ChartGeometry::toPixels(y), right, ChartGeometry::toPixels(y));
    for (const qint32 x : ChartGeometry::columnLines(canvasWidth(), m_spacings.ColumnSpacing))
        painter.drawLine(ChartGeometry::toPixels(x), 0, ChartGeometry::toPixels(x), bottom);
}

/// Slot j sits at x = (j + 1) × PointStep and y = (Max - slot j) × scale, one polyline without
/// antialiasing; a point whose coordinates leave 32 bits breaks the line.
void ucHistogram::drawSamples()
{
    const std::optional<qint32> scale =
        ChartGeometry::verticalScale(height() * Twips::kPerPixel, m_max);
    const QColor colour = translated(m_foreColor);
    const auto flush = [this, &colour] {
        if (m_drawWidth <= 1) {
            LineRaster::drawPolyline(m_canvas, m_polyline, colour.rgb());
        } else if (m_polyline.size() > 1) {
            QPainter painter(&m_canvas);
            painter.setPen(cosmeticPen(colour, m_drawWidth));
            painter.drawPolyline(m_polyline.constData(), int(m_polyline.size()));
        }
        m_polyline.clear();
    };
    for (qint32 j = 0; j <= m_pointBuffer.filled(); ++j) {
        const qint64 x = qint64(j + 1) * m_spacings.PointStep;
        const qint64 y = (qint64(m_max) - m_pointBuffer.slot(j)) * scale.value_or(0);
        if (x > std::numeric_limits<qint32>::max() || y < std::numeric_limits<qint32>::min()
            || y > std::numeric_limits<qint32>::max()) {
            flush();
            continue;
        }
        const QPoint point(ChartGeometry::toPixels(x), ChartGeometry::toPixels(y));
        // Several samples share a pixel column: repeating a pixel adds work, not picture.
        if (m_polyline.isEmpty() || m_polyline.constLast() != point)
            m_polyline.append(point);
    }
    flush();
}

bool ucHistogram::applyFace()
{
    const bool borderKnown = m_borderStyle == 0 || m_borderStyle == 1;
    const bool appearanceKnown = m_appearance == 0 || m_appearance == 1;
    if (m_borderStyle == 0)
        setFrameStyle(QFrame::NoFrame);
    else if (m_appearance == 0)
        setFrameStyle(QFrame::Box | QFrame::Plain);
    else
        setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(m_borderStyle == 1 && m_appearance == 1 ? 2 : 1);

    const std::optional<QColor> back = OleTranslateColor(m_backColor);
    const std::optional<QColor> fore = OleTranslateColor(m_foreColor);
    QPalette face = palette();
    face.setColor(QPalette::Window, back.value_or(face.color(QPalette::Window)));
    face.setColor(QPalette::WindowText, fore.value_or(face.color(QPalette::WindowText)));
    setPalette(face);
    setAutoFillBackground(true);
    return borderKnown && appearanceKnown && back && fore;
}

bool ucHistogram::setAppearance(qint16 appearance)
{
    m_appearance = appearance;
    emit PropertyChanged(QStringLiteral("Appearance"));
    return applyFace();
}

bool ucHistogram::setBorderStyle(qint16 borderStyle)
{
    m_borderStyle = borderStyle;
    emit PropertyChanged(QStringLiteral("BorderStyle"));
    return applyFace();
}

void ucHistogram::setDrawWidth(qint16 width)
{
    m_drawWidth = width;
    emit PropertyChanged(QStringLiteral("DrawWidth"));
}

bool ucHistogram::setGridTickHorizontal(const QVariant &ticks)
{
    const std::optional<qint16> value = toTicks(ticks);
    if (!value)
        return false;
    m_gridTickHorizontal = *value;
    emit PropertyChanged(QStringLiteral("GridTickHorizontal"));
    return true;
}

bool ucHistogram::setGridTickVertical(const QVariant &ticks)
{
    const std::optional<qint16> value = toTicks(ticks);
    if (!value)
        return false;
    m_gridTickVertical = *value;
    emit PropertyChanged(QStringLiteral("GridTickVertical"));
    return true;
}

bool ucHistogram::setNumberOfPoints(qint32 count)
{
    if (count > kMaxNumberOfPoints)
        return false;
    m_numberOfPoints = count;
    m_pointBuffer.resize(count);
    emit PropertyChanged(QStringLiteral("NumberOfPoints"));
    return true;
}

bool ucHistogram::setBackColor(OleColor colour)
{
    m_backColor = colour;
    emit PropertyChanged(QStringLiteral("BackColor"));
    return applyFace();
}

void ucHistogram::setGridColour(OleColor colour)
{
    m_gridColour = colour;
    emit PropertyChanged(QStringLiteral("GridColour"));
}

void ucHistogram::setMax(qint32 max)
{
    m_max = max;
    emit PropertyChanged(QStringLiteral("Max"));
}

bool ucHistogram::setForeColor(OleColor colour)
{
    m_foreColor = colour;
    emit PropertyChanged(QStringLiteral("ForeColor"));
    return applyFace();
}

void ucHistogram::paintEvent(QPaintEvent *event)
{
    QFrame::paintEvent(event);
    QPainter painter(this);
    const QRect face = contentsRect();
    painter.setClipRect(face);
    painter.drawImage(face.topLeft() - QPoint(kHiddenStrip, 0), m_canvas);
}

void ucHistogram::resizeEvent(QResizeEvent *event)
{
    QFrame::resizeEvent(event);
    Resize();
}

void ucHistogram::showEvent(QShowEvent *event)
{
    QFrame::showEvent(event);
    // A newly shown chart shows its grid rather than a blank face.
    if (!m_drawn)
        DrawChart();
}
