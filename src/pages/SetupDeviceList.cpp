#include "SetupDeviceList.h"

#include "ModelTable.h"

namespace
{
    const char* const usbTag = "USBdevice";
    const char* const networkTag = "DEVICE";
}

SetupDeviceList::SetupDeviceList()
{
    list.addChildElement (makeRow (usbTag, 0, ModelTable::noDevice, usbAddress, "-").release());
}

int SetupDeviceList::size() const
{
    return list.getNumChildElements();
}

juce::String SetupDeviceList::text (int row, const char* attribute) const
{
    if (auto* element = list.getChildElement (row))
        return element->getStringAttribute (attribute);
    return {};
}

int SetupDeviceList::rowOf (const juce::String& address) const
{
    for (int row = 0; row < size(); ++row)
        if (text (row, "IPorUSB") == address)
            return row;
    return -1;
}

int SetupDeviceList::addNetworkDevice (int model, const juce::String& name, const juce::String& address, int keepRow)
{
    // Row 0 is always the USB entry, whatever a network device calls itself.
    const int row = rowOf (address);
    if (row > 0)
    {
        auto* existing = list.getChildElement (row);
        const int id = existing->getIntAttribute ("ID");
        list.replaceChildElement (existing, makeRow (networkTag, id, model, address, name).release());
        return -1;
    }

    // Any host that answers "/info" gets a row, so the list is bounded here.
    int removed = -1;
    if (size() - 1 >= maxNetworkRows)
    {
        removed = keepRow == 1 ? 2 : 1;
        removeNetworkRow (removed);
    }

    list.addChildElement (makeRow (networkTag, size(), model, address, name).release());
    return removed;
}

void SetupDeviceList::setUsbDevice (int model, const juce::String& name)
{
    list.replaceChildElement (list.getChildElement (0), makeRow (usbTag, 0, model, usbAddress, name).release());
}

void SetupDeviceList::removeNetworkRow (int row)
{
    if (row > 0 && row < size())
        list.removeChildElement (list.getChildElement (row), true);
}

std::unique_ptr<juce::XmlElement> SetupDeviceList::makeRow (const char* tag, int id, int model,
                                                            const juce::String& address, const juce::String& name)
{
    auto row = std::make_unique<juce::XmlElement> (tag);
    row->setAttribute ("ID", id);
    row->setAttribute ("AMPMODEL", ModelTable::modelName (model));
    row->setAttribute ("IPorUSB", address);
    row->setAttribute ("AMPNAME", name);
    return row;
}
