#pragma once

#include <QCoreApplication>
#include <QString>

/// The step and the overshoot allowed that the operator asks advice for, as typed in the advice
/// dialog or on termiva-tune's command line: each end a temperature the set-point field takes,
/// as a step test's target is, the ends apart, and the overshoot a positive number of °C within
/// what a heater loop's limit can mean. Refused with the reason, in the same words everywhere.
class AdviceStep
{
    Q_DECLARE_TR_FUNCTIONS(AdviceStep)

public:
    static constexpr double kMostOvershoot = 50.0;

    static AdviceStep fromText(const QString &from, const QString &to, const QString &limit);

    bool isValid() const { return m_problem.isEmpty(); }
    /// Why it is refused, in the window's language; empty when it is not.
    const QString &problem() const { return m_problem; }
    double from() const { return m_from; }
    double to() const { return m_to; }
    double overshootLimit() const { return m_limit; }

private:
    QString m_problem;
    double m_from = 0.0;
    double m_to = 0.0;
    double m_limit = 0.0;
};
