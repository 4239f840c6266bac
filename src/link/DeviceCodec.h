#pragma once

#include "OutboundPacket.h"
#include <juce_core/juce_core.h>
#include <oscpack/osc/OscReceivedElements.h>
#include <array>
#include <cstdint>
#include <optional>

/** The amplifier's own messages (everything but the tree's parameter messages): building
    the requests the hub sends and reading the answers it receives.  Pure functions over
    bytes: no threads, no sockets, no JUCE messages; any thread.

    Builders return a finished message in its own 64-byte packet, or null when it does not
    fit (nothing half-built is ever sent).  Readers take a message whose address the hub
    has already routed to them and return nothing when its arguments do not fit: a wrong
    count, a wrong type or a value no amplifier means.  What they return is ready to show.
*/
namespace osc::codec
{
    //==============================================================================
    // Requests

    /** `address` with no arguments: "/info", "/online", "/offline", and every query. */
    OutboundPacketPtr bare (const char* address);

    /** `address` ,i value: "/lock" and "/unlock" with a packed code. */
    OutboundPacketPtr withInt (const char* address, std::int32_t value);

    /** `address` ,iis slot value text: "/preset/name", "/preset/load", "/preset/save". */
    OutboundPacketPtr presetCommand (const char* address, int slot, int value, const juce::String& text);

    /** "/ampname" ,s name (UTF-8). */
    OutboundPacketPtr ampName (const juce::String& name);

    /** "/meter" ,f value: asks for the meter stream (10.0 in practice). */
    OutboundPacketPtr meterRequest (float value);

    /** "/gain" ,ffii: gains in dB, mutes 0 or 1. */
    OutboundPacketPtr gains (float gainA, float gainB, int muteA, int muteB);

    //==============================================================================
    // Answers

    /** A received packet's OSC message, copied where oscpack can read it in place (4-byte
        aligned) and checked first for anything oscpack would misread.  Not copyable: the
        message points into the object. */
    class InboundMessage
    {
    public:
        static constexpr std::size_t largest = 128;

        /** Copies `size` bytes; the result is valid only for one well-formed OSC message
            of 1..128 bytes (never a bundle). */
        InboundMessage (const void* bytes, std::size_t size);
        InboundMessage (const InboundMessage&) = delete;
        InboundMessage& operator= (const InboundMessage&) = delete;

        bool isValid() const { return message.has_value(); }

        /** The message; only when isValid(). */
        const osc::ReceivedMessage& get() const { return *message; }

    private:
        std::array<std::uint32_t, largest / 4> words {};
        std::optional<osc::ReceivedMessage> message;
    };

    /** A packet as the transports post it (LinkMessage): the sender's IPv4 address in
        network order (4 bytes), then the message.  Too short a packet has no message. */
    class InboundPacket
    {
    public:
        explicit InboundPacket (const juce::MemoryBlock& packet);

        static constexpr std::size_t prefix = 4;

        std::uint32_t sender = 0;
        const InboundMessage message;
    };

    /** "/meter" ,ffff: input A, input B, output A, output B as linear levels; negative
        levels read as silence (0.0).  Nothing when a level is not finite. */
    struct Meters
    {
        std::array<float, 4> levels;
    };
    std::optional<Meters> readMeters (const osc::ReceivedMessage& message);

    /** "/peaklimit" ,iiii: input clip A, input clip B, output limit A, output limit B; a
        value above 0 lights its lamp. */
    struct Lamps
    {
        std::array<bool, 4> lit;
    };
    std::optional<Lamps> readLamps (const osc::ReceivedMessage& message);

    /** "/gain" ,ffii: gains in dB (finite), mutes above 0 = muted. */
    struct Gains
    {
        float gainA, gainB;
        bool muteA, muteB;
    };
    std::optional<Gains> readGains (const osc::ReceivedMessage& message);

    /** "/preset/name", "/preset/load", "/preset/save" ,iis (other "/preset..." addresses:
        nothing). */
    struct PresetAnswer
    {
        enum class Kind
        {
            name,
            load,
            save
        };
        Kind kind;
        int slot, mode;
        juce::String name;
    };
    std::optional<PresetAnswer> readPreset (const osc::ReceivedMessage& message);

    /** "/lock" ,i: the packed code, 0 when unlocked. */
    std::optional<std::int32_t> readLockCode (const osc::ReceivedMessage& message);

    /** "/ampname" ,s. */
    std::optional<juce::String> readAmpName (const osc::ReceivedMessage& message);

    /** "/power" ,s: true when the amplifier announces it switches off ("OFF"). */
    bool readPowerOff (const osc::ReceivedMessage& message);

    /** "/info" ,ssi: the amplifier's name and its model index; models outside 0..7 are
        unknown to the program and read as nothing. */
    struct DeviceInfo
    {
        int model;
        juce::String name;
    };
    std::optional<DeviceInfo> readInfo (const osc::ReceivedMessage& message);

    /** A text from an amplifier: UTF-8 when it is, otherwise one character per byte. */
    juce::String deviceText (const char* text);
}
