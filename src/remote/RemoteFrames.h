#pragma once

// The state frames the program sends to every phone, one JSON object each, built from plain
// values the program fills in on its message thread.  Each kind replaces the last of its kind
// on the phone, so a phone that misses one (it read too slowly) loses nothing once the next
// one arrives.

#include <array>
#include <cstddef>
#include <string>
#include <vector>

namespace remote
{
    /** The kinds of state frame; a phone keeps the newest of each. */
    enum class FrameKind
    {
        device,
        panel,
        peqA,
        peqB,
        slots,
        history,
        meters
    };
    constexpr std::size_t frameKindCount = 7;

    /** The amplifier in use: {"t":"device","connected":..,"name":..,"model":..,"zr":..}. */
    struct DeviceState
    {
        bool connected = false;
        std::string name;    // the amplifier's own name
        std::string model;   // "ZR440" .. "TARVO-8", "-" for none
        bool zrFamily = false;
    };

    /** The panel's gain controls: {"t":"panel","shown":..,"gain":[a,b],"mute":[a,b],"link":..}.
        `shown` is false where the panel hides them (no amplifier, or not the ZR family). */
    struct PanelState
    {
        bool shown = false;
        std::array<double, 2> gainDb { -60.0, -60.0 };
        std::array<bool, 2> mute {};
        bool link = false;
    };

    /** The meters as the panel shows them (dB, -60 at the floor) and the four lamps:
        {"t":"meters","n":..,"in":[a,b],"out":[a,b],"clip":[a,b],"limit":[a,b]}; "n" counts
        the frames. */
    struct MeterState
    {
        std::array<double, 2> inputDb { -60.0, -60.0 };
        std::array<double, 2> outputDb { -60.0, -60.0 };
        std::array<bool, 2> inputClip {};
        std::array<bool, 2> outputLimit {};
    };

    /** One Parametric EQ band as its desktop column shows it. */
    struct BandState
    {
        bool on = false;   // the band's button ("OFF" in the tree when off)
        int type = 1;      // what its list shows, 1 "PEQ" .. 5 "HS12"
        double freqHz = 1000.0;
        int freqStep = 0;           // the frequency knob, 0..600
        std::string freqText;       // "1k00"
        double gainDb = 0.0;        // the gain knob
        int qualStep = 0;           // the quality knob, 0..100
        std::string qualText;       // "1.41"
        bool qualityShown = true;   // only "PEQ" has a quality
    };

    /** One channel's tab of the Parametric EQ page and its curve:
        {"t":"peq","ch":..,"name":"Channel A+B","shown":..,"bypass":..,"bands":[..],"curve":[..]}.
        The curve is the desktop graph's: dB at evenly spaced points of a logarithmic axis
        from 20 Hz to 20 kHz, as the program's response model computes them. */
    struct PeqChannelState
    {
        int channel = 0;
        std::string name;    // the tab's name: "Channel A", "Channel A+B", "Channel B"
        bool shown = true;   // false while channel B follows A
        bool bypassed = false;
        std::array<BandState, 8> bands {};
        std::vector<float> curveDb;
    };

    /** The amplifier's 20 preset slots: {"t":"slots","slots":[{"n":1,"name":..,"mode":..},..]}. */
    struct SlotState
    {
        std::string name;
        std::string mode;   // "DUAL" .. "BRIDGE", "-MODE-"
    };

    /** Undo, redo and A/B as the panel's buttons show them:
        {"t":"history","undo":..,"redo":..,"undoTip":..,"redoTip":..,"undoMode":..,
        "redoMode":..,"memory":"A","compare":..,"compareTip":..,"compareMode":..,"copy":..,
        "copyTip":..}.  A "...Mode" is true when that action changes the amplifier mode, so
        the page asks first. */
    struct HistoryState
    {
        bool canUndo = false;
        bool canRedo = false;
        std::string undoTip { "Undo" };   // the button's tooltip: "Undo: " and the step's name
        std::string redoTip { "Redo" };
        bool undoChangesMode = false;
        bool redoChangesMode = false;
        char memory = 'A';   // the memory in use, lit on "A/B"
        bool canCompare = true;
        std::string compareTip;
        bool compareChangesMode = false;
        bool canCopy = true;
        std::string copyTip;   // "Copy A onto B"
    };

    std::string deviceFrame (const DeviceState& state);
    std::string panelFrame (const PanelState& state);
    std::string meterFrame (const MeterState& state, unsigned long long number);
    std::string peqFrame (const PeqChannelState& state);
    std::string slotFrame (const std::vector<SlotState>& slots);
    std::string historyFrame (const HistoryState& state);
}
