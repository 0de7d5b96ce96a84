#include "command_line.h"

#include "profile_reader.h"

#include <QCommandLineParser>
#include <QFileInfo>
#include <QTextStream>

namespace {
const QStringList kLanguages{QStringLiteral("zh"), QStringLiteral("en")};
const QStringList kValueOptions{QStringLiteral("settings"), QStringLiteral("lang")};

/// An option's name as the parser knows it: without its dashes and without "=value".
QString optionName(const QString &argument)
{
    qsizetype start = 0;
    while (start < argument.size() && argument.at(start) == u'-')
        ++start;
    return argument.mid(start).section(u'=', 0, 0);
}

bool isOption(const QString &argument)
{
    return argument.size() > 1 && argument.startsWith(u'-');
}

/// The option as typed, dashes and all, that the parser reports by its bare name.
QString typedOption(const QStringList &arguments, const QString &name)
{
    for (const QString &argument : arguments.mid(1)) {
        if (argument == QLatin1String("--"))
            break;
        if (isOption(argument) && optionName(argument) == name)
            return argument.section(u'=', 0, 0);
    }
    return QStringLiteral("--") + name;
}

/// A value option given last, with nothing after it to be its value.
QString optionMissingItsValue(const QStringList &arguments)
{
    for (qsizetype index = 1; index < arguments.size(); ++index) {
        const QString &argument = arguments.at(index);
        if (argument == QLatin1String("--"))
            break;
        if (!isOption(argument) || argument.contains(u'=')
            || !kValueOptions.contains(optionName(argument)))
            continue;
        if (index + 1 == arguments.size())
            return argument;
        ++index;
    }
    return QString();
}

/// A switch given a value ("--help=yes").
QString switchGivenAValue(const QStringList &arguments)
{
    for (const QString &argument : arguments.mid(1)) {
        if (argument == QLatin1String("--"))
            break;
        if (isOption(argument) && argument.contains(u'=')
            && !kValueOptions.contains(optionName(argument)))
            return argument.section(u'=', 0, 0);
    }
    return QString();
}
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
    // Whatever the case it is typed in: EN, En and en are one language.
    command.m_language = parser.value(language).toLower();
    if (!parsed && !parser.unknownOptionNames().isEmpty())
        command.setProblem(Problem::UnknownOption,
            typedOption(arguments, parser.unknownOptionNames().constFirst()));
    else if (!parsed && !optionMissingItsValue(arguments).isEmpty())
        command.setProblem(Problem::MissingValue, optionMissingItsValue(arguments));
    else if (!parsed && !switchGivenAValue(arguments).isEmpty())
        command.setProblem(Problem::UnexpectedValue, switchGivenAValue(arguments));
    else if (!parsed)
        command.setProblem(Problem::Other, parser.errorText());
    else if (!parser.positionalArguments().isEmpty())
        command.setProblem(Problem::ExtraArgument, parser.positionalArguments().constFirst());
    else if (parser.isSet(language) && !kLanguages.contains(command.m_language))
        command.setProblem(Problem::UnknownLanguage, parser.value(language));
    if (command.m_problemKind != Problem::None)
        command.m_action = Action::Refuse;
    else if (parser.isSet(help))
        command.m_action = Action::ShowHelp;
    else if (parser.isSet(version))
        command.m_action = Action::ShowVersion;
    return command;
}

void CommandLine::checkSettingsFile()
{
    if (m_action != Action::Run || m_settingsFile.isEmpty())
        return;
    const ProfileFileCheck check = checkProfileFile(m_settingsFile);
    switch (check.outcome) {
    case ProfileFileCheck::Outcome::Missing:
        setProblem(Problem::SettingsFileMissing, m_settingsFile);
        break;
    case ProfileFileCheck::Outcome::NotRegular:
        setProblem(Problem::SettingsFileNotRegular, m_settingsFile);
        break;
    case ProfileFileCheck::Outcome::Unreadable:
        setProblem(Problem::SettingsFileUnreadable, m_settingsFile);
        m_problemReason = check.reason;
        break;
    case ProfileFileCheck::Outcome::Readable:
    case ProfileFileCheck::Outcome::TooLarge: // read in part; the window says so
        return;
    }
    m_action = Action::Refuse;
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
    case Problem::MissingValue:
        return tr("选项 %1 后面缺少值").arg(m_problemSubject);
    case Problem::UnexpectedValue:
        return tr("选项 %1 不带值").arg(m_problemSubject);
    case Problem::ExtraArgument:
        return tr("多余的参数：%1").arg(m_problemSubject);
    case Problem::UnknownLanguage:
        return tr("--lang 只接受 zh 或 en，而不是 %1").arg(m_problemSubject);
    case Problem::SettingsFileMissing:
        return tr("无法读取设置文件：%1 不存在").arg(m_problemSubject);
    case Problem::SettingsFileNotRegular:
        return tr("无法读取设置文件：%1 不是普通文件").arg(m_problemSubject);
    case Problem::SettingsFileUnreadable:
        return tr("无法读取设置文件：%1（%2）").arg(m_problemSubject, m_problemReason);
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
