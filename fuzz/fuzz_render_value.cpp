#include "digit_model.h"
#include "fuzz_harness.h"
#include "morph_display.h"

#include <QApplication>

#include <array>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {
TERMIVA_HARNESS void check(bool holds)
{
    if (!holds)
        std::abort();
}

/// A layout the display is built with once; inputs then only change what needs no rebuild.
struct Layout
{
    int digits;
    int exponentDigits;
    int style;
    int fill;
    bool thousands;
    int thousandsSeparator;
    int decimalSeparator;
    bool exponent;
    bool burnIn;
    /// The segments' long and short sides; 0 keeps the default or the theme's.
    int segmentHeight = 4;
    int segmentWidth = 2;
    /// A theme to apply first, 0 for none.
    int theme = 0;
    /// Sizes the layout cannot hold, set after the build: refused, the built layout stays.
    bool refusedAfterwards = false;
};

// Field sizes at their ends (none, one, the most), every segment style and one unknown, both
// fills and separators, with and without the exponent and burn-in, two themes, and a display
// holding stored sizes it refused. Which cells and marks a value paints does not depend on the
// segment sizes, so most layouts use small segments: fewer pixels per cell.
constexpr std::array kLayouts{
    Layout{20, 4, segRectangular, fillSolid, false, sepComma, sepPeriod, true, true, 0, 0},
    Layout{0, 0, segRectangular, fillSolid, true, sepComma, sepPeriod, true, false},
    Layout{1, 1, segHexagonal, fillFilament, true, sepPeriod, sepComma, true, true},
    Layout{MorphDisplay::kMaxDigits, MorphDisplay::kMaxDigitsExp, segTrapezoidal, fillSolid, true,
        sepComma, sepPeriod, true, true},
    Layout{12, 3, 3, fillSolid, true, sepPeriod, sepPeriod, false, false},
    Layout{6, 2, segHexagonal, fillSolid, true, sepComma, sepPeriod, true, true, 0, 0, 2},
    Layout{8, 2, segTrapezoidal, fillFilament, false, sepComma, sepComma, true, false, 0, 0, 6},
    Layout{16, 5, segHexagonal, fillSolid, true, sepComma, sepPeriod, true, true, 4, 2, 0, true},
};

std::unique_ptr<MorphDisplay> build(const Layout &layout)
{
    auto display = std::make_unique<MorphDisplay>();
    display->resize(360, 48);
    if (layout.theme != 0)
        check(display->setTheme(layout.theme));
    check(display->setNumDigits(layout.digits) && display->setNumDigitsExp(layout.exponentDigits)
        && display->setSegmentStyle(layout.style) && display->setSegmentFillStyle(layout.fill)
        && display->setShowThousandsSeparator(layout.thousands)
        && display->setThousandsSeparator(layout.thousandsSeparator)
        && display->setDecimalSeparator(layout.decimalSeparator)
        && display->setShowExponent(layout.exponent) && display->setShowBurnIn(layout.burnIn));
    if (layout.segmentHeight != 0) {
        check(display->setSegmentHeight(layout.segmentHeight)
            && display->setSegmentWidth(layout.segmentWidth)
            && display->setSegmentHeightExp(layout.segmentHeight)
            && display->setSegmentWidthExp(layout.segmentWidth));
    }
    if (layout.refusedAfterwards) {
        check(!display->setNumDigits(MorphDisplay::kMaxDigits + 1));
        check(!display->setSegmentHeight(1 << 20));
    }
    return display;
}

MorphDisplay &display(std::size_t index)
{
    static std::array<std::unique_ptr<MorphDisplay>, kLayouts.size()> displays;
    if (!displays[index])
        displays[index] = build(kLayouts[index]);
    return *displays[index];
}

/// The digit model alone, with any field sizes: its texts fit their fields.
TERMIVA_HARNESS void checkDigitModel(
    const QString &value, int digits, int exponentDigits, qint32 grouping)
{
    const QString text = DigitModel::normalized(value);
    (void)DigitModel::isNegative(text);
    const SplitValue split = DigitModel::SplitExponent(text, exponentDigits);
    check(text.startsWith(split.mantissa));
    check(split.exponent.size() <= 1 + qMax(exponentDigits, 0));
    check(split.hasExponent || split.mantissa == text);
    check(DigitModel::rightAligned(split.mantissa, digits).size() == qMax(digits, 0));
    check(DigitModel::MarkThousands(split.mantissa, digits, grouping).size()
        == std::size_t(qMax(digits, 0)));
}

/// Shows a value: it is kept normalized, and no more cells are painted than the fields hold.
TERMIVA_HARNESS void show(MorphDisplay &shown, const QString &value)
{
    const qint64 before = shown.paintedCellCount();
    (void)shown.setValue(value);
    check(shown.Value() == DigitModel::normalized(value));
    check(shown.paintedCellCount() - before
        <= MorphDisplay::kMaxDigits + MorphDisplay::kMaxDigitsExp);
}
} // namespace

/// The seven-segment value path on any text. The first byte picks one of the displays built
/// once, the next four the thousands grouping (set on the display, which repaints without a
/// rebuild), the next two the main and exponent field sizes the digit model is tried with; the
/// rest is the value, shown from blank and then cut in half so that both the full and the
/// changed-cells paths run.
extern "C" TERMIVA_HARNESS int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static int argc = 1;
    static char name[] = "fuzz_render_value";
    static char *argv[] = {name, nullptr};
    static QApplication application(argc, argv);
    constexpr size_t kHeader = 7;
    if (size < kHeader)
        return 0;
    qint32 grouping = 0;
    std::memcpy(&grouping, data + 1, sizeof grouping);
    const QString value = QString::fromUtf8(
        reinterpret_cast<const char *>(data + kHeader), qsizetype(size - kHeader));
    checkDigitModel(value, qint8(data[5]), qint8(data[6]), grouping);

    MorphDisplay &shown = display(data[0] % kLayouts.size());
    (void)shown.setValue(QString());
    check(shown.setThousandsGrouping(grouping));
    show(shown, value);
    show(shown, value.left(value.size() / 2));
    check(shown.surface().size() == shown.size());
    return 0;
}
