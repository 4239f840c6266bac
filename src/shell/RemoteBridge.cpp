#include "RemoteBridge.h"

#include "CPeqPage.h"
#include "CSetupPage.h"
#include "Cpeq.h"
#include "FilterResponse.h"
#include "HistoryControls.h"
#include "LanAddresses.h"
#include "ModelTable.h"
#include "RemoteControl.h"
#include "RemoteToken.h"
#include "SetupPresetRows.h"
#include "led_clip.h"
#include "led_meter.h"

#include <cstring>
#include <iostream>

namespace
{
    constexpr double meterFloor = -60.0;

    std::string textOf (Cparam& param)
    {
        char buffer[32] = {};
        param.toText (buffer, (int) sizeof buffer);
        return juce::String (buffer).trim().toStdString();
    }
}

RemoteBridge::RemoteBridge (RemoteControl& panelToUse, CPeqPage& peq, CSetupPage& setup, remote::ServerOptions options)
    : panel (panelToUse),
      peqPage (peq),
      setupPage (setup),
      alive (std::make_shared<RemoteBridge*> (this)),
      server (*this, std::move (options))
{
}

RemoteBridge::~RemoteBridge()
{
    stopTimer();
    *alive = nullptr;   // what the server's thread posted from now on finds no one
}

//==============================================================================
bool RemoteBridge::start (int requestedPort)
{
    token = remote::RemoteToken::generate();
    if (token.empty())
    {
        problem = TRANS ("The system gave no random numbers for a code.");
        sendChangeMessage();
        return false;
    }
    const auto result = server.start (requestedPort, token);
    port = requestedPort;
    if (! result.empty())
    {
        problem = juce::String (result);
        urls.clear();
        std::cerr << "Remote control: " << result << std::endl;
        sendChangeMessage();
        return false;
    }

    port = server.listeningPort();
    problem = {};
    lastSent = {};
    lastPeqBands = {};
    historyRead.reset();
    refreshUrls();
    printUrls();
    sendChangeMessage();
    return true;
}

void RemoteBridge::stop()
{
    server.stop();
    stopTimer();
    urls.clear();
    token.clear();
    sendChangeMessage();
}

void RemoteBridge::newCode()
{
    if (! isOn())
        return;
    const auto fresh = remote::RemoteToken::generate();
    if (fresh.empty())
        return;
    token = fresh;
    server.replaceToken (token);
    refreshUrls();
    printUrls();
    sendChangeMessage();
}

bool RemoteBridge::isOn() const
{
    return server.isListening();
}

int RemoteBridge::getPort() const
{
    return port;
}

void RemoteBridge::refreshUrls()
{
    if (isOn())
        urls = remote::LanAddresses::urls (remote::LanAddresses::current(), port, token);
}

std::vector<remote::PhoneInfo> RemoteBridge::phones() const
{
    return server.phones();
}

void RemoteBridge::printUrls() const
{
    for (const auto& url : urls)
        std::cout << "Remote control: " << url << "\n";
    std::cout.flush();
}

//==============================================================================
// The server's thread: hand everything over to the message thread.

void RemoteBridge::phoneCommand (int, const remote::Command& command)
{
    juce::MessageManager::callAsync (
        [alive = alive, command]
        {
            if (*alive != nullptr)
                (*alive)->apply (command);
        });
}

void RemoteBridge::phonesChanged()
{
    juce::MessageManager::callAsync (
        [alive = alive]
        {
            if (*alive != nullptr)
                (*alive)->onPhonesChanged();
        });
}

void RemoteBridge::onPhonesChanged()
{
    if (server.phones().empty())
    {
        stopTimer();
    }
    else if (! isTimerRunning())
    {
        // The server's copy of the state aged while no phone listened: send all of it afresh.
        lastSent = {};
        lastPeqBands = {};
        historyRead.reset();
        publishChanges();
        startTimerHz (framesPerSecond);
    }
    sendChangeMessage();
}

//==============================================================================
// Commands, on the message thread, through the desktop's own controls.

template <typename T>
T* RemoteBridge::panelChild (const char* id) const
{
    return dynamic_cast<T*> (panel.findChildWithID (id));
}

void RemoteBridge::apply (const remote::Command& command)
{
    using remote::CommandKind;
    switch (command.kind)
    {
        case CommandKind::gain: applyGain (command); break;
        case CommandKind::mute:
        case CommandKind::link:
        {
            // The panel's buttons, as clicked: the mutes send the gains, the link only links.
            if (! ModelTable::isZr (panel.getModelIndex()))
                break;
            const char* id = command.kind == CommandKind::link ? "linkgain"
                             : command.channel == 0            ? "mutegainA"
                                                               : "mutegainB";
            if (auto* button = panelChild<juce::Button> (id);
                button != nullptr && button->getToggleState() != command.on)
                button->setToggleState (command.on, juce::sendNotificationSync);
            break;
        }
        case CommandKind::band: applyBand (command); break;
        case CommandKind::bypass:
        {
            if (command.channel == 1 && peqPage.tab (0).isFollowingA())
                break;
            CPeqTab::Edit edit;
            edit.bypass = command.on;
            peqPage.tab (command.channel).applyEdit (edit);
            break;
        }
        case CommandKind::recall:
            // As the Setup page's slot toggle and "Recall": nothing while offline.
            if (! setupPage.isOffline())
            {
                setupPage.selectSlot (command.slot);
                setupPage.recallSlot();
            }
            break;
        case CommandKind::undo:
        case CommandKind::redo:
        case CommandKind::compare:
        case CommandKind::copy: applyHistory (command); break;
        case CommandKind::hello: break;
    }
}

void RemoteBridge::applyHistory (const remote::Command& command)
{
    // What the panel's buttons do.  The phone asks its own user before a step that changes
    // the amplifier mode; without that answer such a step is not taken (the question would
    // wait on a desktop nobody is at).
    auto* controls = panel.getHistoryControls();
    if (controls == nullptr)
        return;
    using Consent = HistoryControls::ModeConsent;
    const auto consent = command.modeAgreed ? Consent::given : Consent::notGiven;
    switch (command.kind)
    {
        case remote::CommandKind::undo: controls->undo (consent); break;
        case remote::CommandKind::redo: controls->redo (consent); break;
        case remote::CommandKind::compare: controls->switchMemory (consent); break;
        case remote::CommandKind::copy: controls->copyMemory(); break;
        default: break;
    }
}

void RemoteBridge::applyGain (const remote::Command& command)
{
    // The fader, as dragged: it clamps and snaps, the link follows, "/gain" is sent.
    if (! ModelTable::isZr (panel.getModelIndex()) || ! std::isfinite (command.value))
        return;
    if (auto* fader = panelChild<juce::Slider> (command.channel == 0 ? "gainA" : "gainB"))
        fader->setValue (command.value, juce::sendNotificationSync);
}

void RemoteBridge::applyBand (const remote::Command& command)
{
    // Channel B has no controls of its own while it follows A.
    if (command.channel == 1 && peqPage.tab (0).isFollowingA())
        return;
    CPeqTab::Edit edit;
    edit.band = command.band - 1;
    edit.on = command.change.on;
    edit.type = command.change.type;
    edit.gain = command.change.gain;
    edit.freqStep = command.change.freqStep;
    edit.qualStep = command.change.qualStep;
    peqPage.tab (command.channel).applyEdit (edit);
}

//==============================================================================
// The state, read from the controls.

remote::DeviceState RemoteBridge::readDevice() const
{
    const int model = panel.getModelIndex();
    remote::DeviceState state;
    state.connected = ! setupPage.isOffline() && model != ModelTable::noDevice;
    state.name = state.connected ? setupPage.getDeviceName().toStdString() : std::string();
    state.model = ModelTable::modelName (model).toStdString();
    state.zrFamily = ModelTable::isZr (model);
    return state;
}

remote::PanelState RemoteBridge::readPanel() const
{
    remote::PanelState state;
    state.shown = ModelTable::isZr (panel.getModelIndex());
    const char* faders[] = { "gainA", "gainB" };
    const char* mutes[] = { "mutegainA", "mutegainB" };
    for (int channel = 0; channel < 2; ++channel)
    {
        if (auto* fader = panelChild<juce::Slider> (faders[channel]))
            state.gainDb[(size_t) channel] = fader->getValue();
        if (auto* mute = panelChild<juce::Button> (mutes[channel]))
            state.mute[(size_t) channel] = mute->getToggleState();
    }
    if (auto* link = panelChild<juce::Button> ("linkgain"))
        state.link = link->getToggleState();
    return state;
}

remote::MeterState RemoteBridge::readMeters() const
{
    const auto level = [this] (const char* id)
    {
        const auto* meter = panelChild<led_meter> (id);
        return meter != nullptr ? juce::jmax (meterFloor, meter->level) : meterFloor;
    };
    const auto lit = [this] (const char* id)
    {
        const auto* lamp = panelChild<led_clip> (id);
        return lamp != nullptr && lamp->lit;
    };
    remote::MeterState state;
    state.inputDb = { level ("input meter A"), level ("input meter B") };
    state.outputDb = { level ("output meter A"), level ("output meter B") };
    state.inputClip = { lit ("input clip led A"), lit ("input clip led B") };
    state.outputLimit = { lit ("output limit led A"), lit ("output limit led B") };
    return state;
}

remote::PeqChannelState RemoteBridge::readPeq (int channel)
{
    auto state = readPeqBands (channel);
    updateCurve (channel);
    state.curveDb = curves[(size_t) channel];
    return state;
}

remote::PeqChannelState RemoteBridge::readPeqBands (int channel)
{
    auto& tabs = peqPage.getTabs();
    auto& tab = peqPage.tab (channel);
    remote::PeqChannelState state;
    state.channel = channel;
    state.shown = channel == 0 || tabs.getNumTabs() > 1;
    state.name = channel == 0 ? tabs.getTabNames()[0].toStdString() : std::string ("Channel B");
    state.bypassed = tab.isBypassed();
    for (int k = 0; k < CPeqTab::bandCount; ++k)
    {
        auto& column = tab.column (k);
        auto& block = column.block;
        auto& band = state.bands[(size_t) k];
        band.on = column.filterButton.getToggleState();
        band.type = juce::jlimit (1, Cpeq::typeCount - 1, column.selectedType());
        band.freqHz = block.freq->getValue();
        band.freqStep = block.freq->getStep();
        band.freqText = textOf (*block.freq);
        band.gainDb = block.gain->getValue();
        band.qualStep = block.qual->getStep();
        band.qualText = textOf (*block.qual);
        band.qualityShown = column.selectedType() < 2;
    }
    return state;
}

bool RemoteBridge::updateCurve (int channel)
{
    // The desktop graph's own columns and the program's response model, in dB (the graph's
    // values are twice the level).  Recomputed only when the channel's filters changed.
    const auto& filters = globals::peqFilterTable[(size_t) channel];
    auto& graph = peqPage.getGraph();
    auto& curve = curves[(size_t) channel];
    const int columns = juce::jmax (1, graph.getWidth());
    if ((int) curve.size() == columns && std::memcmp (&curveFilters[(size_t) channel], &filters, sizeof filters) == 0)
        return false;

    curveFilters[(size_t) channel] = filters;
    curve.resize ((size_t) columns);
    for (int x = 0; x < columns; ++x)
        curve[(size_t) x] = 0.5f * peqChannelResponse (channel, graph.frequencyAtColumn (x));
    return true;
}

void RemoteBridge::publishPeq (int channel)
{
    // The bands' text is cheap to build and compare; the curve's 660 numbers are written
    // only when the bands or the curve changed.
    auto state = readPeqBands (channel);
    const bool curveChanged = updateCurve (channel);
    auto bands = remote::peqFrame (state);
    auto& last = lastPeqBands[(size_t) channel];
    if (! curveChanged && bands == last)
        return;
    last = std::move (bands);
    state.curveDb = curves[(size_t) channel];
    server.publish (channel == 0 ? remote::FrameKind::peqA : remote::FrameKind::peqB, remote::peqFrame (state));
}

std::vector<remote::SlotState> RemoteBridge::readSlots() const
{
    std::vector<remote::SlotState> slots;
    const auto& rows = setupPage.getPresetRows();
    for (int slot = 1; slot <= SetupPresetRows::slotCount; ++slot)
        slots.push_back ({ rows.nameOf (slot).toStdString(), rows.modeOf (slot).toStdString() });
    return slots;
}

remote::HistoryState RemoteBridge::readHistory() const
{
    remote::HistoryState state;
    auto* controls = panel.getHistoryControls();
    auto* undo = panelChild<HistoryButton> ("undoStep");
    auto* redo = panelChild<HistoryButton> ("redoStep");
    auto* compare = panelChild<CompareButton> ("compareMemories");
    auto* copy = panelChild<HistoryButton> ("copyMemory");
    if (controls == nullptr || undo == nullptr || redo == nullptr || compare == nullptr || copy == nullptr)
    {
        state.canCompare = state.canCopy = false;
        return state;
    }
    const auto& history = controls->getHistory();
    state.canUndo = undo->isEnabled();
    state.canRedo = redo->isEnabled();
    state.undoTip = undo->getTooltip().toStdString();
    state.redoTip = redo->getTooltip().toStdString();
    state.undoChangesMode = history.undoChangesMode();
    state.redoChangesMode = history.redoChangesMode();
    state.memory = compare->getMemoryShown();
    state.canCompare = compare->isEnabled();
    state.compareTip = compare->getTooltip().toStdString();
    state.compareChangesMode = history.switchChangesMode();
    state.canCopy = copy->isEnabled();
    state.copyTip = copy->getTooltip().toStdString();
    return state;
}

void RemoteBridge::publishHistory()
{
    // Read only after the buttons were refreshed: the mode checks compare every part.
    auto* controls = panel.getHistoryControls();
    const auto count = controls != nullptr ? controls->getRefreshCount() : 0;
    if (historyRead == count)
        return;
    historyRead = count;
    publishIfChanged (remote::FrameKind::history, remote::historyFrame (readHistory()));
}

//==============================================================================
void RemoteBridge::timerCallback()
{
    publishChanges();
}

void RemoteBridge::publishChanges()
{
    if (! isOn())
        return;
    publishIfChanged (remote::FrameKind::device, remote::deviceFrame (readDevice()));
    publishIfChanged (remote::FrameKind::panel, remote::panelFrame (readPanel()));
    publishPeq (0);
    publishPeq (1);
    publishIfChanged (remote::FrameKind::slots, remote::slotFrame (readSlots()));
    publishHistory();
    // The meters every time: the phones count them as frames.
    server.publish (remote::FrameKind::meters, remote::meterFrame (readMeters(), ++meterFrames));
}

void RemoteBridge::publishIfChanged (remote::FrameKind kind, std::string frame)
{
    auto& last = lastSent[(size_t) kind];
    if (frame == last)
        return;
    last = frame;
    server.publish (kind, std::move (frame));
}
