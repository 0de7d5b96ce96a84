#include "step_response_panel.h"

#include "panels/caption.h"
#include "panels/context_menu.h"
#include "panels/step_response_picture.h"
#include "telemetry/step_response.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>

StepResponsePanel::StepResponsePanel(const StepResponseControls &controls, QObject *parent)
    : QObject(parent)
    , m_controls(controls)
{
    m_controls.picture->setPixmap(stepResponsePicture());
    connect(m_controls.overshoot.box, &QLineEdit::textEdited, this,
        &StepResponsePanel::overshootEdited);
    offerRunHistory();
}

/// What is kept of each run is reached from the figures that show it.
void StepResponsePanel::offerRunHistory()
{
    QGroupBox *frame = m_controls.frame;
    offerContextMenu(frame, [this, frame] {
        auto *menu = new QMenu(frame);
        menu->addAction(tr("运行记录…"), this, &StepResponsePanel::runHistoryRequested);
        return menu;
    });
    for (QLineEdit *box : m_controls.boxes()) {
        offerContextMenu(box, [this, box] {
            QMenu *menu = box->createStandardContextMenu();
            menu->addSeparator();
            menu->addAction(tr("运行记录…"), this, &StepResponsePanel::runHistoryRequested);
            return menu;
        });
    }
}

void StepResponsePanel::show(const StepResponseUpdate &figures)
{
    const auto show = [](const std::optional<QString> &text, const FigureControls &figure) {
        if (!text)
            return;
        setCaption(figure.box, *text);
        setCaption(figure.copy, *text);
    };
    show(figures.overshoot, m_controls.overshoot);
    show(figures.peakTime, m_controls.peakTime);
    show(figures.riseTime, m_controls.riseTime);
    show(figures.settlingTime, m_controls.settlingTime);
}

void StepResponsePanel::showRestarted()
{
    for (QLineEdit *box : m_controls.boxes())
        box->setText(QStringLiteral("0"));
}
