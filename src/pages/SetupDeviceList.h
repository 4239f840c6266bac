#pragma once

#include <juce_core/juce_core.h>

/** The Setup page's device list: an XmlElement "DEVICELIST" whose children are the rows.

    Row 0, an element "USBdevice", stands for the amplifier on USB; every network amplifier
    is an element "DEVICE", in the order they answered.  Each row carries the attributes
    "ID", "AMPMODEL", "IPorUSB" and "AMPNAME", in that order; a row is found again by its
    "IPorUSB" text ("USB device" for row 0, the dotted IPv4 address otherwise), which stays
    the same while rows before it come and go.

    At most maxNetworkRows network rows are kept: a new one then pushes out the oldest row
    that is not the one the caller keeps (the active device).  Message thread only.
*/
class SetupDeviceList
{
public:
    static constexpr int maxNetworkRows = 64;
    static constexpr const char* usbAddress = "USB device";

    /** The USB row alone, with no device ("-" model and name). */
    SetupDeviceList();

    /** Rows, the USB row included. */
    int size() const;

    const juce::XmlElement& xml() const noexcept { return list; }

    /** Attribute `attribute` of row `row` ("" for a row that does not exist). */
    juce::String text (int row, const char* attribute) const;

    /** The row whose "IPorUSB" is `address`, or -1. */
    int rowOf (const juce::String& address) const;

    /** Refreshes the row of `address` in place (its "ID" stays) or appends one whose "ID"
        is the row count; `model` is an index of the model table.  When the network rows
        are full, the oldest row other than `keepRow` goes first: its index is returned
        (rows after it move up by one), otherwise -1. */
    int addNetworkDevice (int model, const juce::String& name, const juce::String& address, int keepRow);

    /** Rewrites the USB row. */
    void setUsbDevice (int model, const juce::String& name);

    /** Removes network row `row` (nothing for the USB row or a row that does not exist). */
    void removeNetworkRow (int row);

private:
    static std::unique_ptr<juce::XmlElement> makeRow (const char* tag, int id, int model, const juce::String& address,
                                                      const juce::String& name);

    juce::XmlElement list { "DEVICELIST" };

    JUCE_DECLARE_NON_COPYABLE (SetupDeviceList)
};
