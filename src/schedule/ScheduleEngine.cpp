#include "schedule/ScheduleEngine.h"

#include "convert/BatchConverter.h"
#include "convert/OutputFileName.h"
#include "convert/SignatureListing.h"
#include "convert/WrittenReports.h"
#include "schedule/ScheduleClock.h"
#include "settings/ConverterSettings.h"
#include "signature/SignatureRecord.h"

#include <cmath>
#include <cstdlib>

int elapsedMinutes(double intervalStart, double now)
{
    const double days = intervalStart - now;
    const long long ms = std::llabs(std::llround(days * 86400000.0));
    return static_cast<int>((ms % 86400000LL) / 60000LL);
}

ScheduleEngine::ScheduleEngine(ScheduleHost& host, const ScheduleClock& clock, const SettingsRecord& settings,
                               SignatureRecord& record)
    : m_host(host), m_clock(&clock), m_settings(settings), m_record(record)
{}

void ScheduleEngine::start()
{
    m_intervalStart = m_clock->now();
    m_host.setTimerEnabled(true);
}

void ScheduleEngine::stop()
{
    ++m_stops;
    m_host.setTimerEnabled(false);
    m_host.hidePanel();
}

void ScheduleEngine::tick()
{
    m_host.setTimerEnabled(false);
    const std::int32_t interval = m_settings.asInterval;
    if (interval == 0)
        return; // halted until Stop
    const unsigned stopsBefore = m_stops;

    m_host.setLampLit(!m_host.lampIsLit());
    const int elapsed = elapsedMinutes(m_intervalStart, m_clock->now());
    m_host.showReadouts(std::to_string(interval), std::to_string(static_cast<long long>(interval) - elapsed));
    m_host.showPanel();

    if (elapsed >= interval) {
        const SignatureListing listing = listSignatureFiles(m_settings.asReadDir);
        if (!listing.status) {
            // Say why on the panel and try again after another interval,
            // rather than stop ticking with nothing shown.
            m_host.showProblem("Cannot read " + m_settings.asReadDir + ": " + listing.status.reason);
        } else {
            m_host.showProblem({});
            std::vector<std::string> paths;
            paths.reserve(listing.names.size());
            for (const std::string& name : listing.names)
                paths.push_back(m_settings.asReadDir + "/" + name);
            m_host.replaceList(paths);
            runPass();
        }
        m_intervalStart = m_clock->now();
    }
    if (m_stops == stopsBefore)
        m_host.setTimerEnabled(true);
}

void ScheduleEngine::runPass()
{
    const unsigned stopsBefore = m_stops;
    m_host.showProgress(m_host.itemCount());
    WrittenReports written;
    // A Stop chosen while reports are written ends the pass at the next file.
    for (int i = 0; i < m_host.itemCount() && m_stops == stopsBefore; ++i) {
        m_host.setProgress(i);
        const std::string input = m_host.itemText(i);
        const std::string output = MakeOutputFileName(m_settings.asSaveDir, m_settings.asPrefix, input);
        // The list came from the folder, not from a user: a link there may
        // have been planted, also in place of a file listed a moment ago.
        const FileOutcome outcome = convertFile(input, output, m_record, written, FinalLink::Refuse);
        if (outcome.stage == FileOutcome::Stage::Converted)
            m_host.processPendingEvents();
    }
    m_host.hideProgress();
}
