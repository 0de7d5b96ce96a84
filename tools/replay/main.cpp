#include "application_setup.h"
#include "c_escapes.h"
#include "frm_main.h"
#include "memory_comm.h"
#include "replay_session.h"
#include "window_snapshot.h"

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
    const QJsonObject report{
        {QStringLiteral("controls"), snapshotControls(session.window())},
        {QStringLiteral("sent"),
            QString::fromStdString(encodeCEscapes(session.port().sent().toStdString()))},
    };
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)
        || file.write(QJsonDocument(report).toJson()) < 0) {
        errorStream() << path << ": " << file.errorString() << Qt::endl;
        return false;
    }
    return true;
}

bool writePng(const ReplaySession &session, const QString &path)
{
    if (session.window().grab().save(path, "PNG"))
        return true;
    errorStream() << path << ": could not write the picture" << Qt::endl;
    return false;
}
} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    setUpConsoleApplication();

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Runs a script against the console window on an in-memory port and writes what it shows."));
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("SCRIPT"), QStringLiteral("the script to run"));
    const QCommandLineOption pngOption(QStringLiteral("png"),
        QStringLiteral("write the window as a picture"), QStringLiteral("OUT.png"));
    const QCommandLineOption jsonOption(QStringLiteral("json"),
        QStringLiteral("write the controls and the bytes sent"), QStringLiteral("OUT.json"));
    parser.addOptions({pngOption, jsonOption});
    parser.process(app);
    if (parser.positionalArguments().size() != 1)
        parser.showHelp(2);

    ReplaySession session(QCoreApplication::applicationDirPath());
    if (!runScript(session, parser.positionalArguments().constFirst()))
        return 1;
    if (parser.isSet(jsonOption) && !writeJson(session, parser.value(jsonOption)))
        return 1;
    if (parser.isSet(pngOption) && !writePng(session, parser.value(pngOption)))
        return 1;
    return 0;
}
