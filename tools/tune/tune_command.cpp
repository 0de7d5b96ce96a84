#include "tune_command.h"

#include "advice_output.h"
#include "app/application_setup.h"
#include "records/csv_format.h"
#include "records/read_progress.h"
#include "records/record_rows.h"
#include "records/recorded_plant.h"
#include "records/run_recorder.h"
#include "records/run_verification.h"
#include "records/runs_file_tail.h"
#include "report/tuning_report.h"
#include "settings_lookup.h"
#include "tuning/advice_step.h"
#include "tuning/plant_model_text.h"
#include "tuning/tuning_advice.h"

#include <QCommandLineParser>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <QTextStream>

#include <array>
#include <cmath>
#include <variant>

namespace {

const QString kRunStart = QStringLiteral("run-start");
const QString kSettings = QStringLiteral("settings");
const QString kJson = QStringLiteral("json");
const QString kLanguage = QStringLiteral("lang");
const QString kAdvise = QStringLiteral("advise");
const QString kPredict = QStringLiteral("predict");
const QString kStep = QStringLiteral("step");
const QString kOvershoot = QStringLiteral("overshoot");
const QString kReport = QStringLiteral("report");
const QString kResting = QStringLiteral("resting");
const QString kConfirmLaw = QStringLiteral("confirm-law");
const QString kSelf = QStringLiteral("self");

/// What to do with the model besides printing it.
struct Prediction
{
    StepPlan plan;
    /// The gains to predict; none for the whole advice.
    std::optional<GainSet> given;
    double overshootLimit = TuningAdvice::kDefaultOvershootLimit;
    /// The gains the loop rests under before the step; none for the record's last ones, both
    /// as applied from them and as kept.
    std::optional<GainSet> resting;
    /// The loop rests under the predicted gains themselves.
    bool restingSelf = false;
    bool lawConfirmed = false;
};

/// The options, described in the language installed when it is called.
void describe(QCommandLineParser &parser)
{
    parser.setApplicationDescription(
        TuneCommand::tr("按运行记录拟合加热过程的一阶加纯滞后模型，并检查控制器的 P、I 刻度。"));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("RECORD.csv"), TuneCommand::tr("控制台的记录文件"));
    parser.addOptions({
        {kRunStart, TuneCommand::tr("拟合这时进行的运行（默认：记录中最长的运行）"),
            QStringLiteral("TIME")},
        {kSettings, TuneCommand::tr("从这个设置文件的 [TUNING] 读控制规律"),
            QStringLiteral("FILE")},
        {kJson, TuneCommand::tr("以 JSON 输出")},
        {kLanguage, TuneCommand::tr("输出的语言：zh（默认）或 en"), QStringLiteral("LANG")},
        {kAdvise, TuneCommand::tr("给出整定建议：各候选增益及其预测的阶跃响应（需 --step）")},
        {kPredict, TuneCommand::tr("预测这组增益的阶跃响应（需 --step）"), QStringLiteral("P,I,D")},
        {kStep, TuneCommand::tr("预测的阶跃：从 FROM ℃ 到 TO ℃"), QStringLiteral("FROM:TO")},
        {kOvershoot, TuneCommand::tr("推荐增益允许的超调（℃，默认 0.5）"), QStringLiteral("C")},
        {kResting,
            TuneCommand::tr("阶跃前控制器所用的增益：P,I,D，或 self（用各组自己的增益，即保持时）；"
                            "默认两种都算：从记录最后的增益应用时和保持时，较差的为准"),
            QStringLiteral("P,I,D|self")},
        {kConfirmLaw,
            TuneCommand::tr("确认 [TUNING] 的刻度无误：控制规律检查与记录不符时也给出推荐")},
        {kReport,
            TuneCommand::tr("把整定报告写成 OUT.html，并在旁边写 PDF（需 --step，选定推荐的增益）"),
            QStringLiteral("OUT.html")},
    });
}

/// A time as the records and runs.csv write it, or as typed with a space for the T.
std::optional<qint64> momentOf(QString text)
{
    if (text.size() > 10 && text.at(10) == u' ')
        text[10] = u'T';
    const QDateTime moment = QDateTime::fromString(text, Qt::ISODateWithMs);
    return moment.isValid() ? std::optional<qint64>(moment.toMSecsSinceEpoch()) : std::nullopt;
}

std::optional<GainSet> gainsOf(const QString &text)
{
    const QStringList parts = text.split(u',');
    if (parts.size() != 3)
        return std::nullopt;
    std::array<int, 3> gains{};
    for (int at = 0; at < 3; ++at) {
        bool ok = false;
        gains[at] = parts[at].trimmed().toInt(&ok);
        if (!ok || gains[at] < 0 || gains[at] > GainSet::kLargest)
            return std::nullopt;
    }
    return GainSet{gains[0], gains[1], gains[2]};
}

/// The step and what to predict on it, or why the options do not say.
std::variant<Prediction, QString> predictionOf(const QCommandLineParser &parser)
{
    Prediction prediction;
    if (parser.isSet(kPredict) && (parser.isSet(kAdvise) || parser.isSet(kReport)))
        return TuneCommand::tr("--predict 不能与 --advise 或 --report 一起用");
    if (!parser.isSet(kStep))
        return TuneCommand::tr("要预测，得给出阶跃：--step FROM:TO，例如 --step 50:60");
    const QStringList ends = parser.value(kStep).split(u':');
    if (ends.size() != 2)
        return TuneCommand::tr("阶跃无法读取：%1（例如 50:60，两端不同）").arg(parser.value(kStep));
    const AdviceStep step = AdviceStep::fromText(ends[0], ends[1],
        parser.isSet(kOvershoot) ? parser.value(kOvershoot)
                                 : QString::number(TuningAdvice::kDefaultOvershootLimit));
    if (!step.isValid())
        return step.problem();
    prediction.plan.from = step.from();
    prediction.plan.to = step.to();
    prediction.overshootLimit = step.overshootLimit();
    if (parser.isSet(kPredict)) {
        prediction.given = gainsOf(parser.value(kPredict));
        if (!prediction.given)
            return TuneCommand::tr("增益无法读取：%1（例如 10,5,2，各在 0 到 999）")
                .arg(parser.value(kPredict));
    }
    if (parser.isSet(kResting)) {
        prediction.restingSelf = parser.value(kResting).trimmed().toLower() == kSelf;
        prediction.resting = gainsOf(parser.value(kResting));
        if (!prediction.restingSelf && !prediction.resting)
            return TuneCommand::tr(
                "阶跃前的增益无法读取：%1（例如 10,5,2，各在 0 到 999；或 self）")
                .arg(parser.value(kResting));
    }
    prediction.lawConfirmed = parser.isSet(kConfirmLaw);
    return prediction;
}

TuningAdvice::Request adviceRequest(
    const RecordedPlant &plant, const ControllerLaw &law, const Prediction &prediction)
{
    TuningAdvice::Request request;
    request.model = *plant.model;
    request.law = law;
    request.current = plant.lastGains();
    request.plan = prediction.plan;
    request.plan.restingGains = prediction.restingSelf
        ? std::nullopt
        : (prediction.resting ? prediction.resting : request.current);
    request.alsoKept = !prediction.restingSelf && !prediction.resting;
    request.overshootLimit = prediction.overshootLimit;
    request.lawDisputed = plant.lawCheck && plant.lawCheck->disagrees() && !prediction.lawConfirmed;
    return request;
}

TuningAdvice predicted(const RecordedPlant &plant, const ControllerLaw &law, Prediction prediction)
{
    const TuningAdvice::Request request = adviceRequest(plant, law, prediction);
    if (const std::optional<GainSet> &given = prediction.given) {
        TuningAdvice advice;
        advice.candidates.push_back(
            TuningAdvice::predicted(TuningAdvice::Kind::Given, *given, request));
        return advice;
    }
    return TuningAdvice::of(request);
}

/// The run's row in the console's runs file beside its record, where the run was started with
/// predicted gains: the newest row of this record started by the run's first line. Read from the
/// end back, as the run history reads it, so that a history of any size costs only the rows
/// after the run's; rows are written as runs end, so once a row ended before the run's first
/// line, no older row is the run's.
std::optional<RunVerification> verificationBeside(const QString &record, qint64 firstLine)
{
    RunsFileTail tail(
        RunsFileTail::locate(QFileInfo(record).dir().filePath(RunRecorder::runsFileName())).path);
    const QStringList &heading = tail.heading();
    const auto moment = [&heading](const QStringList &row, const char *column) {
        return QDateTime::fromString(
            row.value(heading.indexOf(QLatin1String(column))), Qt::ISODateWithMs);
    };
    const qsizetype recordColumn = heading.indexOf(QLatin1String("record"));
    const QString name = QFileInfo(record).fileName();
    QStringList chosen;
    tail.readBack(1, ReadProgress(), [&](QByteArrayView text) {
        const QStringList row = CsvFormat::parse(QString::fromUtf8(text)).value(0);
        const QDateTime end = moment(row, "end");
        if (end.isValid() && end.toMSecsSinceEpoch() < firstLine)
            return true;
        const QDateTime start = moment(row, "start");
        if (!start.isValid() || start.toMSecsSinceEpoch() > firstLine
            || !row.value(recordColumn).split(RunRecorder::recordSeparator()).contains(name))
            return false;
        chosen = row;
        return true;
    });
    return chosen.isEmpty() ? std::nullopt : RunVerification::fromRow(heading, chosen);
}

std::optional<QString> writeReport(const QString &path, const QString &record,
    const RecordedPlant &plant, const ControllerLaw &law, const Prediction &prediction,
    const TuningAdvice &advice)
{
    TuningReportContent content;
    content.recordFiles = QStringList{QFileInfo(record).fileName()};
    content.plant = plant;
    content.law = law;
    content.plan =
        LoopPrediction::completed(adviceRequest(plant, law, prediction).plan, *plant.model);
    content.overshootLimit = prediction.overshootLimit;
    content.advice = advice;
    for (std::size_t at = 0; at < advice.candidates.size(); ++at) {
        if (advice.candidates[at].kind == TuningAdvice::Kind::Recommended)
            content.chosen = at;
    }
    content.verification = verificationBeside(record, plant.runStart);
    return TuningReport::writeBoth(path, content);
}

QString recordTime(qint64 milliseconds)
{
    return RecordTimes::text(QDateTime::fromMSecsSinceEpoch(milliseconds));
}

QJsonValue optionalNumber(std::optional<double> value)
{
    return value ? QJsonValue(*value) : QJsonValue(QJsonValue::Null);
}

QJsonObject modelJson(const PlantModel &model)
{
    return {
        {QStringLiteral("gain_c_per_count"), model.gain},
        {QStringLiteral("gain_c_full"), model.fullOutputGain()},
        {QStringLiteral("tau_s"), model.timeConstant},
        {QStringLiteral("dead_time_s"), model.deadTime},
        {QStringLiteral("offset_c"), model.offset},
        {QStringLiteral("rms_c"), model.rms},
        {QStringLiteral("gain_sd"), model.gainSd},
        {QStringLiteral("tau_sd"), model.timeConstantSd},
        {QStringLiteral("dead_time_sd"), model.deadTimeSd},
        {QStringLiteral("lines"), model.lines},
        {QStringLiteral("from"), recordTime(model.fromMilliseconds)},
        {QStringLiteral("to"), recordTime(model.toMilliseconds)},
    };
}

QString verdictKey(LawCheck::Verdict verdict)
{
    switch (verdict) {
    case LawCheck::Verdict::Agrees:
        return QStringLiteral("agrees");
    case LawCheck::Verdict::Disagrees:
        return QStringLiteral("disagrees");
    case LawCheck::Verdict::Untold:
        break;
    }
    return QStringLiteral("untold");
}

QJsonObject lawCheckJson(const LawCheck &check, const ControllerLaw &law)
{
    QJsonObject json{
        {QStringLiteral("lines"), check.lines},
        {QStringLiteral("p_scale_set"), law.pScale},
        {QStringLiteral("i_scale_set"), law.iScale},
        {QStringLiteral("summary"), check.summary(law)},
    };
    if (!check.unchecked.isEmpty()) {
        json.insert(QStringLiteral("unchecked"), check.unchecked);
        return json;
    }
    for (const auto &[name, scale] :
        {std::pair{QStringLiteral("p"), &check.p}, std::pair{QStringLiteral("i"), &check.i}}) {
        json.insert(name + QStringLiteral("_scale_fitted"), optionalNumber(scale->fitted));
        json.insert(name + QStringLiteral("_scale_error"),
            scale->fitted ? QJsonValue(scale->error) : QJsonValue(QJsonValue::Null));
        json.insert(name + QStringLiteral("_agrees"), scale->verdict == LawCheck::Verdict::Agrees);
        json.insert(name + QStringLiteral("_verdict"), verdictKey(scale->verdict));
    }
    return json;
}

void printJson(const RecordedPlant &plant, const ControllerLaw &law,
    const std::optional<TuningAdvice> &advice, QTextStream &out)
{
    QJsonObject json;
    if (advice) {
        json.insert(QStringLiteral("candidates"), AdviceOutput::json(advice->candidates));
        if (!advice->weighed.isEmpty())
            json.insert(QStringLiteral("recommendation"), advice->weighed);
    }
    if (plant.model)
        json.insert(QStringLiteral("model"), modelJson(*plant.model));
    else
        json.insert(QStringLiteral("refused"), plant.refusal);
    if (plant.lawCheck)
        json.insert(QStringLiteral("law_check"), lawCheckJson(*plant.lawCheck, law));
    if (!plant.notes.isEmpty())
        json.insert(QStringLiteral("notes"), QJsonArray::fromStringList(plant.notes));
    out << QJsonDocument(json).toJson(QJsonDocument::Indented);
}

void printText(const QString &record, const RecordedPlant &plant, const ControllerLaw &law,
    const std::optional<TuningAdvice> &advice, QTextStream &out)
{
    out << TuneCommand::tr("%1，运行开始于 %2")
               .arg(record,
                   QDateTime::fromMSecsSinceEpoch(plant.runStart)
                       .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")))
        << Qt::endl;
    if (plant.model) {
        for (const PlantModelText::Figure &figure : PlantModelText::figures(*plant.model))
            out << TuneCommand::tr("%1：%2").arg(figure.name, figure.value) << Qt::endl;
        out << TuneCommand::tr("（± 为两倍标准误差）") << Qt::endl;
    } else {
        out << TuneCommand::tr("无法拟合：%1").arg(plant.refusal) << Qt::endl;
    }
    for (const QString &note : plant.notes)
        out << TuneCommand::tr("说明：%1").arg(note) << Qt::endl;
    if (plant.lawCheck)
        out << TuneCommand::tr("控制规律：%1").arg(plant.lawCheck->summary(law)) << Qt::endl;
    if (!advice)
        return;
    if (const QString loose = PlantModelText::looseness(*plant.model); !loose.isEmpty())
        out << loose << Qt::endl;
    out << Qt::endl;
    AdviceOutput::printTable(advice->candidates, out);
    if (!advice->weighed.isEmpty())
        out << Qt::endl << advice->weighed << Qt::endl;
}

} // namespace

int TuneCommand::run(const QStringList &arguments, QTextStream &out, QTextStream &error)
{
    setUpApplicationIdentity();
    // The language may come from the settings file: both are known before the help is written.
    QCommandLineParser first;
    describe(first);
    first.parse(arguments);
    const QString settingsFile = first.isSet(kSettings)
        ? first.value(kSettings)
        : SettingsLookup::find(SettingsLookup::candidates(QCoreApplication::applicationDirPath()));
    installLanguage(chosenLanguage(first.value(kLanguage), settingsFile));

    QCommandLineParser parser;
    describe(parser);
    const auto refuse = [&](const QString &why) {
        error << QStringLiteral("termiva-tune: ") << why << Qt::endl;
        return UsageOrUnreadable;
    };
    if (!parser.parse(arguments))
        return refuse(parser.errorText());
    if (parser.isSet(QStringLiteral("help"))) {
        out << parser.helpText();
        return Fitted;
    }
    if (parser.isSet(QStringLiteral("version"))) {
        out << QStringLiteral("termiva-tune ") << QCoreApplication::applicationVersion()
            << Qt::endl;
        return Fitted;
    }
    if (parser.positionalArguments().size() != 1)
        return refuse(tr("要拟合的记录文件只能给一个：termiva-tune RECORD.csv"));
    const QString language = parser.value(kLanguage).toLower();
    if (parser.isSet(kLanguage) && language != u"zh" && language != u"en")
        return refuse(tr("没有这种语言：%1（可用 zh 或 en）").arg(parser.value(kLanguage)));
    if (parser.isSet(kSettings) && !QFileInfo(settingsFile).isFile())
        return refuse(tr("找不到设置文件：%1").arg(settingsFile));
    std::optional<qint64> runAt;
    if (parser.isSet(kRunStart)) {
        runAt = momentOf(parser.value(kRunStart));
        if (!runAt)
            return refuse(
                tr("时间无法读取：%1（例如 2026-12-08T09:30:05）").arg(parser.value(kRunStart)));
    }
    std::optional<Prediction> prediction;
    if (parser.isSet(kAdvise) || parser.isSet(kPredict) || parser.isSet(kReport)) {
        const std::variant<Prediction, QString> read = predictionOf(parser);
        if (const QString *problem = std::get_if<QString>(&read))
            return refuse(*problem);
        prediction = std::get<Prediction>(read);
    }
    const QString record = parser.positionalArguments().constFirst();
    const ControllerLaw law = ControllerLaw::read(settingsFile);
    if (const std::optional<QString> refusal = law.refusal())
        return refuse(*refusal);
    const RecordedPlant plant = RecordedPlant::ofRecord(record, runAt, law);
    if (plant.readProblem == RunSamples::Problem::Unreadable
        || plant.readProblem == RunSamples::Problem::NoSuchRun)
        return refuse(plant.refusal);
    std::optional<TuningAdvice> advice;
    if (prediction && plant.model)
        advice = predicted(plant, law, *prediction);
    if (advice && parser.isSet(kReport)) {
        if (const std::optional<QString> problem =
                writeReport(parser.value(kReport), record, plant, law, *prediction, *advice))
            return refuse(problem.value());
    }
    if (parser.isSet(kJson))
        printJson(plant, law, advice, out);
    else
        printText(record, plant, law, advice, out);
    return plant.model ? Fitted : Refused;
}
