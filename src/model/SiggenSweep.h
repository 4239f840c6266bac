#pragma once

#include "Ciosiggen.h"
#include <juce_core/juce_core.h>
#include <atomic>

/** The signal generator's frequency sweep: the thread "scan".

    While the sweep runs, its thread steps the generator's frequency every tick (50 ms) by
    trunc (30 / rate) whole steps, where the rate is the block's "scan" (5 .. 30: one way over
    the 600 steps takes 5 s at rate 5 and 30 s from rate 16 on).  Going up it turns at step
    599, going down at step 0; the direction is kept from one sweep to the next.  After each
    step the block is sent as "/siggen".  The sweep moves no widget: the Utility page shows
    the frequency again when the amplifier's answers come back.

    The sweep keeps its own position.  An amplifier slower than the tick answers with
    frequencies the sweep has already left; they are decoded into the block (and shown), but
    the next tick goes on from where the sweep is, so it never steps back.  It starts from
    the block's frequency, and moveTo() sets it when the user picks a frequency meanwhile.

    Threads: setSweeping() and the destructor run on the message thread; tick() runs on the
    sweep thread (tests call it directly).  What both threads touch is safe to share: the
    block's steps are single words read and written atomically (Cparam), `sweeping` and the
    direction are atomics here, and sending goes through the packet sink, which takes the
    hub's queue lock.
*/
class SiggenSweep : private juce::Thread
{
public:
    /** Paces the sweep thread between ticks.  The program waits on the real clock; tests
        pass their own, so that no test depends on how long anything takes. */
    class Pacer
    {
    public:
        virtual ~Pacer() = default;
        /** Blocks the sweep thread until the next tick is due, or until wake(). */
        virtual void waitForTick() = 0;
        /** Makes a waiting (or the next) waitForTick() return at once. */
        virtual void wake() = 0;
        /** Forgets a wake() that no waitForTick() took (before a sweep starts again). */
        virtual void reset() = 0;
    };

    static constexpr int tickMs = 50;
    static constexpr int lowestRate = 5;
    static constexpr int highestRate = 30;
    /** The highest step the sweep reaches before it turns down again. */
    static constexpr int topStep = 599;

    /** A stopped sweep of `generator` (which must outlive it), paced by `pacer` (null: every
        tickMs of the real clock; otherwise it must outlive the sweep). */
    explicit SiggenSweep (Ciosiggen& generator, Pacer* pacer = nullptr);

    /** Stops the thread (setSweeping (false)). */
    ~SiggenSweep() override;

    /** Turning on: the sweep is wanted from now on, and its thread starts when the sine is
        playing (input 1) and the thread is not running yet; with the generator off or on
        noise nothing runs.  Turning off: the thread ends after at most the tick it is in,
        and is joined before this returns.  Message thread. */
    void setSweeping (bool on);

    /** Whether the sweep is wanted (the page's "Sweep" button). */
    bool isSweeping() const noexcept { return sweeping.load(); }

    /** Whether the sweep thread is running. */
    bool isRunning() const { return isThreadRunning(); }

    /** The direction of the next tick: true while going down. */
    bool isSweepingDown() const noexcept { return sweepDown.load(); }
    void setSweepingDown (bool down) noexcept { sweepDown.store (down); }

    /** The next tick goes on from frequency step `step`: one the user chose while the sweep
        runs.  Message thread. */
    void moveTo (int step) noexcept;

    /** One step of the sweep and its "/siggen" message. */
    void tick();

    /** Whole frequency steps per tick for `rate`; a rate outside 5 .. 30 counts as the end
        of the range it lies beyond. */
    static int stepsPerTick (int rate) noexcept;

private:
    void run() override;

    class ClockPacer : public Pacer
    {
    public:
        void waitForTick() override { event.wait (tickMs); }
        void wake() override { event.signal(); }
        void reset() override { event.reset(); }

    private:
        juce::WaitableEvent event;
    };

    static constexpr int noRequest = -1;

    int takeStartingStep() noexcept;

    Ciosiggen& generator;
    ClockPacer clockPacer;
    Pacer& pacer;
    std::atomic<bool> sweeping { false };
    std::atomic<bool> sweepDown { false };          // the first sweep goes up
    std::atomic<int> position;                      // the step of the last tick
    std::atomic<int> requestedStep { noRequest };   // where the next tick starts instead

    JUCE_DECLARE_NON_COPYABLE (SiggenSweep)
};
