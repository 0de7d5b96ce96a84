#include "step_command.h"

#include <QCoreApplication>
#include <QRegularExpression>

StepCommand StepCommand::fromText(
    const QString &target, const QString &p, const QString &i, const QString &d, const QString &t)
{
    StepCommand command;
    command.readTarget(target.trimmed());
    command.readGain(QStringLiteral("P"), p.trimmed(), command.m_fields.p);
    command.readGain(QStringLiteral("I"), i.trimmed(), command.m_fields.i);
    command.readGain(QStringLiteral("D"), d.trimmed(), command.m_fields.d);
    command.readGain(QStringLiteral("T"), t.trimmed(), command.m_fields.t);
    return command;
}

/// Digits with at most one decimal, a sign allowed so that a negative target is named as such.
void StepCommand::readTarget(const QString &typed)
{
    static const QRegularExpression form(QStringLiteral("^([+-]?)0*([0-9]+)(?:\\.([0-9]+))?$"));
    if (typed.isEmpty())
        return refuse(tr("请填写目标温度"));
    const QRegularExpressionMatch match = form.match(typed);
    if (!match.hasMatch() || match.captured(3).size() > 1)
        return refuse(tr("目标温度须为数字，最多一位小数"));
    const QString digits = match.captured(2);
    const int tenth = match.captured(3).isEmpty() ? 0 : match.captured(3).toInt();
    if (match.captured(1) == QLatin1String("-") && (digits != QLatin1String("0") || tenth != 0))
        return refuse(tr("目标温度不能低于 0 ℃"));
    // Leading zeros are gone: four digits or more are above the field whatever they are.
    if (digits.size() > 3)
        return refuse(tr("目标温度不能高于 999.9 ℃"));
    m_fields.setTenths = qint16(digits.toInt() * 10 + tenth);
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
