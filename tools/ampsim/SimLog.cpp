#include "SimLog.h"

#include <oscpack/osc/OscReceivedElements.h>
#include <cstdio>

void SimLog::message (double timeMs, const char* direction, const Endpoint& peer, const Datagram& datagram) const
{
    if (isEnabled())
        write (timeMs, std::string (direction) + " " + peer.toString() + " " + describe (datagram));
}

void SimLog::note (double timeMs, const std::string& text) const
{
    if (isEnabled())
        write (timeMs, "note " + text);
}

void SimLog::write (double timeMs, const std::string& rest) const
{
    char stamp[32];
    std::snprintf (stamp, sizeof stamp, "%9.3f ", timeMs / 1000.0);
    sink (stamp + rest);
}

std::string SimLog::quote (const char* text)
{
    std::string out = "\"";
    for (const char* c = text; *c != '\0'; ++c)
    {
        const auto byte = (unsigned char) *c;
        if (byte == '"' || byte == '\\')
        {
            out += '\\';
            out += (char) byte;
        }
        else if (byte < 0x20 || byte >= 0x7F)
        {
            char escape[8];
            std::snprintf (escape, sizeof escape, "\\x%02X", byte);
            out += escape;
        }
        else
        {
            out += (char) byte;
        }
    }
    return out + "\"";
}

std::string SimLog::describe (const Datagram& datagram)
{
    try
    {
        const osc::ReceivedPacket packet (datagram.data(), (osc::osc_bundle_element_size_t) datagram.size);
        if (packet.IsBundle())
            return "bundle (" + std::to_string (datagram.size) + " bytes)";

        const osc::ReceivedMessage message (packet);
        std::string text = quote (message.AddressPattern());
        text = text.substr (1, text.size() - 2);   // addresses unquoted, still escaped
        text += " ,";
        if (message.ArgumentCount() > 0)   // oscpack gives no tag text for a message without arguments
            text += message.TypeTags();

        for (auto arg = message.ArgumentsBegin(); arg != message.ArgumentsEnd(); ++arg)
        {
            char number[32];
            switch (arg->TypeTag())
            {
                case 'i':
                    std::snprintf (number, sizeof number, " %d", (int) arg->AsInt32Unchecked());
                    text += number;
                    break;
                case 'f':
                    std::snprintf (number, sizeof number, " %g", (double) arg->AsFloatUnchecked());
                    text += number;
                    break;
                case 's': text += " " + quote (arg->AsStringUnchecked()); break;
                default:
                    // Other kinds never occur in this protocol; their bytes are not read (a
                    // blob's stated size cannot be trusted).
                    text += std::string (" <") + arg->TypeTag() + ">";
                    break;
            }
        }
        return text;
    }
    catch (const osc::Exception& e)
    {
        return std::string ("malformed (") + e.what() + ", " + std::to_string (datagram.size) + " bytes)";
    }
}
