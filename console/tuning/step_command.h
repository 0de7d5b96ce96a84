#pragma once

#include "tuning/command_fields.h"

#include <QCoreApplication>
#include <QString>

#include <optional>

/// A step test's command from what the operator typed: the target in °C with at most one
/// decimal, and P, I, D and T as whole numbers or empty (not sent). Whatever does not fit the
/// controller's fields (S 0 to 999.9 °C, the others 0 to 999) is refused with a reason.
class StepCommand
{
    Q_DECLARE_TR_FUNCTIONS(StepCommand)

public:
    static StepCommand fromText(const QString &target, const QString &p, const QString &i,
        const QString &d, const QString &t);
    /// A temperature as the set-point field takes it, in tenths, or why not, the field named.
    static std::optional<qint16> temperatureTenths(
        const QString &typed, const QString &name, QString &problem);

    bool isValid() const { return m_problem.isEmpty(); }
    /// Why it is refused, in the window's language; empty when it is not.
    QString problem() const { return m_problem; }
    /// What is sent; empty fields are not sent.
    CommandFields fields() const { return m_fields; }
    /// The command as it goes out, "S0600 P010 I005 D002"; empty while refused.
    QString text() const { return isValid() ? m_fields.commandText() : QString(); }

private:
    void readGain(const QString &name, const QString &typed, std::optional<qint16> &field);
    void refuse(const QString &problem);

    CommandFields m_fields;
    QString m_problem;
};
