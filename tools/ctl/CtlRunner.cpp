#include "CtlRunner.h"

#include "Cioampmode.h"
#include "Cparam.h"
#include "HostAddress.h"
#include "ModelTable.h"
#include "NoUsbDevices.h"
#include "PresetCheck.h"
#include "PresetFile.h"
#include "PresetText.h"

#include <cmath>

namespace
{
    constexpr int searchWaitMs = 2000;
    constexpr int sequenceWaitMs = 30000;
    constexpr int meterWaitPerReadingMs = 1000;

    const char* const commandNames[] = { "help", "discover", "info",   "meters", "slots",
                                         "pull", "push",     "recall", "store",  "set" };
    const char* const slotModes[] = { "DUAL", "STEREO", "BIAMP1", "BIAMP2", "BRIDGE", "-MODE-" };

    juce::String modelName (int index)
    {
        return ModelTable::modelName (ModelTable::checkedIndex (index));
    }

    /** A linear level as the panel's meters show it: whole dB, -60 at the floor. */
    int meterDb (float level)
    {
        if (! (level > 0.0f))
            return -60;
        const auto db = (int) (20.0 * std::log10 ((double) level) + 1.2);
        return db <= -60 ? -60 : db;
    }

    juce::var deviceEntry (const CtlLink::Device& device)
    {
        auto* entry = new juce::DynamicObject();
        entry->setProperty ("address", juce::String (device.address));
        entry->setProperty ("model", modelName (device.model));
        entry->setProperty ("name", juce::String (device.name));
        return juce::var (entry);
    }

    std::string deviceLine (const CtlLink::Device& device)
    {
        return (modelName (device.model) + "  " + juce::String (device.name)).toStdString();
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
        {
            report.begin ("");
            report.fail (why);
        }
        for (const auto& host : options.hosts)
        {
            report.begin (host);
            report.fail (why);
        }
    }
    else if (options.command == CtlOptions::Command::discover)
        discover();
    else
        for (const auto& host : options.hosts)
            runFor (host);

    link.reset();
    report.write (out);
    return report.exitStatus();
}

bool CtlRunner::canReadInput (const CtlOptions& options, std::string& error)
{
    if (options.command != CtlOptions::Command::push)
        return true;

    std::string text;
    const auto file = PresetFile::resolve (
        juce::File::getCurrentWorkingDirectory().getChildFile (juce::String (options.file)));
    if (PresetFile::readText (file, text))
        return true;
    error = "cannot read " + file.getFullPathName().toStdString();
    return false;
}

std::optional<std::uint32_t> CtlRunner::addressOf (const std::string& host)
{
    const auto address = hostaddress::resolve (host);
    if (! address || hostaddress::isPlaceholder (*address))
    {
        report.fail ("\"" + host + "\" is not an IPv4 address or a host name that resolves");
        return std::nullopt;
    }
    return address;
}

void CtlRunner::runFor (const std::string& host)
{
    report.begin (host);
    const auto address = addressOf (host);
    if (! address)
        return;

    switch (options.command)
    {
        case CtlOptions::Command::info: info (*address); break;
        case CtlOptions::Command::meters: meters (*address); break;
        case CtlOptions::Command::slots: slots (*address); break;
        case CtlOptions::Command::pull: pull (host, *address); break;
        case CtlOptions::Command::push: push (*address); break;
        case CtlOptions::Command::recall: recall (*address); break;
        case CtlOptions::Command::store: store (*address); break;
        case CtlOptions::Command::set: set (*address); break;
        case CtlOptions::Command::help:
        case CtlOptions::Command::discover: break;
    }
    link->goOffline();
}

bool CtlRunner::online (std::uint32_t address)
{
    std::string why;
    if (link->goOnline (address, options.timeoutMs (sequenceWaitMs), why))
        return true;
    report.fail (why);
    return false;
}

//==============================================================================
void CtlRunner::discover()
{
    const auto devices = link->discover (options.timeoutMs (searchWaitMs));
    report.begin ("");
    report.property ("devices", juce::Array<juce::var>());
    for (const auto& device : devices)
        report.item (device.address + "  " + deviceLine (device), "devices", deviceEntry (device));
}

void CtlRunner::info (std::uint32_t address)
{
    const auto device = link->info (address, options.timeoutMs (searchWaitMs));
    if (device.address.empty())
        return report.fail ("no answer to \"/info\"");
    report.item (deviceLine (device), "devices", deviceEntry (device));
}

void CtlRunner::meters (std::uint32_t address)
{
    if (! online (address))
        return;

    std::vector<CtlLink::MeterReading> readings;
    std::string why;
    const bool complete = link->collectMeters (
        options.count, options.timeoutMs (options.count * meterWaitPerReadingMs + sequenceWaitMs), readings, why);

    for (const auto& r : readings)
    {
        const auto lamp = [&r] (int i) { return r.lamps[(std::size_t) i] ? "on" : "off"; };
        const auto text = "in " + std::to_string (meterDb (r.levels[0])) + " " + std::to_string (meterDb (r.levels[1]))
                          + " dB  out " + std::to_string (meterDb (r.levels[2])) + " "
                          + std::to_string (meterDb (r.levels[3])) + " dB  clip " + lamp (0) + " " + lamp (1)
                          + "  limit " + lamp (2) + " " + lamp (3);

        auto* entry = new juce::DynamicObject();
        juce::Array<juce::var> levels, lamps;
        for (int i = 0; i < 4; ++i)
        {
            levels.add (meterDb (r.levels[(std::size_t) i]));
            lamps.add (r.lamps[(std::size_t) i]);
        }
        entry->setProperty ("levelsDb", levels);   // input A, input B, output A, output B
        entry->setProperty ("lamps", lamps);       // clip A, clip B, limit A, limit B
        report.item (text, "meters", juce::var (entry));
    }
    if (! complete)
        report.fail (why);
}

void CtlRunner::slots (std::uint32_t address)
{
    if (! online (address))
        return;

    for (int slot = 1; slot <= 20; ++slot)
    {
        const auto& s = link->slots()[(std::size_t) slot];
        const char* mode = slotModes[s.mode >= 0 && s.mode <= 5 ? s.mode : 5];

        auto* entry = new juce::DynamicObject();
        entry->setProperty ("slot", slot);
        entry->setProperty ("mode", juce::String (mode));
        entry->setProperty ("name", juce::String (s.name));
        report.item (std::to_string (slot) + "  " + mode + "  " + s.name, "slots", juce::var (entry));
    }
}

std::string CtlRunner::fileFor (const std::string& host) const
{
    // Several amplifiers pulled in one call: one file each, named after the amplifier.
    if (options.hosts.size() < 2)
        return options.file;
    const juce::File file (juce::File::getCurrentWorkingDirectory().getChildFile (options.file));
    return file.getSiblingFile (file.getFileNameWithoutExtension() + "-" + host + file.getFileExtension())
        .getFullPathName()
        .toStdString();
}

void CtlRunner::pull (const std::string& host, std::uint32_t address)
{
    // The amplifier's name is the preset's title, as the program's name field would hold it.
    const auto device = link->info (address, options.timeoutMs (searchWaitMs));
    if (device.address.empty())
        return report.fail ("no answer to \"/info\"");
    if (! online (address))
        return;

    const auto target = PresetFile::resolve (
        juce::File::getCurrentWorkingDirectory().getChildFile (juce::String (fileFor (host))));
    const auto text = PresetText::fileText (device.name, link->tree());
    if (! PresetFile::writeAtomically (target, text.data(), text.size()))
        return report.fail ("cannot write " + target.getFullPathName().toStdString());

    int blocks = 0;
    forEachLeaf (&link->tree(), [&blocks] (Cnode*) { ++blocks; });
    report.property ("file", target.getFullPathName());
    report.property ("blocks", blocks);
    report.item ("pulled " + std::to_string (blocks) + " blocks into " + target.getFullPathName().toStdString(),
                 "files", target.getFullPathName());
}

void CtlRunner::push (std::uint32_t address)
{
    std::string text;
    const auto file = PresetFile::resolve (
        juce::File::getCurrentWorkingDirectory().getChildFile (juce::String (options.file)));
    if (! PresetFile::readText (file, text))
        return report.fail ("cannot read " + file.getFullPathName().toStdString());

    if (! online (address))
        return;

    // As the program loads a file while connected: onto the amplifier's own values, then
    // every block is sent.
    int blocks = 0;
    const auto local = PresetCheck::applyText (link->tree(), PresetText::splitLines (text.data(), text.size()), blocks);
    for (const auto& f : local)
        report.finding (f.address, f.what);
    if (blocks == 0)
        return report.fail ("no block of the file applies");

    const auto sent = PresetCheck::snapshot (link->tree());
    link->sendWholeTree();
    confirmSent (sent, (int) sent.size());
    report.property ("blocks", blocks);
}

void CtlRunner::confirmSent (const std::map<std::string, std::string>& sent, int blocksSent)
{
    std::string why;
    if (! link->waitUntilAnswered (options.timeoutMs (sequenceWaitMs), why))
        return report.fail (why);

    const auto differences = PresetCheck::compare (sent, link->tree());
    for (const auto& f : differences)
        report.finding (f.address, f.what);
    report.item ("sent " + std::to_string (blocksSent) + (blocksSent == 1 ? " block: " : " blocks: ")
                     + (differences.empty() ? "every value confirmed"
                                            : std::to_string (differences.size()) + " answered otherwise"),
                 "summary", juce::var ((int) differences.size()));
}

void CtlRunner::recall (std::uint32_t address)
{
    if (! online (address))
        return;

    const auto& slot = link->slots()[(std::size_t) options.slot];
    link->link().sendPresetCommand ("/preset/load", options.slot, 0, juce::String (slot.name));
    std::string why;
    if (! link->waitUntilAnswered (options.timeoutMs (sequenceWaitMs), why))
        return report.fail (why);
    report.item ("recalled slot " + std::to_string (options.slot) + " \"" + link->lastRecalled() + "\"", "recalled",
                 juce::String (link->lastRecalled()));
}

void CtlRunner::store (std::uint32_t address)
{
    if (! online (address))
        return;

    const int mode = link->tree().ampmode->mode->getStep();
    link->link().sendPresetCommand ("/preset/save", options.slot, mode, juce::String (options.name));
    std::string why;
    if (! link->waitUntilAnswered (options.timeoutMs (sequenceWaitMs), why))
        return report.fail (why);
    report.item ("stored slot " + std::to_string (options.slot) + " \"" + options.name + "\"", "stored",
                 juce::String (options.name));
}

void CtlRunner::set (std::uint32_t address)
{
    // Only a block that holds values: a folder ("/channel/1") has nothing to send.
    Cnode* block = nullptr;
    forEachLeaf (&link->tree(),
                 [this, &block] (Cnode* leaf)
                 {
                     if (options.address == leaf->address)
                         block = leaf;
                 });
    if (block == nullptr)
        return report.fail ("no block has the address " + options.address);

    if (! online (address))
        return;

    std::string line = options.address + " " + typeTags (block);
    for (const auto& value : options.values)
        line += " " + value;

    for (const auto& f : PresetCheck::applyLine (link->tree(), line))
        report.finding (f.address, f.what);

    const auto sent = PresetCheck::snapshot (link->tree());
    block->send (block->address);
    confirmSent (sent, 1);
}
