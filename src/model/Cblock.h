#pragma once

#include "Cparam.h"

/** A block: a node that is one OSC message of the device protocol.

    The message's arguments are the block's parameter children in child order: a string (the
    label) for an EnumParam, a float32 for a LinearParam or LogParam, an int32 for an IntParam.
    Blocks whose message is exactly that list use this class as it is; a block with a
    different message passes its own parameter list to the helpers.
*/
class Cblock : public Cnode
{
public:
    using Cnode::Cnode;

    /** Reads every argument of the message, then applies them and sends one change message.
        Raises oscpack's Missing/WrongArgumentType/ExcessArgument exceptions before changing
        anything.  Message thread. */
    void decode (osc::ReceivedMessageArgumentStream& args) override;

    using Cnode::encode;
    /** Writes the message for `address`: every parameter child in child order. */
    bool encode (osc::OutboundPacketStream& stream, const char* address) const override;

protected:
    static constexpr int maxArguments = 8;

    /** Decodes a message whose arguments are `params` in that order (see decode()). */
    void decodeArguments (Cparam* const* params, int count, osc::ReceivedMessageArgumentStream& args);

    /** Writes a message for `address` whose arguments are `params` in that order; false,
        writing nothing, for a null or empty address. */
    static bool encodeArguments (osc::OutboundPacketStream& stream, const char* address, const Cparam* const* params,
                                 int count);

private:
    int parameterChildren (Cparam** params) const;
};
