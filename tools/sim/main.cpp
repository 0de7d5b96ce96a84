#include "c_escapes.h"
#include "controller_simulator.h"
#include "pty_device.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <getopt.h>
#include <iostream>
#include <memory>
#include <poll.h>
#include <sstream>
#include <string>
#include <unistd.h>

namespace {
volatile std::sig_atomic_t g_stopRequested = 0;

// With output waiting and none of it taken for this long, nobody has the port open.
constexpr double kNobodyReadingSeconds = 1.0;
constexpr int kPollMilliseconds = 10;

const char kUsage[] = R"(Usage: termiva-sim [options]
Plays the temperature controller on a pseudo-terminal for the Termiva console.

  --link PATH       keep a symbolic link to the device at PATH
  --period-ms N     one telemetry line every N ms (default 500)
  --seed N          seed of the sensor noise and the fault bytes (default 1)
  --no-noise        no sensor noise
  --set TENTHS      initial set point in tenths of a degree (default 600)
  --speed X         simulated time runs X times faster than real time (default 1)
  --plant-gain C    the heater's rise at full output, in degrees (default 50)
  --plant-tau S     the plant's time constant in seconds (default 60)
  --dead-time S     the plant's dead time in seconds (default 3)
  --sensor-lag S    a first-order lag of the sensor, in seconds (default 0: none)
  --ambient C       the ambient temperature in degrees (default 25)
  --p N, --i N, --d N
                    the gains the controller starts with (default 10, 5, 2)
  --help            this text
  --version         the program's name and version

Commands on standard input, one per line:
  garbage N         N random bytes (every value 0-255), then a line end
  noeol N           N characters without a line end, then a line end
  flood LINES [CPS] LINES telemetry lines back to back, at CPS characters a second
                    (0 or none: as fast as the line takes them)
  badfield          the next line's current temperature is not a number
  raw TEXT          TEXT as it stands, with C escapes (\r \n \t \\ \xHH), between two lines
  set TENTHS        change the set point
  deaf              read commands from the console and ignore them: no "O"/"N", no change
  hear              take commands again
  drop              close the device and remove the link (cable pulled)
  restore           a new device behind the same link (cable back)
  quit              stop

Setting mode: an accepted parameter command is answered with "O" and, three seconds later,
"N", each on a line of its own between two telemetry lines.

The controller's law, every 0.05 s of simulated time, e the set point less the measurement:
  output = 1.0 P e + 0.2 I (integral of e dt) - 5.0 D (rate of the measurement, smoothed over
           1 s) + T, clamped to 0..255; the integral kept so that its term stays in 0..255.
At --speed X the plant and the law run X times faster in wall time: in wall seconds, I has X
times its scale, D 1/X of it and the smoothing 1/X of its time.
)";

struct Settings
{
    ControllerSimulator::Options simulator;
    std::string link;
};

/// Everything after a command's name and the blank that follows it.
std::string argumentText(const std::string &line)
{
    const std::size_t name = line.find_first_not_of(' ');
    const std::size_t blank = line.find(' ', name);
    return blank == std::string::npos ? std::string() : line.substr(blank + 1);
}

double monotonicSeconds()
{
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

void requestStop(int)
{
    g_stopRequested = 1;
}

void installSignalHandlers()
{
    struct sigaction action
    {
    };
    action.sa_handler = requestStop;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
}

bool parseArguments(int argc, char *argv[], Settings &settings)
{
    enum {
        Link = 1,
        Period,
        Seed,
        NoNoise,
        Set,
        Speed,
        PlantGain,
        PlantTau,
        DeadTime,
        SensorLag,
        Ambient,
        GainP,
        GainI,
        GainD,
        Help,
        Version
    };
    const option options[] = {
        {"link", required_argument, nullptr, Link},
        {"period-ms", required_argument, nullptr, Period},
        {"seed", required_argument, nullptr, Seed},
        {"no-noise", no_argument, nullptr, NoNoise},
        {"set", required_argument, nullptr, Set},
        {"speed", required_argument, nullptr, Speed},
        {"plant-gain", required_argument, nullptr, PlantGain},
        {"plant-tau", required_argument, nullptr, PlantTau},
        {"dead-time", required_argument, nullptr, DeadTime},
        {"sensor-lag", required_argument, nullptr, SensorLag},
        {"ambient", required_argument, nullptr, Ambient},
        {"p", required_argument, nullptr, GainP},
        {"i", required_argument, nullptr, GainI},
        {"d", required_argument, nullptr, GainD},
        {"help", no_argument, nullptr, Help},
        {"version", no_argument, nullptr, Version},
        {nullptr, 0, nullptr, 0},
    };
    ControllerSimulator::Options &simulator = settings.simulator;
    for (int choice; (choice = getopt_long(argc, argv, "", options, nullptr)) != -1;) {
        switch (choice) {
        case Link:
            settings.link = optarg;
            break;
        case Period:
            simulator.periodMs = std::atoi(optarg);
            break;
        case Seed:
            simulator.seed = unsigned(std::strtoul(optarg, nullptr, 10));
            break;
        case NoNoise:
            simulator.noise = false;
            break;
        case Set:
            simulator.setTenths = std::atoi(optarg);
            break;
        case Speed:
            simulator.speed = std::atof(optarg);
            break;
        case PlantGain:
            simulator.plant.gain = std::atof(optarg);
            break;
        case PlantTau:
            simulator.plant.timeConstant = std::atof(optarg);
            break;
        case DeadTime:
            simulator.plant.deadTime = std::atof(optarg);
            break;
        case SensorLag:
            simulator.plant.sensorLag = std::atof(optarg);
            break;
        case Ambient:
            simulator.plant.ambient = std::atof(optarg);
            break;
        case GainP:
            simulator.p = std::atoi(optarg);
            break;
        case GainI:
            simulator.i = std::atoi(optarg);
            break;
        case GainD:
            simulator.d = std::atoi(optarg);
            break;
        case Help:
            std::fputs(kUsage, stdout);
            std::exit(0);
        case Version:
            std::puts("termiva-sim " TERMIVA_VERSION);
            std::exit(0);
        default:
            return false;
        }
    }
    const HeaterPlant::Parameters &plant = simulator.plant;
    const auto isGain = [](int gain) { return gain >= 0 && gain <= 999; };
    return optind == argc && simulator.periodMs > 0 && simulator.speed > 0 && plant.timeConstant > 0
        && plant.deadTime >= 0 && plant.sensorLag >= 0 && isGain(simulator.p) && isGain(simulator.i)
        && isGain(simulator.d);
}

class SimulatorProcess
{
public:
    explicit SimulatorProcess(const Settings &settings)
        : m_settings(settings)
        , m_start(monotonicSeconds())
        , m_simulator(settings.simulator, [this](const std::string &message) { log(message); })
    {
    }

    int run()
    {
        if (!openDevice())
            return 1;
        while (!g_stopRequested && !m_quit) {
            const double now = monotonicSeconds();
            m_simulator.advance(now);
            exchange(now);
            waitForActivity();
            readCommands();
        }
        m_device.reset();
        log("stopped");
        return 0;
    }

private:
    void log(const std::string &message)
    {
        std::fprintf(stderr, "[%8.1f s] %s\n", monotonicSeconds() - m_start, message.c_str());
    }

    bool openDevice()
    {
        m_device = std::make_unique<PtyDevice>(m_settings.link);
        if (!m_device->isOpen()) {
            log("cannot open a pseudo-terminal: " + m_device->error());
            m_device.reset();
            return false;
        }
        std::printf("%s\n", m_device->devicePath().c_str());
        std::fflush(stdout);
        log("device " + m_device->devicePath()
            + (m_settings.link.empty() ? std::string() : ", link " + m_settings.link));
        return true;
    }

    void exchange(double now)
    {
        if (!m_device) {
            m_simulator.discardOutput();
            return;
        }
        std::string &outbox = m_simulator.outbox();
        const long written = m_device->write(outbox);
        if (written > 0 || outbox.empty()) {
            outbox.erase(0, std::size_t(std::max(written, 0L)));
            m_blockedSince = -1;
        } else if (m_blockedSince < 0) {
            m_blockedSince = now;
        } else if (now - m_blockedSince > kNobodyReadingSeconds) {
            m_device->flushUnread();
            m_simulator.discardOutput();
            m_blockedSince = -1;
        }
        const std::string received = m_device->read();
        if (!received.empty())
            m_simulator.receive(received, now);
    }

    void waitForActivity()
    {
        pollfd descriptors[2] = {{-1, 0, 0}, {-1, 0, 0}};
        if (m_device) {
            descriptors[0].fd = m_device->descriptor();
            // Wake as soon as the line takes more, so a flood runs at the reader's pace.
            descriptors[0].events = short(POLLIN | (m_simulator.outbox().empty() ? 0 : POLLOUT));
        }
        if (m_stdinOpen) {
            descriptors[1].fd = STDIN_FILENO;
            descriptors[1].events = POLLIN;
        }
        poll(descriptors, 2, kPollMilliseconds);
        m_stdinReady = descriptors[1].revents != 0;
    }

    void readCommands()
    {
        if (!m_stdinReady)
            return;
        char buffer[4096];
        const ssize_t count = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (count <= 0) {
            m_stdinOpen = count < 0 && errno == EINTR;
            return;
        }
        m_stdinText.append(buffer, std::size_t(count));
        for (std::size_t end; (end = m_stdinText.find('\n')) != std::string::npos;) {
            runCommand(m_stdinText.substr(0, end));
            m_stdinText.erase(0, end + 1);
        }
    }

    void runCommand(const std::string &line)
    {
        std::istringstream words(line);
        std::string command;
        words >> command;
        long long count = -1;
        double rate = 0;
        const bool counted = bool(words >> count) && count >= 0;
        words >> rate;
        if (command.empty())
            return;
        if (command == "garbage" && counted)
            m_simulator.injectGarbage(std::size_t(count));
        else if (command == "noeol" && counted)
            m_simulator.injectUnterminated(std::size_t(count));
        else if (command == "flood" && counted)
            m_simulator.startFlood(std::size_t(count), std::max(rate, 0.0));
        else if (command == "set" && counted)
            m_simulator.setSetPoint(int(count));
        else if (command == "badfield")
            m_simulator.injectBadField();
        else if (command == "raw")
            m_simulator.sendRaw(decodeCEscapes(argumentText(line)));
        else if (command == "deaf")
            m_simulator.setDeaf(true);
        else if (command == "hear")
            m_simulator.setDeaf(false);
        else if (command == "drop")
            m_device.reset();
        else if (command == "restore" && !m_device)
            openDevice();
        else if (command == "quit")
            m_quit = true;
        else
            return log("not understood: " + line);
        log("done: " + line);
    }

    Settings m_settings;
    double m_start;
    ControllerSimulator m_simulator;
    std::unique_ptr<PtyDevice> m_device;
    double m_blockedSince = -1;
    bool m_stdinOpen = true;
    bool m_stdinReady = false;
    bool m_quit = false;
    std::string m_stdinText;
};
} // namespace

int main(int argc, char *argv[])
{
    Settings settings;
    if (!parseArguments(argc, argv, settings)) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    installSignalHandlers();
    return SimulatorProcess(settings).run();
}
