#pragma once

#include "form/window_controls.h"

#include <QObject>

struct StepResponseUpdate;

/// The four step-response figures in their boxes and as copies on the picture that defines
/// them; the run history is reached from here.
class StepResponsePanel : public QObject
{
    Q_OBJECT

public:
    StepResponsePanel(const StepResponseControls &controls, QObject *parent);

    void show(const StepResponseUpdate &figures);
    /// A new run: the boxes read "0"; the copies keep their texts until stamped again.
    void showRestarted();

signals:
    void runHistoryRequested();
    /// The operator typed into the overshoot box: what it now shows is what a new overshoot
    /// must exceed.
    void overshootEdited(const QString &text);

private:
    void offerRunHistory();

    StepResponseControls m_controls;
};
