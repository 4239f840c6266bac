#pragma once

#include "CtlLink.h"
#include "CtlOptions.h"
#include "CtlReport.h"

#include <optional>

/** Runs one zr-ctl call: the command for each amplifier in turn, over one CtlLink, and
    the report.  Message thread (the caller's). */
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

private:
    void runFor (const std::string& host);
    std::optional<std::uint32_t> addressOf (const std::string& host);
    bool online (std::uint32_t address);

    void discover();
    void info (std::uint32_t address);
    void meters (std::uint32_t address);
    void slots (std::uint32_t address);
    void pull (const std::string& host, std::uint32_t address);
    void push (std::uint32_t address);
    void recall (std::uint32_t address);
    void store (std::uint32_t address);
    void set (std::uint32_t address);
    void confirmSent (const std::map<std::string, std::string>& sent, int blocksSent);

    std::string fileFor (const std::string& host) const;

    const CtlOptions& options;
    osc::HubOptions hubOptions;
    CtlReport report;
    std::unique_ptr<CtlLink> link;
};
