#pragma once

#include "form/window_controls.h"

#include <QObject>

class ConsoleSession;
struct CompletedLine;
struct StepFigures;

/// The four step-response figures in their boxes and as copies on the picture that defines
/// them; the run history is reached from here.
class StepResponsePanel : public QObject
{
    Q_OBJECT

public:
    StepResponsePanel(
        const StepResponseControls &controls, ConsoleSession &session, QObject *parent);

    /// The figures a line stamped.
    void show(const StepFigures &stamped);
    void showLine(const CompletedLine &line);
    /// A new run: the boxes read "0"; the copies keep their texts until stamped again.
    void showRestarted();

signals:
    void runHistoryRequested();
    /// "整定建议…" for the run in progress.
    void tuningAdviceRequested();

private:
    void offerRunHistory();

    StepResponseControls m_controls;
};
