#pragma once

#include "CtlHostJob.h"
#include "CtlLink.h"
#include "CtlOptions.h"
#include "CtlReport.h"

#include <optional>

/** Runs one zr-ctl call: the command for every amplifier at once (at most
    CtlOptions::parallel at a time), each a CtlHostJob over one CtlLink, and the report,
    in the order the hosts were given.  Message thread (the caller's). */
class CtlRunner
{
public:
    /** `hubOptions` are the link's (tests pass their own port). */
    CtlRunner (const CtlOptions& options, osc::HubOptions hubOptions = {});

    /** Runs the command, writes the report to `out` and returns the exit status: 0 all
        confirmed, 1 a failure (the report says which host and why). */
    int run (std::ostream& out);

    /** False, with the reason, when the file a push names cannot be read: a call that is
        not valid, found before any amplifier is asked. */
    static bool canReadInput (const CtlOptions& options, std::string& error);

    /** The most jobs that were running at once in the last run(). */
    int mostAtOnce() const { return busiest; }

private:
    void discover();
    std::vector<std::string> hostsToServe();
    void serve (const std::vector<std::string>& hosts);
    void runJobs (std::vector<std::unique_ptr<CtlHostJob>>& jobs);

    const CtlOptions& options;
    osc::HubOptions hubOptions;
    CtlReport report;
    std::unique_ptr<CtlLink> link;
    int busiest = 0;
};
