#pragma once

#include <QString>
#include <QStringList>

class QLabel;
class QWidget;

/// What the dialogs about one run share: how they name the run and how they say what they found.
namespace DialogParts {
/// The run's start in local time, from its row of runs.csv named by heading.
QString runStart(const QStringList &heading, const QStringList &run);
/// A hidden label that wraps and can be selected, shown once it has something to say.
QLabel *wrappedLabel(const QString &name, QWidget *parent);
/// A dialog grown to its contents is moved back onto its screen, its buttons in reach.
void keepOnScreen(QWidget &window);
} // namespace DialogParts
