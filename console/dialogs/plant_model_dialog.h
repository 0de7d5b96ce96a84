#pragma once

#include "records/recorded_plant.h"

#include <QDialog>

#include <optional>

class BackgroundReading;
class PlantModelPlot;
class QFormLayout;
class QLabel;
class QProgressBar;
class QPushButton;

/// "过程模型": the plant of a run of the history, fitted from its record on a pool thread with
/// progress and a way to stop: the model's figures with their ±, how well it fits, what the
/// law's check found, and its curve over the record's; or why the run cannot tell the plant.
class PlantModelDialog : public QDialog
{
    Q_OBJECT

public:
    /// The run as a row of runs.csv, its columns named by heading, its records in the folder.
    PlantModelDialog(const QString &directory, const QStringList &heading, const QStringList &run,
        const ControllerLaw &law, QWidget *parent = nullptr);
    ~PlantModelDialog() override;

    bool isFitting() const;
    /// What the fit found, once it has.
    const std::optional<RecordedPlant> &plant() const { return m_plant; }

private:
    void showFinding(RecordedPlant plant);
    void showFigures(const PlantModel &model);
    void showCurves(const RecordedPlant &plant);
    void stop();

    const ControllerLaw m_law;
    BackgroundReading *m_fitting;
    QWidget *m_progressRow;
    QProgressBar *m_progress;
    QLabel *m_refusal;
    QWidget *m_figuresArea;
    QFormLayout *m_figures;
    QLabel *m_notes;
    QLabel *m_lawCheck;
    PlantModelPlot *m_plot;
    std::optional<RecordedPlant> m_plant;
};
