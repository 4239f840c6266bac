#pragma once

#include "HubControl.h"

namespace osc
{
    class OscCom;
}

/** Passes the Setup page's requests to the communication hub.

    The hub takes the Setup page when it is built, so the page exists first: the panel gives
    the page this forwarder, builds the hub and then attaches it.  Until a hub is attached
    (and after it is detached) requests go nowhere and no USB device is present.
    Message thread only.
*/
class HubForwarder : public HubControl
{
public:
    /** Requests go to `newHub` from now on (null: nowhere).  The hub must stay alive until it
        is detached again. */
    void attach (osc::OscCom* newHub) noexcept { hub = newHub; }

    void searchDevices (const juce::String& address) override;
    void connectNetwork (const juce::String& address) override;
    void useUsbConnection() override;
    bool usbDevicePresent() const override;
    void goOnline() override;
    void goOffline() override;
    void sendQuery (const char* address) override;
    void sendAmpName (const juce::String& name) override;
    void sendInt (const char* address, int value) override;
    void sendPresetCommand (const char* address, int slot, int value, const juce::String& text) override;

private:
    osc::OscCom* hub = nullptr;
};
