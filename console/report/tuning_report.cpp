#include "tuning_report.h"

#include "records/no_link_save_file.h"
#include "report/report_charts.h"
#include "tuning/law_check.h"
#include "tuning/plant_model_text.h"

#include <QBuffer>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QTextDocument>
#include <QUrl>

namespace {
const QString kRunPicture = QStringLiteral("run.png");
const QString kCandidatePicture = QStringLiteral("candidates.png");
constexpr int kPdfResolution = 300;
constexpr double kPdfMarginMm = 15.0;
// The PDF is laid out on a page this many pixels wide, then drawn to the paper's width: the
// text's size and the pictures' fit then do not depend on the screen's resolution.
constexpr double kPdfPageWidth = 760.0;
constexpr int kPdfPictureWidth = 740;

const QString kStyle =
    QStringLiteral("body { font-family: sans-serif; font-size: 13px; color: #222; margin: 16px; }\n"
                   "h1 { font-size: 22px; }\n"
                   "h2 { font-size: 16px; margin-top: 18px; }\n"
                   "table { border-collapse: collapse; margin-top: 4px; margin-bottom: 4px; }\n"
                   "th, td { border: 1px solid #bbb; padding: 2px 5px; }\n"
                   "table.candidates { font-size: 11px; }\n"
                   "table.candidates td { white-space: nowrap; }\n"
                   "th { background-color: #f0f0f0; text-align: left; }\n"
                   "td.n { text-align: right; }\n"
                   "tr.chosen td { background-color: #dcefd0; font-weight: bold; }\n"
                   "img { max-width: 100%; height: auto; }\n"
                   "p.note { color: #666; }\n"
                   "p.refusal { color: #a00000; }\n");

/// Text taken into the document, with the line breaks it had.
QString text(const QString &plain)
{
    return plain.toHtmlEscaped().replace(u'\n', QStringLiteral("<br>"));
}

QString element(const QString &tag, const QString &inner, const QString &attributes = {})
{
    const QString opening = attributes.isEmpty() ? tag : tag + u' ' + attributes;
    return u'<' + opening + u'>' + inner + QStringLiteral("</") + tag + QStringLiteral(">\n");
}

QString paragraph(const QString &plain, const QString &attributes = {})
{
    return element(QStringLiteral("p"), text(plain), attributes);
}

QString heading(const QString &plain)
{
    return element(QStringLiteral("h2"), text(plain));
}

QString cells(const QString &tag, const QStringList &plain, const QString &attributes = {})
{
    QString inner;
    for (const QString &cell : plain)
        inner += element(tag, text(cell), attributes);
    return inner;
}

QString row(const QString &inner, const QString &attributes = {})
{
    return element(QStringLiteral("tr"), inner, attributes);
}

QString table(const QString &rows, const QString &attributes = {})
{
    const QString borders = QStringLiteral("border=\"1\" cellspacing=\"0\"");
    return element(QStringLiteral("table"), rows,
        attributes.isEmpty() ? borders : attributes + u' ' + borders);
}

/// A row of a name and its value.
QString fact(const QString &name, const QString &value)
{
    return row(cells(QStringLiteral("th"), {name}) + cells(QStringLiteral("td"), {value}));
}

QString picture(const QString &source, int width, const QString &description)
{
    return element(QStringLiteral("p"),
        QStringLiteral("<img src=\"%1\" width=\"%2\" alt=\"%3\">")
            .arg(source.toHtmlEscaped(), QString::number(width), description.toHtmlEscaped()));
}

QString localTime(qint64 milliseconds)
{
    return QDateTime::fromMSecsSinceEpoch(milliseconds)
        .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

QString dataUri(const QImage &image)
{
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return QStringLiteral("data:image/png;base64,") + QString::fromLatin1(png.toBase64());
}

QString figure(const std::optional<double> &value, int places)
{
    return value ? QString::number(*value, 'f', places) : QStringLiteral("—");
}

QString nativePath(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

/// Draws the document's pages, laid out at its own page size, across the writer's pages.
bool drawPages(QTextDocument &document, QPdfWriter &writer)
{
    QPainter painter;
    if (!painter.begin(&writer))
        return false;
    const QSizeF page = document.pageSize();
    painter.scale(writer.width() / page.width(), writer.width() / page.width());
    for (int at = 0; at < document.pageCount(); ++at) {
        if (at > 0 && !writer.newPage())
            return false;
        painter.save();
        painter.translate(0, -at * page.height());
        document.drawContents(&painter, QRectF(QPointF(0, at * page.height()), page));
        painter.restore();
    }
    return painter.end();
}
} // namespace

QString TuningReport::html(const TuningReportContent &content)
{
    const Pictures pictures{dataUri(ReportCharts::runCurves(content.plant)),
        dataUri(ReportCharts::candidateCurves(content.advice, content.chosen, content.plan)),
        ReportCharts::kWidth};
    return document(content, pictures);
}

std::optional<QString> TuningReport::writeHtml(
    const QString &path, const TuningReportContent &content)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return tr("无法写入报告 %1：%2").arg(nativePath(path), file.errorString());
    file.write(html(content).toUtf8());
    if (!file.commit())
        return tr("无法写入报告 %1：%2").arg(nativePath(path), file.errorString());
    return std::nullopt;
}

/// The PDF's name is made from the HTML's, never typed: it is never written through a link.
std::optional<QString> TuningReport::writePdf(
    const QString &path, const TuningReportContent &content)
{
    NoLinkSaveFile file(path);
    if (!file.open())
        return tr("无法写入报告 %1：%2").arg(nativePath(path), file.errorString());
    if (!printed(content, file.device()))
        return tr("无法生成 PDF 报告 %1：%2").arg(nativePath(path), file.device().errorString());
    if (!file.commit())
        return tr("无法写入报告 %1：%2").arg(nativePath(path), file.errorString());
    return std::nullopt;
}

QString TuningReport::document(const TuningReportContent &content, const Pictures &pictures)
{
    const QString title = tr("整定报告").toHtmlEscaped();
    QString body = element(QStringLiteral("h1"), title);
    body += sourceSection(content, pictures);
    body += modelSection(content.plant);
    body += lawSection(content);
    body += stepSection(content);
    body += candidateSection(content, pictures);
    if (content.verification)
        body += verificationSection(*content.verification);
    return QStringLiteral("<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">\n")
        + element(QStringLiteral("title"), title) + element(QStringLiteral("style"), kStyle)
        + QStringLiteral("</head>\n") + element(QStringLiteral("body"), body)
        + QStringLiteral("</html>\n");
}

QString TuningReport::sourceSection(const TuningReportContent &content, const Pictures &pictures)
{
    const RecordedPlant &plant = content.plant;
    QString facts = fact(tr("记录文件"),
        content.recordFiles.isEmpty() ? tr("（未知）") : content.recordFiles.join(u'\n'));
    if (plant.runStart > 0)
        facts += fact(tr("运行开始"), localTime(plant.runStart));
    const QString lines = plant.fitted.empty()
        ? tr("没有")
        : tr("%1 行，%2 至 %3")
              .arg(QString::number(plant.fitted.size()),
                  localTime(plant.fitted.front().milliseconds),
                  localTime(plant.fitted.back().milliseconds));
    facts += fact(tr("拟合的行"), lines);
    QString section = heading(tr("来源")) + table(facts);
    if (!plant.fitted.empty())
        section +=
            picture(pictures.run, pictures.width, tr("拟合的行：设定值、记录温度、模型与输出"));
    return section;
}

QString TuningReport::modelSection(const RecordedPlant &plant)
{
    QString section = heading(tr("过程模型"));
    if (plant.model) {
        QString rows;
        for (const PlantModelText::Figure &figure : PlantModelText::figures(*plant.model))
            rows += fact(figure.name, figure.value);
        section +=
            table(rows) + paragraph(tr("± 为两倍标准误差"), QStringLiteral("class=\"note\""));
    } else {
        const QString why = plant.refusal.isEmpty() ? tr("没有模型") : plant.refusal;
        section += paragraph(tr("无法拟合：%1").arg(why), QStringLiteral("class=\"refusal\""));
    }
    if (!plant.notes.isEmpty()) {
        QString items;
        for (const QString &note : plant.notes)
            items += element(QStringLiteral("li"), text(note));
        section += paragraph(tr("说明：")) + element(QStringLiteral("ul"), items);
    }
    return section;
}

QString TuningReport::lawSection(const TuningReportContent &content)
{
    const ControllerLaw &law = content.law;
    const QStringList keys{QStringLiteral("P_SCALE"), QStringLiteral("I_SCALE"),
        QStringLiteral("D_SCALE"), QStringLiteral("D_FILTER_S"), QStringLiteral("OUTPUT_MIN"),
        QStringLiteral("OUTPUT_MAX"), QStringLiteral("GAIN_MIN"), QStringLiteral("GAIN_MAX"),
        QStringLiteral("OUTPUT_ACTIVITY_MAX")};
    QStringList values;
    for (const double value :
        {law.pScale, law.iScale, law.dScale, law.dFilterSeconds, law.outputMin, law.outputMax,
            double(law.gainMin), double(law.gainMax), law.outputActivityLimit})
        values << QString::number(value, 'g', 6);
    const QString check =
        content.plant.lawCheck ? content.plant.lawCheck->summary(law) : tr("没有可检查的行");
    return heading(tr("控制规律"))
        + table(row(cells(QStringLiteral("th"), keys))
            + row(cells(QStringLiteral("td"), values, QStringLiteral("class=\"n\""))))
        + paragraph(tr("与记录的核对：%1").arg(check));
}

QString TuningReport::stepSection(const TuningReportContent &content)
{
    const StepPlan &plan = content.plan;
    QString facts = fact(tr("温度"),
        tr("从 %1 ℃ 到 %2 ℃")
            .arg(QString::number(plan.from, 'f', 1), QString::number(plan.to, 'f', 1)));
    facts += fact(tr("超调上限"), tr("%1 ℃").arg(QString::number(content.overshootLimit, 'f', 2)));
    if (plan.horizonSeconds > 0)
        facts += fact(tr("预测时长"), tr("%1 s").arg(QString::number(plan.horizonSeconds, 'f', 0)));
    if (const std::optional<GainSet> &resting = plan.restingGains)
        facts += fact(tr("阶跃前的参数"),
            tr("P %1，I %2，D %3")
                .arg(QString::number(resting->p), QString::number(resting->i),
                    QString::number(resting->d)));
    return heading(tr("阶跃")) + table(facts);
}

QString TuningReport::candidateSection(const TuningReportContent &content, const Pictures &pictures)
{
    const TuningAdvice &advice = content.advice;
    QString section = heading(tr("候选参数"));
    if (advice.candidates.empty())
        return section + paragraph(tr("没有候选参数")) + paragraph(advice.weighed);
    QString rows = element(QStringLiteral("thead"),
        row(cells(
            QStringLiteral("th"), QStringList{tr("选用"), tr("名称")} + TuningAdvice::headings())));
    for (std::size_t index = 0; index < advice.candidates.size(); ++index)
        rows += candidateRow(advice.candidates[index], content.chosen == index);
    section += table(rows, QStringLiteral("class=\"candidates\""));
    if (!content.chosen || *content.chosen >= advice.candidates.size())
        section += paragraph(tr("未选定参数"), QStringLiteral("class=\"note\""));
    return section + paragraph(advice.weighed)
        + picture(pictures.candidates, pictures.width, tr("各候选参数的预测温度"));
}

QString TuningReport::candidateRow(const TuningAdvice::Candidate &candidate, bool chosen)
{
    const QString marks = cells(QStringLiteral("td"), {chosen ? tr("已选") : QString()})
        + cells(QStringLiteral("td"), {TuningAdvice::nameOf(candidate.kind)},
            QStringLiteral("class=\"name\""));
    return row(marks
            + cells(QStringLiteral("td"), TuningAdvice::cells(candidate),
                QStringLiteral("class=\"n\"")),
        chosen ? QStringLiteral("class=\"chosen\"") : QString());
}

QString TuningReport::verificationSection(const RunVerification &verification)
{
    QString rows = row(cells(QStringLiteral("th"), {QString(), tr("预测"), tr("实测")}));
    const auto compared = [&rows](const QString &name, const std::optional<double> &predicted,
                              const QString &measured, int places) {
        rows += row(cells(QStringLiteral("th"), {name})
            + cells(QStringLiteral("td"), {figure(predicted, places), measured},
                QStringLiteral("class=\"n\"")));
    };
    compared(tr("超调（℃）"), verification.predictedOvershoot,
        figure(verification.measuredOvershoot, 2), 2);
    compared(tr("调节至 ±0.5 ℃（s）"), verification.predictedSettling,
        verification.neverSettled() ? tr("未稳定") : figure(verification.measuredSettling, 1), 1);
    compared(tr("IAE（℃·s）"), verification.predictedIae, figure(verification.measuredIae, 1), 1);
    const QString model =
        tr("预测所依据的模型：K %1 ℃/计数，τ %2 s，θ %3 s")
            .arg(figure(verification.modelGain, 5), figure(verification.modelTimeConstant, 1),
                figure(verification.modelDeadTime, 1));
    return heading(tr("预测与实测")) + table(rows) + paragraph(verification.verdict())
        + paragraph(model);
}

bool TuningReport::printed(const TuningReportContent &content, QIODevice &device)
{
    QPdfWriter writer(&device);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setResolution(kPdfResolution);
    writer.setPageMargins(
        QMarginsF(kPdfMarginMm, kPdfMarginMm, kPdfMarginMm, kPdfMarginMm), QPageLayout::Millimeter);
    writer.setTitle(tr("整定报告"));
    writer.setCreator(QStringLiteral("Termiva"));

    QTextDocument text;
    text.addResource(
        QTextDocument::ImageResource, QUrl(kRunPicture), ReportCharts::runCurves(content.plant));
    text.addResource(QTextDocument::ImageResource, QUrl(kCandidatePicture),
        ReportCharts::candidateCurves(content.advice, content.chosen, content.plan));
    text.setHtml(document(content, {kRunPicture, kCandidatePicture, kPdfPictureWidth}));
    const QSizeF paper = writer.pageLayout().paintRect(QPageLayout::Point).size();
    text.setPageSize(QSizeF(kPdfPageWidth, kPdfPageWidth * paper.height() / paper.width()));
    return drawPages(text, writer);
}

QString TuningReport::pdfPathFor(const QString &htmlPath)
{
    const QFileInfo html(htmlPath);
    return html.dir().filePath(html.completeBaseName() + QStringLiteral(".pdf"));
}

std::optional<QString> TuningReport::writeBoth(
    const QString &htmlPath, const TuningReportContent &content)
{
    // A link at the PDF's name refuses the report before its HTML is written.
    const QString pdfPath = pdfPathFor(htmlPath);
    if (NoLinkSaveFile::isLink(pdfPath))
        return tr("无法写入报告 %1：%2").arg(nativePath(pdfPath), NoLinkSaveFile::linkRefused());
    if (std::optional<QString> problem = writeHtml(htmlPath, content))
        return problem;
    return writePdf(pdfPath, content);
}
