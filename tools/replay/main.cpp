#include "app/application_setup.h"
#include "replay_session.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFile>
#include <QJsonDocument>
#include <QTextStream>

namespace {
QTextStream &errorStream()
{
    static QTextStream stream(stderr);
    return stream;
}

bool runScript(ReplaySession &session, const QString &path)
{
    QFile script(path);
    if (!script.open(QIODevice::ReadOnly | QIODevice::Text)) {
        errorStream() << path << ": " << script.errorString() << Qt::endl;
        return false;
    }
    int lineNumber = 0;
    while (!script.atEnd()) {
        ++lineNumber;
        QString line = QString::fromUtf8(script.readLine());
        if (line.endsWith(u'\n'))
            line.chop(1);
        if (const std::optional<QString> failure = session.run(line)) {
            errorStream() << path << ":" << lineNumber << ": " << *failure << Qt::endl;
            return false;
        }
    }
    return true;
}

bool writeJson(const ReplaySession &session, const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)
        || file.write(QJsonDocument(session.console().snapshot()).toJson()) < 0) {
        errorStream() << path << ": " << file.errorString() << Qt::endl;
        return false;
    }
    return true;
}

bool writePng(const ReplaySession &session, const QString &path)
{
    if (session.console().window().grab().save(path, "PNG"))
        return true;
    errorStream() << path << ": could not write the picture" << Qt::endl;
    return false;
}
} // namespace

int main(int argc, char *argv[])
{
    QStringList arguments;
    for (int index = 0; index < argc; ++index)
        arguments.append(QString::fromLocal8Bit(argv[index]));
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Runs a script against the console window on an in-memory port and writes what it shows."));
    const QCommandLineOption helpOption = parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("SCRIPT"), QStringLiteral("the script to run"));
    const QCommandLineOption pngOption(QStringLiteral("png"),
        QStringLiteral("write the window as a picture"), QStringLiteral("OUT.png"));
    const QCommandLineOption jsonOption(QStringLiteral("json"),
        QStringLiteral("write the controls and the bytes sent"), QStringLiteral("OUT.json"));
    const QCommandLineOption languageOption(QStringLiteral("lang"),
        QStringLiteral("the window's language, zh (the default) or en"), QStringLiteral("LANG"),
        QStringLiteral("zh"));
    parser.addOptions({pngOption, jsonOption, languageOption});
    // Help and refusals are answered before the window's application exists, which would
    // abort without a display.
    const bool parsed = parser.parse(arguments);
    if (!parsed || parser.isSet(helpOption) || parser.positionalArguments().size() != 1) {
        QCoreApplication app(argc, argv);
        if (!parsed)
            errorStream() << parser.errorText() << Qt::endl;
        QTextStream(parsed && parser.isSet(helpOption) ? stdout : stderr) << parser.helpText();
        return parsed && parser.isSet(helpOption) ? 0 : 2;
    }

    QApplication app(argc, argv);
    setUpConsoleApplication();
    const QString language = parser.value(languageOption).toLower();
    if (!installLanguage(language)) {
        qCritical("No translation for the language %s", qPrintable(language));
        return 2;
    }

    ReplaySession session(QCoreApplication::applicationDirPath());
    if (!runScript(session, parser.positionalArguments().constFirst()))
        return 1;
    if (parser.isSet(jsonOption) && !writeJson(session, parser.value(jsonOption)))
        return 1;
    if (parser.isSet(pngOption) && !writePng(session, parser.value(pngOption)))
        return 1;
    return 0;
}
