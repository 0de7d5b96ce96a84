#pragma once

#include "chart_geometry.h"
#include "chart_overlay.h"
#include "chart_polyline.h"
#include "chart_properties.h"
#include "chart_view.h"
#include "line_raster.h"
#include "point_buffer.h"
#include "sample_history.h"
#include "time_ticks.h"

#include <QFrame>
#include <QImage>
#include <QList>
#include <QPalette>
#include <QStyle>
#include <QVariant>

#include <optional>
#include <vector>

class PropertyBag;

/// Trend chart: keeps a fixed number of integer samples and plots them as a polyline over a grid,
/// scrolling left once full. Everything is drawn into an off-screen canvas (picHist) in twips,
/// 8 pixels wider than the face, whose leftmost 8 columns stay hidden; the face shows the
/// finished canvas only. Spacings change on resize, never on a property write.
/// A host may also have it record the whole run and show other views of it (zoomed, moved,
/// stretched in time); that is off unless the host turns it on.
class ucHistogram : public QFrame
{
    Q_OBJECT
    Q_PROPERTY(qint16 Appearance READ Appearance WRITE setAppearance)
    Q_PROPERTY(qint16 BorderStyle READ BorderStyle WRITE setBorderStyle)
    Q_PROPERTY(qint16 DrawWidth READ DrawWidth WRITE setDrawWidth)
    Q_PROPERTY(QVariant GridTickHorizontal READ GridTickHorizontal WRITE setGridTickHorizontal)
    Q_PROPERTY(QVariant GridTickVertical READ GridTickVertical WRITE setGridTickVertical)
    Q_PROPERTY(qint32 NumberOfPoints READ NumberOfPoints WRITE setNumberOfPoints)
    Q_PROPERTY(quint32 BackColor READ BackColor WRITE setBackColor)
    Q_PROPERTY(quint32 GridColour READ GridColour WRITE setGridColour)
    Q_PROPERTY(qint32 Max READ Max WRITE setMax)
    Q_PROPERTY(quint32 ForeColor READ ForeColor WRITE setForeColor)

public:
    static constexpr qint32 kMaxNumberOfPoints = ChartSettings::kMaxNumberOfPoints;

    explicit ucHistogram(QWidget *parent = nullptr);

    /// Appends a sample and redraws; a sample above Max is ignored and nothing is redrawn. With
    /// the history on, the sample is recorded with the last stamp given, 0 before any.
    void NextPoint(qint32 value);
    /// As above, recording the sample with the host's stamp, its run time in tenths of a second,
    /// when the history is on; false when the sample was refused. A view holding a place in the
    /// run is not redrawn unless its canvas was cleared.
    bool NextPoint(qint32 value, qint64 stamp);
    /// Redraws from the samples as they are.
    void Refresh();

    void InitProperties();
    void ReadProperties(const PropertyBag &bag);
    void WriteProperties(PropertyBag &bag) const;
    /// Fits the canvas to the face and computes the spacings; draws nothing.
    void Resize();

    qint16 Appearance() const { return m_settings.Appearance; }
    bool setAppearance(qint16 appearance);
    qint16 BorderStyle() const { return m_settings.BorderStyle; }
    bool setBorderStyle(qint16 borderStyle);
    qint16 DrawWidth() const { return m_settings.DrawWidth; }
    void setDrawWidth(qint16 width);
    QVariant GridTickHorizontal() const { return m_settings.GridTickHorizontal; }
    /// Fails, keeping the stored value, when the value does not convert to a 16-bit integer.
    bool setGridTickHorizontal(const QVariant &ticks);
    QVariant GridTickVertical() const { return m_settings.GridTickVertical; }
    bool setGridTickVertical(const QVariant &ticks);
    qint32 NumberOfPoints() const { return m_settings.NumberOfPoints; }
    /// Takes effect at the next resize; the buffer keeps its newest samples. Fails, keeping the
    /// stored value, above kMaxNumberOfPoints.
    bool setNumberOfPoints(qint32 count);
    OleColor BackColor() const { return m_settings.BackColor; }
    /// Fails, after storing it, when the colour cannot be applied to the face.
    bool setBackColor(OleColor colour);
    OleColor GridColour() const { return m_settings.GridColour; }
    void setGridColour(OleColor colour);
    qint32 Max() const { return m_settings.Max; }
    void setMax(qint32 max);
    OleColor ForeColor() const { return m_settings.ForeColor; }
    bool setForeColor(OleColor colour);

    /// Off by default. Turning it on starts an empty history; turning it off drops the history
    /// and returns to the live view.
    void setHistoryEnabled(bool enabled);
    bool isHistoryEnabled() const { return m_history.has_value(); }
    /// A new run starts a new history, and the live face starts afresh with it, so that it
    /// never shows samples the history no longer has. A view holding a place in the old run
    /// follows the new one.
    void clearHistory();
    /// The narrowest value range zoomIn reaches, in value units.
    void setMinimumViewSpan(qint32 span);
    /// What the face's corner says while the view is not live, following the newest sample or
    /// holding an earlier place: %1 and %2 become the run times of the first and last sample
    /// shown, in seconds. Empty, the default, says nothing.
    void setViewCaptions(const QString &following, const QString &holding);
    /// The corner's caption, whole, as the view and the samples stand; empty while live.
    QString viewCaption() const;

    /// The view actions. Without the history each does nothing; at its limit each leaves the
    /// view as it is.
    void resetView();
    void zoomIn();
    void zoomOut();
    void moveUp();
    void moveDown();
    void moveLeft();
    void moveRight();
    void stretch();
    void compress();
    const ChartView &view() const { return m_view; }
    const SampleHistory *history() const { return m_history ? &*m_history : nullptr; }
    /// The recorded sample drawn nearest a point of the face: in a column of many samples the
    /// one nearest the point's height. Empty without the history, off the canvas or where the
    /// samples shown are not recorded.
    std::optional<HistorySample> sampleAt(const QPoint &facePoint) const;
    /// The recorded samples in the time the view spans, whatever their values: the newest
    /// NumberOfPoints when live. Empty without the history.
    ChartView::Recorded shownSamples() const;
    /// Where whole run times fall on the face while the view is not live, at least gap face
    /// columns apart; none while live.
    std::vector<TimeTicks::Tick> timeTicks(qint32 gap) const;

    /// Earlier runs drawn over the chart, each in its own colour, with a small legend in the top
    /// left corner. An overlay's sample stamped t lands where the chart's own sample stamped t
    /// does (beyond the newest one, a tenth of a second a sample), in every view, so that runs
    /// line up at their start. They are drawn on a layer of their own over the canvas, never
    /// into it, once per redraw; without the history only the legend shows.
    void setOverlays(const QList<ChartOverlay> &overlays);
    void clearOverlays();
    const QList<ChartOverlay> &overlays() const { return m_overlays; }
    /// The overlays as last drawn, the canvas's size and clear where none passes; null while
    /// there are none.
    const QImage &overlayLayer() const { return m_overlayLayer; }

    const ChartSpacings &spacings() const { return m_spacings; }
    const PointBuffer &pointBuffer() const { return m_pointBuffer; }
    /// The canvas as last drawn.
    const QImage &picHist() const { return m_canvas; }

signals:
    /// Declared for hosts; the control never raises it.
    void Click();
    /// A property was written.
    void PropertyChanged(const QString &name);
    /// A view action or a history change moved the view; new samples do not raise it.
    void viewChanged();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    /// Canvas columns left of the face: drawn, never shown.
    static constexpr int kHiddenStrip = 8;

    /// Stores a converted value, tells the host, then does the property's work.
    bool change(ChartPropertyId id, const QVariant &value);
    void DrawChart();
    /// Rebuilds the grid layer when its look changed; true when it did.
    bool prepareGridLayer();
    /// The data line in canvas pixels, broken into runs where a point leaves 32 bits.
    void samplePolyline(ChartPolyline &line) const;
    /// The line of a view other than the live one, from the history: one point per sample, or
    /// where samples share a pixel column a stroke from their minimum to their maximum.
    void viewPolyline(ChartPolyline &line);
    ChartView::Recorded recorded() const;
    /// Redraws and tells the host when an action changed the view.
    void viewActed(bool changed);
    /// Draws the line onto the canvas; returns the canvas area that changed.
    QRect drawSamples(const ChartPolyline &line, const QColor &colour);
    /// The view's state and time range in the top right corner, over the line; returns the
    /// canvas area it took.
    QRect drawViewCaption();
    void drawOverlays();
    void liveOverlayPolyline(const ChartOverlay &overlay, ChartPolyline &line) const;
    void viewOverlayPolyline(const ChartOverlay &overlay, ChartPolyline &line) const;
    /// The indices in [from, to] whose samples' stamps lie within the overlay's, as the first and
    /// last; the first is past the last when there are none.
    std::pair<qint64, qint64> overlaySpan(
        const ChartOverlay &overlay, qint64 from, qint64 to) const;
    /// The stamp of a sample index, counted on from the newest and back from the oldest kept
    /// sample a tenth of a second a sample.
    qint64 stampAt(qint64 index) const;
    void prepareLegend();
    void clearOverlayArea();
    void prepareFaceLayer();
    bool applyFace();
    qint32 canvasWidth() const;
    qint32 canvasHeight() const;

    ChartSettings m_settings;

    PointBuffer m_pointBuffer;
    std::optional<SampleHistory> m_history;
    qint64 m_lastStamp = 0;
    ChartView m_view;
    std::vector<SampleHistory::ColumnRange> m_columnRanges;
    ChartSpacings m_spacings;
    QImage m_canvas;
    bool m_drawn = false;
    /// A resize or a property load has blanked the canvas since it was last drawn.
    bool m_canvasBlanked = true;
    QString m_followingCaption;
    QString m_holdingCaption;
    qint16 m_canvasPenWidth = 1;
    QImage m_gridLayer;
    struct GridLook
    {
        ChartSpacings spacings;
        OleColor back = 0;
        OleColor grid = 0;
        qint16 penWidth = 0;
        QSize size;
        bool operator==(const GridLook &other) const;
    } m_gridLook;
    /// The data line on the canvas: its runs, colour and pixels. Only while m_lineTracked is the
    /// canvas exactly the grid layer with those pixels drawn over it: never under a caption.
    ChartPolyline m_polyline;
    ChartPolyline m_nextPolyline;
    QRgb m_lineColour = 0;
    LineRaster::ColumnSpans m_lineSpans;
    bool m_lineTracked = false;
    QList<ChartOverlay> m_overlays;
    QImage m_overlayLayer;
    QImage m_legend;
    /// The part of the overlay layer the last drawing took.
    QRect m_overlayArea;
    ChartPolyline m_overlayPolyline;
    LineRaster::ColumnSpans m_overlaySpans;
    /// The face's background and frame as the style paints them, for the paints that reach the
    /// border.
    QImage m_faceLayer;
    struct FaceLook
    {
        const QStyle *style = nullptr;
        QSize size;
        QRect rect;
        qreal ratio = 0;
        QStyle::State state;
        Qt::LayoutDirection direction = Qt::LeftToRight;
        QPalette palette;
        QPalette::ColorGroup group = QPalette::Active;
        QPalette::ColorRole background = QPalette::Window;
        int lineWidth = 0;
        int midLineWidth = 0;
        int shape = 0;
        bool operator==(const FaceLook &other) const;
    } m_faceLook;
};
