#pragma once

// What a graph handle (filter_drag) needs of the page it belongs to.  A handle edits its
// filter's parameter block directly and then calls the page to send the block and redraw;
// each page (or channel tab) implements the interface of its graph kind.  The handle is
// given its page as a juce::Component and finds the interface with dynamic_cast, so a page
// implements it alongside its other bases.  Message thread only.

#include <juce_events/juce_events.h>

class Cpeq;
class Cxover;

/** A Parametric EQ channel tab as its graph's handles (kind 0) see it: CPeqTab. */
class PeqHandleTab
{
public:
    virtual ~PeqHandleTab() = default;

    /** The tab's band `band` (0..7); null for any other index. */
    virtual Cpeq* handleBand (int band) = 0;

    /** Refreshes the tab's controls from `block` (one of its bands), sending nothing.  The
        same call a change message from the tree makes. */
    virtual void changeListenerCallback (juce::ChangeBroadcaster* block) = 0;

    /** Sends band `band`, recomputes its filter, repaints the graph and updates the
        channel's indicators. */
    virtual void bandEdited (int band) = 0;
};

/** The Parametric EQ page (CPeqPage), owner of the kind 0 graph and its handles. */
class PeqHandleOwner
{
public:
    virtual ~PeqHandleOwner() = default;

    /** The tab of channel `channel` (0 A, 1 B); the handles edit the tab of
        globals::peqVisibleChannel. */
    virtual PeqHandleTab* peqTab (int channel) = 0;
};

/** The Filter/Crossover page (CXoverPage), owner of the kind 1 graph: its four crossover
    filters, one handle each. */
class XoverHandleOwner
{
public:
    virtual ~XoverHandleOwner() = default;

    /** The `Cxover` block at filter slot `slot` (0..3); null for any other slot. */
    virtual Cxover* crossoverBlock (int slot) = 0;

    /** Refreshes the page's controls from `block`, sending nothing. */
    virtual void changeListenerCallback (juce::ChangeBroadcaster* block) = 0;

    /** True while the page links the crossover filters in pairs (bi-amping). */
    virtual bool crossoverLinked() const = 0;

    /** Gives the partner of the filter at `slot` the values its link requires. */
    virtual void linkCrossoverPartner (int slot) = 0;

    /** Sends the filter at `slot`, recomputes it, moves and selects its handle, repaints. */
    virtual void commitFilter (int slot) = 0;

    /** True while an amplifier is connected: the page then refreshes from its answer rather
        than from the handle's edit. */
    virtual bool hubOnline() const = 0;
};

/** A Dynamic EQ channel tab as its graphs' handles (kind 2) see it: CDeqTab. */
class DeqHandleTab
{
public:
    virtual ~DeqHandleTab() = default;

    /** What a handle changes: the band's filter frequency (by `delta` logarithmic steps), its
        make-up gain (by `delta` pixels of vertical movement, downward positive) or its filter
        quality (by `delta` steps, +1 or -1). */
    enum What
    {
        frequency = 1,
        gain = 2,
        quality = 3
    };

    /** Applies the handle's edit to band `band` (0, 1), then sends and redraws as for any
        edit of the tab.  `what` is one of What. */
    virtual void handleEdit (int what, int band, int delta) = 0;
};

/** The Dynamic EQ page (CDeqPage), owner of the two kind 2 graphs and their handles. */
class DeqHandleOwner
{
public:
    virtual ~DeqHandleOwner() = default;

    /** The tab of channel `channel` (0 A, 1 B); the handles edit the tab of
        globals::deqVisibleChannel. */
    virtual DeqHandleTab* deqTab (int channel) = 0;
};
