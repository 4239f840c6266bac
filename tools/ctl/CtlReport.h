#pragma once

#include <juce_core/juce_core.h>
#include <deque>
#include <ostream>
#include <string>
#include <vector>

/** What zr-ctl tells its caller: one result per amplifier (or per device found), as text
    lines or as one JSON document, and the exit status that sums them up.

    Results keep the order in which they were begun (the order the hosts were given),
    whatever order they are filled in: several amplifiers are served at once.

    Text: every line starts with the amplifier it is about, so several hosts in one call
    can be told apart; a failure reads "HOST  FAILED: why".  JSON: {"command": ...,
    "ok": true|false, "results": [{"host": ..., "ok": ..., "error": ..., ...}]}.
*/
class CtlReport
{
public:
    /** The result for one amplifier. */
    class Result
    {
    public:
        explicit Result (std::string host);

        /** A line of text, and the same as an entry of the JSON list `listName` (an
            object of the given properties). */
        void item (const std::string& text, const std::string& listName, const juce::var& entry);

        /** A property of the JSON object. */
        void property (const std::string& name, const juce::var& value);

        /** The amplifier failed: `why` in plain words. */
        void fail (const std::string& why);

        /** A value that did not arrive as written (push, set): a finding, which makes the
            result unconfirmed. */
        void finding (const std::string& address, const std::string& what);

        bool isOk() const { return ok; }
        const std::string& host() const { return name; }

    private:
        friend class CtlReport;
        std::string name;
        bool ok = true;
        std::string error;
        std::vector<std::string> lines;
        juce::DynamicObject::Ptr json { new juce::DynamicObject() };
    };

    CtlReport (std::string commandName, bool json);

    /** Adds the result for `host` at the end and makes it the current one; the reference
        stays valid as long as the report. */
    Result& begin (const std::string& host);

    /** The current result's item(), property(), fail() and finding(). */
    void item (const std::string& text, const std::string& listName, const juce::var& entry);
    void property (const std::string& name, const juce::var& value);
    void fail (const std::string& why);
    void finding (const std::string& address, const std::string& what);

    /** Writes everything to `out`. */
    void write (std::ostream& out) const;

    /** 0 when every result is confirmed, 1 otherwise. */
    int exitStatus() const;

private:
    Result& current();

    const std::string command;
    const bool asJson;
    std::deque<Result> results;
};
