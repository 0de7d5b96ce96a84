#include "command_line.h"

#include <QCommandLineParser>
#include <QFileInfo>
#include <QTextStream>

namespace {
const QStringList kLanguages{QStringLiteral("zh"), QStringLiteral("en")};
} // namespace

CommandLine CommandLine::parse(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption version(QStringList{QStringLiteral("v"), QStringLiteral("version")});
    const QCommandLineOption settings(QStringLiteral("settings"), {}, QStringLiteral("FILE"));
    const QCommandLineOption language(QStringLiteral("lang"), {}, QStringLiteral("LANG"));
    parser.addOptions({help, version, settings, language});

    CommandLine command;
    command.m_program = QFileInfo(arguments.value(0, QStringLiteral("termiva"))).fileName();
    const bool parsed = parser.parse(arguments);
    command.m_settingsFile = parser.value(settings);
    command.m_language = parser.value(language);
    if (!parsed && !parser.unknownOptionNames().isEmpty())
        command.setProblem(Problem::UnknownOption, parser.unknownOptionNames().constFirst());
    else if (!parsed)
        command.setProblem(Problem::Other, parser.errorText());
    else if (!parser.positionalArguments().isEmpty())
        command.setProblem(Problem::ExtraArgument, parser.positionalArguments().constFirst());
    else if (parser.isSet(language) && !kLanguages.contains(command.m_language))
        command.setProblem(Problem::UnknownLanguage, command.m_language);
    if (command.m_problemKind != Problem::None)
        command.m_action = Action::Refuse;
    else if (parser.isSet(help))
        command.m_action = Action::ShowHelp;
    else if (parser.isSet(version))
        command.m_action = Action::ShowVersion;
    return command;
}

void CommandLine::setProblem(Problem kind, const QString &subject)
{
    m_problemKind = kind;
    m_problemSubject = subject;
}

QString CommandLine::problem() const
{
    switch (m_problemKind) {
    case Problem::UnknownOption:
        return tr("未知选项：%1").arg(m_problemSubject);
    case Problem::ExtraArgument:
        return tr("多余的参数：%1").arg(m_problemSubject);
    case Problem::UnknownLanguage:
        return tr("--lang 只接受 zh 或 en，而不是 %1").arg(m_problemSubject);
    case Problem::Other:
        return m_problemSubject;
    case Problem::None:
        break;
    }
    return QString();
}

int CommandLine::report(QTextStream &out, QTextStream &error) const
{
    const QString usage = tr("用法：%1 [--settings 文件] [--lang zh|en]").arg(m_program);
    switch (m_action) {
    case Action::ShowHelp:
        out << usage << "\n\n"
            << tr("温度控制器的串口控制台。") << "\n\n"
            << tr("  -h, --help         显示本帮助") << '\n'
            << tr("  -v, --version      显示版本") << '\n'
            << tr("  --settings 文件    使用这个设置文件") << '\n'
            << tr("  --lang zh|en       界面语言（默认中文）") << "\n\n"
            << tr("没有 --settings 时依次查找 tarvex.ini：程序所在目录、"
                  "~/.config/Termiva/、/etc/termiva/。")
            << '\n';
        return 0;
    case Action::ShowVersion:
        out << m_program << ' ' << QCoreApplication::applicationVersion() << '\n';
        return 0;
    case Action::Refuse:
        error << m_program << ": " << problem() << '\n' << usage << '\n';
        return kRefusedExitCode;
    case Action::Run:
        break;
    }
    return 0;
}
