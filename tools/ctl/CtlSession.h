#pragma once

#include "Ciosiggen.h"
#include "Ciospeaker.h"
#include "Croot.h"
#include "OscCom.h"

#include <array>
#include <string>
#include <vector>

/** One amplifier's conversation for zr-ctl: a session of the hub's own (DeviceSession) over
    the shared socket, with the parameter tree its answers decode into (at the built-in
    default preset until the amplifier has answered), its preset slots, meter readings and
    what ended it.  Nothing waits here: the caller runs the message loop and asks.

    Message thread only.  The hub must outlive it; destroying it takes the amplifier
    offline ("/offline") and closes the session.
*/
class CtlSession : private osc::PanelOperations, private osc::SetupOperations
{
public:
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

    /** A session with the amplifier at `address` (network byte order); nothing is sent yet. */
    CtlSession (osc::OscCom& hub, std::uint32_t address);
    ~CtlSession() override;

    CtlSession (const CtlSession&) = delete;
    CtlSession& operator= (const CtlSession&) = delete;

    /** Starts the program's online sequence. */
    void goOnline();

    /** Every request answered and its answer taken in. */
    bool isSettled() const;

    /** Why the connection was lost (the program's words), or empty while it holds. */
    const std::string& lostBecause() const { return lost; }

    /** Sends every block of the tree, as the program does after loading a file. */
    void sendWholeTree();

    /** Sends one block with its values. */
    void sendBlock (Cnode& block);

    /** Sends `address` ,iis slot value text ("/preset/load", "/preset/save"). */
    void sendPresetCommand (const char* address, int slot, int value, const std::string& text);

    /** Starts keeping every meter message from now on, with the lamps as they stand. */
    void collectMeters();
    const std::vector<MeterReading>& meterReadings() const { return readings; }

    Croot& tree() { return root; }
    const std::array<Slot, 21>& slots() const { return slotTable; }   // [1] .. [20]
    const std::string& lastRecalled() const { return recalled; }

private:
    // osc::PanelOperations
    void setGainsFromDevice (float, float, bool, bool) override {}
    void setMeters (float inputA, float inputB, float outputA, float outputB) override;
    void setClipLeds (bool inputClipA, bool inputClipB, bool outputLimitA, bool outputLimitB) override;

    // osc::SetupOperations: only the answers of this amplifier reach them.
    void disconnectDevice() override {}
    void forgetActiveDevice() override {}
    void addNetworkDevice (int, const juce::String&, const juce::String&) override {}
    void updateUsbEntry (int, const juce::String&) override {}
    void usbDeviceRemoved() override {}
    void showPortInUse (bool, int) override {}
    void selectDevice (int) override {}
    void connectDevice() override {}
    void showAmpName (const juce::String&) override {}
    void showLockState (int) override {}
    void setSlot (int slot, int mode, const juce::String& name) override;
    void presetRecalled (const juce::String& name) override;
    void presetStored (int, int, const juce::String&) override {}

    osc::OscCom& hub;
    Croot root;
    Ciospeaker speaker;
    Ciosiggen siggen;
    osc::DeviceSession* session = nullptr;

    std::array<Slot, 21> slotTable {};
    std::string recalled;
    std::string lost;
    MeterReading current;
    std::vector<MeterReading> readings;
    bool collecting = false;
};
