#include "step_command.h"

#include <QCoreApplication>
#include <QRegularExpression>

StepCommand StepCommand::fromText(
    const QString &target, const QString &p, const QString &i, const QString &d, const QString &t)
{
    StepCommand command;
    QString problem;
    command.m_fields.setTenths = temperatureTenths(target, tr("目标温度"), problem);
    command.refuse(problem);
    command.readGain(QStringLiteral("P"), p.trimmed(), command.m_fields.p);
    command.readGain(QStringLiteral("I"), i.trimmed(), command.m_fields.i);
    command.readGain(QStringLiteral("D"), d.trimmed(), command.m_fields.d);
    command.readGain(QStringLiteral("T"), t.trimmed(), command.m_fields.t);
    return command;
}

/// Digits with at most one decimal, a sign allowed so that a negative temperature is named as
/// such.
std::optional<qint16> StepCommand::temperatureTenths(
    const QString &typed, const QString &name, QString &problem)
{
    static const QRegularExpression form(QStringLiteral("^([+-]?)0*([0-9]+)(?:\\.([0-9]+))?$"));
    const QString trimmed = typed.trimmed();
    if (trimmed.isEmpty()) {
        problem = tr("请填写%1").arg(name);
        return std::nullopt;
    }
    const QRegularExpressionMatch match = form.match(trimmed);
    if (!match.hasMatch() || match.captured(3).size() > 1) {
        problem = tr("%1须为数字，最多一位小数").arg(name);
        return std::nullopt;
    }
    const QString digits = match.captured(2);
    const int tenth = match.captured(3).isEmpty() ? 0 : match.captured(3).toInt();
    if (match.captured(1) == QLatin1String("-") && (digits != QLatin1String("0") || tenth != 0)) {
        problem = tr("%1不能低于 0 ℃").arg(name);
        return std::nullopt;
    }
    // Leading zeros are gone: four digits or more are above the field whatever they are.
    if (digits.size() > 3) {
        problem = tr("%1不能高于 999.9 ℃").arg(name);
        return std::nullopt;
    }
    return qint16(digits.toInt() * 10 + tenth);
}

void StepCommand::readGain(const QString &name, const QString &typed, std::optional<qint16> &field)
{
    static const QRegularExpression form(QStringLiteral("^([+-]?)0*([0-9]+)$"));
    if (typed.isEmpty())
        return;
    const QRegularExpressionMatch match = form.match(typed);
    if (!match.hasMatch())
        return refuse(tr("%1 须为整数").arg(name));
    const QString digits = match.captured(2);
    if (match.captured(1) == QLatin1String("-") && digits != QLatin1String("0"))
        return refuse(tr("%1 不能小于 0").arg(name));
    if (digits.size() > 3)
        return refuse(tr("%1 不能大于 999").arg(name));
    field = qint16(digits.toInt());
}

/// The first problem is the one named; the operator fixes one field at a time.
void StepCommand::refuse(const QString &problem)
{
    if (m_problem.isEmpty())
        m_problem = problem;
}
