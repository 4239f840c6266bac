#include "HubForwarder.h"

#include "OscCom.h"

void HubForwarder::searchDevices (const juce::String& address)
{
    if (hub != nullptr)
        hub->searchDevices (address);
}

void HubForwarder::connectNetwork (const juce::String& address)
{
    if (hub != nullptr)
        hub->connectNetwork (address);
}

void HubForwarder::useUsbConnection()
{
    if (hub != nullptr)
        hub->setConnectionKind (osc::ConnectionUsb);
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
