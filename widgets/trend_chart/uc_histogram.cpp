#include "uc_histogram.h"

#include "line_raster.h"
#include "property_bag.h"
#include "twips.h"

#include <QFontMetrics>
#include <QPaintEvent>
#include <QPainter>
#include <QShowEvent>
#include <QStyleOptionFrame>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>

namespace {
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

bool ucHistogram::FaceLook::operator==(const FaceLook &other) const
{
    return style == other.style && size == other.size && rect == other.rect && ratio == other.ratio
        && state == other.state && direction == other.direction && palette == other.palette
        && group == other.group && background == other.background && lineWidth == other.lineWidth
        && midLineWidth == other.midLineWidth && shape == other.shape;
}

ucHistogram::ucHistogram(QWidget *parent)
    : QFrame(parent)
{
    // The face layer and the canvas cover every pixel, so nothing needs painting beneath.
    setAttribute(Qt::WA_OpaquePaintEvent);
    InitProperties();
}

void ucHistogram::InitProperties()
{
    m_settings = ChartSettings();
    m_pointBuffer = PointBuffer(m_settings.NumberOfPoints);
    m_view.setLiveWindow(m_settings.Max, m_settings.NumberOfPoints);
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
    m_view.setLiveWindow(m_settings.Max, m_settings.NumberOfPoints);
    applyFace();
    if (!m_canvas.isNull())
        m_canvas.fill(translated(m_settings.BackColor));
    m_lineTracked = false;
    m_canvasBlanked = true;
    m_overlayLayer = QImage();
    m_overlayArea = QRect();
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
    m_lineTracked = false;
    m_canvasBlanked = true;
    // Drawn again with the canvas; until then neither shows anything.
    m_overlayLayer = QImage();
    m_overlayArea = QRect();
    if (!m_overlays.isEmpty())
        prepareLegend();
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
    NextPoint(value, m_lastStamp);
}

bool ucHistogram::NextPoint(qint32 value, qint64 stamp)
{
    if (value > m_settings.Max)
        return false;
    m_pointBuffer.append(value);
    if (m_history) {
        m_history->append(value, stamp);
        m_lastStamp = stamp;
    }
    // A view held at an earlier place in the run shows nothing new, unless a resize or a
    // property load has cleared the canvas since it was drawn.
    if (m_view.isFollowing() || m_canvasBlanked)
        DrawChart();
    return true;
}

void ucHistogram::setHistoryEnabled(bool enabled)
{
    if (enabled == m_history.has_value())
        return;
    m_lastStamp = 0;
    if (enabled) {
        m_history.emplace();
        return;
    }
    m_history.reset();
    viewActed(m_view.reset());
}

void ucHistogram::clearHistory()
{
    if (!m_history)
        return;
    m_history->clear();
    m_lastStamp = 0;
    m_pointBuffer.clear();
    m_view.follow();
    DrawChart();
    // A view other than the live one now spans other times.
    if (!m_view.isLive())
        emit viewChanged();
}

void ucHistogram::setMinimumViewSpan(qint32 span)
{
    m_view.setMinimumSpan(span);
}

void ucHistogram::setViewCaptions(const QString &following, const QString &holding)
{
    m_followingCaption = following;
    m_holdingCaption = holding;
}

ChartView::Recorded ucHistogram::recorded() const
{
    return m_history ? ChartView::Recorded{m_history->first(), m_history->end()}
                     : ChartView::Recorded();
}

void ucHistogram::viewActed(bool changed)
{
    if (!changed)
        return;
    DrawChart();
    emit viewChanged();
}

void ucHistogram::resetView()
{
    viewActed(m_view.reset());
}

void ucHistogram::zoomIn()
{
    viewActed(isHistoryEnabled() && m_view.zoomIn());
}

void ucHistogram::zoomOut()
{
    viewActed(isHistoryEnabled() && m_view.zoomOut());
}

void ucHistogram::moveUp()
{
    viewActed(isHistoryEnabled() && m_view.moveUp());
}

void ucHistogram::moveDown()
{
    viewActed(isHistoryEnabled() && m_view.moveDown());
}

void ucHistogram::moveLeft()
{
    viewActed(isHistoryEnabled() && m_view.moveLeft(recorded()));
}

void ucHistogram::moveRight()
{
    viewActed(isHistoryEnabled() && m_view.moveRight(recorded()));
}

void ucHistogram::stretch()
{
    viewActed(isHistoryEnabled() && m_view.stretch());
}

void ucHistogram::compress()
{
    viewActed(isHistoryEnabled() && m_view.compress(recorded()));
}

std::optional<HistorySample> ucHistogram::sampleAt(const QPoint &facePoint) const
{
    if (!m_history || m_canvas.isNull() || !contentsRect().contains(facePoint))
        return std::nullopt;
    const QPoint at = facePoint - contentsRect().topLeft() + QPoint(kHiddenStrip, 0);
    if (at.x() >= m_canvas.width() || at.y() >= m_canvas.height())
        return std::nullopt;
    const ChartView::Recorded kept = recorded();
    // Preferred first; the other stands in when the first is not recorded.
    qint64 candidates[2] = {-1, -1};
    if (m_view.isLive()) {
        // Slot j is drawn at (j + 1) × PointStep + PointOffset twips; the anchor in slot 0 is
        // left of every point that can be pointed at.
        const qint32 filled = m_pointBuffer.filled();
        if (m_spacings.PointStep <= 0 || filled == 0)
            return std::nullopt;
        const double slot =
            (double(at.x()) * Twips::kPerPixel - m_spacings.PointOffset) / m_spacings.PointStep - 1;
        // Beyond a couple of pixels right of the newest point there is no sample to name.
        const double slack = 2.0 * Twips::kPerPixel / m_spacings.PointStep;
        if (slot > filled + slack)
            return std::nullopt;
        const qint64 nearest = std::clamp<qint64>(std::llround(slot), 1, filled);
        candidates[0] = kept.end - 1 - (filled - nearest);
    } else {
        const qint32 columns = m_canvas.width() - kHiddenStrip;
        const qint32 column = at.x() - kHiddenStrip;
        const qint32 across = m_view.across();
        const qint64 first = m_view.firstShown(kept);
        const qint64 from = first + SampleHistory::columnStart(across, columns, column);
        const qint64 to = first + SampleHistory::columnStart(across, columns, column + 1);
        if (from < to) {
            candidates[0] =
                m_history->nearestValue(from, to, m_view.valueAt(at.y(), m_canvas.height()));
        } else {
            // Between two points of a stretched view: the nearer, the newer when as near.
            const qint32 left = SampleHistory::columnOf(from - 1 - first, across, columns);
            const qint32 right = SampleHistory::columnOf(from - first, across, columns);
            const bool leftNearer = column - left < right - column;
            candidates[0] = leftNearer ? from - 1 : from;
            candidates[1] = leftNearer ? from : from - 1;
        }
    }
    for (const qint64 index : candidates) {
        if (index >= kept.first && index < kept.end)
            return m_history->at(index);
    }
    return std::nullopt;
}

ChartView::Recorded ucHistogram::shownSamples() const
{
    const ChartView::Recorded kept = recorded();
    const qint64 first = m_view.firstShown(kept);
    return {first, std::max(first, std::min(first + m_view.across(), kept.end))};
}

std::vector<TimeTicks::Tick> ucHistogram::timeTicks(qint32 gap) const
{
    if (!m_history || m_view.isLive())
        return {};
    return TimeTicks::place(
        *m_history, m_view.firstShown(recorded()), m_view.across(), contentsRect().width(), gap);
}

void ucHistogram::Refresh()
{
    DrawChart();
}

void ucHistogram::DrawChart()
{
    if (m_canvas.isNull())
        return;
    const bool gridChanged = prepareGridLayer();
    // The canvas keeps the data line's pen, so every later grid is drawn that wide too.
    m_canvasPenWidth = m_settings.DrawWidth;
    m_drawn = true;
    m_canvasBlanked = false;
    const bool live = m_view.isLive();
    if (live)
        samplePolyline(m_nextPolyline);
    else
        viewPolyline(m_nextPolyline);
    const QColor colour = translated(m_settings.ForeColor);
    const bool incremental = m_lineTracked && !gridChanged && m_settings.DrawWidth <= 1;
    if (incremental && m_nextPolyline == m_polyline && colour.rgb() == m_lineColour) {
        if (!m_overlays.isEmpty())
            drawOverlays();
        return;
    }
    QRect changed = m_canvas.rect();
    if (incremental) {
        changed = m_lineSpans.bounds();
        m_lineSpans.restore(m_canvas, m_gridLayer);
    } else {
        std::memcpy(
            m_canvas.bits(), m_gridLayer.constBits(), std::size_t(m_gridLayer.sizeInBytes()));
    }
    changed |= drawSamples(m_nextPolyline, colour);
    if (!live)
        changed |= drawViewCaption();
    std::swap(m_polyline, m_nextPolyline);
    m_lineColour = colour.rgb();
    update(changed.translated(contentsRect().topLeft() - QPoint(kHiddenStrip, 0)));
    if (!m_overlays.isEmpty())
        drawOverlays();
}

/// The grid changes only with the spacings, colours, size or pen width, so it is drawn once
/// into a layer that every redraw starts from.
bool ucHistogram::prepareGridLayer()
{
    const GridLook look{
        m_spacings, m_settings.BackColor, m_settings.GridColour, m_canvasPenWidth, m_canvas.size()};
    if (look == m_gridLook && !m_gridLayer.isNull())
        return false;
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
    return true;
}

/// Slot j sits at x = (j + 1) × PointStep + PointOffset and y = (Max - slot j) × scale, in pixels;
/// a point whose coordinates leave 32 bits breaks the line.
void ucHistogram::samplePolyline(ChartPolyline &line) const
{
    const std::optional<qint32> scale =
        ChartGeometry::verticalScale(height() * Twips::kPerPixel, m_settings.Max);
    line.clear();
    for (qint32 j = 0; j <= m_pointBuffer.filled(); ++j) {
        const qint64 x = qint64(j + 1) * m_spacings.PointStep + m_spacings.PointOffset;
        const qint64 y = (qint64(m_settings.Max) - m_pointBuffer.slot(j)) * scale.value_or(0);
        if (x > std::numeric_limits<qint32>::max() || y < std::numeric_limits<qint32>::min()
            || y > std::numeric_limits<qint32>::max()) {
            line.breakRun();
            continue;
        }
        line.append(QPoint(ChartGeometry::toPixels(x), ChartGeometry::toPixels(y)));
    }
}

/// Sample position q of across is drawn in the column SampleHistory::columnOf gives: the window
/// spans the face, the hidden strip left of it keeps only the sample before the window.
void ucHistogram::viewPolyline(ChartPolyline &line)
{
    line.clear();
    const qint32 columns = m_canvas.width() - kHiddenStrip;
    if (!m_history || columns <= 0)
        return;
    const ChartView::Recorded kept = recorded();
    const qint32 across = m_view.across();
    const qint64 first = m_view.firstShown(kept);
    const int rows = m_canvas.height();
    const auto pointOf = [&](qint64 index) {
        return QPoint(kHiddenStrip + SampleHistory::columnOf(index - first, across, columns),
            m_view.rowOf(m_history->at(index).value, rows));
    };
    // The samples either side of the window carry the line to the edges.
    if (first > kept.first)
        line.append(pointOf(first - 1));
    m_history->columnRanges(first, across, columns, m_columnRanges);
    for (qint32 column = 0; column < columns; ++column) {
        const SampleHistory::ColumnRange &range = m_columnRanges[std::size_t(column)];
        if (range.isEmpty())
            continue;
        line.appendColumn(kHiddenStrip + column, m_view.rowOf(range.maximum, rows),
            m_view.rowOf(range.minimum, rows));
    }
    if (first + across < kept.end)
        line.append(pointOf(first + across));
}

/// One-pixel lines go through the raster, which records their pixels for the next redraw; wider
/// ones through the painter, after which the next redraw starts from the grid again.
QRect ucHistogram::drawSamples(const ChartPolyline &line, const QColor &colour)
{
    m_lineSpans.clear(m_canvas.width());
    m_lineTracked = m_settings.DrawWidth <= 1;
    std::unique_ptr<QPainter> painter;
    if (!m_lineTracked) {
        painter = std::make_unique<QPainter>(&m_canvas);
        painter->setPen(cosmeticPen(colour, m_settings.DrawWidth));
    }
    for (std::size_t run = 0; run < line.runStarts.size(); ++run) {
        const std::size_t start = line.runStarts[run];
        const std::size_t end =
            run + 1 < line.runStarts.size() ? line.runStarts[run + 1] : line.points.size();
        const QPoint *const points = line.points.data() + start;
        const qsizetype count = qsizetype(end - start);
        if (painter && count > 1)
            painter->drawPolyline(points, int(count));
        else if (!painter)
            LineRaster::drawPolyline(m_canvas, points, count, colour.rgb(), &m_lineSpans);
    }
    return painter ? m_canvas.rect() : m_lineSpans.bounds();
}

QString ucHistogram::viewCaption() const
{
    const QString &pattern = m_view.isFollowing() ? m_followingCaption : m_holdingCaption;
    if (m_view.isLive() || pattern.isEmpty())
        return QString();
    const ChartView::Recorded shown = shownSamples();
    const auto seconds = [this, &shown](bool last) {
        const qint64 tenths = shown.count() == 0
            ? m_lastStamp
            : m_history->at(last ? shown.end - 1 : shown.first).stamp;
        return QString::number(double(tenths) / 10.0, 'f', 1);
    };
    return pattern.arg(seconds(false), seconds(true));
}

QRect ucHistogram::drawViewCaption()
{
    const QString caption = viewCaption();
    if (caption.isEmpty())
        return QRect();
    const QFontMetrics metrics(font());
    constexpr int kMargin = 3;
    const int faceWidth = m_canvas.width() - kHiddenStrip;
    const QString text = metrics.elidedText(caption, Qt::ElideRight, faceWidth - 4 * kMargin);
    QRect box(0, 0, metrics.horizontalAdvance(text) + 2 * kMargin, metrics.height() + kMargin);
    box.moveTopRight(QPoint(m_canvas.width() - 1 - kMargin, kMargin));
    // The line shows faintly through the caption's ground, so nothing is hidden outright.
    QColor ground = translated(m_settings.BackColor);
    ground.setAlpha(192);
    QPainter painter(&m_canvas);
    painter.setFont(font());
    painter.fillRect(box, ground);
    painter.setPen(translated(m_settings.ForeColor));
    painter.drawText(box, Qt::AlignCenter, text);
    // The canvas is no longer the grid and the line alone: the next redraw starts afresh.
    m_lineTracked = false;
    return box;
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
    m_view.setLiveWindow(m_settings.Max, m_settings.NumberOfPoints);
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

/// Copies the canvas into the part of the face it covers and the face layer into the rest, each
/// only where the face needs painting.
void ucHistogram::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    const QRect face = contentsRect();
    const QRect shown =
        QRect(face.topLeft() - QPoint(kHiddenStrip, 0), m_canvas.size()) & face & event->rect();
    const QRegion rest = event->region().subtracted(shown);
    if (!rest.isEmpty()) {
        prepareFaceLayer();
        const qreal ratio = m_faceLayer.devicePixelRatio();
        for (const QRect &rect : rest)
            painter.drawImage(rect, m_faceLayer,
                QRectF(QPointF(rect.topLeft()) * ratio, QSizeF(rect.size()) * ratio));
    }
    if (shown.isEmpty())
        return;
    const QRect source = shown.translated(QPoint(kHiddenStrip, 0) - face.topLeft());
    painter.drawImage(shown, m_canvas, source);
    if (!m_overlayLayer.isNull())
        painter.drawImage(shown, m_overlayLayer, source);
}

/// The background and frame change only with the style, palette, state and size; they are
/// painted once into a layer the paints copy from.
void ucHistogram::prepareFaceLayer()
{
    QStyleOptionFrame option;
    initStyleOption(&option);
    const FaceLook look{style(), size(), option.rect, devicePixelRatioF(), option.state,
        option.direction, option.palette, palette().currentColorGroup(), backgroundRole(),
        option.lineWidth, option.midLineWidth, int(option.frameShape)};
    if (look == m_faceLook && !m_faceLayer.isNull())
        return;
    m_faceLook = look;
    m_faceLayer = QImage(size() * look.ratio, QImage::Format_RGB32);
    m_faceLayer.setDevicePixelRatio(look.ratio);
    QPainter painter(&m_faceLayer);
    painter.fillRect(rect(), palette().brush(backgroundRole()));
    drawFrame(&painter);
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
