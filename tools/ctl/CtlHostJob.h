#pragma once

#include "CtlLink.h"
#include "CtlOptions.h"
#include "CtlReport.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

/** One amplifier's part of a zr-ctl call: the command as a chain of steps, each started
    and then waited for without blocking, so that one message loop serves many amplifiers
    at once.  Every wait has its own time-out; a lost connection ends the job at once.
    The job writes its own result of the report.  Message thread.
*/
class CtlHostJob
{
public:
    /** What every job of one call shares. */
    struct Call
    {
        const CtlOptions& options;
        CtlLink& link;
        /** The preset text a push sends (read once for all amplifiers). */
        const std::string& pushText;
        /** The hosts of the call: several mean one file each for a pull. */
        std::size_t hostCount;
    };

    CtlHostJob (const Call& call, std::string host, std::uint32_t address, CtlReport::Result& result);
    ~CtlHostJob();

    /** Starts or advances the job as far as it can go now; true once it is finished. */
    bool poll();

    bool isFinished() const { return finished; }

private:
    struct Step
    {
        std::function<bool()> begin;   // false: the job failed (and said why)
        std::function<bool()> done;    // polled until true
        int waitMs = 0;
        std::function<std::string()> late;   // the failure when waitMs passes first
    };

    void planFor (CtlOptions::Command command);
    /** Asks for "/info"; `thenOnline`: also builds the session, for a later online step. */
    void addInfoStep (bool thenOnline);
    void addOnlineStep();
    void addAnswersStep (std::function<bool()> begin);
    /** A step that is done once begun. */
    void addInstantStep (std::function<bool()> instantStep);
    /** Online, then `send` and the wait for every answer, then `report`. */
    void addExchange (std::function<bool()> send, std::function<void()> report);
    void addStep (std::function<bool()> begin, std::function<bool()> done, int waitMs,
                  std::function<std::string()> late);
    void openSession();
    void finish();
    bool fail (const std::string& why);

    bool reportInfo();
    bool pull();
    bool applyPresetAndSend();
    bool setBlock();
    void confirmSent();
    void reportMeters();
    void reportSlots();

    std::string pullFile() const;
    Cnode* blockToSet();

    const Call call;
    const std::string host;
    const std::uint32_t address;
    CtlReport::Result& result;

    std::unique_ptr<CtlSession> session;
    std::vector<Step> steps;
    std::size_t current = 0;
    bool begun = false;
    bool finished = false;
    juce::uint32 deadline = 0;

    CtlLink::Device device;
    std::map<std::string, std::string> sent;
    int blocksSent = 0;
};
