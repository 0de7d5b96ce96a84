#include "command_confirmation.h"

#include "clock.h"
#include "window_timer.h"

#include <QStringList>

namespace {
QString degrees(qint16 tenths)
{
    return QString::number(tenths / 10.0, 'f', 1);
}

template <typename Value>
void keepIfGiven(std::optional<Value> &kept, const std::optional<Value> &given)
{
    if (given)
        kept = given;
}
} // namespace

CommandConfirmation::CommandConfirmation(std::shared_ptr<const Clock> clock, QObject *parent)
    : QObject(parent)
    , m_clock(std::move(clock))
    , m_checkTimer(
          new WindowTimer(QStringLiteral("ConfirmationCheck"), kCheckInterval, false, this))
{
    connect(m_checkTimer, &WindowTimer::Timer, this, &CommandConfirmation::checkTime);
}

void CommandConfirmation::commandSent(const QString &text)
{
    m_standing.reset();
    const std::optional<CommandFields> fields = CommandFields::read(text);
    if (!fields)
        return;
    keepIfGiven(m_latest.t, fields->t);
    m_watched.reset();
    if (fields->hasShownField())
        m_watched = Watched{*fields, now(), 0};
    m_checkTimer->setEnabled(m_watched.has_value());
}

void CommandConfirmation::lineCompleted(const CommandFields &values)
{
    keepIfGiven(m_latest.setTenths, values.setTenths);
    keepIfGiven(m_latest.p, values.p);
    keepIfGiven(m_latest.i, values.i);
    keepIfGiven(m_latest.d, values.d);
    if (!m_watched)
        return;
    ++m_watched->lines;
    if (allShown())
        decide(true);
    else
        checkTime();
}

void CommandConfirmation::cancel()
{
    m_watched.reset();
    m_standing.reset();
    m_checkTimer->setEnabled(false);
}

/// Both the lines and the time must have passed: a flood brings five lines at once, and a
/// silent controller none.
void CommandConfirmation::checkTime()
{
    if (m_watched && m_watched->lines >= kLines && now() - m_watched->sentAt >= kWaitMilliseconds)
        decide(false);
}

void CommandConfirmation::decide(bool confirmed)
{
    const CommandVerdict verdict{confirmed, confirmed ? confirmedText() : unconfirmedText(),
        m_watched->sent, CommandFields{m_latest.setTenths, m_latest.p, m_latest.i, m_latest.d, {}}};
    m_watched.reset();
    m_checkTimer->setEnabled(false);
    m_standing = verdict.text;
    emit decided(verdict);
}

bool CommandConfirmation::allShown() const
{
    const CommandFields &sent = m_watched->sent;
    const auto shown = [](const std::optional<qint16> &wanted, const std::optional<qint16> &seen) {
        return !wanted || wanted == seen;
    };
    return shown(sent.setTenths, m_latest.setTenths) && shown(sent.p, m_latest.p)
        && shown(sent.i, m_latest.i) && shown(sent.d, m_latest.d);
}

QString CommandConfirmation::confirmedText() const
{
    const CommandFields &sent = m_watched->sent;
    QStringList parts;
    if (sent.setTenths)
        parts.append(tr("设定 %1 ℃").arg(degrees(*sent.setTenths)));
    for (const auto &[name, value] : {std::pair{u'P', sent.p}, {u'I', sent.i}, {u'D', sent.d}}) {
        if (value)
            parts.append(QStringLiteral("%1 %2").arg(QChar(name)).arg(*value));
    }
    return tr("控制器已确认：%1").arg(parts.join(tr("，")));
}

QString CommandConfirmation::unconfirmedText() const
{
    const CommandFields &sent = m_watched->sent;
    QStringList parts;
    const auto differs = [&](const QString &name, const std::optional<qint16> &wanted,
                             const std::optional<qint16> &seen, auto shownAs) {
        if (!wanted || wanted == seen)
            return;
        parts.append(seen ? tr("%1 发送 %2，仍为 %3").arg(name, shownAs(*wanted), shownAs(*seen))
                          : tr("%1 发送 %2，没有读数").arg(name, shownAs(*wanted)));
    };
    const auto temperature = [](qint16 tenths) { return tr("%1 ℃").arg(degrees(tenths)); };
    const auto gain = [](qint16 value) { return QString::number(value); };
    differs(tr("设定"), sent.setTenths, m_latest.setTenths, temperature);
    differs(QStringLiteral("P"), sent.p, m_latest.p, gain);
    differs(QStringLiteral("I"), sent.i, m_latest.i, gain);
    differs(QStringLiteral("D"), sent.d, m_latest.d, gain);
    return tr("控制器未确认：%1").arg(parts.join(tr("，")));
}

qint64 CommandConfirmation::now() const
{
    return m_clock->now().toMSecsSinceEpoch();
}
