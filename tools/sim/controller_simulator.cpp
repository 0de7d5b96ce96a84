#include "controller_simulator.h"

#include "command_parser.h"

#include <algorithm>
#include <cmath>

namespace {
// Lazily produced output stops growing at this size until the writer catches up.
constexpr std::size_t kOutboxLimit = 16384;
constexpr std::size_t kChunk = 4096;
constexpr double kNoiseDegrees = 0.1;
// Filler for an unterminated run: no line end and no mode signal.
constexpr std::string_view kRunAlphabet = "abcdefghijklmnopqrstuvwxyz0123456789 ";

std::string hexBytes(std::string_view bytes)
{
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text;
    for (const char byte : bytes) {
        const auto value = static_cast<unsigned char>(byte);
        text += kDigits[value >> 4];
        text += kDigits[value & 0xF];
        text += ' ';
    }
    if (!text.empty())
        text.pop_back();
    return text;
}
} // namespace

ControllerSimulator::ControllerSimulator(const Options &options, Logger log)
    : m_options(options)
    , m_log(std::move(log))
    , m_plant(options.plant)
    , m_random(options.seed)
    , m_measured(m_plant.sensed())
{
    m_settings.setTenths = options.setTenths;
    m_settings.p = options.p;
    m_settings.i = options.i;
    m_settings.d = options.d;
}

void ControllerSimulator::receive(std::string_view bytes, double now)
{
    if (m_deaf) {
        m_log("deaf: discarded " + std::to_string(bytes.size()) + " bytes: " + hexBytes(bytes));
        return;
    }
    m_command.append(bytes);
    m_lastCommandByteAt = now;
}

void ControllerSimulator::advance(double now)
{
    const double elapsed = m_lastNow < 0 ? 0.0 : std::max(0.0, now - m_lastNow);
    if (m_lastNow < 0)
        m_nextLineAt = now + m_options.periodMs / 1000.0;
    m_lastNow = now;
    runLoop(elapsed);
    if (!m_command.empty() && now - m_lastCommandByteAt >= kCommandIdleSeconds)
        finishCommand();
    if (!m_jobs.empty()) {
        runJob(m_jobs.front(), elapsed);
        if (m_jobs.front().remaining == 0)
            m_jobs.pop_front();
        return;
    }
    sendScheduledLines(now);
}

void ControllerSimulator::runLoop(double elapsed)
{
    m_simulatedSeconds += elapsed * m_options.speed;
    while (m_loopSeconds + HeaterPlant::kStepSeconds <= m_simulatedSeconds) {
        m_loopSeconds += HeaterPlant::kStepSeconds;
        m_measured = measuredTemperature();
        m_output = m_loop.update(m_settings, m_measured, HeaterPlant::kStepSeconds);
        m_plant.step(m_output / double(PidLoop::kMaxOutput));
    }
}

double ControllerSimulator::measuredTemperature()
{
    if (!m_options.noise)
        return m_plant.sensed();
    std::uniform_real_distribution<double> noise(-kNoiseDegrees, kNoiseDegrees);
    return m_plant.sensed() + noise(m_random);
}

TelemetrySample ControllerSimulator::currentSample() const
{
    return {m_settings.setTenths, int(std::lround(m_measured * 10)), m_output, m_settings.p,
        m_settings.i, m_settings.d};
}

void ControllerSimulator::finishCommand()
{
    const std::string text = std::move(m_command);
    m_command.clear();
    m_log("received " + std::to_string(text.size()) + " bytes: " + hexBytes(text));
    const ParsedCommand parsed = parseCommand(text);
    if (const auto *malformed = std::get_if<MalformedCommand>(&parsed)) {
        m_log("ignored malformed command: " + malformed->reason);
    } else if (const auto *selection = std::get_if<BandSelection>(&parsed)) {
        for (const int band : selection->bands)
            m_log("band " + std::to_string(band) + " selected");
    } else {
        applyParameters(std::get<ParameterCommand>(parsed));
    }
}

void ControllerSimulator::applyParameters(const ParameterCommand &command)
{
    m_settings.setTenths = command.setTenths.value_or(m_settings.setTenths);
    m_settings.p = command.p.value_or(m_settings.p);
    m_settings.i = command.i.value_or(m_settings.i);
    m_settings.d = command.d.value_or(m_settings.d);
    m_settings.compensation = command.compensation.value_or(m_settings.compensation);
    m_log("accepted: set " + std::to_string(m_settings.setTenths) + " P "
        + std::to_string(m_settings.p) + " I " + std::to_string(m_settings.i) + " D "
        + std::to_string(m_settings.d) + " T " + std::to_string(m_settings.compensation));
    m_signals.emplace_back(m_lastNow, 'O');
    m_signals.emplace_back(m_lastNow + kSettingModeSeconds, 'N');
}

void ControllerSimulator::sendScheduledLines(double now)
{
    while (!m_signals.empty() && m_signals.front().first <= now) {
        m_outbox += m_signals.front().second;
        m_outbox += "\r\n";
        m_signals.pop_front();
    }
    if (now < m_nextLineAt)
        return;
    m_outbox += m_badFieldNext ? formatLineWithBadField(currentSample())
                               : formatTelemetryLine(currentSample());
    m_badFieldNext = false;
    m_nextLineAt += m_options.periodMs / 1000.0;
    if (m_nextLineAt <= now)
        m_nextLineAt = now + m_options.periodMs / 1000.0;
}

void ControllerSimulator::injectGarbage(std::size_t bytes)
{
    m_jobs.push_back({JobKind::Garbage, bytes});
}

void ControllerSimulator::injectUnterminated(std::size_t bytes)
{
    m_jobs.push_back({JobKind::Unterminated, bytes});
}

void ControllerSimulator::startFlood(std::size_t lines, double charactersPerSecond)
{
    m_jobs.push_back({JobKind::Flood, lines, charactersPerSecond});
}

void ControllerSimulator::runJob(Job &job, double elapsed)
{
    job.budget += job.charactersPerSecond * elapsed;
    while (job.remaining > 0 && m_outbox.size() < kOutboxLimit) {
        if (job.kind == JobKind::Flood) {
            const std::string line = formatTelemetryLine(currentSample());
            if (job.charactersPerSecond > 0 && job.budget < line.size())
                return;
            job.budget -= job.charactersPerSecond > 0 ? line.size() : 0;
            m_outbox += line;
            --job.remaining;
            continue;
        }
        const std::size_t count = std::min(job.remaining, kChunk);
        for (std::size_t n = 0; n < count; ++n) {
            m_outbox += job.kind == JobKind::Garbage
                ? char(m_random() & 0xFF)
                : kRunAlphabet[m_random() % kRunAlphabet.size()];
        }
        job.remaining -= count;
        if (job.remaining == 0)
            m_outbox += "\r\n"; // close the broken line so the next telemetry line stands alone
    }
}
