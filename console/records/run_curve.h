#pragma once

#include <QCoreApplication>
#include <QDateTime>
#include <QString>
#include <QStringList>

#include <vector>

/// A point of a run's temperature curve: the run time and the current temperature, both in
/// tenths, as the run's lines gave them.
struct CurvePoint
{
    qint64 runTenths = 0;
    qint32 tenths = 0;
    bool operator==(const CurvePoint &other) const
    {
        return runTenths == other.runTenths && tenths == other.tenths;
    }
};

/// A run's temperature curve read back from its record files: the line rows from the run's start
/// to its end (to the end of the files for a run in progress) that carried a current temperature.
class RunCurve
{
    Q_DECLARE_TR_FUNCTIONS(RunCurve)

public:
    /// The run of a runs.csv row, its columns named by heading, from its record files in the
    /// folder. A record that is missing, cannot be read or holds none of the run's lines makes
    /// the curve invalid, its problem naming the file.
    static RunCurve read(
        const QString &directory, const QStringList &heading, const QStringList &run);

    bool isValid() const { return m_problem.isEmpty(); }
    /// Why there is no curve, in the window's language.
    const QString &problem() const { return m_problem; }
    const QDateTime &start() const { return m_start; }
    const std::vector<CurvePoint> &points() const { return m_points; }

private:
    bool readRecord(const QString &path, const QDateTime &end);
    void startAtZeroAfterAClear();

    QDateTime m_start;
    std::vector<CurvePoint> m_points;
    QString m_problem;
};
