#pragma once

#include <juce_core/juce_core.h>

/** What the Setup page asks of the communication hub: searching, choosing the connection,
    going online and offline, and the device commands of its areas.

    The panel gives the page its HubForwarder (src/shell), which passes the requests to the
    hub once the hub exists; tests may record them instead.  Message thread only.
*/
class HubControl
{
public:
    virtual ~HubControl() = default;

    /** "/info" to `target` ("255.255.255.255" or a dotted IPv4 address, never a host name)
        and a USB re-announce. */
    virtual void searchDevices (const juce::String& target) = 0;

    /** Makes the network the connection in use, aimed at `address` (dotted IPv4). */
    virtual void connectNetwork (const juce::String& address) = 0;

    /** Makes USB the connection in use. */
    virtual void useUsbConnection() = 0;

    /** True while a USB amplifier is open. */
    virtual bool usbDevicePresent() const = 0;

    /** The online sequence: "/online" and the queries of every block and preset name. */
    virtual void goOnline() = 0;

    /** The offline sequence: "/offline" (network), queue emptied, meters and lamps reset. */
    virtual void goOffline() = 0;

    /** An argument-less request ("/siggen"), while online. */
    virtual void sendQuery (const char* address) = 0;

    /** "/ampname" ,s name. */
    virtual void sendAmpName (const juce::String& name) = 0;

    /** `address` ,i value ("/lock", "/unlock"). */
    virtual void sendInt (const char* address, int value) = 0;

    /** `address` ,iis slot value text ("/preset/load", "/preset/save"). */
    virtual void sendPresetCommand (const char* address, int slot, int value, const juce::String& text) = 0;
};
