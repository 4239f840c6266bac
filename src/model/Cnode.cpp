#include "Cnode.h"
#include "NumberText.h"
#include "PacketSink.h"

#include <cstring>

Cnode::Cnode (const char* fixedName, std::uint32_t kind, std::int32_t id)
    : next (this),
      firstChild (this),
      kind (kind),
      id (id),
      name (fixedName != nullptr ? fixedName : "")
{
}

Cnode::Cnode (int numberName, std::uint32_t kind, std::int32_t id)
    : next (this),
      firstChild (this),
      kind (kind),
      id (id)
{
    char text[16];
    formatText (text, sizeof (text), "%d", numberName);
    ownedName = text;
    name = ownedName.c_str();
}

Cnode::~Cnode()
{
    auto* child = firstChild;
    while (child != this)
    {
        auto* following = child->next;
        delete child;
        child = following;
    }
}

void Cnode::appendChild (Cnode* child)
{
    if (child == nullptr)
        return;

    if (firstChild == this)
    {
        firstChild = child;
    }
    else
    {
        auto* last = firstChild;
        while (last->next != this)
            last = last->next;
        last->next = child;
    }

    child->next = this;
    child->parent = this;
}

void Cnode::forEachChild (const std::function<void (Cnode&)>& fn) const
{
    for (auto* child = firstChild; child != this; child = child->next)
        fn (*child);
}

void Cnode::notifyTree()
{
    for (auto* child = firstChild; child != this; child = child->next)
        if (! child->isParameter())
            child->notifyTree();
}

void Cnode::decode (osc::ReceivedMessageArgumentStream&) {}

void Cnode::send (const char* address)
{
    bool encoded = false;
    auto packet = buildPacket ([&] (osc::OutboundPacketStream& s) { encoded = encode (s, address); });
    if (packet != nullptr && encoded)
        sendPacket (std::move (packet));
}

bool Cnode::encode (osc::OutboundPacketStream&, const char*) const
{
    return false;
}

int Cnode::fromText (const char* text)
{
    const char* p = text != nullptr ? text : "";

    for (auto* child = firstChild; child != this; child = child->next)
    {
        if (! child->isParameter())
            continue;

        while (*p == ' ')
            ++p;

        const int used = child->fromText (p);
        if (used < 1)
            return -1;

        p += used;
        sendChangeMessage();

        if (*p != ' ')
            return 0;
        ++p;
    }

    return 0;
}

int Cnode::toText (char* buffer, int capacity)
{
    if (buffer == nullptr || capacity < 1)
        return 0;

    int length = 0;
    buffer[0] = '\0';

    for (auto* child = firstChild; child != this; child = child->next)
    {
        if (! child->isParameter())
            continue;

        // Room for the space, at least one character and the NUL.
        if (capacity - length < 3)
            break;

        buffer[length++] = ' ';
        buffer[length] = '\0';

        const int written = child->toText (buffer + length, capacity - length);
        if (written < 1)
            break;
        length += written;
    }

    return 0;
}

void assignAddresses (Cnode& node)
{
    for (auto* child = node.firstChild; child != &node; child = child->next)
    {
        child->ownedAddress.assign (node.address);
        child->ownedAddress.append ("/");
        child->ownedAddress.append (child->name);
        child->address = child->ownedAddress.c_str();
        child->addressLength = (std::int32_t) child->ownedAddress.size();
        assignAddresses (*child);
    }
}

namespace
{
    bool isLetterOrDigit (char c) noexcept
    {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
    }

    Cnode* childStartingWith (Cnode* node, const char* segment, int length)
    {
        for (auto* child = node->firstChild; child != node; child = child->next)
            if (std::strncmp (child->name, segment, (std::size_t) length) == 0)
                return child;

        return nullptr;
    }
}

Cnode* findNode (Cnode* start, const char* text, int length)
{
    if (start == nullptr || text == nullptr)
        return nullptr;

    auto* current = start;

    for (;;)
    {
        if (length <= 0)
            return nullptr;

        int segment = 0;
        while (segment < length && isLetterOrDigit (text[segment]))
            ++segment;

        if (segment == 0)
            return nullptr;

        auto* found = childStartingWith (current, text, segment);
        if (found == nullptr)
            return nullptr;

        if (segment == length || text[segment] != '/')
            return found;

        current = found;
        text += segment + 1;
        length -= segment + 1;
    }
}

void forEachLeaf (Cnode* start, const std::function<void (Cnode*)>& fn)
{
    if (start == nullptr)
        return;

    for (auto* child = start->firstChild; child != start; child = child->next)
    {
        if (child->isParameter())
        {
            fn (start);
            return;
        }
        forEachLeaf (child, fn);
    }
}

std::string typeTags (const Cnode* block)
{
    std::string tags;
    if (block == nullptr)
        return tags;

    for (auto* child = block->firstChild; child != block; child = child->next)
    {
        switch (child->kind)
        {
            case NodeKind::intParam: tags += 'i'; break;
            case NodeKind::enumParam: tags += 's'; break;
            case NodeKind::linearParam:
            case NodeKind::logParam: tags += 'f'; break;
            default: break;
        }
    }
    return tags;
}
