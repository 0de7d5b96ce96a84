#include "morph_display.h"
#include "property_bag.h"

#include <benchmark/benchmark.h>

namespace {
/// The console's readout: four hexagonal digits 20 × 8 pixels in a 185 × 73 control.
std::unique_ptr<MorphDisplay> consoleReadout()
{
    auto display = std::make_unique<MorphDisplay>();
    display->resize(185, 73);
    display->ReadProperties(PropertyBag{{"NumDigits", 4}, {"SegmentStyle", 0},
        {"SegmentHeight", 20}, {"SegmentWidth", 8}, {"InterSegmentGap", 5},
        {"SegmentLitColor", 0x00FFFF}, {"BurnInColor", 0x60}, {"XOffsetExp", 490}});
    display->show();
    return display;
}

/// The default look: twenty rectangular digits.
std::unique_ptr<MorphDisplay> twentyDigits()
{
    auto display = std::make_unique<MorphDisplay>();
    display->resize(403, 31);
    display->show();
    return display;
}

void BM_ValueOneCellChanges(benchmark::State &state)
{
    const auto display = consoleReadout();
    const QString values[] = {QStringLiteral("585"), QStringLiteral("586")};
    int n = 0;
    for (auto _ : state)
        display->setValue(values[n++ % 2]);
}
BENCHMARK(BM_ValueOneCellChanges)->Unit(benchmark::kMicrosecond);

void BM_ValueAllTwentyCellsChange(benchmark::State &state)
{
    const auto display = twentyDigits();
    const QString values[] = {
        QStringLiteral("12345678901234567890"), QStringLiteral("23456789012345678901")};
    int n = 0;
    for (auto _ : state)
        display->setValue(values[n++ % 2]);
}
BENCHMARK(BM_ValueAllTwentyCellsChange)->Unit(benchmark::kMicrosecond);

void BM_FullRender(benchmark::State &state)
{
    const auto display = twentyDigits();
    for (auto _ : state)
        display->setThousandsGrouping(3);
}
BENCHMARK(BM_FullRender)->Unit(benchmark::kMicrosecond);
} // namespace
