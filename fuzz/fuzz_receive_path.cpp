#include "frm_main.h"
#include "manual_time.h"
#include "memory_comm.h"
#include "window_timer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QPlainTextEdit>
#include <QTemporaryDir>

#include <cstdlib>

namespace {
/// One connected window on an in-memory port and manual time, kept across inputs.
struct Console
{
    QTemporaryDir dir;
    std::shared_ptr<ManualTime> time = std::make_shared<ManualTime>();
    MemoryComm *port = nullptr;
    std::unique_ptr<frmMain> window;

    Console()
    {
        auto comm = std::make_unique<MemoryComm>();
        port = comm.get();
        window = std::make_unique<frmMain>(std::move(comm), time, dir.path());
        for (WindowTimer *timer : window->findChildren<WindowTimer *>())
            time->drive(timer);
        window->findChild<QAbstractButton *>(QStringLiteral("cmdConnect"))->click();
    }
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
    static Console console;
    console.port->feed(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    console.port->deliverFed();
    console.time->advance(300);
    QCoreApplication::processEvents();
    const WindowState &state = console.window->state();
    const auto *log = console.window->findChild<QPlainTextEdit *>(QStringLiteral("receive"));
    if (state.RxLine.text().size() > LineCollector::kCap
        || log->blockCount() > frmMain::kLogEntries)
        std::abort();
    return 0;
}
