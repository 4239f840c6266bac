#pragma once

#include <juce_core/juce_core.h>

namespace osc
{
    /** What the hub asks of the Setup page: the device list, the connection, the amplifier's
        name, lock state and preset slots.

        Implemented by the Setup page; the hub keeps the reference it was given at
        construction and calls these on the message thread only.  Texts arriving from an
        amplifier are passed on as received (UTF-8, or byte for byte when not valid UTF-8).
    */
    class SetupOperations
    {
    public:
        virtual ~SetupOperations() = default;

        /** Goes offline if the page shows a connection, and clears the 20 preset rows. */
        virtual void disconnectDevice() = 0;

        /** After a lost connection: resets the USB row or removes the network row in use. */
        virtual void forgetActiveDevice() = 0;

        /** A network amplifier answered "/info": model index 0..7, its name, and its IPv4
            address in dotted form ("192.0.2.7").  Adds its row or refreshes it. */
        virtual void addNetworkDevice (int modelIndex, const juce::String& name, const juce::String& address) = 0;

        /** The USB amplifier answered "/info": rewrites the USB row (model index 0..7). */
        virtual void updateUsbEntry (int modelIndex, const juce::String& name) = 0;

        /** The USB amplifier was unplugged (connected or not): the USB row shows no device
            any more.  When it is plugged in again it is announced anew and answers "/info"
            (updateUsbEntry).  If it was the connection in use, the hub reports the lost
            connection right after this call. */
        virtual void usbDeviceRemoved() = 0;

        /** Whether another program holds the UDP `port`, so that amplifiers on the network
            cannot answer (told when this changes; at start the port counts as free).  The
            hub tries for the port again by itself and searches once it has it. */
        virtual void showPortInUse (bool inUse, int port) = 0;

        /** Makes `row` the active device (0 = the USB row). */
        virtual void selectDevice (int row) = 0;

        /** Connects the active device (runs the hub's online sequence). */
        virtual void connectDevice() = 0;

        /** The amplifier's name, from an "/ampname" answer. */
        virtual void showAmpName (const juce::String& name) = 0;

        /** The lock state from a "/lock" answer: 0 unlocked, otherwise the packed code
            (see packLockCode / unpackLockCode). */
        virtual void showLockState (int code) = 0;

        /** A preset slot's name and mode (slot 1..20, mode 0..4, 5 = none) from "/preset/name". */
        virtual void setSlot (int slot, int mode, const juce::String& name) = 0;

        /** The amplifier recalled the preset called `name` ("/preset/load" answer). */
        virtual void presetRecalled (const juce::String& name) = 0;

        /** The amplifier stored a preset in `slot` ("/preset/save" answer). */
        virtual void presetStored (int slot, int mode, const juce::String& name) = 0;
    };
}
