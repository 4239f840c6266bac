#pragma once

#include "HostAddress.h"
#include "OscCom.h"
#include <string>
#include <vector>

/** Plays the Setup page for the hub: records every call (one line each, in order) and
    connects and disconnects through the hub the way the page does. */
class FakeSetupPage : public osc::SetupOperations
{
public:
    osc::OscCom* hub = nullptr;
    bool offline = true;
    /** Address that selecting a row above 0 connects to. */
    juce::String networkAddress = "127.0.0.2";
    std::vector<std::string> calls;

    void disconnectDevice() override
    {
        log ("disconnectDevice");
        if (! offline && hub != nullptr)
        {
            hub->goOffline();
            offline = true;
        }
    }

    void forgetActiveDevice() override { log ("forgetActiveDevice"); }

    void addNetworkDevice (int model, const juce::String& name, const juce::String& address) override
    {
        log ("addNetworkDevice " + juce::String (model) + " " + name + " " + address);
    }

    void updateUsbEntry (int model, const juce::String& name) override
    {
        log ("updateUsbEntry " + juce::String (model) + " " + name);
    }

    void usbDeviceRemoved() override { log ("usbDeviceRemoved"); }

    void showPortInUse (bool inUse, int port) override
    {
        log ("showPortInUse " + juce::String (inUse ? "true" : "false") + " " + juce::String (port));
    }

    void selectDevice (int row) override
    {
        log ("selectDevice " + juce::String (row));
        if (hub == nullptr)
            return;
        // The address was resolved when it was entered, as the page does.
        if (row > 0)
            hub->connectNetwork (hostaddress::resolve (networkAddress.toStdString()).value_or (0));
        else if (hub->usbDevicePresent())
            hub->setConnectionKind (osc::ConnectionKind::usb);
    }

    void connectDevice() override
    {
        log ("connectDevice");
        if (offline && hub != nullptr)
        {
            hub->goOnline();
            offline = false;
        }
    }

    void showAmpName (const juce::String& name) override { log ("showAmpName " + name); }
    void showLockState (int code) override { log ("showLockState " + juce::String (code)); }

    void setSlot (int slot, int mode, const juce::String& name) override
    {
        log ("setSlot " + juce::String (slot) + " " + juce::String (mode) + " " + name);
    }

    void presetRecalled (const juce::String& name) override { log ("presetRecalled " + name); }

    void presetStored (int slot, int mode, const juce::String& name) override
    {
        log ("presetStored " + juce::String (slot) + " " + juce::String (mode) + " " + name);
    }

    int count (const std::string& prefix) const
    {
        int n = 0;
        for (const auto& c : calls)
            n += c.rfind (prefix, 0) == 0 ? 1 : 0;
        return n;
    }

    std::string last() const { return calls.empty() ? std::string() : calls.back(); }

private:
    void log (const juce::String& text) { calls.push_back (text.toStdString()); }
};
