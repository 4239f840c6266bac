#include "CtlLink.h"

#include "HostAddress.h"
#include "ModelTable.h"
#include "PresetText.h"

#include <algorithm>

namespace juce
{
    // One step of the framework's message loop: waits for the next message, timer callback
    // or async update and dispatches it (or, asked to, returns false at once when there is
    // none).  The framework's own runDispatchLoopUntil exists only with modal loops.
    bool dispatchNextMessageOnSystemQueue (bool returnIfNoPendingMessages);
}

namespace
{
    constexpr int deadlineTickMs = 20;
}

CtlLink::CtlLink (osc::HubOptions hubOptions)
{
    assignAddresses (root);
    PresetText::applyLines (root, PresetText::splitLines (PresetText::defaultPreset,
                                                          std::char_traits<char>::length (PresetText::defaultPreset)));
    udpPort = hubOptions.udpPort;
    hubOptions.searchAtStart = false;
    osc::PanelOperations& panel = *this;
    osc::SetupOperations& setup = *this;
    Dialogs& dialogs = *this;
    hub = std::make_unique<osc::OscCom> (panel, setup, dialogs, std::move (hubOptions));
}

CtlLink::~CtlLink()
{
    if (hub->isOnline())
        goOffline();
    hub.reset();
}

bool CtlLink::runUntil (const std::function<bool()>& done, int waitMs)
{
    // The loop sleeps until the next message; the tick wakes it so the deadline is kept
    // when nothing arrives.
    startTimer (deadlineTickMs);
    const auto end = juce::Time::getMillisecondCounter() + (juce::uint32) std::max (0, waitMs);
    bool finished = true;
    while (! done())
    {
        if ((juce::int32) (juce::Time::getMillisecondCounter() - end) >= 0)
        {
            finished = false;
            break;
        }
        juce::dispatchNextMessageOnSystemQueue (false);
    }
    stopTimer();
    return finished;
}

std::vector<CtlLink::Device> CtlLink::discover (int waitMs)
{
    devices.clear();
    hub->searchDevices (osc::OscCom::broadcastAddress);
    runUntil ([] { return false; }, waitMs);
    return devices;
}

CtlLink::Device CtlLink::info (std::uint32_t address, int waitMs)
{
    devices.clear();
    const auto wanted = hostaddress::dotted (address);
    const auto answered = [this, &wanted] {
        return std::any_of (devices.begin(), devices.end(),
                            [&wanted] (const Device& d) { return d.address == wanted; });
    };

    hub->searchDevices (address);
    if (! runUntil (answered, waitMs))
        return {};
    return *std::find_if (devices.begin(), devices.end(), [&wanted] (const Device& d) { return d.address == wanted; });
}

bool CtlLink::goOnline (std::uint32_t address, int waitMs, std::string& why)
{
    lostBecause.clear();
    slotTable = {};
    hub->connectNetwork (address);
    hub->goOnline();
    return waitUntilAnswered (waitMs, why);
}

void CtlLink::sendWholeTree()
{
    forEachLeaf (&root, [] (Cnode* block) { block->send (block->address); });
}

bool CtlLink::waitUntilAnswered (int waitMs, std::string& why)
{
    const bool settled = runUntil ([this] { return ! lostBecause.empty() || hub->queuedMessages().empty(); }, waitMs);
    if (! lostBecause.empty())
        why = lostBecause;
    else if (! settled)
        why = "no answer to every request within " + std::to_string (waitMs) + " ms";
    return settled && lostBecause.empty();
}

bool CtlLink::collectMeters (int readings, int waitMs, std::vector<MeterReading>& out, std::string& why)
{
    out.clear();
    meterSink = &out;
    const bool done = runUntil (
        [this, &out, readings] { return ! lostBecause.empty() || (int) out.size() >= readings; }, waitMs);
    meterSink = nullptr;

    if (! lostBecause.empty())
        why = lostBecause;
    else if (! done)
        why = "only " + std::to_string (out.size()) + " meter readings within " + std::to_string (waitMs) + " ms";
    return done && lostBecause.empty();
}

void CtlLink::goOffline()
{
    if (hub->isOnline())
        hub->goOffline();
}

//==============================================================================
void CtlLink::setMeters (float inputA, float inputB, float outputA, float outputB)
{
    current.levels = { inputA, inputB, outputA, outputB };
    if (meterSink != nullptr && hub->isOnline())
        meterSink->push_back (current);
}

void CtlLink::setClipLeds (bool inputClipA, bool inputClipB, bool outputLimitA, bool outputLimitB)
{
    current.lamps = { inputClipA, inputClipB, outputLimitA, outputLimitB };
}

void CtlLink::addNetworkDevice (int modelIndex, const juce::String& name, const juce::String& address)
{
    // An amplifier heard on several paths answers each of them: it is listed once.
    const auto text = address.toStdString();
    for (auto& device : devices)
        if (device.address == text)
            return;
    devices.push_back ({ text, modelIndex, name.toStdString() });
}

void CtlLink::updateUsbEntry (int modelIndex, const juce::String& name)
{
    for (auto& device : devices)
        if (device.address == "USB")
            return;
    devices.push_back ({ "USB", modelIndex, name.toStdString() });
}

void CtlLink::showPortInUse (bool, int) {}

void CtlLink::setSlot (int slot, int mode, const juce::String& name)
{
    if (slot >= 1 && slot <= 20)
        slotTable[(std::size_t) slot] = { mode, name.toStdString() };
}

void CtlLink::presetRecalled (const juce::String& name)
{
    recalled = name.toStdString();
}

void CtlLink::askOkCancel (Icon, const juce::String&, const juce::String&, const juce::String&, const juce::String&,
                           std::function<void (bool)> onAnswer)
{
    if (onAnswer)
        onAnswer (false);
}

void CtlLink::showMessage (Icon, const juce::String& title, const juce::String& message, const juce::String&,
                           std::function<void()> onClosed)
{
    lostBecause = (title + " " + message).toStdString();
    if (onClosed)
        onClosed();
}

void CtlLink::chooseFileToOpen (const juce::String&, const juce::File&, const juce::String&,
                                std::function<void (const juce::File&)> onChosen)
{
    if (onChosen)
        onChosen (juce::File());
}

void CtlLink::chooseFileToSave (const juce::String&, const juce::File&, const juce::String&,
                                std::function<void (const juce::File&)> onChosen)
{
    if (onChosen)
        onChosen (juce::File());
}
