#include "DeviceCodec.h"

#include "ModelTable.h"
#include "OscMessageCheck.h"
#include <cmath>
#include <cstring>

namespace osc::codec
{
    namespace
    {
        /** Reads the arguments with `read` when there are exactly `count` of them; a type
            that does not match reads as nothing too. */
        template <typename Result, typename Read>
        std::optional<Result> readExactly (const osc::ReceivedMessage& message, std::uint32_t count, Read&& read)
        {
            if (message.ArgumentCount() != count)
                return std::nullopt;

            try
            {
                auto args = message.ArgumentStream();
                return read (args);
            }
            catch (const osc::Exception&)
            {
                return std::nullopt;
            }
        }

        /** A level the meters can show: silence for anything negative. */
        float meterLevel (float value)
        {
            return value > 0.0f ? value : 0.0f;
        }
    }

    //==============================================================================
    OutboundPacketPtr bare (const char* address)
    {
        return buildPacket ([&] (osc::OutboundPacketStream& s)
                            { s << osc::BeginMessage (address) << osc::EndMessage; });
    }

    OutboundPacketPtr withInt (const char* address, std::int32_t value)
    {
        return buildPacket ([&] (osc::OutboundPacketStream& s)
                            { s << osc::BeginMessage (address) << (osc::int32) value << osc::EndMessage; });
    }

    OutboundPacketPtr presetCommand (const char* address, int slot, int value, const juce::String& text)
    {
        return buildPacket (
            [&] (osc::OutboundPacketStream& s)
            {
                s << osc::BeginMessage (address) << (osc::int32) slot << (osc::int32) value << text.toRawUTF8()
                  << osc::EndMessage;
            });
    }

    OutboundPacketPtr ampName (const juce::String& name)
    {
        return buildPacket ([&] (osc::OutboundPacketStream& s)
                            { s << osc::BeginMessage ("/ampname") << name.toRawUTF8() << osc::EndMessage; });
    }

    OutboundPacketPtr meterRequest (float value)
    {
        return buildPacket ([&] (osc::OutboundPacketStream& s)
                            { s << osc::BeginMessage ("/meter") << value << osc::EndMessage; });
    }

    OutboundPacketPtr gains (float gainA, float gainB, int muteA, int muteB)
    {
        return buildPacket (
            [&] (osc::OutboundPacketStream& s) {
                s << osc::BeginMessage ("/gain") << gainA << gainB << (osc::int32) muteA << (osc::int32) muteB
                  << osc::EndMessage;
            });
    }

    //==============================================================================
    InboundPacket::InboundPacket (const juce::MemoryBlock& packet)
        : message (packet.getSize() > prefix ? static_cast<const char*> (packet.getData()) + prefix : nullptr,
                   packet.getSize() > prefix ? packet.getSize() - prefix : 0)
    {
        if (packet.getSize() > prefix)
            std::memcpy (&sender, packet.getData(), sizeof sender);
    }

    InboundMessage::InboundMessage (const void* bytes, std::size_t size)
    {
        if (bytes == nullptr || size == 0 || size > largest)
            return;

        // oscpack reads words in place; the copy is exactly as long as the message, so
        // nothing beyond it can be read unnoticed.  It trusts string padding and blob sizes,
        // so whatever it would misread is refused first.
        std::memcpy (words.data(), bytes, size);
        const auto* data = reinterpret_cast<const char*> (words.data());
        if (! isWellFormedOscMessage (data, size))
            return;

        try
        {
            message.emplace (osc::ReceivedPacket (data, (osc::osc_bundle_element_size_t) size));
        }
        catch (const osc::Exception&)
        {
            message.reset();
        }
    }

    //==============================================================================
    std::optional<Meters> readMeters (const osc::ReceivedMessage& message)
    {
        return readExactly<Meters> (message, 4,
                                    [] (osc::ReceivedMessageArgumentStream& args) -> std::optional<Meters>
                                    {
                                        Meters meters {};
                                        for (auto& level : meters.levels)
                                        {
                                            args >> level;
                                            if (! std::isfinite (level))
                                                return std::nullopt;
                                            level = meterLevel (level);
                                        }
                                        return meters;
                                    });
    }

    std::optional<Lamps> readLamps (const osc::ReceivedMessage& message)
    {
        return readExactly<Lamps> (message, 4,
                                   [] (osc::ReceivedMessageArgumentStream& args)
                                   {
                                       Lamps lamps {};
                                       for (auto& lit : lamps.lit)
                                       {
                                           osc::int32 value;
                                           args >> value;
                                           lit = value > 0;
                                       }
                                       return std::optional<Lamps> (lamps);
                                   });
    }

    std::optional<Gains> readGains (const osc::ReceivedMessage& message)
    {
        return readExactly<Gains> (message, 4,
                                   [] (osc::ReceivedMessageArgumentStream& args) -> std::optional<Gains>
                                   {
                                       float gainA, gainB;
                                       osc::int32 muteA, muteB;
                                       args >> gainA >> gainB >> muteA >> muteB;
                                       if (! std::isfinite (gainA) || ! std::isfinite (gainB))
                                           return std::nullopt;
                                       return Gains { gainA, gainB, muteA > 0, muteB > 0 };
                                   });
    }

    std::optional<PresetAnswer> readPreset (const osc::ReceivedMessage& message)
    {
        constexpr const char* prefix = "/preset";
        const char* address = message.AddressPattern();
        if (std::strncmp (address, prefix, std::strlen (prefix)) != 0)
            return std::nullopt;

        const char* rest = address + std::strlen (prefix);
        PresetAnswer::Kind kind;
        if (std::strcmp (rest, "/name") == 0)
            kind = PresetAnswer::Kind::name;
        else if (std::strcmp (rest, "/load") == 0)
            kind = PresetAnswer::Kind::load;
        else if (std::strcmp (rest, "/save") == 0)
            kind = PresetAnswer::Kind::save;
        else
            return std::nullopt;

        return readExactly<PresetAnswer> (
            message, 3,
            [kind] (osc::ReceivedMessageArgumentStream& args)
            {
                osc::int32 slot, mode;
                const char* text;
                args >> slot >> mode >> text;
                return std::optional<PresetAnswer> (PresetAnswer { kind, slot, mode, deviceText (text) });
            });
    }

    std::optional<std::int32_t> readLockCode (const osc::ReceivedMessage& message)
    {
        return readExactly<std::int32_t> (message, 1,
                                          [] (osc::ReceivedMessageArgumentStream& args)
                                          {
                                              osc::int32 code;
                                              args >> code;
                                              return std::optional<std::int32_t> (code);
                                          });
    }

    std::optional<juce::String> readAmpName (const osc::ReceivedMessage& message)
    {
        return readExactly<juce::String> (message, 1,
                                          [] (osc::ReceivedMessageArgumentStream& args)
                                          {
                                              const char* name;
                                              args >> name;
                                              return std::optional<juce::String> (deviceText (name));
                                          });
    }

    bool readPowerOff (const osc::ReceivedMessage& message)
    {
        const auto off = readExactly<bool> (message, 1,
                                            [] (osc::ReceivedMessageArgumentStream& args)
                                            {
                                                const char* state;
                                                args >> state;
                                                return std::optional<bool> (std::strcmp (state, "OFF") == 0);
                                            });
        return off.value_or (false);
    }

    std::optional<DeviceInfo> readInfo (const osc::ReceivedMessage& message)
    {
        return readExactly<DeviceInfo> (message, 3,
                                        [] (osc::ReceivedMessageArgumentStream& args) -> std::optional<DeviceInfo>
                                        {
                                            const char* name;
                                            const char* secondText;   // the amplifier's own, not used
                                            osc::int32 model;
                                            args >> name >> secondText >> model;
                                            // Only the known models can be shown or configured; "no device" is no answer.
                                            if (ModelTable::checkedIndex (model) == ModelTable::noDevice)
                                                return std::nullopt;
                                            return DeviceInfo { model, deviceText (name) };
                                        });
    }

    juce::String deviceText (const char* text)
    {
        const auto length = (int) std::strlen (text);
        if (juce::CharPointer_UTF8::isValidString (text, length))
            return juce::String::fromUTF8 (text, length);

        juce::String result;
        for (int i = 0; i < length; ++i)
            result += juce::String::charToString ((juce::juce_wchar) (std::uint8_t) text[i]);
        return result;
    }
}
