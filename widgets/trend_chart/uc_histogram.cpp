#include "uc_histogram.h"

#include "line_raster.h"
#include "property_bag.h"
#include "twips.h"

#include <QPainter>
#include <QShowEvent>

#include <cstring>
#include <limits>

namespace {
// Canvas columns left of the face: drawn, never shown.
constexpr int kHiddenStrip = 8;

/// A pen the given number of pixels wide whatever the painter's scale; one pixel and less is
/// Qt's fastest line, width 0.
QPen cosmeticPen(const QColor &colour, qint16 width)
{
    QPen pen(colour, width > 1 ? width : 0);
    pen.setCosmetic(true);
    return pen;
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
    m_settings = ChartSettings();
    m_pointBuffer = PointBuffer(m_settings.NumberOfPoints);
    applyFace();
}

/// Every stored setting, the default for one missing, unreadable or out of range.
void ucHistogram::ReadProperties(const PropertyBag &bag)
{
    const ChartSettings defaults;
    for (const ChartProperty &property : ChartProperties::all()) {
        const QVariant fallback = property.read(defaults);
        if (!property.write(m_settings, bag.ReadProperty(QLatin1String(property.name), fallback)))
            property.write(m_settings, fallback);
    }
    m_pointBuffer = PointBuffer(m_settings.NumberOfPoints);
    applyFace();
    if (!m_canvas.isNull())
        m_canvas.fill(translated(m_settings.BackColor));
}

void ucHistogram::WriteProperties(PropertyBag &bag) const
{
    const ChartSettings defaults;
    for (const ChartProperty &property : ChartProperties::all())
        bag.WriteProperty(
            QLatin1String(property.name), property.read(m_settings), property.read(defaults));
}

void ucHistogram::Resize()
{
    const QSize face = contentsRect().size();
    m_canvas = QImage(face.width() + kHiddenStrip, face.height(), QImage::Format_RGB32);
    m_canvas.fill(translated(m_settings.BackColor));
    m_spacings =
        ChartGeometry::resize(m_spacings, canvasWidth(), canvasHeight(), m_settings.NumberOfPoints,
            m_settings.GridTickHorizontal, m_settings.GridTickVertical, m_settings.Max);
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
    if (value > m_settings.Max)
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
    m_canvasPenWidth = m_settings.DrawWidth;
    drawSamples();
    m_drawn = true;
    update();
}

/// The grid changes only with the spacings, colours, size or pen width, so it is drawn once
/// into a layer that every redraw starts from.
void ucHistogram::prepareGridLayer()
{
    const GridLook look{
        m_spacings, m_settings.BackColor, m_settings.GridColour, m_canvasPenWidth, m_canvas.size()};
    if (look == m_gridLook && !m_gridLayer.isNull())
        return;
    m_gridLook = look;
    m_gridLayer = QImage(m_canvas.size(), QImage::Format_RGB32);
    m_gridLayer.fill(translated(m_settings.BackColor));
    QPainter painter(&m_gridLayer);
    painter.setPen(cosmeticPen(translated(m_settings.GridColour), m_canvasPenWidth));
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
        ChartGeometry::verticalScale(height() * Twips::kPerPixel, m_settings.Max);
    const QColor colour = translated(m_settings.ForeColor);
    const auto flush = [this, &colour] {
        if (m_settings.DrawWidth <= 1) {
            LineRaster::drawPolyline(m_canvas, m_polyline, colour.rgb());
        } else if (m_polyline.size() > 1) {
            QPainter painter(&m_canvas);
            painter.setPen(cosmeticPen(colour, m_settings.DrawWidth));
            painter.drawPolyline(m_polyline.constData(), int(m_polyline.size()));
        }
        m_polyline.clear();
    };
    for (qint32 j = 0; j <= m_pointBuffer.filled(); ++j) {
        const qint64 x = qint64(j + 1) * m_spacings.PointStep;
        const qint64 y = (qint64(m_settings.Max) - m_pointBuffer.slot(j)) * scale.value_or(0);
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
    const bool borderKnown = m_settings.BorderStyle == 0 || m_settings.BorderStyle == 1;
    const bool appearanceKnown = m_settings.Appearance == 0 || m_settings.Appearance == 1;
    if (m_settings.BorderStyle == 0)
        setFrameStyle(QFrame::NoFrame);
    else if (m_settings.Appearance == 0)
        setFrameStyle(QFrame::Box | QFrame::Plain);
    else
        setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(m_settings.BorderStyle == 1 && m_settings.Appearance == 1 ? 2 : 1);

    const std::optional<QColor> back = OleTranslateColor(m_settings.BackColor);
    const std::optional<QColor> fore = OleTranslateColor(m_settings.ForeColor);
    QPalette face = palette();
    face.setColor(QPalette::Window, back.value_or(face.color(QPalette::Window)));
    face.setColor(QPalette::WindowText, fore.value_or(face.color(QPalette::WindowText)));
    setPalette(face);
    setAutoFillBackground(true);
    return borderKnown && appearanceKnown && back && fore;
}

bool ucHistogram::change(ChartPropertyId id, const QVariant &value)
{
    const ChartProperty &property = ChartProperties::at(id);
    if (!property.write(m_settings, value))
        return false;
    if (property.work == ChartWork::Buffer)
        m_pointBuffer.resize(m_settings.NumberOfPoints);
    emit PropertyChanged(QLatin1String(property.name));
    return property.work != ChartWork::Face || applyFace();
}

bool ucHistogram::setAppearance(qint16 appearance)
{
    return change(ChartPropertyId::Appearance, appearance);
}

bool ucHistogram::setBorderStyle(qint16 borderStyle)
{
    return change(ChartPropertyId::BorderStyle, borderStyle);
}

void ucHistogram::setDrawWidth(qint16 width)
{
    change(ChartPropertyId::DrawWidth, width);
}

bool ucHistogram::setGridTickHorizontal(const QVariant &ticks)
{
    return change(ChartPropertyId::GridTickHorizontal, ticks);
}

bool ucHistogram::setGridTickVertical(const QVariant &ticks)
{
    return change(ChartPropertyId::GridTickVertical, ticks);
}

bool ucHistogram::setNumberOfPoints(qint32 count)
{
    return change(ChartPropertyId::NumberOfPoints, count);
}

bool ucHistogram::setBackColor(OleColor colour)
{
    return change(ChartPropertyId::BackColor, colour);
}

void ucHistogram::setGridColour(OleColor colour)
{
    change(ChartPropertyId::GridColour, colour);
}

void ucHistogram::setMax(qint32 max)
{
    change(ChartPropertyId::Max, max);
}

bool ucHistogram::setForeColor(OleColor colour)
{
    return change(ChartPropertyId::ForeColor, colour);
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
