#include "HeadlessModel.h"

#include <cstring>

HeadlessModel::HeadlessModel()
{
    assignAddresses (root);
}

Cnode* HeadlessModel::find (const char* path)
{
    return findNode (&root, path, (int) std::strlen (path));
}

Cnode* HeadlessModel::nodeFor (const char* address)
{
    if (std::strcmp (address, "/speaker") == 0)
        return &speaker;
    if (std::strcmp (address, "/siggen") == 0)
        return &siggen;
    return address[0] == '/' ? find (address + 1) : nullptr;
}

std::vector<Cnode*> HeadlessModel::blocks()
{
    std::vector<Cnode*> list;
    forEachLeaf (&root, [&list] (Cnode* block) { list.push_back (block); });
    list.push_back (&siggen);
    list.push_back (&speaker);
    return list;
}
