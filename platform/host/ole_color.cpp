#include "ole_color.h"

#include <QGuiApplication>

#include <array>

namespace {
constexpr OleColor kSystemColorFlag = 0x80000000;

struct PaletteEntry
{
    QPalette::ColorGroup group;
    QPalette::ColorRole role;
};

// The platform's system colours 0 to 24, in their numbering, as palette entries.
constexpr std::array<PaletteEntry, 25> kSystemColors{{
    {QPalette::Active, QPalette::Button}, // scroll bar
    {QPalette::Active, QPalette::Dark}, // desktop
    {QPalette::Active, QPalette::Highlight}, // active caption
    {QPalette::Inactive, QPalette::Highlight}, // inactive caption
    {QPalette::Active, QPalette::Window}, // menu
    {QPalette::Active, QPalette::Base}, // window
    {QPalette::Active, QPalette::Shadow}, // window frame
    {QPalette::Active, QPalette::WindowText}, // menu text
    {QPalette::Active, QPalette::Text}, // window text
    {QPalette::Active, QPalette::HighlightedText}, // caption text
    {QPalette::Active, QPalette::Button}, // active border
    {QPalette::Inactive, QPalette::Button}, // inactive border
    {QPalette::Active, QPalette::Mid}, // application workspace
    {QPalette::Active, QPalette::Highlight}, // highlight
    {QPalette::Active, QPalette::HighlightedText}, // highlighted text
    {QPalette::Active, QPalette::Button}, // button face
    {QPalette::Active, QPalette::Dark}, // button shadow
    {QPalette::Disabled, QPalette::Text}, // grey text
    {QPalette::Active, QPalette::ButtonText}, // button text
    {QPalette::Inactive, QPalette::HighlightedText}, // inactive caption text
    {QPalette::Active, QPalette::Light}, // button highlight
    {QPalette::Active, QPalette::Shadow}, // 3-D dark shadow
    {QPalette::Active, QPalette::Midlight}, // 3-D light
    {QPalette::Active, QPalette::ToolTipText}, // tooltip text
    {QPalette::Active, QPalette::ToolTipBase}, // tooltip background
}};
} // namespace

std::optional<QColor> OleTranslateColor(OleColor colour, const QPalette &palette)
{
    if ((colour & kSystemColorFlag) == 0) {
        if (colour > 0xFFFFFF)
            return std::nullopt;
        return QColor(int(colour & 0xFF), int((colour >> 8) & 0xFF), int((colour >> 16) & 0xFF));
    }
    const OleColor index = colour & ~kSystemColorFlag;
    if (index >= kSystemColors.size())
        return std::nullopt;
    const PaletteEntry entry = kSystemColors[index];
    return palette.color(entry.group, entry.role);
}

std::optional<QColor> OleTranslateColor(OleColor colour)
{
    return OleTranslateColor(colour, QGuiApplication::palette());
}
