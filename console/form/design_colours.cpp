#include "design_colours.h"

#include "form/control_lookup.h"
#include "ole_color.h"

#include <QPalette>
#include <QWidget>

#include <optional>

namespace {
struct DesignColours
{
    const char *control;
    std::optional<OleColor> back;
    std::optional<OleColor> fore;
};

// Containers come before what they hold; {} leaves the colour to the container. A fore colour
// of 0x00000000 keeps captions black whatever the platform's text colour.
constexpr DesignColours kDesignColours[] = {
    {"frmMain", 0x00C0FFFF, {}},
    {"Label12_0", 0x00FF8080, 0x00000000},
    {"Label12_1", 0x0000C0C0, 0x00000000},
    {"Label12_2", 0x008080FF, 0x00000000},
    {"Label14", SystemColor::ButtonFace, 0x00000000},
    {"Frame3", 0x00C0FFFF, 0x00000000},
    {"CommandA", 0x00FFC0C0, {}},
    {"Frame4", 0x00C0FFFF, 0x00000000},
    {"Label13_0", {}, 0x00004000},
    {"fraFrames_1", 0x00000000, 0x0000FFFF},
    {"Label1_0", {}, SystemColor::Highlight},
    {"Label5_0", {}, 0x00C0C000},
    {"Label5_1", 0x0000FF00, 0x00000000},
    {"Label5_2", {}, 0x0000FF00},
    {"Text2_1", SystemColor::WindowFrame, 0x0000FF00},
    {"Frame2", 0x00C0FFFF, 0x00000000},
    {"Label2", SystemColor::ButtonFace, 0x00000000},
    {"Label3", SystemColor::ButtonFace, 0x00000000},
    {"Label4", SystemColor::ButtonFace, 0x00000000},
    {"Frame1", 0x00C0FFFF, 0x00000000},
    {"Label7_5", 0x00B4F0FF, 0x00000000},
    {"Label7_4", 0x00B4F0FF, 0x00000000},
    {"Label7_3", 0x00B4F0FF, 0x00000000},
    {"Label7_2", 0x00B4F0FF, 0x00000000},
    {"Label7_1", 0x00B4F0FF, 0x00000000},
    {"Label7_0", 0x00B4F0FF, 0x00000000},
    {"Label1_5", 0x00B4F0FF, 0x00000000},
    {"Label1_4", 0x00B4F0FF, 0x00000000},
    {"Label1_3", 0x00B4F0FF, 0x00000000},
    {"Label1_2", 0x00B4F0FF, 0x00000000},
    {"Label1_1", 0x00B4F0FF, 0x00000000},
    {"Label1_6", 0x00B4F0FF, 0x00000000},
    {"Label11", {}, 0x00000000},
    {"fraFrames_2", 0x00C0FFFF, 0x00000000},
    {"lblStatus", {}, 0x00000000},
    {"optComPort_15", 0x000040C0, 0x00000000},
    {"optComPort_14", 0x000000FF, 0x00000000},
    {"optComPort_13", 0x008080FF, 0x00000000},
    {"optComPort_12", 0x008080FF, 0x00000000},
    {"optComPort_11", 0x00FF8080, 0x00000000},
    {"optComPort_10", 0x0080C0FF, 0x00000000},
    {"optComPort_9", 0x00FFFFC0, 0x00000000},
    {"optComPort_8", 0x00C000C0, 0x00000000},
    {"optComPort_7", 0x0000C000, 0x00000000},
    {"optComPort_6", 0x000080FF, 0x00000000},
    {"optComPort_5", 0x0000FF00, 0x00000000},
    {"optComPort_4", 0x00FFC0C0, 0x00000000},
    {"optComPort_3", 0x00808000, 0x00000000},
    {"optComPort_2", 0x00C0C000, 0x00000000},
    {"optComPort_1", 0x00FFFF80, 0x00000000},
    {"optComPort_0", 0x00FFFF00, 0x00000000},
    {"cmdDisconnect", 0x00FFFFC0, {}},
    {"cmdConnect", 0x00FFC0FF, {}},
    {"cmdExit", 0x00C0C0FF, {}},
    {"CommandB", 0x00FF8080, {}},
    {"CommandC", 0x00FF0000, {}},
    {"CommandD", 0x00C0FFFF, {}},
    {"CommandE", 0x0000C0C0, {}},
    {"CommandF", 0x00004040, {}},
    {"CommandG", 0x00C0E0FF, {}},
    {"CommandH", 0x000080FF, {}},
    {"CommandI", 0x00404080, {}},
    {"Frame5", 0x00C0FFC0, 0x00000000},
    {"rece_quantity", {}, 0x00000000},
    {"receive_label", {}, 0x00000000},
    {"Label9", {}, 0x00000000},
    {"comm_send", 0x00C0FFFF, {}},
    {"clearbox", 0x00C0E0FF, {}},
    {"send_model", 0x00FFC0FF, {}},
    {"Frame6", 0x00FFFFC0, 0x00000000},
    {"Label10", {}, 0x00000000},
    {"stoporrun", 0x00FFFF80, {}},
    {"runtimeclear", 0x00C0C000, {}},
    {"Frame7", 0x00FFC0FF, 0x00000000},
    {"Y_T_0", 0x00FFC0FF, 0x00000000},
    {"Y_T_1", {}, 0x00000000},
    {"Y_T_2", {}, 0x00000000},
    {"set_v", 0x00C00000, {}},
    {"Frame8", 0x00FF8080, 0x00000000},
    {"Label6_0", {}, 0x00000000},
    {"Label6_1", {}, 0x00000000},
    {"Label6_2", {}, 0x00000000},
    {"Label6_3", {}, 0x00000000},
    {"tushi", 0x00FFC0C0, 0x00000000},
    {"Label8_0", 0x00FFC0C0, 0x00000000},
    {"Label8_1", 0x00C0FFC0, 0x00000000},
    {"Label8_2", 0x00FFFFC0, 0x00000000},
    {"Label8_3", 0x00FFC0FF, 0x00000000},
};

QColor translated(OleColor colour)
{
    return OleTranslateColor(colour).value_or(QColor());
}

void applyColours(QWidget &control, const DesignColours &design)
{
    // An empty palette, so that the control follows its container in every other role. The
    // control's own roles say where each colour shows: a button's face, a text box's field.
    QPalette palette;
    if (design.back)
        palette.setColor(control.backgroundRole(), translated(*design.back));
    if (design.fore)
        palette.setColor(control.foregroundRole(), translated(*design.fore));
    control.setPalette(palette);
}
} // namespace

void applyDesignColours(ControlLookup &lookup)
{
    for (const DesignColours &design : kDesignColours) {
        if (QWidget *control = lookup.find(QLatin1String(design.control)))
            applyColours(*control, design);
    }
}
