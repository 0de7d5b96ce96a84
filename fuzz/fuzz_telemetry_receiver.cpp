#include "fuzz_harness.h"
#include "telemetry/controller_state.h"
#include "telemetry/run_state.h"
#include "telemetry/step_response.h"
#include "telemetry/telemetry_receiver.h"

#include <QString>

#include <array>
#include <cstdlib>

namespace {
// The alarm rule, stated here on its own: more than 15 degrees above the set point.
constexpr int kAlarmExcessTenths = 150;

/// Every character as the port hands it over, made once so that feeding one costs no allocation.
const std::array<QString, 256> &characters()
{
    static const std::array<QString, 256> table = [] {
        std::array<QString, 256> strings;
        for (std::size_t byte = 0; byte < strings.size(); ++byte)
            strings[byte] = QString(QLatin1Char(char(byte)));
        return strings;
    }();
    return table;
}

/// Text a line may already hold: length characters, the last of them CR if asked. Taken from
/// text made once, without a copy.
QString filler(qsizetype length, bool carriageReturnLast)
{
    static const QString plain(LineCollector::kCap, u'x');
    static const QString endingInCarriageReturn = plain.chopped(1) + u'\r';
    const QString &source = carriageReturnLast ? endingInCarriageReturn : plain;
    return QString::fromRawData(source.constData() + source.size() - length, length);
}

TERMIVA_HARNESS void check(bool holds)
{
    if (!holds)
        std::abort();
}

/// How the line being received must end: a line whose characters, CR LF included, fit within
/// the cap is completed with exactly those characters; a longer one is dropped and reported with
/// its length without the line end. The first line may begin with text already collected.
struct ExpectedLines
{
    const char *bytes;
    qsizetype start = 0;
    QString collected;
    qint64 completed = 0;

    TERMIVA_HARNESS void checkCharacter(qsizetype at, const ReceiverChanges &changes)
    {
        const qsizetype length = collected.size() + at + 1 - start;
        const bool afterCarriageReturn =
            at > start ? bytes[at - 1] == '\r' : collected.endsWith(u'\r');
        if (!afterCarriageReturn || bytes[at] != '\n') {
            check(!changes.line && !changes.droppedLength);
            return;
        }
        if (length <= LineCollector::kCap) {
            check(changes.line && !changes.droppedLength);
            const QStringView text = changes.line->text;
            check(text.size() == length && text.first(collected.size()) == collected
                && text.sliced(collected.size()) == QLatin1String(bytes + start, at + 1 - start));
            ++completed;
        } else {
            check(!changes.line && changes.droppedLength == length - 2);
        }
        start = at + 1;
        collected.clear();
    }
};

/// The state a completed line leaves: highest at least the current, lamps from the excess
/// unless the controller is being set.
TERMIVA_HARNESS void checkLineResult(
    const ControllerState &state, const TelemetryReceiver &receiver, qint16 highestBefore)
{
    check(state.MaxTempTenths >= highestBefore && state.MaxTempTenths >= state.CurTempTenths);
    check(receiver.collected().text().isEmpty() && !state.Lamps.setting);
    if (state.Mode == ModeWord::Ok) {
        check(state.Lamps.normal && !state.Lamps.alarm);
        return;
    }
    const bool alarm = state.CurTempTenths - state.SetTempTenths > kAlarmExcessTenths;
    check(state.Lamps.alarm == alarm && state.Lamps.normal == !alarm);
}
} // namespace

/// The receiver on any bytes, one character per call as the console takes them from the port,
/// checked against the line rule and the state a line must leave. Two bytes of options come
/// first: the length (0 to 7) of what the operator typed into the overshoot box, which follows
/// them, the start flags, and whether the line already holds up to the cap's worth of text
/// (taken as one chunk, perhaps ending in CR), so that short inputs reach the overlong path. The
/// rest is what the controller sent. The typed text reaches the run as the box's edit does in
/// the window; after a line the run holds what the line stamped, and its clock advances a tenth.
extern "C" TERMIVA_HARNESS int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    constexpr qsizetype kOptions = 2;
    if (size < kOptions)
        return 0;
    const char *bytes = reinterpret_cast<const char *>(data);
    const qsizetype typedLength = qMin<qsizetype>(data[0] & 7, qsizetype(size) - kOptions);
    TelemetryReceiver receiver;
    ControllerState state;
    RunState run;
    run.Figures.overshootPercent =
        StepResponse::shownPercentage(QString::fromLatin1(bytes + kOptions, typedLength));
    run.ReachPending = data[0] & 8;
    state.FollowCurrentTemp = (data[0] & 16) ? 1 : 0;

    const qsizetype first = kOptions + typedLength;
    ExpectedLines expected{bytes, first};
    if (data[0] & 32) {
        expected.collected = filler(LineCollector::kCap - data[1], data[0] & 64);
        const ReceiverChanges changes = receiver.receive(expected.collected, state, run);
        check(!changes.modeSignal && !changes.line && !changes.droppedLength);
        check(receiver.collected().text().size() <= LineCollector::kCap);
    }

    const std::array<QString, 256> &received = characters();
    for (qsizetype at = first; at < qsizetype(size); ++at) {
        const char character = bytes[at];
        const bool reachPending = run.ReachPending;
        const qint16 highest = state.MaxTempTenths;
        const ReceiverChanges changes = receiver.receive(received[uint8_t(character)], state, run);
        check(changes.modeSignal == (character == 'O' || character == 'N'));
        check(receiver.collected().text().size() <= LineCollector::kCap);
        expected.checkCharacter(at, changes);
        if (!changes.line)
            continue;
        checkLineResult(state, receiver, highest);
        const StepFigures &stamped = changes.line->figures;
        check(reachPending || !stamped.riseTenths);
        check(!run.ReachPending || !stamped.riseTenths);
        check(
            !stamped.overshootPercent || run.Figures.overshootPercent == stamped.overshootPercent);
        check(changes.line->runTenths == run.runTimeTenths());
        if (++run.RunTenths == 10) {
            run.RunTenths = 0;
            ++run.RunSeconds;
        }
    }
    check(state.FrameCount == expected.completed);
    return 0;
}
