#include "report/report_charts.h"
#include "report/tuning_report.h"
#include "simulated_run.h"
#include "tuning/law_check.h"
#include "tuning/loop_prediction.h"
#include "tuning/plant_fit.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

namespace {
const QString kHostileFile = QStringLiteral("/records/<script>alert(1)</script>&run.csv");

qint64 runStart()
{
    return QDateTime(QDate(2026, 12, 8), QTime(9, 30)).toMSecsSinceEpoch();
}

/// A heat-up of the simulator's plant fitted, and the advice for a step from 50 to 60 °C on it,
/// the recommended set chosen; the run itself started from predicted gains.
TuningReportContent tunedContent()
{
    SimulatedRun::Experiment heatUp;
    heatUp.startTenths = 0;
    PlantStretch run = SimulatedRun::record(heatUp);
    for (PlantSample &line : run)
        line.milliseconds += runStart();
    const PlantFit::Outcome outcome = PlantFit::fit({run});
    if (!outcome.model)
        qFatal("no model: %s", qPrintable(outcome.refusal));

    TuningReportContent content;
    content.recordFiles = QStringList{kHostileFile};
    content.plant.model = outcome.model;
    content.plant.fitted = outcome.fitted;
    content.plant.lawCheck = LawCheck::of(outcome.fitted, content.law);
    content.plant.runStart = runStart();
    content.plant.notes = QStringList{QStringLiteral("note <b>bold</b>")};
    content.plan = LoopPrediction::completed(
        {50, 60, StepPlan::kLinePeriodMs, 0.0, content.plant.lastGains()}, *outcome.model);
    content.advice = TuningAdvice::of({*outcome.model, content.law, content.plant.lastGains(),
        content.plan, content.overshootLimit});
    for (std::size_t at = 0; at < content.advice.candidates.size(); ++at) {
        if (content.advice.candidates[at].kind == TuningAdvice::Kind::Recommended)
            content.chosen = at;
    }
    RunVerification verification;
    verification.modelGain = outcome.model->gain;
    verification.modelTimeConstant = outcome.model->timeConstant;
    verification.modelDeadTime = outcome.model->deadTime;
    verification.predictedOvershoot = 0.31;
    verification.measuredOvershoot = 0.47;
    verification.predictedSettling = 84.5;
    verification.measuredSettling = 91.04;
    verification.predictedIae = 233.4; // and no measured one: a dash, never a zero
    content.verification = verification;
    return content;
}

TuningReportContent refusedContent()
{
    TuningReportContent content;
    content.recordFiles = QStringList{QStringLiteral("run.csv")};
    content.plant.refusal = QStringLiteral("the output never moved <the heater>");
    content.plan = {50, 60, StepPlan::kLinePeriodMs, 0.0, {}};
    return content;
}

/// The cells of each table row, header cells and all, as the document has them.
QList<QStringList> rowsOf(const QString &html)
{
    static const QRegularExpression row(
        QStringLiteral("<tr[^>]*>(.*?)</tr>"), QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression cell(QStringLiteral("<t[hd][^>]*>(.*?)</t[hd]>"),
        QRegularExpression::DotMatchesEverythingOption);
    QList<QStringList> rows;
    for (const auto &found : row.globalMatch(html)) {
        QStringList cells;
        for (const auto &inner : cell.globalMatch(found.captured(1)))
            cells << inner.captured(1);
        rows << cells;
    }
    return rows;
}

bool hasRowEndingWith(const QList<QStringList> &rows, const QStringList &ending)
{
    return std::any_of(rows.cbegin(), rows.cend(), [&](const QStringList &cells) {
        return cells.size() >= ending.size() && cells.mid(cells.size() - ending.size()) == ending;
    });
}

/// Every src and href the document holds: all of them must be pictures carried inside it.
void checkSelfContained(const QString &html, int pictures)
{
    QVERIFY(html.contains(QLatin1String("<meta charset=\"utf-8\">")));
    QVERIFY(!html.contains(QLatin1String("url("), Qt::CaseInsensitive));
    static const QRegularExpression reference(
        QStringLiteral("\\b(src|href)\\s*=\\s*[\"']?([^\"' >]*)"),
        QRegularExpression::CaseInsensitiveOption);
    static const QLatin1String png("data:image/png;base64,");
    int found = 0;
    for (const auto &match : reference.globalMatch(html)) {
        QCOMPARE(match.captured(1), QStringLiteral("src"));
        QVERIFY2(match.captured(2).startsWith(png), qPrintable(match.captured(2).left(60)));
        const QImage image = QImage::fromData(
            QByteArray::fromBase64(match.captured(2).mid(png.size()).toLatin1()), "PNG");
        QCOMPARE(image.size(), QSize(ReportCharts::kWidth, ReportCharts::kHeight));
        ++found;
    }
    QCOMPARE(found, pictures);
}

/// The share of a picture that is not background: a chart's lines, not a sentence alone.
double drawnShare(const QImage &image)
{
    qint64 drawn = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            drawn += image.pixel(x, y) != qRgb(255, 255, 255);
    }
    return double(drawn) / (double(image.width()) * image.height());
}
} // namespace

class tst_TuningReport : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void htmlCarriesEverythingInside();
    void showsTheChoiceAndTheVerification();
    void writesFilesOrSaysWhyNot();
    void pdfIsNeverWrittenThroughALink_data();
    void pdfIsNeverWrittenThroughALink();
    void refusedPlantStillReports();

private:
    TuningReportContent m_tuned;
};

void tst_TuningReport::initTestCase()
{
    m_tuned = tunedContent();
    QVERIFY(m_tuned.chosen);
}

void tst_TuningReport::htmlCarriesEverythingInside()
{
    const QString html = TuningReport::html(m_tuned);
    checkSelfContained(html, 2);
    if (QTest::currentTestFailed())
        return;
    QVERIFY(!html.contains(QLatin1String("<script"), Qt::CaseInsensitive));
    QVERIFY(!html.contains(QLatin1String("<b>")));
    QVERIFY(html.contains(kHostileFile.toHtmlEscaped()));
    QVERIFY(html.contains(QLatin1String("note &lt;b&gt;bold&lt;/b&gt;")));
    QVERIFY(html.contains(QLatin1String("2026-12-08 09:30:00")));

    // Drawn charts, not the picture that says there is nothing to draw.
    const double empty = drawnShare(ReportCharts::runCurves({}));
    QVERIFY(drawnShare(ReportCharts::runCurves(m_tuned.plant)) > 5 * empty);
    QVERIFY(drawnShare(ReportCharts::candidateCurves(m_tuned.advice, m_tuned.chosen, m_tuned.plan))
        > 5 * empty);
}

void tst_TuningReport::showsTheChoiceAndTheVerification()
{
    const QString html = TuningReport::html(m_tuned);
    const QString chosenRow = QStringLiteral("<tr class=\"chosen\">");
    QCOMPARE(html.count(chosenRow), 1);
    const TuningAdvice::Candidate &chosen = m_tuned.advice.candidates[*m_tuned.chosen];
    const QList<QStringList> rows = rowsOf(html.mid(html.indexOf(chosenRow)));
    QVERIFY(!rows.isEmpty());
    QCOMPARE(rows.first().mid(1, 4),
        QStringList(
            {TuningAdvice::nameOf(chosen.kind).toHtmlEscaped(), QString::number(chosen.gains.p),
                QString::number(chosen.gains.i), QString::number(chosen.gains.d)}));

    const QList<QStringList> all = rowsOf(html);
    QVERIFY(hasRowEndingWith(all, {QStringLiteral("0.31"), QStringLiteral("0.47")}));
    QVERIFY(hasRowEndingWith(all, {QStringLiteral("84.5"), QStringLiteral("91.0")}));
    QVERIFY(hasRowEndingWith(all, {QStringLiteral("233.4"), QStringLiteral("—")}));

    TuningReportContent unverified = m_tuned;
    unverified.verification.reset();
    QVERIFY(!hasRowEndingWith(
        rowsOf(TuningReport::html(unverified)), {QStringLiteral("0.31"), QStringLiteral("0.47")}));
}

void tst_TuningReport::writesFilesOrSaysWhyNot()
{
    QTemporaryDir directory;
    QVERIFY(directory.isValid());
    const QString pdfPath = directory.filePath(QStringLiteral("report.pdf"));
    const std::optional<QString> pdfFailure = TuningReport::writePdf(pdfPath, m_tuned);
    QVERIFY2(!pdfFailure, qPrintable(pdfFailure.value_or(QString())));
    QFile pdf(pdfPath);
    QVERIFY(pdf.open(QIODevice::ReadOnly));
    const QByteArray pdfBytes = pdf.readAll();
    QVERIFY(pdfBytes.startsWith("%PDF-"));
    QVERIFY(pdfBytes.trimmed().endsWith("%%EOF"));
    // Both pictures reached the PDF, not only the text.
    QVERIFY(pdfBytes.count("/Subtype /Image") >= 2);

    const QString htmlPath = directory.filePath(QStringLiteral("report.html"));
    const std::optional<QString> htmlFailure = TuningReport::writeHtml(htmlPath, m_tuned);
    QVERIFY2(!htmlFailure, qPrintable(htmlFailure.value_or(QString())));
    QFile html(htmlPath);
    QVERIFY(html.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(html.readAll()), TuningReport::html(m_tuned));

    const QString missing = directory.filePath(QStringLiteral("absent/report"));
    for (const auto &write : {&TuningReport::writeHtml, &TuningReport::writePdf}) {
        const std::optional<QString> failure = write(missing, m_tuned);
        QVERIFY(failure);
        QVERIFY2(failure->contains(QDir::toNativeSeparators(missing)), qPrintable(*failure));
        QVERIFY(!QFileInfo::exists(missing));
        QVERIFY(!QFileInfo::exists(directory.filePath(QStringLiteral("absent"))));
    }
}

void tst_TuningReport::pdfIsNeverWrittenThroughALink_data()
{
    QTest::addColumn<bool>("both");
    QTest::addColumn<QByteArray>("there");
    QTest::newRow("the report, a link to nothing yet") << true << QByteArray();
    QTest::newRow("the report, a link to a file") << true << QByteArray("someone's");
    QTest::newRow("the PDF alone, a link to nothing yet") << false << QByteArray();
    QTest::newRow("the PDF alone, a link to a file") << false << QByteArray("someone's");
}

/// Another user's link at the PDF's name, a name the user never typed, is refused and named:
/// nothing reaches where it leads, and the report is not half written.
void tst_TuningReport::pdfIsNeverWrittenThroughALink()
{
    QFETCH(bool, both);
    QFETCH(QByteArray, there);
    QTemporaryDir shared;
    QTemporaryDir elsewhere;
    const QString target = elsewhere.filePath(QStringLiteral("target"));
    if (!there.isEmpty()) {
        QFile file(target);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(there) == there.size());
    }
    const QString pdfPath = shared.filePath(QStringLiteral("r.pdf"));
    QVERIFY(QFile::link(target, pdfPath));
    const QString htmlPath = shared.filePath(QStringLiteral("r.html"));
    const std::optional<QString> failure = both ? TuningReport::writeBoth(htmlPath, m_tuned)
                                                : TuningReport::writePdf(pdfPath, m_tuned);
    QVERIFY(failure);
    QCOMPARE(*failure,
        QStringLiteral("无法写入报告 %1：此处是符号链接，未经它写入")
            .arg(QDir::toNativeSeparators(pdfPath)));
    QCOMPARE(QFileInfo(pdfPath).symLinkTarget(), target);
    QCOMPARE(QDir(shared.path()).entryList(QDir::Files | QDir::System | QDir::Hidden),
        QStringList{QStringLiteral("r.pdf")});
    QFile left(target);
    QCOMPARE(left.exists(), !there.isEmpty());
    QVERIFY(!left.exists() || (left.open(QIODevice::ReadOnly) && left.readAll() == there));
    QCOMPARE(QDir(elsewhere.path()).entryList(QDir::Files | QDir::Hidden).size(),
        there.isEmpty() ? 0 : 1);
}

void tst_TuningReport::refusedPlantStillReports()
{
    const TuningReportContent refused = refusedContent();
    const QString html = TuningReport::html(refused);
    checkSelfContained(html, 0);
    if (QTest::currentTestFailed())
        return;
    QVERIFY(html.contains(refused.plant.refusal.toHtmlEscaped()));
    QVERIFY(!html.contains(QLatin1String("<the heater>")));

    QTemporaryDir directory;
    const QString path = directory.filePath(QStringLiteral("refused.pdf"));
    const std::optional<QString> failure = TuningReport::writePdf(path, refused);
    QVERIFY2(!failure, qPrintable(failure.value_or(QString())));
    QVERIFY(QFileInfo(path).size() > 0);
}

QTEST_MAIN(tst_TuningReport)
#include "tst_tuning_report.moc"
