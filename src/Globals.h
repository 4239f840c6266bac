#pragma once

// Every program-wide instance, in one place.  Each is set once by its creator (see the
// comments) and cleared again by its destructor; tests swap them with ScopedGlobal.
// Nothing else in the program is global: the pages get what they use from the panel
// when they are built (docs/pages.md), not from here.

#include <array>
#include <cstdint>
#include <string>

class BlockWatch;
class Croot;
class Cnode;
class Ciospeaker;
class Ciosiggen;
class EditObserver;
class PacketSink;
class SettingsStore;
namespace osc
{
    class OscCom;
}

/** One display filter of a response graph: a second-order section H(z) = (b0 + b1 z^-1 +
    b2 z^-2) / (1 + a1 z^-1 + a2 z^-2) at 96 kHz, and the frequency in Hz it was made for. */
struct DisplayFilter
{
    float b0, b1, b2, a1, a2;
    float freq;
};

/** The display filters of both channels' eight Parametric EQ bands, flat to begin with. */
using PeqFilterTable = std::array<std::array<DisplayFilter, 8>, 2>;
/** The display filters of both channels' two Dynamic EQ bands, zero (no response) to begin with. */
using DeqFilterTable = std::array<std::array<DisplayFilter, 2>, 2>;
/** Each Dynamic EQ band's linear gain at the six input levels -50, -40 .. 0 dB. */
using DeqLevelGainTable = std::array<std::array<std::array<float, 6>, 2>, 2>;

constexpr PeqFilterTable flatPeqFilterTable()
{
    PeqFilterTable table {};
    for (auto& channel : table)
        for (auto& band : channel)
            band.b0 = 1.0f;
    return table;
}

/** The signal-chain blocks whose activity the Configuration page's picture shows. */
enum class ChainBlock
{
    peq,
    deq,
    crossover,
    delay,
    limiter
};

/** Whether each block of each channel (0 A, 1 B) currently changes the signal: the page that
    edits a block writes its flag, the Configuration page draws them all.  Message thread only. */
class BlockActivity
{
public:
    bool get (ChainBlock block, int channel) const { return flags[static_cast<int> (block)][channel != 0]; }
    void set (ChainBlock block, int channel, bool active) { flags[static_cast<int> (block)][channel != 0] = active; }

private:
    bool flags[5][2] {};
};

namespace globals
{
    /** The shared root cell: the parameter tree, built by MainWindow before anything reads it. */
    inline Croot* root = nullptr;

    /** Where blocks hand their finished messages (the hub while it exists); null frees them. */
    inline PacketSink* packetSink = nullptr;

    /** Told of every block the amplifier's values were decoded into (BlockWatch.h); the
        panel's edit history while it exists, else null. */
    inline BlockWatch* blockWatch = nullptr;

    inline osc::OscCom* hub = nullptr;      // created by the panel, after the pages
    inline Ciospeaker* speaker = nullptr;   // owned by the Configuration page
    inline Ciosiggen* siggen = nullptr;     // owned by the Utility page

    /** Hears every settings edit the user makes, once sent (EditPath.h); null: nobody. */
    inline EditObserver* editObserver = nullptr;

    /** The settings file with the recent preset files, created by the application object
        before the window; without one the preset document keeps no list. */
    inline SettingsStore* settings = nullptr;

    /** Which blocks change the signal (see BlockActivity). */
    inline BlockActivity blockActive;

    /** The Parametric EQ band or crossover filter edited last: every response graph draws
        the handle in that position, if it has one, in front.  Each graph sets it to 0 when
        it is built.  UI state: only the pages and their graphs write it. */
    inline std::int32_t selectedHandle = 0;

    /** The channel (0 A, 1 B) the Parametric EQ and Dynamic EQ pages show; the response
        functions read it.  UI state: only those pages write it. */
    inline int peqVisibleChannel = 0;
    inline int deqVisibleChannel = 0;

    /** The filters the response graphs draw (FilterResponse.h): written when a page
        recomputes a band, read on every paint.  Message thread only. */
    inline PeqFilterTable peqFilterTable = flatPeqFilterTable();
    inline DeqFilterTable deqFilterTable {};
    inline DeqLevelGainTable deqLevelGain {};
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
