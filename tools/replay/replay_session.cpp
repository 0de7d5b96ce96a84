#include "replay_session.h"

#include "c_escapes.h"

#include <QRegularExpression>

namespace {
std::pair<QString, QString> splitFirstWord(const QString &text)
{
    const qsizetype space = text.indexOf(u' ');
    if (space < 0)
        return {text, QString()};
    return {text.left(space), text.mid(space + 1)};
}
} // namespace

ReplaySession::ReplaySession(const QString &applicationDir)
    : m_console(OfflineConsole::Visibility::Shown, applicationDir)
{
}

std::optional<QString> ReplaySession::run(const QString &line)
{
    const qsizetype start = line.indexOf(QRegularExpression(QStringLiteral("\\S")));
    if (start < 0 || line.at(start) == u'#')
        return std::nullopt;
    // Arguments keep their trailing blanks: received text and typed text may end in them.
    const auto [command, arguments] = splitFirstWord(line.mid(start));
    std::optional<QString> failure;
    if (command == QLatin1String("connect"))
        failure = click(QStringLiteral("cmdConnect"));
    else if (command == QLatin1String("rx"))
        failure = receive(arguments);
    else if (command == QLatin1String("tick"))
        failure = tick(arguments);
    else if (command == QLatin1String("click"))
        failure = click(arguments.trimmed());
    else if (command == QLatin1String("type"))
        failure = type(arguments);
    else if (command == QLatin1String("move"))
        failure = move(arguments);
    else if (command == QLatin1String("menu"))
        failure = choose(arguments.trimmed());
    else if (command == QLatin1String("rows"))
        failure = selectRows(arguments.trimmed());
    else if (command == QLatin1String("clock"))
        failure = setClock(arguments.trimmed());
    else
        failure = QStringLiteral("unknown command \"%1\"").arg(command);
    return failure;
}

std::optional<QString> ReplaySession::receive(const QString &text)
{
    m_console.receive(QByteArray::fromStdString(decodeCEscapes(text.toStdString())));
    return std::nullopt;
}

std::optional<QString> ReplaySession::tick(const QString &count)
{
    bool ok = false;
    const qint64 ticks = count.trimmed().toLongLong(&ok);
    if (!ok || ticks < 0)
        return QStringLiteral("tick needs a count of 100 ms steps, not \"%1\"").arg(count);
    m_console.tick(ticks);
    return std::nullopt;
}

std::optional<QString> ReplaySession::click(const QString &name)
{
    if (!m_console.click(name))
        return QStringLiteral("no control \"%1\"").arg(name);
    return std::nullopt;
}

std::optional<QString> ReplaySession::type(const QString &arguments)
{
    const auto [name, text] = splitFirstWord(arguments);
    if (!m_console.type(
            name, QString::fromUtf8(QByteArray::fromStdString(decodeCEscapes(text.toStdString())))))
        return QStringLiteral("no text box \"%1\"").arg(name);
    return std::nullopt;
}

std::optional<QString> ReplaySession::move(const QString &arguments)
{
    const auto [name, valueText] = splitFirstWord(arguments.trimmed());
    bool ok = false;
    const int value = valueText.trimmed().toInt(&ok);
    if (!ok)
        return QStringLiteral("move needs a whole number, not \"%1\"").arg(valueText);
    if (!m_console.move(name, value))
        return QStringLiteral("no slider \"%1\"").arg(name);
    return std::nullopt;
}

std::optional<QString> ReplaySession::choose(const QString &arguments)
{
    const auto [name, entry] = splitFirstWord(arguments);
    if (!m_console.choose(name, entry))
        return QStringLiteral("no entry \"%1\" in the context menu of \"%2\"").arg(entry, name);
    return std::nullopt;
}

std::optional<QString> ReplaySession::selectRows(const QString &arguments)
{
    const QStringList words = arguments.split(u' ', Qt::SkipEmptyParts);
    QList<int> rows;
    for (const QString &word : words.mid(1)) {
        bool ok = false;
        rows.append(word.toInt(&ok));
        if (!ok)
            return QStringLiteral("rows needs row numbers, not \"%1\"").arg(word);
    }
    if (rows.isEmpty() || !m_console.selectRows(words.value(0), rows))
        return QStringLiteral("no table \"%1\" with rows %2")
            .arg(words.value(0), arguments.section(u' ', 1));
    return std::nullopt;
}

std::optional<QString> ReplaySession::setClock(const QString &moment)
{
    const QDateTime dateTime = QDateTime::fromString(moment, Qt::ISODate);
    if (!dateTime.isValid())
        return QStringLiteral("clock needs a moment such as 2026-12-06T14:30:00, not \"%1\"")
            .arg(moment);
    m_console.time().setNow(dateTime);
    return std::nullopt;
}
