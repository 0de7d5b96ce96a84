#pragma once

#include "tuning/applied_prediction.h"

#include "chart_overlay.h"
#include "form/window_controls.h"

#include <QDateTime>
#include <QFont>
#include <QList>
#include <QObject>
#include <QStandardPaths>

#include <memory>

class ChartTimeAxis;
class Clock;
class QFileDialog;
class QHelpEvent;
class QWidget;
class StatusLine;
class WindowTimer;
class ConsoleSession;

/// The trend chart with its scale, time axis and set-point marker, the buttons that change its
/// view, and its samples and picture as files.
class ChartPanel : public QObject
{
    Q_OBJECT

public:
    ChartPanel(const ChartControls &controls, QWidget &window, WindowTimer &trendTimer,
        const ConsoleSession &session, StatusLine &status, std::shared_ptr<const Clock> clock,
        QObject *parent);

    /// Where the chart's files are offered first.
    void setRecordsDirectory(const QString &directory) { m_recordsDirectory = directory; }
    /// Puts the marker's middle at the set temperature's height beside the chart.
    void moveSetPointMarker();
    /// A new run: the chart starts empty; runs compared stay over it.
    void clearHistory();
    /// Earlier runs drawn over the chart, in place of those drawn before, until "清除对比".
    void compareRuns(const QList<ChartOverlay> &runs);
    /// The run's predicted curve, dashed, beside any runs compared; it goes with the run.
    void showPrediction(const AppliedPrediction &prediction);

    /// The chart with its scale and, while shown, its time axis as a picture; false when it
    /// cannot be written.
    bool saveImage(const QString &path);
    /// The samples of the chart's view as a table: index, run time, temperature; while live the
    /// newest the live chart shows, otherwise every one in the view's time range.
    bool exportData(const QString &path);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showOverlays();
    void clearComparison();
    void connectViewButtons();
    void placeTimeAxis(QWidget &window);
    void offerChartMenu();

    // Timer2_Timer
    void sampleTrend();
    void showScale();
    void showTimeAxis();
    void showSampleToolTip(const QHelpEvent &event);
    // set_v_MouseMove
    void describeSetPoint();
    void chooseImageFile();
    void chooseDataFile();
    QFileDialog *fileDialog(const QString &title, const QString &filter, const QString &suffix,
        QStandardPaths::StandardLocation elsewhere);
    bool writePicture(QIODevice &device) const;
    bool writeSamples(QIODevice &device) const;

    ChartControls m_controls;
    QWidget &m_window;
    const ConsoleSession &m_session;
    StatusLine &m_status;
    std::shared_ptr<const Clock> m_clock;
    QFont m_scaleFont;
    ChartTimeAxis *m_timeAxis = nullptr;
    QString m_recordsDirectory;
    /// When the chart's first sample of the run was taken; its files are named after it.
    QDateTime m_start;
    std::optional<ChartOverlay> m_prediction;
    QList<ChartOverlay> m_compared;
};
