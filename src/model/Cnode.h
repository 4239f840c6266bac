#pragma once

#include <juce_events/juce_events.h>
#include <oscpack/osc/OscOutboundPacketStream.h>
#include <oscpack/osc/OscReceivedElements.h>
#include <cstdint>
#include <functional>
#include <string>

/** Kind codes of the parameter tree.  Bit 6 marks a parameter. */
namespace NodeKind
{
    enum : std::uint32_t
    {
        root = 0,
        channel = 1,
        peq = 2,
        xover = 3,
        deq = 4,
        delay = 5,
        limiter = 6,
        io = 9,
        speaker = 10,
        intParam = 64,
        enumParam = 65,
        linearParam = 66,
        logParam = 67,
        parameterBit = 64
    };
}

/** Sub-block flags in a node id (dynamic EQ bands). */
namespace NodeId
{
    enum : std::int32_t
    {
        deqComp = 0x10000,
        deqTime = 0x20000,
        deqFilt = 0x40000,
        subBlockMask = 0xF0000
    };

    inline int bandIndex (std::int32_t id)
    {
        return ((id >> 8) & 0xFF) - 1;
    }
    inline int subBlock (std::int32_t id)
    {
        return id & subBlockMask;
    }
}

/** Room for any block's or parameter's text (toText): the longest block line is well under it. */
constexpr int nodeTextCapacity = 256;

/** A node of the parameter tree: a folder, a block (one OSC message) or a parameter.

    Children form a circular singly linked list: firstChild is the node itself when there are
    none, and the last child's next points back to the parent.  A node owns its children.
    Blocks announce changes with sendChangeMessage(); all tree work is on the message thread.
*/
class Cnode : public juce::ChangeBroadcaster
{
public:
    Cnode (const char* fixedName, std::uint32_t kind, std::int32_t id);
    /** A node whose name is a number ("1", "2": channels and bands). */
    Cnode (int numberName, std::uint32_t kind, std::int32_t id);
    ~Cnode() override;

    Cnode (const Cnode&) = delete;
    Cnode& operator= (const Cnode&) = delete;

    Cnode* next;
    Cnode* firstChild;
    Cnode* parent = nullptr;
    std::uint32_t kind;
    std::int32_t id;
    const char* name;
    const char* address = "";
    std::int32_t addressLength = 0;

    bool isParameter() const noexcept { return (kind & NodeKind::parameterBit) != 0; }

    /** Appends a child (owned from now on) at the end of the child list; returns it. */
    template <typename Node>
    Node* append (Node* child)
    {
        appendChild (child);
        return child;
    }
    void appendChild (Cnode* child);

    /** Calls fn for each direct child in order. */
    void forEachChild (const std::function<void (Cnode&)>& fn) const;

    // The six virtual operations, in slot order (the destructor is the first).
    /** Folders and blocks pass it to their non-parameter children, parameters to their parent. */
    virtual void notifyTree();
    /** Reads this block's arguments; raises oscpack's argument exceptions and then changes nothing.
        Folders and parameters ignore it.  Message thread. */
    virtual void decode (osc::ReceivedMessageArgumentStream& args);
    /** Builds this block's message for `address` with encode() in a new packet and hands it
        to sendPacket() (a message that does not fit 64 bytes is dropped).  Folders and
        parameters send nothing. */
    virtual void send (const char* address);
    /** Block: one value per parameter child, separated by spaces; 0 on success, -1 when a
        value cannot be read (the values before it keep their new values).  One change
        message per value read.  A folder reads nothing and returns 0. */
    virtual int fromText (const char* text);
    /** Block: " v1 v2 ..." into buffer (room for `capacity` bytes, NUL included); returns 0. */
    virtual int toText (char* buffer, int capacity);

    /** Writes this block's whole message for `address` into `stream`: the address, the type
        tags and one argument per message parameter, as send() puts it on the wire.  Returns
        false, writing nothing, for folders, parameters and a null or empty address.  Raises
        oscpack's OutOfBufferMemoryException when the stream's buffer is too small (the
        stream is then unusable).  Reads the values only: any thread that may send. */
    virtual bool encode (osc::OutboundPacketStream& stream, const char* address) const;
    /** The same under the block's own address (tree blocks; standalone blocks have none). */
    bool encode (osc::OutboundPacketStream& stream) const { return encode (stream, address); }

private:
    std::string ownedName, ownedAddress;
    friend void assignAddresses (Cnode& node);
};

/** Gives every node below `node` its full address (parent address + "/" + name). */
void assignAddresses (Cnode& node);

/** Resolves a relative path ("channel/2/xover/lp", no leading "/") below `start`; null if none. */
Cnode* findNode (Cnode* start, const char* text, int length);

/** Calls fn (block) for every block below `start`, depth first in child order. */
void forEachLeaf (Cnode* start, const std::function<void (Cnode*)>& fn);

/** The block's OSC type-tag word: one of "i", "s", "f" per parameter child, in order. */
std::string typeTags (const Cnode* block);
