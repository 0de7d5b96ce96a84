#include "step_response_panel.h"

#include "panels/caption.h"
#include "panels/context_menu.h"
#include "panels/step_response_picture.h"
#include "session/console_session.h"
#include "telemetry/display_format.h"
#include "telemetry/telemetry_receiver.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>

StepResponsePanel::StepResponsePanel(
    const StepResponseControls &controls, ConsoleSession &session, QObject *parent)
    : QObject(parent)
    , m_controls(controls)
{
    m_controls.picture->setPixmap(stepResponsePicture());
    // What the operator types into the overshoot box is what a new overshoot must exceed.
    connect(
        m_controls.overshoot.box, &QLineEdit::textEdited, &session, &ConsoleSession::typeOvershoot);
    offerRunHistory();
}

/// What is kept of each run, and advice on the next gains, are reached from the figures that
/// show them.
void StepResponsePanel::offerRunHistory()
{
    QGroupBox *frame = m_controls.frame;
    offerContextMenu(frame, [this, frame] {
        auto *menu = new QMenu(frame);
        menu->addAction(tr("运行记录…"), this, &StepResponsePanel::runHistoryRequested);
        menu->addAction(tr("整定建议…"), this, &StepResponsePanel::tuningAdviceRequested);
        return menu;
    });
    for (QLineEdit *box : m_controls.boxes()) {
        offerContextMenu(box, [this, box] {
            QMenu *menu = box->createStandardContextMenu();
            menu->addSeparator();
            menu->addAction(tr("运行记录…"), this, &StepResponsePanel::runHistoryRequested);
            menu->addAction(tr("整定建议…"), this, &StepResponsePanel::tuningAdviceRequested);
            return menu;
        });
    }
}

void StepResponsePanel::showLine(const CompletedLine &line)
{
    show(line.figures);
}

void StepResponsePanel::show(const StepFigures &stamped)
{
    const auto show = [](const std::optional<QString> &text, const FigureControls &figure) {
        if (!text)
            return;
        setCaption(figure.box, *text);
        setCaption(figure.copy, *text);
    };
    const auto time = [](std::optional<qint64> tenths) -> std::optional<QString> {
        return tenths ? std::optional(DisplayFormat::stampedTime(*tenths)) : std::nullopt;
    };
    const std::optional<double> overshoot = stamped.overshootPercent;
    show(overshoot ? std::optional(DisplayFormat::percentage(*overshoot)) : std::nullopt,
        m_controls.overshoot);
    show(time(stamped.peakTenths), m_controls.peakTime);
    show(time(stamped.riseTenths), m_controls.riseTime);
    show(time(stamped.settlingTenths), m_controls.settlingTime);
}

void StepResponsePanel::showRestarted()
{
    for (QLineEdit *box : m_controls.boxes())
        box->setText(QStringLiteral("0"));
}
