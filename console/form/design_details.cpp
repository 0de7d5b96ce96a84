#include "design_details.h"

#include "controls/shape_control.h"
#include "form/control_lookup.h"
#include "form/design_colours.h"
#include "form/stored_design.h"
#include "form/window_controls.h"
#include "morph_display.h"
#include "uc_histogram.h"

#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>

namespace {
struct DesignFont
{
    const char *control;
    const char *family;
    qreal points;
    bool bold;
};

// Point sizes the form file cannot hold (it keeps whole points only).
constexpr DesignFont kFractionalFonts[] = {
    {"Label1_0", "宋体", 15.75, true},
    {"Label5_1", "黑体", 26.25, true},
    {"receive_label", "宋体", 10.5, false},
    {"rece_quantity", "宋体", 10.5, false},
};

void applyFractionalFonts(ControlLookup &lookup)
{
    for (const DesignFont &design : kFractionalFonts) {
        QWidget *control = lookup.find(QLatin1String(design.control));
        if (!control)
            continue;
        QFont font(QString::fromUtf8(design.family));
        font.setPointSizeF(design.points);
        font.setBold(design.bold);
        control->setFont(font);
    }
}

void applyDesignDetails(ControlLookup &lookup, const WindowControls &controls)
{
    applyDesignColours(lookup);
    controls.chart.chart->ReadProperties(StoredDesign::ucHistogram1());
    controls.readout.display->ReadProperties(StoredDesign::Mo());
    applyFractionalFonts(lookup);
    // The Song-style substitute's thin strokes read as disabled when smoothed; drawn without
    // smoothing the boxes' digits are crisp and black.
    for (QLineEdit *box : lookup.form().findChildren<QLineEdit *>()) {
        QFont font = box->font();
        font.setStyleStrategy(QFont::NoAntialias);
        box->setFont(font);
    }
}
} // namespace

QStringList bindDesignedControls(QWidget &form, WindowControls &controls)
{
    ControlLookup lookup(form);
    controls = bindWindowControls(lookup);
    if (lookup.missing().isEmpty())
        applyDesignDetails(lookup, controls);
    return lookup.missing();
}

void markControlsThatPaintWhole(const WindowControls &controls)
{
    // Boxes that change ten times a second or with every line, each over nothing but its
    // frame's plain colour: painting themselves whole, with that colour in their corners, they
    // spare the frame and their neighbours a repaint each time. The lower two figures are left
    // out: their top corners show the edge of the box above.
    const StepResponseControls &figures = controls.stepResponse;
    for (QLineEdit *box : {controls.runTime.runTime, controls.readout.highestTemperature,
             controls.readout.outputLevel, figures.riseTime.box, figures.overshoot.box})
        box->setAttribute(Qt::WA_OpaquePaintEvent);
    // Likewise the line count, the current temperature caption and the readout's decimal point,
    // filled with their frame's colour.
    const std::array<QWidget *, 3> filled{controls.receiveLog.lineCount,
        controls.readout.temperatureCaption, controls.readout.decimalPoint};
    for (QWidget *control : filled)
        control->setAutoFillBackground(true);
    // The sliders paint every pixel of their own; marked so, the drawing recoloured under them
    // on every character leaves them alone.
    // The style clears the mark when it polishes a scroll bar, so it is set after that.
    for (QScrollBar *slider : controls.parameters.sliders) {
        slider->ensurePolished();
        slider->setAttribute(Qt::WA_OpaquePaintEvent);
    }
}
