#include "offline_console.h"
#include "panels/receive_log.h"

#include <QApplication>
#include <QPlainTextEdit>

#include <cstdlib>

namespace {
/// One connected window, kept across inputs.
struct ConnectedConsole : OfflineConsole
{
    ConnectedConsole() { connectPort(); }
};
} // namespace

/// The receiver's character path and line processing on any bytes, with timer ticks between
/// inputs; the line and the log stay within their caps.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static int argc = 1;
    static char name[] = "fuzz_receive_path";
    static char *argv[] = {name, nullptr};
    static QApplication application(argc, argv);
    static ConnectedConsole console;
    console.receive(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    console.tick(3);
    const auto *log = console.control<QPlainTextEdit>(QStringLiteral("receive"));
    if (console.window().session().heldLine().text().size() > LineCollector::kCap
        || log->blockCount() > ReceiveLog::kLogEntries)
        std::abort();
    return 0;
}
