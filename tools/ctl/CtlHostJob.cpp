#include "CtlHostJob.h"

#include "Cioampmode.h"
#include "Cparam.h"
#include "ModelTable.h"
#include "PresetCheck.h"
#include "PresetFile.h"
#include "PresetText.h"

#include <cmath>

namespace
{
    constexpr int searchWaitMs = 2000;
    constexpr int sequenceWaitMs = 30000;
    constexpr int meterWaitPerReadingMs = 1000;

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

    juce::File inWorkingFolder (const std::string& path)
    {
        return juce::File::getCurrentWorkingDirectory().getChildFile (juce::String (path));
    }
}

CtlHostJob::CtlHostJob (const Call& callToUse, std::string hostToUse, std::uint32_t addressToUse,
                        CtlReport::Result& resultToUse)
    : call (callToUse),
      host (std::move (hostToUse)),
      address (addressToUse),
      result (resultToUse)
{
    planFor (call.options.command);
}

CtlHostJob::~CtlHostJob() = default;

bool CtlHostJob::poll()
{
    while (! finished)
    {
        auto& step = steps[current];
        const auto now = juce::Time::getMillisecondCounter();
        if (! begun)
        {
            begun = true;
            deadline = now + (juce::uint32) std::max (0, step.waitMs);
            if (! step.begin())
            {
                finish();
                break;
            }
        }

        if (session != nullptr && ! session->lostBecause().empty())
        {
            fail (session->lostBecause());
            finish();
            break;
        }

        if (step.done())
        {
            begun = false;
            if (++current == steps.size())
                finish();
            continue;
        }

        if ((juce::int32) (now - deadline) >= 0)
        {
            fail (step.late());
            finish();
            break;
        }
        return false;
    }
    return true;
}

void CtlHostJob::finish()
{
    // Leaves the amplifier ("/offline") and frees the session at once: a job that has
    // ended holds nothing for the amplifiers still being served.
    session.reset();
    finished = true;
}

bool CtlHostJob::fail (const std::string& why)
{
    result.fail (why);
    return false;
}

//==============================================================================
void CtlHostJob::addStep (std::function<bool()> begin, std::function<bool()> done, int waitMs,
                          std::function<std::string()> late)
{
    steps.push_back ({ std::move (begin), std::move (done), waitMs, std::move (late) });
}

void CtlHostJob::addInfoStep (bool thenOnline)
{
    addStep (
        [this, thenOnline]
        {
            call.link.askInfo (address);
            // The tree is built while the answer is on its way.
            if (thenOnline)
                openSession();
            return true;
        },
        [this]
        {
            if (const auto* answer = call.link.infoFrom (address))
                device = *answer;
            return ! device.address.empty();
        },
        call.options.timeoutMs (searchWaitMs), [] { return std::string ("no answer to \"/info\""); });
}

void CtlHostJob::openSession()
{
    if (session == nullptr)
        session = std::make_unique<CtlSession> (call.link.link(), address);
}

void CtlHostJob::addOnlineStep()
{
    addAnswersStep (
        [this]
        {
            openSession();
            session->goOnline();
            return true;
        });
}

void CtlHostJob::addAnswersStep (std::function<bool()> begin)
{
    const int waitMs = call.options.timeoutMs (sequenceWaitMs);
    addStep (
        std::move (begin), [this] { return session->isSettled(); }, waitMs,
        [waitMs] { return "no answer to every request within " + std::to_string (waitMs) + " ms"; });
}

void CtlHostJob::addInstantStep (std::function<bool()> instantStep)
{
    addStep (
        std::move (instantStep), [] { return true; }, 0, [] { return std::string(); });
}

void CtlHostJob::addExchange (std::function<bool()> send, std::function<void()> report)
{
    addOnlineStep();
    addAnswersStep (std::move (send));
    addInstantStep (
        [report = std::move (report)]
        {
            report();
            return true;
        });
}

void CtlHostJob::planFor (CtlOptions::Command command)
{
    const auto confirm = [this] { confirmSent(); };

    switch (command)
    {
        case CtlOptions::Command::info:
            addInfoStep (false);
            addInstantStep ([this] { return reportInfo(); });
            break;

        case CtlOptions::Command::pull:
            // The amplifier's name is the preset's title, as the program's name field would hold it.
            addInfoStep (true);
            addOnlineStep();
            addInstantStep ([this] { return pull(); });
            break;

        case CtlOptions::Command::push: addExchange ([this] { return applyPresetAndSend(); }, confirm); break;

        case CtlOptions::Command::set:
            // Only a block that holds values: a folder ("/channel/1") has nothing to send.
            addInstantStep (
                [this]
                {
                    openSession();
                    return blockToSet() != nullptr || fail ("no block has the address " + call.options.address);
                });
            addExchange ([this] { return setBlock(); }, confirm);
            break;

        case CtlOptions::Command::recall:
            addExchange (
                [this]
                {
                    const auto& slot = session->slots()[(std::size_t) call.options.slot];
                    session->sendPresetCommand ("/preset/load", call.options.slot, 0, slot.name);
                    return true;
                },
                [this]
                {
                    const auto& name = session->lastRecalled();
                    result.item ("recalled slot " + std::to_string (call.options.slot) + " \"" + name + "\"",
                                 "recalled", juce::String (name));
                });
            break;

        case CtlOptions::Command::store:
            addExchange (
                [this]
                {
                    const int mode = session->tree().ampmode->mode->getStep();
                    session->sendPresetCommand ("/preset/save", call.options.slot, mode, call.options.name);
                    return true;
                },
                [this]
                {
                    result.item ("stored slot " + std::to_string (call.options.slot) + " \"" + call.options.name + "\"",
                                 "stored", juce::String (call.options.name));
                });
            break;

        case CtlOptions::Command::slots:
            addOnlineStep();
            addInstantStep (
                [this]
                {
                    reportSlots();
                    return true;
                });
            break;

        case CtlOptions::Command::meters:
        {
            addOnlineStep();
            const int waitMs = call.options.timeoutMs (call.options.count * meterWaitPerReadingMs + sequenceWaitMs);
            addStep (
                [this]
                {
                    session->collectMeters();
                    return true;
                },
                [this] { return (int) session->meterReadings().size() >= call.options.count; }, waitMs,
                [this, waitMs]
                {
                    reportMeters();
                    return "only " + std::to_string (session->meterReadings().size()) + " meter readings within "
                           + std::to_string (waitMs) + " ms";
                });
            addInstantStep (
                [this]
                {
                    reportMeters();
                    return true;
                });
            break;
        }

        case CtlOptions::Command::help:
        case CtlOptions::Command::discover: addInstantStep ([] { return true; }); break;
    }
}

//==============================================================================
bool CtlHostJob::reportInfo()
{
    auto* entry = new juce::DynamicObject();
    entry->setProperty ("address", juce::String (device.address));
    entry->setProperty ("model", modelName (device.model));
    entry->setProperty ("name", juce::String (device.name));
    result.item ((modelName (device.model) + "  " + juce::String (device.name)).toStdString(), "devices",
                 juce::var (entry));
    return true;
}

std::string CtlHostJob::pullFile() const
{
    // Several amplifiers pulled in one call: one file each, named after the amplifier.
    if (call.hostCount < 2)
        return call.options.file;
    const auto file = inWorkingFolder (call.options.file);
    return file.getSiblingFile (file.getFileNameWithoutExtension() + "-" + host + file.getFileExtension())
        .getFullPathName()
        .toStdString();
}

bool CtlHostJob::pull()
{
    const auto target = PresetFile::resolve (inWorkingFolder (pullFile()));
    const auto text = PresetText::fileText (device.name, session->tree());
    if (! PresetFile::writeAtomically (target, text.data(), text.size()))
        return fail ("cannot write " + target.getFullPathName().toStdString());

    int blocks = 0;
    forEachLeaf (&session->tree(), [&blocks] (Cnode*) { ++blocks; });
    result.property ("file", target.getFullPathName());
    result.property ("blocks", blocks);
    result.item ("pulled " + std::to_string (blocks) + " blocks into " + target.getFullPathName().toStdString(),
                 "files", target.getFullPathName());
    return true;
}

bool CtlHostJob::applyPresetAndSend()
{
    // As the program loads a file while connected: onto the amplifier's own values, then
    // every block is sent.
    int blocks = 0;
    const auto local = PresetCheck::applyText (
        session->tree(), PresetText::splitLines (call.pushText.data(), call.pushText.size()), blocks);
    for (const auto& f : local)
        result.finding (f.address, f.what);
    if (blocks == 0)
        return fail ("no block of the file applies");

    result.property ("blocks", blocks);
    sent = PresetCheck::snapshot (session->tree());
    blocksSent = (int) sent.size();
    session->sendWholeTree();
    return true;
}

Cnode* CtlHostJob::blockToSet()
{
    Cnode* block = nullptr;
    forEachLeaf (&session->tree(),
                 [this, &block] (Cnode* leaf)
                 {
                     if (call.options.address == leaf->address)
                         block = leaf;
                 });
    return block;
}

bool CtlHostJob::setBlock()
{
    auto* block = blockToSet();
    std::string line = call.options.address + " " + typeTags (block);
    for (const auto& value : call.options.values)
        line += " " + value;

    for (const auto& f : PresetCheck::applyLine (session->tree(), line))
        result.finding (f.address, f.what);

    sent = PresetCheck::snapshot (session->tree());
    blocksSent = 1;
    session->sendBlock (*block);
    return true;
}

void CtlHostJob::confirmSent()
{
    const auto differences = PresetCheck::compare (sent, session->tree());
    for (const auto& f : differences)
        result.finding (f.address, f.what);
    result.item ("sent " + std::to_string (blocksSent) + (blocksSent == 1 ? " block: " : " blocks: ")
                     + (differences.empty() ? "every value confirmed"
                                            : std::to_string (differences.size()) + " answered otherwise"),
                 "summary", juce::var ((int) differences.size()));
}

void CtlHostJob::reportMeters()
{
    for (const auto& r : session->meterReadings())
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
        result.item (text, "meters", juce::var (entry));
    }
}

void CtlHostJob::reportSlots()
{
    for (int slot = 1; slot <= 20; ++slot)
    {
        const auto& s = session->slots()[(std::size_t) slot];
        const char* mode = slotModes[s.mode >= 0 && s.mode <= 5 ? s.mode : 5];

        auto* entry = new juce::DynamicObject();
        entry->setProperty ("slot", slot);
        entry->setProperty ("mode", juce::String (mode));
        entry->setProperty ("name", juce::String (s.name));
        result.item (std::to_string (slot) + "  " + mode + "  " + s.name, "slots", juce::var (entry));
    }
}
