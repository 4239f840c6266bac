#include "SiggenSweep.h"

namespace
{
    // Long enough for a tick that is sending to finish; the pacer is woken, so a thread
    // that waits for its next tick ends at once.
    constexpr int joinTimeoutMs = 2000;
}

SiggenSweep::SiggenSweep (Ciosiggen& generatorToSweep, Pacer* pacerToUse)
    : juce::Thread ("scan"),
      generator (generatorToSweep),
      pacer (pacerToUse != nullptr ? *pacerToUse : static_cast<Pacer&> (clockPacer)),
      position (generatorToSweep.freq->getStep())
{
}

SiggenSweep::~SiggenSweep()
{
    setSweeping (false);
}

void SiggenSweep::setSweeping (bool on)
{
    if (on)
    {
        sweeping.store (true);
        if (generator.input->getStep() == 1 && ! isThreadRunning())
        {
            moveTo (generator.freq->getStep());
            pacer.reset();   // a wake-up left from the last stop would cut the first tick short
            startThread();
        }
        return;
    }

    sweeping.store (false);
    if (isThreadRunning())
    {
        signalThreadShouldExit();
        pacer.wake();
        stopThread (joinTimeoutMs);
    }
}

int SiggenSweep::stepsPerTick (int rate) noexcept
{
    // The divisor is always in range: a rate typed as 0 or as something that is no number
    // never reaches the division.
    return highestRate / juce::jlimit (lowestRate, highestRate, rate);
}

void SiggenSweep::moveTo (int step) noexcept
{
    // Above the top the next tick turns at topStep; below 0 would read as no request.
    requestedStep.store (juce::jmax (0, step));
}

int SiggenSweep::takeStartingStep() noexcept
{
    const int requested = requestedStep.exchange (noRequest);
    return requested != noRequest ? requested : position.load();
}

void SiggenSweep::tick()
{
    const int stride = stepsPerTick (generator.scan->getStep());
    int s = takeStartingStep();

    if (sweepDown.load())
    {
        s -= stride;
        if (s < 0)
        {
            s = 0;
            sweepDown.store (false);
        }
    }
    else
    {
        s += stride;
        if (s > topStep)
        {
            s = topStep;
            sweepDown.store (true);
        }
    }

    position.store (s);
    generator.freq->setStep (s);
    generator.send ("/siggen");
}

void SiggenSweep::run()
{
    while (sweeping.load() && ! threadShouldExit())
    {
        tick();
        pacer.waitForTick();
    }
}
