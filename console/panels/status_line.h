#pragma once

#include <QFont>
#include <QObject>
#include <QRect>
#include <QString>

class QLabel;
class QPoint;

/// The status line under the port options: the short text leads, whole, in a smaller type where
/// it is too wide and in the free row beside it where even that is; the tooltip holds it with its
/// detail, the settings file in use and what in it was not understood; beside it a lasting mark
/// while nothing is recorded.
class StatusLine : public QObject
{
    Q_OBJECT

public:
    StatusLine(QLabel *label, const QString &settingsFile, QObject *parent);

    /// Only a path within the short text (cuttable) is shortened where even the smallest type
    /// cannot hold it whole.
    void show(const QString &shortText, const QString &detail = {}, const QString &cuttable = {});
    /// A message that stays until the next one shown with show(): the routine report of every
    /// received line does not replace it.
    void showStanding(const QString &shortText, const QString &detail = {});
    /// What every received line reports, with why it is not recorded if it is not; a standing
    /// message stays in its place.
    void showLineReceived();
    /// Ends a standing message; the next routine report shows again.
    void clearStanding() { m_standing = false; }
    /// A settings file that is there but cannot be read whole would otherwise pass unnoticed.
    void reportSettingsFile();

    void setRecordingEnabled(bool enabled);
    /// Standing, and also on standard error: a failure while the window closes would otherwise
    /// go unseen.
    void reportRecordingFailure(const QString &reason);
    void clearRecordingFailure();
    /// Standing, as the failure is: the lines that follow do not replace it.
    void reportRecordRestarted(const QString &fileName);
    /// Standing as well: the runs went beside a runs file that holds someone else's table.
    void reportRunsFileElsewhere(const QString &foreignName, const QString &fileName);
    /// Why this connection is not being recorded; empty while it is.
    const QString &recordingFailure() const { return m_recordingFailure; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void display(const QString &shortText, const QString &detail, const QString &cuttable);
    void layOut();
    void showToolTip(const QPoint &position) const;
    void showRecordingMark();

    QLabel *m_label;
    const QString m_settingsFile;
    const QFont m_designFont;
    const QRect m_designPlace;
    /// The whole text, as the tooltip shows it.
    QString m_status;
    QString m_shortText;
    QString m_cuttable;
    bool m_standing = false;
    bool m_recordingEnabled = true;
    QString m_recordingFailure;
    /// "未记录" beside the status line; made when first needed.
    QLabel *m_notRecording = nullptr;
};
