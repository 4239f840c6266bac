#pragma once

#include "Ciosiggen.h"
#include "Ciospeaker.h"
#include "Croot.h"
#include "Dialogs.h"
#include "Globals.h"
#include "OscCom.h"
#include "PanelOperations.h"
#include "SetupOperations.h"

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

/** The program's link without a window: the hub, the parameter tree and the standalone
    blocks, and a partner that plays the panel, the Setup page and the dialogs by noting
    what the hub tells them.  zr-ctl drives one amplifier at a time through it, with the
    program's own stop-and-wait, retransmission and lost-connection rules.

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

    struct Slot
    {
        int mode = 5;
        std::string name;
    };

    struct MeterReading
    {
        std::array<float, 4> levels {};   // input A, input B, output A, output B (linear)
        std::array<bool, 4> lamps {};     // input clip A, B, output limit A, B
    };

    /** Builds the tree (at the built-in default preset) and the hub, which takes the UDP
        port; nothing is sent yet.  hubOptions are the hub's (tests pass their own). */
    explicit CtlLink (osc::HubOptions hubOptions = {});
    ~CtlLink() override;

    /** False while another program holds the UDP port. */
    bool holdsPort() const { return hub->holdsUdpPort(); }
    int port() const { return udpPort; }

    /** Sends "/info" to every network (and asks USB) and collects answers for `waitMs`:
        each amplifier once, in the order they answered. */
    std::vector<Device> discover (int waitMs);

    /** Asks `address` (network byte order) for "/info"; its answer, or an empty address
        when none came within `waitMs`. */
    Device info (std::uint32_t address, int waitMs);

    /** Connects to `address` and runs the program's online sequence until every request
        was answered.  False (with the reason) on a lost connection or when `waitMs` passes. */
    bool goOnline (std::uint32_t address, int waitMs, std::string& why);

    /** Sends every block of the tree, as the program does after loading a file. */
    void sendWholeTree();

    /** Runs until nothing is queued; false (with the reason) on a lost connection or at
        the time-out. */
    bool waitUntilAnswered (int waitMs, std::string& why);

    /** Runs until `readings` meter messages arrived (each with the lamps as they stand);
        false at a lost connection or the time-out. */
    bool collectMeters (int readings, int waitMs, std::vector<MeterReading>& out, std::string& why);

    /** Leaves the amplifier ("/offline") and empties the queue. */
    void goOffline();

    Croot& tree() { return root; }
    osc::OscCom& link() { return *hub; }
    const std::array<Slot, 21>& slots() const { return slotTable; }   // [1] .. [20]
    std::string lastRecalled() const { return recalled; }

private:
    bool runUntil (const std::function<bool()>& done, int waitMs);
    void timerCallback() override {}

    // osc::PanelOperations
    void setGainsFromDevice (float, float, bool, bool) override {}
    void setMeters (float inputA, float inputB, float outputA, float outputB) override;
    void setClipLeds (bool inputClipA, bool inputClipB, bool outputLimitA, bool outputLimitB) override;

    // osc::SetupOperations
    void disconnectDevice() override {}
    void forgetActiveDevice() override {}
    void addNetworkDevice (int modelIndex, const juce::String& name, const juce::String& address) override;
    void updateUsbEntry (int modelIndex, const juce::String& name) override;
    void usbDeviceRemoved() override {}
    void showPortInUse (bool inUse, int port) override;
    void selectDevice (int) override {}
    void connectDevice() override {}
    void showAmpName (const juce::String&) override {}
    void showLockState (int) override {}
    void setSlot (int slot, int mode, const juce::String& name) override;
    void presetRecalled (const juce::String& name) override;
    void presetStored (int, int, const juce::String&) override {}

    // Dialogs: questions are answered "Cancel" (the tool never connects by itself); a
    // message box is a lost connection.
    void askOkCancel (Icon, const juce::String&, const juce::String&, const juce::String&, const juce::String&,
                      std::function<void (bool)> onAnswer) override;
    void showMessage (Icon, const juce::String& title, const juce::String& message, const juce::String&,
                      std::function<void()> onClosed) override;
    void chooseFileToOpen (const juce::String&, const juce::File&, const juce::String&,
                           std::function<void (const juce::File&)> onChosen) override;
    void chooseFileToSave (const juce::String&, const juce::File&, const juce::String&,
                           std::function<void (const juce::File&)> onChosen) override;

    Croot root;
    Ciospeaker speaker;
    Ciosiggen siggen;
    ScopedGlobal<Croot*> rootInstalled { globals::root, &root };
    ScopedGlobal<Ciospeaker*> speakerInstalled { globals::speaker, &speaker };
    ScopedGlobal<Ciosiggen*> siggenInstalled { globals::siggen, &siggen };

    std::vector<Device> devices;
    std::array<Slot, 21> slotTable {};
    std::string recalled;
    MeterReading current;
    std::vector<MeterReading>* meterSink = nullptr;
    std::string lostBecause;
    int udpPort = 3456;
    std::unique_ptr<osc::OscCom> hub;
};
