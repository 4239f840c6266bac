#pragma once

// What a phone and the program say to each other over the remote's WebSocket: one JSON
// object per text frame, its kind in "t".
//
// Phone to program (at most Limits::maxFrameBytes each):
//   {"t":"hello","v":1,"k":"<token>"}                 first, within Limits::helloTimeoutMs
//   {"t":"gain","ch":0,"db":-12.5}                     input gain A (ch 0) or B (ch 1), dB
//   {"t":"mute","ch":1,"on":true}
//   {"t":"link","on":true}
//   {"t":"band","ch":0,"b":3,"gain":4.5}               any of "on", "type" (1 PEQ .. 5 HS12),
//                                                      "gain" (dB), "freq", "q" (knob steps)
//   {"t":"bypass","ch":0,"on":true}
//   {"t":"recall","slot":5}
//   {"t":"undo"}  {"t":"redo"}  {"t":"compare"}  {"t":"copy"}
//                                                      as the panel's "Undo", "Redo", "A/B"
//                                                      and "Copy"; "mode":true when the phone's
//                                                      user agreed to the amplifier mode changing
// Kinds to come are new values of "t": a program that does not know one drops it, and a
// page learns what the program offers from the welcome's "can".
//
// Program to phone: {"t":"welcome",...} or {"t":"bye","why":...} (RemoteFrames.h builds
// the state frames: "device", "panel", "meters", "peq", "slots", "history").

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace remote
{
    /** The protocol's version, sent in the welcome. */
    constexpr int protocolVersion = 1;

    /** The bounds the server keeps for every phone. */
    struct Limits
    {
        /** A frame from a phone longer than this closes its connection. */
        std::size_t maxFrameBytes = 4096;
        /** Phones connected at once (with the right token). */
        int maxPhones = 8;
        /** Messages a phone may send in any one second; more are dropped and counted. */
        int messagesPerSecond = 200;
        /** A WebSocket that has not said hello with the right token by then is closed. */
        int helloTimeoutMs = 5000;
        /** An HTTP connection that has not sent a whole request by then is closed. */
        int requestTimeoutMs = 10000;
        /** A frame to a phone that is not taken by then (the phone does not read) closes it. */
        int writeTimeoutMs = 10000;
        /** Open TCP connections of any kind; more are refused. */
        int maxConnections = 64;
    };

    enum class CommandKind
    {
        hello,
        gain,
        mute,
        link,
        band,
        bypass,
        recall,
        undo,
        redo,
        compare,   // the panel's "A/B": the other memory into use
        copy       // the memory in use onto the other
    };

    /** The fields a band command may change; the others are left as they are. */
    struct BandChange
    {
        std::optional<bool> on;
        std::optional<int> type;          // 1 "PEQ" .. 5 "HS12", the desktop's list
        std::optional<double> gain;       // dB
        std::optional<double> freqStep;   // the frequency knob's steps
        std::optional<double> qualStep;   // the quality knob's steps

        bool empty() const { return ! on && ! type && ! gain && ! freqStep && ! qualStep; }
    };

    /** One message from a phone, read and checked for shape: channel 0 or 1, band 1..8,
        slot 1..20, a finite number where a number belongs.  Values are not clamped here:
        the program's controls and parameters do that, as for a desktop edit. */
    struct Command
    {
        CommandKind kind = CommandKind::hello;
        int channel = 0;   // 0 A, 1 B
        int band = 0;      // 1..8
        int slot = 0;      // 1..20
        bool on = false;
        bool modeAgreed = false;   // undo, redo, compare: the amplifier mode may change
        double value = 0.0;        // gain in dB
        BandChange change;
        std::string token;   // hello
        int version = 0;     // hello
    };

    /** The command in `text`, or nothing when it is not one the program knows with fields
        of the right type (unknown fields are ignored). */
    std::optional<Command> parseCommand (std::string_view text);

    /** The hello a page sends: for tests and tools. */
    std::string helloText (const std::string& token);
}
