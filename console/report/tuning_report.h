#pragma once

#include "report/tuning_report_content.h"

#include <QCoreApplication>
#include <QIODevice>
#include <QString>

#include <optional>

/// A tuning written down to keep or hand on: where the model came from, the model, the law, the
/// candidates and what was chosen, and how the chosen gains did, as one HTML file that needs
/// nothing beside it or as a PDF, both from the same text.
class TuningReport
{
    Q_DECLARE_TR_FUNCTIONS(TuningReport)

public:
    /// One self-contained document, its pictures inside it as data.
    static QString html(const TuningReportContent &content);
    /// Both return why the file could not be written, or nothing when it was. A failed write
    /// leaves no file behind, nor changes one that was there.
    static std::optional<QString> writeHtml(
        const QString &path, const TuningReportContent &content);
    static std::optional<QString> writePdf(const QString &path, const TuningReportContent &content);
    /// The HTML file at the path and the PDF beside it, named alike.
    static std::optional<QString> writeBoth(
        const QString &htmlPath, const TuningReportContent &content);
    static QString pdfPathFor(const QString &htmlPath);

private:
    /// Where the document finds its two pictures, and how wide it shows them.
    struct Pictures
    {
        QString run;
        QString candidates;
        int width = 0;
    };

    static QString document(const TuningReportContent &content, const Pictures &pictures);
    static QString sourceSection(const TuningReportContent &content, const Pictures &pictures);
    static QString modelSection(const RecordedPlant &plant);
    static QString lawSection(const TuningReportContent &content);
    static QString stepSection(const TuningReportContent &content);
    static QString candidateSection(const TuningReportContent &content, const Pictures &pictures);
    static QString candidateRow(const TuningAdvice::Candidate &candidate, bool chosen);
    static QString verificationSection(const RunVerification &verification);
    static bool printed(const TuningReportContent &content, QIODevice &device);
};
