#pragma once

#include "tuning/tuning_advice.h"

#include <QCoreApplication>
#include <QJsonArray>

#include <vector>

class QTextStream;

/// Candidates and their predicted figures as termiva-tune prints them: a table for people,
/// JSON for programs.
class AdviceOutput
{
    Q_DECLARE_TR_FUNCTIONS(AdviceOutput)

public:
    static QJsonArray json(const std::vector<TuningAdvice::Candidate> &candidates);
    static void printTable(
        const std::vector<TuningAdvice::Candidate> &candidates, QTextStream &out);
};
