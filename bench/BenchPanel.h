#pragma once

// What the panel benchmarks share: the panel as the main window builds it.

#include "Croot.h"
#include "FakeDialogs.h"
#include "Globals.h"
#include "NoUsbDevices.h"
#include "OscCom.h"
#include "RemoteControl.h"
#include "presetDocument.h"

#include <juce_gui_basics/juce_gui_basics.h>
#include <memory>

/** The main panel with what the main window hands it: the tree (published as the program's),
    the preset document, scripted dialogs, and a hub with an empty USB bus, so that no
    benchmark touches a real device.  The hub opens its UDP socket: benchmarks run in a
    private network namespace.  Message thread only. */
struct BenchPanel
{
    /** `searchAtStart`: whether the hub broadcasts its "/info" search when it is made. */
    explicit BenchPanel (bool searchAtStart = true)
    {
        assignAddresses (root);
        options.makeHidAccess = [] { return std::make_unique<NoUsbDevices>(); };
        options.searchAtStart = searchAtStart;
        panel = std::make_unique<RemoteControl> (window, root, presets, dialogs, options);
    }

    ~BenchPanel() { panel.reset(); }   // before the tree and the dialogs it uses

    juce::Component window;
    Croot root;
    ScopedGlobal<Croot*> rootInstalled { globals::root, &root };
    presetDocument presets;
    FakeDialogs dialogs;
    osc::HubOptions options;
    std::unique_ptr<RemoteControl> panel;
};
