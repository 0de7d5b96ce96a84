#pragma once

#include "heater_plant.h"
#include "pid_loop.h"
#include "telemetry_format.h"

#include <deque>
#include <functional>
#include <random>
#include <string>
#include <string_view>

struct ParameterCommand;

/// The temperature controller as the console sees it: a heater loop reporting a telemetry line
/// every period, taking parameter commands and band digits, and producing faults on demand.
/// Driven by the caller's clock (seconds); what it sends collects in outbox().
///
/// Setting mode: an accepted parameter command is answered with the mode signal "O" and, three
/// seconds later, "N". Each signal goes out on a line of its own ("O\r\n") between two telemetry
/// lines, so it never shifts the fields of a telemetry line.
class ControllerSimulator
{
public:
    struct Options
    {
        int periodMs = 500;
        unsigned seed = 1;
        bool noise = true;
        int setTenths = 600;
        double speed = 1.0;
        HeaterPlant::Parameters plant;
        /// The gains the controller starts with.
        int p = 10;
        int i = 5;
        int d = 2;
    };
    using Logger = std::function<void(const std::string &)>;

    static constexpr double kCommandIdleSeconds = 0.15;
    static constexpr double kSettingModeSeconds = 3.0;

    ControllerSimulator(const Options &options, Logger log);

    /// Bytes from the console; a command ends when the line stays quiet for a moment.
    void receive(std::string_view bytes, double now);
    /// Runs the heater loop and the line schedule up to now.
    void advance(double now);
    /// Bytes waiting to go out; the caller removes what it has written.
    std::string &outbox() { return m_outbox; }
    /// Nobody reads the line: drop what waits so stale lines are not delivered later.
    void discardOutput() { m_outbox.clear(); }

    void injectGarbage(std::size_t bytes);
    void injectUnterminated(std::size_t bytes);
    void injectBadField() { m_badFieldNext = true; }
    /// Bytes as they stand, sent between two lines.
    void sendRaw(const std::string &bytes) { m_outbox += bytes; }
    /// Telemetry lines back to back at the given rate (characters per second, 0 for as fast as
    /// the line takes them) instead of one per period.
    void startFlood(std::size_t lines, double charactersPerSecond);
    void setSetPoint(int tenths) { m_settings.setTenths = tenths; }
    /// While deaf, bytes from the console are read and thrown away: no command is taken, no
    /// setting-mode signal answers it.
    void setDeaf(bool deaf) { m_deaf = deaf; }

    const ControllerSettings &settings() const { return m_settings; }
    double temperature() const { return m_plant.temperature(); }
    double simulatedSeconds() const { return m_simulatedSeconds; }
    TelemetrySample currentSample() const;

private:
    enum class JobKind { Garbage, Unterminated, Flood };
    struct Job
    {
        JobKind kind;
        std::size_t remaining;
        double charactersPerSecond = 0.0;
        double budget = 0.0;
    };

    void runLoop(double now);
    void finishCommand();
    void applyParameters(const ParameterCommand &command);
    void runJob(Job &job, double elapsed);
    void sendScheduledLines(double now);
    double measuredTemperature();

    Options m_options;
    Logger m_log;
    HeaterPlant m_plant;
    PidLoop m_loop;
    ControllerSettings m_settings;
    std::mt19937 m_random;
    double m_simulatedSeconds = 0.0;
    double m_loopSeconds = 0.0;
    double m_measured;
    int m_output = 0;
    double m_lastNow = -1.0;
    double m_nextLineAt = 0.0;
    std::string m_command;
    double m_lastCommandByteAt = 0.0;
    std::deque<std::pair<double, char>> m_signals;
    std::deque<Job> m_jobs;
    bool m_badFieldNext = false;
    bool m_deaf = false;
    std::string m_outbox;
};
