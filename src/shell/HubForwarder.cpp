#include "HubForwarder.h"

#include "HostAddress.h"
#include "OscCom.h"

// The page hands over dotted addresses it resolved when they were typed: they are read as
// numbers here, so nothing on this path can wait for a name server.
void HubForwarder::searchDevices (const juce::String& address)
{
    const auto target = hostaddress::parseDotted (address.toStdString());
    if (hub != nullptr && target.has_value())
        hub->searchDevices (*target);
}

void HubForwarder::connectNetwork (const juce::String& address)
{
    const auto device = hostaddress::parseDotted (address.toStdString());
    if (hub != nullptr && device.has_value())
        hub->connectNetwork (*device);
}

void HubForwarder::useUsbConnection()
{
    if (hub != nullptr)
        hub->setConnectionKind (osc::ConnectionKind::usb);
}

bool HubForwarder::usbDevicePresent() const
{
    return hub != nullptr && hub->usbDevicePresent();
}

void HubForwarder::goOnline()
{
    if (hub != nullptr)
        hub->goOnline();
}

void HubForwarder::goOffline()
{
    if (hub != nullptr)
        hub->goOffline();
}

void HubForwarder::sendQuery (const char* address)
{
    if (hub != nullptr)
        hub->sendQuery (address);
}

void HubForwarder::sendAmpName (const juce::String& name)
{
    if (hub != nullptr)
        hub->sendAmpName (name);
}

void HubForwarder::sendInt (const char* address, int value)
{
    if (hub != nullptr)
        hub->sendInt (address, value);
}

void HubForwarder::sendPresetCommand (const char* address, int slot, int value, const juce::String& text)
{
    if (hub != nullptr)
        hub->sendPresetCommand (address, slot, value, text);
}
