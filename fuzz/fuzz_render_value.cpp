#include "morph_display.h"

#include <QApplication>

/// The seven-segment value path on any text and digit counts: the first bytes choose the
/// field sizes, style and marks, the rest is the value, shown twice so that both the full and
/// the changed-cells paths run.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static int argc = 1;
    static char name[] = "fuzz_render_value";
    static char *argv[] = {name, nullptr};
    static QApplication application(argc, argv);
    static MorphDisplay display;
    if (size < 8)
        return 0;
    display.resize(200 + data[7], 40);
    (void)display.setNumDigits(data[0] % 64);
    (void)display.setNumDigitsExp(data[1] % 8);
    (void)display.setSegmentStyle(data[2] % 4);
    (void)display.setShowThousandsSeparator(data[3] & 1);
    (void)display.setThousandsGrouping(static_cast<qint8>(data[4]));
    (void)display.setDecimalSeparator(data[5] % 3);
    (void)display.setSegmentFillStyle(data[6] % 2);
    const QString value =
        QString::fromUtf8(reinterpret_cast<const char *>(data + 8), qsizetype(size - 8));
    (void)display.setValue(value);
    (void)display.setValue(value.left(value.size() / 2));
    return 0;
}
