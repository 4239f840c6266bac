#pragma once

#include "PanelOperations.h"
#include <array>

/** Records what the hub shows on the main panel. */
class FakePanel : public osc::PanelOperations
{
public:
    void setGainsFromDevice (float a, float b, bool muteA, bool muteB) override
    {
        gains = { a, b };
        mutes = { muteA, muteB };
        ++gainCalls;
    }

    void setMeters (float inA, float inB, float outA, float outB) override
    {
        meters = { inA, inB, outA, outB };
        ++meterCalls;
    }

    void setClipLeds (bool inA, bool inB, bool outA, bool outB) override
    {
        leds = { inA, inB, outA, outB };
        ++ledCalls;
    }

    std::array<float, 2> gains {};
    std::array<bool, 2> mutes {};
    std::array<float, 4> meters { -1.0f, -1.0f, -1.0f, -1.0f };
    std::array<bool, 4> leds {};
    int gainCalls = 0;
    int meterCalls = 0;
    int ledCalls = 0;
};
