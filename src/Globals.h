#pragma once

// Every program-wide instance, in one place.  Each is set once by its creator (see the
// comments) and cleared again by its destructor; tests swap them with ScopedGlobal.
// Nothing else in the program is global: the pages get what they use from the panel
// when they are built (docs/pages.md), not from here.

#include <string>

class Croot;
class Cnode;
class Ciospeaker;
class Ciosiggen;
class PacketSink;
class SettingsStore;
namespace osc
{
    class OscCom;
}

namespace globals
{
    /** The shared root cell: the parameter tree, built by MainWindow before anything reads it. */
    inline Croot* root = nullptr;

    /** Where blocks hand their finished messages (the hub while it exists); null frees them. */
    inline PacketSink* packetSink = nullptr;

    inline osc::OscCom* hub = nullptr;      // created by the panel, after the pages
    inline Ciospeaker* speaker = nullptr;   // owned by the Configuration page
    inline Ciosiggen* siggen = nullptr;     // owned by the Utility page

    /** The settings file with the recent preset files, created by the application object
        before the window; without one the preset document keeps no list. */
    inline SettingsStore* settings = nullptr;
}

/** Sets a global for the lifetime of a scope and puts the old value back (tests, and creators). */
template <typename T>
class ScopedGlobal
{
public:
    ScopedGlobal (T& cell, T value)
        : cell (cell),
          previous (cell)
    {
        cell = value;
    }
    ~ScopedGlobal() { cell = previous; }
    ScopedGlobal (const ScopedGlobal&) = delete;
    ScopedGlobal& operator= (const ScopedGlobal&) = delete;

private:
    T& cell;
    T previous;
};
