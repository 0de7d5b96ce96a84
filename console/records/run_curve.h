#pragma once

#include "records/read_progress.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QString>
#include <QStringList>

#include <vector>

class RowFields;

/// A point of a run's temperature curve: the run time and the current temperature, both in
/// tenths, as the run's lines gave them; or the moment the link was lost, after which the curve
/// has no temperature until its next point.
struct CurvePoint
{
    qint64 runTenths = 0;
    qint32 tenths = 0;
    bool lost = false;
    bool operator==(const CurvePoint &other) const
    {
        return runTenths == other.runTenths && tenths == other.tenths && lost == other.lost;
    }
};

/// A run's temperature curve read back from its record files: the line rows from the run's start
/// to its end (to the end of the files for a run in progress) that carried a current temperature,
/// and the losses of the link between them.
class RunCurve
{
    Q_DECLARE_TR_FUNCTIONS(RunCurve)

public:
    /// The run of a runs.csv row, its columns named by heading, from its record files in the
    /// folder. A record that is missing, cannot be read or holds none of the run's lines makes
    /// the curve invalid, its problem naming the file; so does a record named by anything but a
    /// plain file name, which could lead out of the folder. Reading stops once cancelled.
    static RunCurve read(const QString &directory, const QStringList &heading,
        const QStringList &run, const ReadProgress &progress = {});
    /// The bytes of the run's record files, for the progress of reading several runs.
    static qint64 recordBytes(
        const QString &directory, const QStringList &heading, const QStringList &run);

    bool isValid() const { return m_problem.isEmpty() && !m_cancelled; }
    bool isCancelled() const { return m_cancelled; }
    /// Why there is no curve, in the window's language.
    const QString &problem() const { return m_problem; }
    /// What was left out of a curve drawn all the same: rows cut short or too long.
    const QStringList &notes() const { return m_notes; }
    const QDateTime &start() const { return m_start; }
    const std::vector<CurvePoint> &points() const { return m_points; }

private:
    void take(const RowFields &fields);
    void startAtZeroAfterAClear();

    QDateTime m_start;
    std::vector<CurvePoint> m_points;
    QString m_problem;
    QStringList m_notes;
    bool m_cancelled = false;
};
