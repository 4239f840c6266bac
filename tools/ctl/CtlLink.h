#pragma once

#include "CtlSession.h"
#include "Dialogs.h"
#include "OscCom.h"
#include "PanelOperations.h"
#include "SetupOperations.h"

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

/** The program's link without a window: the hub with its one UDP socket, and a partner
    that plays the panel, the Setup page and the dialogs for it by noting what it is told.
    Searches and "/info" answers are heard here; each amplifier zr-ctl works with gets a
    CtlSession of its own over the same socket, with the program's own stop-and-wait,
    retransmission and lost-connection rules, so many are served at once.

    The calling thread is the message thread (juce::ScopedJuceInitialiser_GUI must exist);
    every wait runs the message loop, and every wait ends at its time-out.
*/
class CtlLink : private osc::PanelOperations, private osc::SetupOperations, private Dialogs, private juce::Timer
{
public:
    struct Device
    {
        std::string address;   // dotted, or "USB"
        int model = 8;
        std::string name;
    };

    /** Builds the hub, which takes the UDP port; nothing is sent yet.  hubOptions are the
        hub's (tests pass their own). */
    explicit CtlLink (osc::HubOptions hubOptions = {});
    ~CtlLink() override;

    /** False while another program holds the UDP port. */
    bool holdsPort() const { return hub->holdsUdpPort(); }
    int port() const { return udpPort; }

    /** Runs the message loop until `done` is true (false then) or `waitMs` passes (below
        0: no limit). */
    bool runUntil (const std::function<bool()>& done, int waitMs);

    /** Sends "/info" to every network (and asks USB) and collects answers for `waitMs`:
        each amplifier once, in the order they answered. */
    std::vector<Device> discover (int waitMs);

    /** Asks `address` (network byte order) for "/info", forgetting an earlier answer of it. */
    void askInfo (std::uint32_t address);

    /** Its answer since askInfo(), or null while none came. */
    const Device* infoFrom (std::uint32_t address) const;

    /** askInfo() and the wait for its answer; an empty address when none came in `waitMs`. */
    Device info (std::uint32_t address, int waitMs);

    /** A session with `address` that runs the online sequence until every request was
        answered; null (with the reason) on a lost connection or when `waitMs` passes. */
    std::unique_ptr<CtlSession> goOnline (std::uint32_t address, int waitMs, std::string& why);

    osc::OscCom& link() { return *hub; }

private:
    void timerCallback() override {}

    // osc::PanelOperations and osc::SetupOperations of the hub's own session, which zr-ctl
    // never takes online: only searches and "/info" answers reach them.
    void setGainsFromDevice (float, float, bool, bool) override {}
    void setMeters (float, float, float, float) override {}
    void setClipLeds (bool, bool, bool, bool) override {}
    void disconnectDevice() override {}
    void forgetActiveDevice() override {}
    void addNetworkDevice (int modelIndex, const juce::String& name, const juce::String& address) override;
    void updateUsbEntry (int modelIndex, const juce::String& name) override;
    void usbDeviceRemoved() override {}
    void showPortInUse (bool, int) override {}
    void selectDevice (int) override {}
    void connectDevice() override {}
    void showAmpName (const juce::String&) override {}
    void showLockState (int) override {}
    void setSlot (int, int, const juce::String&) override {}
    void presetRecalled (const juce::String&) override {}
    void presetStored (int, int, const juce::String&) override {}

    // Dialogs: questions are answered "Cancel" (the tool never connects by itself).
    void askOkCancel (Icon, const juce::String&, const juce::String&, const juce::String&, const juce::String&,
                      std::function<void (bool)> onAnswer) override;
    void showMessage (Icon, const juce::String&, const juce::String&, const juce::String&,
                      std::function<void()> onClosed) override;
    void chooseFileToOpen (const juce::String&, const juce::File&, const juce::String&,
                           std::function<void (const juce::File&)> onChosen) override;
    void chooseFileToSave (const juce::String&, const juce::File&, const juce::String&,
                           std::function<void (const juce::File&)> onChosen) override;

    std::vector<Device> devices;
    std::map<std::string, Device> answers;   // by dotted address, since askInfo()
    int udpPort = 3456;
    std::unique_ptr<osc::OscCom> hub;
};
