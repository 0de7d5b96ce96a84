#include "plant_model_dialog.h"

#include "dialogs/dialog_parts.h"
#include "dialogs/plant_model_plot.h"
#include "records/background_reading.h"
#include "tuning/plant_model_text.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
constexpr int kLeastWidth = 640;
} // namespace

PlantModelDialog::PlantModelDialog(const QString &directory, const QStringList &heading,
    const QStringList &run, const ControllerLaw &law, QWidget *parent)
    : QDialog(parent)
    , m_law(law)
    , m_fitting(new BackgroundReading(this))
    , m_progressRow(new QWidget(this))
    , m_progress(new QProgressBar(m_progressRow))
    , m_refusal(DialogParts::wrappedLabel(QStringLiteral("refusal"), this))
    , m_figuresArea(new QWidget(this))
    , m_figures(new QFormLayout(m_figuresArea))
    , m_notes(DialogParts::wrappedLabel(QStringLiteral("notes"), this))
    , m_lawCheck(DialogParts::wrappedLabel(QStringLiteral("lawCheck"), this))
    , m_plot(new PlantModelPlot(this))
{
    setObjectName(QStringLiteral("plantModelDialog"));
    setWindowTitle(tr("过程模型"));
    // Wide enough for a reason or a law's check to wrap onto a few lines, not a column of words.
    setMinimumWidth(kLeastWidth);
    m_figuresArea->setObjectName(QStringLiteral("figures"));
    m_figuresArea->hide();
    m_plot->setObjectName(QStringLiteral("modelPlot"));
    m_plot->hide();
    m_progress->setRange(0, 1000);
    m_progress->setTextVisible(false);
    auto *cancel = new QPushButton(tr("取消"), m_progressRow);
    cancel->setObjectName(QStringLiteral("cancelFit"));
    auto *progressLayout = new QHBoxLayout(m_progressRow);
    progressLayout->setContentsMargins(0, 0, 0, 0);
    progressLayout->addWidget(new QLabel(tr("正在读取记录并拟合…"), m_progressRow));
    progressLayout->addWidget(m_progress, 1);
    progressLayout->addWidget(cancel);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->button(QDialogButtonBox::Close)->setText(tr("关闭"));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(
        new QLabel(tr("运行开始于 %1").arg(DialogParts::runStart(heading, run)), this));
    layout->addWidget(m_progressRow);
    layout->addWidget(m_refusal);
    layout->addWidget(m_figuresArea);
    layout->addWidget(m_plot, 1);
    layout->addWidget(m_notes);
    layout->addWidget(m_lawCheck);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(cancel, &QPushButton::clicked, this, &PlantModelDialog::stop);
    connect(m_fitting, &BackgroundReading::progressed, m_progress, &QProgressBar::setValue);
    m_fitting->start([this, directory, heading, run, law](const ReadProgress &progress,
                         const BackgroundReading::HandOverPart &) -> BackgroundReading::Handover {
        RecordedPlant plant = RecordedPlant::ofRun(directory, heading, run, law, progress);
        if (plant.cancelled)
            return {};
        return [this, plant = std::move(plant)] { showFinding(plant); };
    });
}

/// A fit still under way is dropped: it never outlives the dialog it fits for.
PlantModelDialog::~PlantModelDialog()
{
    delete m_fitting;
}

bool PlantModelDialog::isFitting() const
{
    return m_fitting->isReading();
}

void PlantModelDialog::showFinding(RecordedPlant plant)
{
    m_progressRow->hide();
    if (plant.model) {
        showFigures(*plant.model);
        showCurves(plant);
    } else {
        m_refusal->setText(tr("无法拟合：%1").arg(plant.refusal));
        m_refusal->show();
    }
    m_notes->setText(plant.notes.join(u'\n'));
    m_notes->setVisible(!plant.notes.isEmpty());
    if (plant.lawCheck) {
        m_lawCheck->setText(tr("控制规律：%1").arg(plant.lawCheck->summary(m_law)));
        m_lawCheck->show();
    }
    m_plant = std::move(plant);
    // What was found takes more room than the bar it replaces.
    adjustSize();
}

void PlantModelDialog::showFigures(const PlantModel &model)
{
    for (const PlantModelText::Figure &figure : PlantModelText::figures(model)) {
        auto *value = new QLabel(figure.value, m_figuresArea);
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        m_figures->addRow(figure.name, value);
    }
    m_figures->addRow(QString(), new QLabel(tr("± 为两倍标准误差"), m_figuresArea));
    m_figuresArea->show();
}

void PlantModelDialog::showCurves(const RecordedPlant &plant)
{
    const std::vector<double> modelled = plant.model->predicted(plant.fitted);
    const qint64 first = plant.fitted.front().milliseconds;
    std::vector<QPointF> recorded;
    std::vector<QPointF> model;
    for (std::size_t k = 0; k < plant.fitted.size(); ++k) {
        const double seconds = double(plant.fitted[k].milliseconds - first) / 1000.0;
        recorded.emplace_back(seconds, plant.fitted[k].temperature);
        model.emplace_back(seconds, modelled[k]);
    }
    m_plot->setCurves(std::move(recorded), std::move(model));
    m_plot->show();
}

void PlantModelDialog::stop()
{
    m_fitting->cancel();
    m_progressRow->hide();
    m_refusal->setText(tr("已停止拟合"));
    m_refusal->show();
    adjustSize();
}
