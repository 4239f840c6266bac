#pragma once

// The display model behind the response graphs: the amplifier does the signal processing,
// the program only draws it.  Each band is turned into one second-order section at 96 kHz
// when it changes (the compute operations), and the graphs' response functions evaluate the
// stored sections at every pixel column.  Single-precision rounding happens where the
// amplifier's own display model rounds, so the curves match it to the pixel.
//
// The tables live in Globals.h (peqFilterTable, deqFilterTable, deqLevelGain).  The model
// computes and reads them; which handle is selected and which channel a graph shows is for
// the pages to decide (globals::selectedHandle, peqVisibleChannel, deqVisibleChannel): the
// compute operations never write them.  Everything here runs on the message thread; nothing
// of it is sent to the amplifier.

#include "Globals.h"

namespace FilterResponse
{
    /** The fixed sample rate of the display filters. */
    constexpr float sampleRate = 96000.0f;

    /** The Dynamic EQ graphs' input levels, index 0 .. 5, in dB and as amplitudes. */
    constexpr int levelCount = 6;
    extern const float deqLevelDb[levelCount];
    extern const float deqLevels[levelCount];

    /** The second-order section of a Parametric EQ band: `type` the band's "type" step (0 "OFF",
        1 "PEQ", 2 "LS6", 3 "LS12", 4 "HS6", 5 "HS12"; any other is treated as "OFF"), `freq` in
        Hz, `gainDb` in dB, `quality` the band's Q.  `freq` is stored with the section. */
    DisplayFilter peqSection (int type, float freq, float gainDb, float quality);

    /** The section of a Dynamic EQ band's filter: `type` its "type" step (0 "OFF", 1 "BP",
        2 "LP6", 3 "LP12", 4 "HP6", 5 "HP12"; any other is "OFF"), `makeupGainDb` the
        compressor's mgain (it narrows the band-pass of a boost). */
    DisplayFilter deqSection (int type, float freq, float quality, float makeupGainDb);

    /** The band's linear gain at the six input levels for mgain, thres (dB) and ratio. */
    std::array<float, levelCount> deqLevelGains (float makeupGainDb, float thresholdDb, float ratio);

    /** |H(e^jw)|^2 of `filter` at `freq` Hz. */
    float biquadPowerGain (const DisplayFilter& filter, float freq);
}

/** Recomputes band `band` (0..7) of channel `channel` (0, 1) into peqFilterTable.  The caller
    moves the graph's handle to `freq` and selects it.  Indices out of range change nothing. */
void computePeqFilter (int channel, int band, int type, float freq, float gainDb, float quality);

/** The Parametric EQ graph's response at `freq` Hz for the channel peqVisibleChannel: twice the
    level in dB (20 log10 of the product of the eight bands' power gains).  `curve` is ignored. */
float peqResponse (int curve, float freq);

/** The same for channel `channel` (0, 1) whichever is visible: what the phone remote draws. */
float peqChannelResponse (int channel, float freq);

/** Recomputes Dynamic EQ band `band` (0, 1) of channel `channel` (0, 1): its filter section
    and frequency into deqFilterTable and its six level gains into deqLevelGain.  The caller
    moves the band's graph handle to `freq` when `channel` is the one shown.  Indices out of
    range change nothing. */
void computeDeqFilter (int channel, int band, int type, float freq, float quality, float makeupGainDb,
                       float thresholdDb, float ratio);

/** The output level in dB of the first (second) Dynamic EQ band of deqVisibleChannel for an input
    at level `curve` (0 .. 5: -50 .. 0 dB) at `freq` Hz; a level index out of range reads as 0 dB. */
float deqResponseBand1 (int curve, float freq);
float deqResponseBand2 (int curve, float freq);
