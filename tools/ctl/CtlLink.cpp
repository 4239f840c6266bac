#include "CtlLink.h"

#include "HostAddress.h"

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
    udpPort = hubOptions.udpPort;
    hubOptions.searchAtStart = false;
    osc::PanelOperations& panel = *this;
    osc::SetupOperations& setup = *this;
    Dialogs& dialogs = *this;
    hub = std::make_unique<osc::OscCom> (panel, setup, dialogs, std::move (hubOptions));
}

CtlLink::~CtlLink()
{
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
        if (waitMs >= 0 && (juce::int32) (juce::Time::getMillisecondCounter() - end) >= 0)
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

void CtlLink::askInfo (std::uint32_t address)
{
    answers.erase (hostaddress::dotted (address));
    hub->searchDevices (address);
}

const CtlLink::Device* CtlLink::infoFrom (std::uint32_t address) const
{
    const auto answer = answers.find (hostaddress::dotted (address));
    return answer == answers.end() ? nullptr : &answer->second;
}

CtlLink::Device CtlLink::info (std::uint32_t address, int waitMs)
{
    askInfo (address);
    if (! runUntil ([this, address] { return infoFrom (address) != nullptr; }, waitMs))
        return {};
    return *infoFrom (address);
}

std::unique_ptr<CtlSession> CtlLink::goOnline (std::uint32_t address, int waitMs, std::string& why)
{
    auto session = std::make_unique<CtlSession> (*hub, address);
    session->goOnline();
    const bool settled = runUntil ([&session] { return ! session->lostBecause().empty() || session->isSettled(); },
                                   waitMs);
    if (! session->lostBecause().empty())
        why = session->lostBecause();
    else if (! settled)
        why = "no answer to every request within " + std::to_string (waitMs) + " ms";
    else
        return session;
    return nullptr;
}

//==============================================================================
void CtlLink::addNetworkDevice (int modelIndex, const juce::String& name, const juce::String& address)
{
    const auto text = address.toStdString();
    answers[text] = { text, modelIndex, name.toStdString() };

    // An amplifier heard on several paths answers each of them: it is listed once.
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

void CtlLink::askOkCancel (Icon, const juce::String&, const juce::String&, const juce::String&, const juce::String&,
                           std::function<void (bool)> onAnswer)
{
    if (onAnswer)
        onAnswer (false);
}

void CtlLink::showMessage (Icon, const juce::String&, const juce::String&, const juce::String&,
                           std::function<void()> onClosed)
{
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
