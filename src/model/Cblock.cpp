#include "Cblock.h"
#include "BlockWatch.h"
#include "Globals.h"

namespace
{
    struct Argument
    {
        const char* text = nullptr;
        float number = 0.0f;
        osc::int32 integer = 0;
    };
}

void Cblock::decode (osc::ReceivedMessageArgumentStream& args)
{
    Cparam* params[maxArguments];
    decodeArguments (params, parameterChildren (params), args);
}

bool Cblock::encode (osc::OutboundPacketStream& stream, const char* address) const
{
    Cparam* params[maxArguments];
    return encodeArguments (stream, address, params, parameterChildren (params));
}

void Cblock::decodeArguments (Cparam* const* params, int count, osc::ReceivedMessageArgumentStream& args)
{
    Argument values[maxArguments];

    // Everything is read before anything is applied, so a bad message changes nothing.
    for (int i = 0; i < count; ++i)
    {
        switch (params[i]->kind)
        {
            case NodeKind::enumParam: args >> values[i].text; break;
            case NodeKind::intParam: args >> values[i].integer; break;
            default: args >> values[i].number; break;
        }
    }
    args >> osc::EndMessage;

    for (int i = 0; i < count; ++i)
    {
        switch (params[i]->kind)
        {
            case NodeKind::enumParam: params[i]->fromText (values[i].text); break;
            case NodeKind::intParam: params[i]->setStep (values[i].integer); break;
            default: params[i]->setValue (values[i].number); break;
        }
    }

    sendChangeMessage();
    if (auto* watch = globals::blockWatch)
        watch->blockDecoded (*this);
}

bool Cblock::encodeArguments (osc::OutboundPacketStream& stream, const char* address, const Cparam* const* params,
                              int count)
{
    if (address == nullptr || address[0] == '\0')
        return false;

    stream << osc::BeginMessage (address);
    for (int i = 0; i < count; ++i)
    {
        switch (params[i]->kind)
        {
            case NodeKind::enumParam: stream << params[i]->label(); break;
            case NodeKind::intParam: stream << (osc::int32) params[i]->getStep(); break;
            default: stream << params[i]->getValue(); break;
        }
    }
    stream << osc::EndMessage;
    return true;
}

int Cblock::parameterChildren (Cparam** params) const
{
    int count = 0;
    for (auto* child = firstChild; child != this && count < maxArguments; child = child->next)
        if (child->isParameter())
            params[count++] = static_cast<Cparam*> (child);
    return count;
}
