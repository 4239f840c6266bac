#include "CtlRunner.h"

#include "HostAddress.h"
#include "ModelTable.h"
#include "NoUsbDevices.h"
#include "PresetFile.h"

#include <map>

namespace
{
    constexpr int searchWaitMs = 2000;

    const char* const commandNames[] = { "help", "discover", "info",   "meters", "slots",
                                         "pull", "push",     "recall", "store",  "set" };

    juce::String modelName (int index)
    {
        return ModelTable::modelName (ModelTable::checkedIndex (index));
    }

    juce::File presetFileOf (const CtlOptions& options)
    {
        return PresetFile::resolve (
            juce::File::getCurrentWorkingDirectory().getChildFile (juce::String (options.file)));
    }
}

CtlRunner::CtlRunner (const CtlOptions& optionsToUse, osc::HubOptions hubOptionsToUse)
    : options (optionsToUse),
      hubOptions (std::move (hubOptionsToUse)),
      report (commandNames[(int) optionsToUse.command], optionsToUse.json)
{
}

int CtlRunner::run (std::ostream& out)
{
    // Only discovery looks at USB; a command for network hosts leaves a USB amplifier alone.
    if (options.command != CtlOptions::Command::discover && ! hubOptions.makeHidAccess)
        hubOptions.makeHidAccess = [] { return std::make_unique<NoUsbDevices>(); };

    link = std::make_unique<CtlLink> (hubOptions);

    if (! link->holdsPort())
    {
        const auto why = "port " + std::to_string (link->port())
                         + " is in use by another program (is the program or another zr-ctl running?): "
                           "amplifiers on the network cannot answer";
        if (options.hosts.empty())
            report.begin ("").fail (why);
        for (const auto& host : options.hosts)
            report.begin (host).fail (why);
    }
    else if (options.command == CtlOptions::Command::discover)
        discover();
    else
        serve (hostsToServe());

    link.reset();
    report.write (out);
    return report.exitStatus();
}

bool CtlRunner::canReadInput (const CtlOptions& options, std::string& error)
{
    if (options.command != CtlOptions::Command::push)
        return true;

    std::string text;
    const auto file = presetFileOf (options);
    if (PresetFile::readText (file, text))
        return true;
    error = "cannot read " + file.getFullPathName().toStdString();
    return false;
}

//==============================================================================
void CtlRunner::discover()
{
    const auto devices = link->discover (options.timeoutMs (searchWaitMs));
    auto& result = report.begin ("");
    result.property ("devices", juce::Array<juce::var>());
    for (const auto& device : devices)
    {
        auto* entry = new juce::DynamicObject();
        entry->setProperty ("address", juce::String (device.address));
        entry->setProperty ("model", modelName (device.model));
        entry->setProperty ("name", juce::String (device.name));
        result.item (device.address + "  "
                         + (modelName (device.model) + "  " + juce::String (device.name)).toStdString(),
                     "devices", juce::var (entry));
    }
}

std::vector<std::string> CtlRunner::hostsToServe()
{
    if (! options.discoveredHosts)
        return options.hosts;

    // Every amplifier a search finds on the networks, in the order they answered.
    std::vector<std::string> hosts;
    for (const auto& device : link->discover (options.timeoutMs (searchWaitMs)))
        if (device.address != "USB")
            hosts.push_back (device.address);
    if (hosts.empty())
        report.begin ("").fail ("no amplifier answered the search");
    return hosts;
}

void CtlRunner::serve (const std::vector<std::string>& hosts)
{
    std::string pushText;
    if (options.command == CtlOptions::Command::push && ! PresetFile::readText (presetFileOf (options), pushText))
    {
        for (const auto& host : hosts)
            report.begin (host).fail ("cannot read " + presetFileOf (options).getFullPathName().toStdString());
        return;
    }

    const CtlHostJob::Call call { options, *link, pushText, hosts.size() };
    std::vector<std::unique_ptr<CtlHostJob>> jobs;
    std::map<std::uint32_t, std::string> served;
    for (const auto& host : hosts)
    {
        auto& result = report.begin (host);
        const auto address = hostaddress::resolve (host);
        if (! address || hostaddress::isPlaceholder (*address))
        {
            result.fail ("\"" + host + "\" is not an IPv4 address or a host name that resolves");
            continue;
        }
        // One session per amplifier: its answers could not be told apart.
        const auto [first, isNew] = served.emplace (*address, host);
        if (! isNew)
        {
            result.fail ("the same amplifier as " + first->second + ", served once");
            continue;
        }
        jobs.push_back (std::make_unique<CtlHostJob> (call, host, *address, result));
    }
    runJobs (jobs);
}

void CtlRunner::runJobs (std::vector<std::unique_ptr<CtlHostJob>>& jobs)
{
    std::size_t started = 0;
    busiest = 0;
    link->runUntil (
        [&]
        {
            int running = 0;
            for (std::size_t i = 0; i < started; ++i)
                if (! jobs[i]->isFinished() && ! jobs[i]->poll())
                    ++running;

            // A finished job frees its place for the next host at once.
            while (running < options.parallel && started < jobs.size())
                if (! jobs[started++]->poll())
                    ++running;

            busiest = std::max (busiest, running);
            return running == 0 && started == jobs.size();
        },
        -1);
}
