#include "chart_panel.h"

#include "chart_time_axis.h"
#include "clock.h"
#include "dialogs/run_overlay.h"
#include "panels/caption.h"
#include "panels/context_menu.h"
#include "panels/font_fitting.h"
#include "panels/status_line.h"
#include "records/no_link_save_file.h"
#include "records/trend_samples.h"
#include "session/console_session.h"
#include "telemetry/display_format.h"
#include "uc_histogram.h"
#include "window_timer.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHelpEvent>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSaveFile>
#include <QToolTip>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <optional>

namespace {
// The chart's scale in the live view, bottom to top; a zoomed view shows its own values.
const std::array<QString, 3> kLiveScale{
    QStringLiteral("0"), QStringLiteral("60"), QStringLiteral("120")};
// The narrowest temperature window a zoom reaches, in tenths.
constexpr qint32 kNarrowestViewTenths = 20;
constexpr qreal kSmallestScalePoints = 5.0;

/// The name as chosen, with the suffix added unless it already ends in it.
QString withSuffix(const QString &path, const QString &suffix)
{
    const QString ending = u'.' + suffix;
    return path.endsWith(ending, Qt::CaseInsensitive) ? path : path + ending;
}

/// Saves whole what write puts out: at the name as chosen, as the user meant it; at a name the
/// console made by adding the suffix, never through a link planted there. Why not, if not.
std::optional<QString> saveFile(
    const QString &path, bool chosen, const std::function<bool(QIODevice &)> &write)
{
    if (chosen) {
        QSaveFile file(path);
        if (file.open(QIODevice::WriteOnly) && write(file) && file.commit())
            return std::nullopt;
        return file.errorString();
    }
    NoLinkSaveFile file(path);
    if (!file.open())
        return file.errorString();
    if (!write(file.device()))
        return file.device().errorString();
    if (!file.commit())
        return file.errorString();
    return std::nullopt;
}
} // namespace

ChartPanel::ChartPanel(const ChartControls &controls, QWidget &window, WindowTimer &trendTimer,
    const ConsoleSession &session, StatusLine &status, std::shared_ptr<const Clock> clock,
    QObject *parent)
    : QObject(parent)
    , m_controls(controls)
    , m_window(window)
    , m_session(session)
    , m_status(status)
    , m_clock(std::move(clock))
    , m_scaleFont(controls.scaleCaptions[0]->font())
{
    ucHistogram *chart = m_controls.chart;
    chart->setHistoryEnabled(true);
    chart->setMinimumViewSpan(kNarrowestViewTenths);
    connect(&trendTimer, &WindowTimer::Timer, this, &ChartPanel::sampleTrend);
    m_controls.setPointMarker->setMouseTracking(true);
    m_controls.setPointMarker->installEventFilter(this);
    connectViewButtons();
    placeTimeAxis(window);
    offerChartMenu();
}

/// The buttons beside the chart act on its view, never on its samples.
void ChartPanel::connectViewButtons()
{
    ucHistogram *chart = m_controls.chart;
    const std::pair<QPushButton *, void (ucHistogram::*)()> actions[] = {
        {m_controls.resetView, &ucHistogram::resetView},
        {m_controls.zoomIn, &ucHistogram::zoomIn},
        {m_controls.zoomOut, &ucHistogram::zoomOut},
        {m_controls.moveUp, &ucHistogram::moveUp},
        {m_controls.moveDown, &ucHistogram::moveDown},
        {m_controls.moveLeft, &ucHistogram::moveLeft},
        {m_controls.moveRight, &ucHistogram::moveRight},
        {m_controls.stretch, &ucHistogram::stretch},
        {m_controls.compress, &ucHistogram::compress},
    };
    for (const auto &[button, action] : actions)
        connect(button, &QPushButton::clicked, chart, action);
    connect(chart, &ucHistogram::viewChanged, this, &ChartPanel::showScale);
    chart->installEventFilter(this);
    // Run time, not the clock: it is what the run-time box, the figures and the exported
    // samples give, so a place on the chart compares with them as it reads.
    chart->setViewCaptions(
        tr("缩放 %1–%2 s · 复 位 返回实时"), tr("历史 %1–%2 s · 复 位 返回实时"));
}

/// The axis lies under the chart's face, in the frame's margin; while live it is hidden and the
/// window looks as it always did.
void ChartPanel::placeTimeAxis(QWidget &window)
{
    const ucHistogram *chart = m_controls.chart;
    m_timeAxis = new ChartTimeAxis(&window);
    const QRect face = chart->contentsRect().translated(chart->pos());
    m_timeAxis->setGeometry(face.left(), chart->geometry().bottom() + 1, face.width(),
        m_timeAxis->fontMetrics().height() + 4);
    m_timeAxis->hide();
}

void ChartPanel::offerChartMenu()
{
    ucHistogram *chart = m_controls.chart;
    offerContextMenu(chart, [this, chart] {
        auto *menu = new QMenu(chart);
        menu->addAction(tr("保存曲线图片…"), this, &ChartPanel::chooseImageFile);
        menu->addAction(tr("导出曲线数据…"), this, &ChartPanel::chooseDataFile);
        menu->addSeparator();
        QAction *clear = menu->addAction(tr("清除对比"), this, &ChartPanel::clearComparison);
        clear->setEnabled(!chart->overlays().isEmpty());
        return menu;
    });
}

void ChartPanel::moveSetPointMarker()
{
    const qint16 setTenths = m_session.controller().SetTempTenths;
    const ucHistogram *chart = m_controls.chart;
    QPushButton *marker = m_controls.setPointMarker;
    if (chart->Max() == 0)
        return;
    // The chart and the marker's frame share the window as their container.
    const int chartTop = marker->parentWidget()->mapFromParent(chart->pos()).y();
    const double top = chartTop + (1.0 - double(setTenths) / chart->Max()) * chart->height()
        - marker->height() / 2.0;
    if (std::abs(top) < 1e6)
        marker->move(marker->x(), int(std::nearbyint(top)));
}

void ChartPanel::clearHistory()
{
    m_controls.chart->clearHistory();
    m_start = QDateTime();
    if (std::exchange(m_prediction, std::nullopt))
        showOverlays();
}

void ChartPanel::compareRuns(const QList<ChartOverlay> &runs)
{
    m_compared = runs;
    showOverlays();
}

void ChartPanel::showPrediction(const AppliedPrediction &prediction)
{
    m_prediction = RunOverlay::fromPrediction(prediction);
    showOverlays();
}

void ChartPanel::clearComparison()
{
    m_prediction.reset();
    m_compared.clear();
    m_controls.chart->clearOverlays();
}

void ChartPanel::showOverlays()
{
    QList<ChartOverlay> overlays = m_compared;
    if (m_prediction)
        overlays.prepend(*m_prediction);
    if (overlays.isEmpty())
        m_controls.chart->clearOverlays();
    else
        m_controls.chart->setOverlays(overlays);
}

/// The current temperature in tenths becomes the chart's newest sample, stamped with the run
/// time in tenths of a second.
void ChartPanel::sampleTrend()
{
    ucHistogram *chart = m_controls.chart;
    if (const SampleHistory *history = chart->history(); history && history->count() == 0)
        m_start = m_clock->now();
    const qint64 runTenths = m_session.run().runTimeTenths();
    if (chart->NextPoint(m_session.controller().CurTempTenths, runTenths)
        && !chart->view().isLive())
        showTimeAxis();
}

/// The scale shows the top, middle and bottom of the temperatures in view, in a smaller type
/// where a value is too wide for its place.
void ChartPanel::showScale()
{
    const ChartView &view = m_controls.chart->view();
    const auto degrees = [](qint64 tenths) {
        return DisplayFormat::tenthsAsDegrees(int(std::clamp<qint64>(
            tenths, std::numeric_limits<int>::min(), std::numeric_limits<int>::max())));
    };
    const std::array<QString, 3> captions = view.isLive()
        ? kLiveScale
        : std::array<QString, 3>{
            degrees(view.bottom()), degrees(view.middle()), degrees(view.top())};
    for (std::size_t place = 0; place < captions.size(); ++place) {
        QLabel *caption = m_controls.scaleCaptions[place];
        setCaption(caption, captions[place]);
        caption->setFont(fontFittingLines(
            m_scaleFont, {captions[place]}, caption->contentsRect().size(), kSmallestScalePoints));
    }
    showTimeAxis();
}

void ChartPanel::showTimeAxis()
{
    const ucHistogram *chart = m_controls.chart;
    const bool shown = !chart->view().isLive();
    if (shown)
        m_timeAxis->setTicks(chart->timeTicks(m_timeAxis->minimumGap()));
    m_timeAxis->setVisible(shown);
}

bool ChartPanel::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_controls.chart && event->type() == QEvent::ToolTip) {
        showSampleToolTip(*static_cast<QHelpEvent *>(event));
        return true;
    }
    if (watched == m_controls.setPointMarker && event->type() == QEvent::MouseMove)
        describeSetPoint();
    return QObject::eventFilter(watched, event);
}

void ChartPanel::showSampleToolTip(const QHelpEvent &event)
{
    const std::optional<HistorySample> sample = m_controls.chart->sampleAt(event.pos());
    if (!sample) {
        QToolTip::hideText();
        return;
    }
    QToolTip::showText(event.globalPos(),
        tr("运行时间 %1 s，温度 %2 ℃")
            .arg(DisplayFormat::runTime(sample->stamp),
                DisplayFormat::tenthsAsDegrees(sample->value)),
        m_controls.chart);
}

void ChartPanel::describeSetPoint()
{
    m_controls.setPointMarker->setToolTip(tr("温度设定值 ")
        + DisplayFormat::tenthsAsDegrees(m_session.controller().SetTempTenths)
        + QStringLiteral("℃"));
}

void ChartPanel::chooseImageFile()
{
    QFileDialog *dialog = fileDialog(tr("保存曲线图片"), tr("PNG 图片 (*.png)"),
        QStringLiteral("png"), QStandardPaths::PicturesLocation);
    connect(dialog, &QFileDialog::fileSelected, this, [this](const QString &chosen) {
        const QString path = withSuffix(chosen, QStringLiteral("png"));
        const QString shown = QDir::toNativeSeparators(path);
        if (const std::optional<QString> problem = saveFile(
                path, path == chosen, [this](QIODevice &device) { return writePicture(device); }))
            m_status.show(tr("无法保存曲线图片：%1").arg(shown), *problem, shown);
    });
    dialog->open();
}

void ChartPanel::chooseDataFile()
{
    QFileDialog *dialog = fileDialog(tr("导出曲线数据"), tr("CSV 文件 (*.csv)"),
        QStringLiteral("csv"), QStandardPaths::DocumentsLocation);
    connect(dialog, &QFileDialog::fileSelected, this, [this](const QString &chosen) {
        const QString path = withSuffix(chosen, QStringLiteral("csv"));
        const QString shown = QDir::toNativeSeparators(path);
        if (const std::optional<QString> problem = saveFile(
                path, path == chosen, [this](QIODevice &device) { return writeSamples(device); }))
            m_status.show(tr("无法导出曲线数据：%1").arg(shown), *problem, shown);
    });
    dialog->open();
}

/// A save dialog in the records folder, or where the system keeps such files when there is
/// none yet, suggesting a name after the run's start as the records are named.
QFileDialog *ChartPanel::fileDialog(const QString &title, const QString &filter,
    const QString &suffix, QStandardPaths::StandardLocation elsewhere)
{
    QString folder = m_recordsDirectory;
    if (!QFileInfo(folder).isDir())
        folder = QStandardPaths::writableLocation(elsewhere);
    if (folder.isEmpty())
        folder = QDir::homePath();
    const QDateTime start = m_start.isValid() ? m_start : m_clock->now();
    auto *dialog = new QFileDialog(&m_window, title, folder, filter);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    // Added by the dialog before it asks about overwriting, where it can.
    dialog->setDefaultSuffix(suffix);
    dialog->selectFile(start.toLocalTime().toString(QStringLiteral("yyyy-MM-dd_HH-mm-ss"))
        + QStringLiteral("_chart.") + suffix);
    return dialog;
}

bool ChartPanel::saveImage(const QString &path)
{
    return !saveFile(path, true, [this](QIODevice &device) { return writePicture(device); });
}

bool ChartPanel::exportData(const QString &path)
{
    return !saveFile(path, true, [this](QIODevice &device) { return writeSamples(device); });
}

bool ChartPanel::writePicture(QIODevice &device) const
{
    QRect area = m_controls.chart->geometry();
    for (const QLabel *caption : m_controls.scaleCaptions)
        area |= QRect(caption->mapTo(&m_window, QPoint()), caption->size());
    if (m_timeAxis->isVisible())
        area |= m_timeAxis->geometry();
    return m_window.grab(area).save(&device, "PNG");
}

bool ChartPanel::writeSamples(QIODevice &device) const
{
    TrendSamples table(device);
    const ucHistogram *chart = m_controls.chart;
    if (const SampleHistory *history = chart->history()) {
        const ChartView::Recorded shown = chart->shownSamples();
        for (qint64 index = shown.first; index < shown.end; ++index) {
            const HistorySample sample = history->at(index);
            table.append(index + 1, DisplayFormat::runTime(sample.stamp), sample.value);
        }
    }
    return table.finish();
}
