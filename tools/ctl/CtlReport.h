#pragma once

#include <juce_core/juce_core.h>
#include <ostream>
#include <string>
#include <vector>

/** What zr-ctl tells its caller: one result per amplifier (or per device found), as text
    lines or as one JSON document, and the exit status that sums them up.

    Text: every line starts with the amplifier it is about, so several hosts in one call
    can be told apart; a failure reads "HOST  FAILED: why".  JSON: {"command": ...,
    "ok": true|false, "results": [{"host": ..., "ok": ..., "error": ..., ...}]}.
*/
class CtlReport
{
public:
    CtlReport (std::string commandName, bool json);

    /** Starts the result for `host`; later calls add to it. */
    void begin (const std::string& host);

    /** A line of text for the current result, and the same as an entry of its JSON list
        `listName` (an object of the given properties). */
    void item (const std::string& text, const std::string& listName, const juce::var& entry);

    /** A property of the current result's JSON object. */
    void property (const std::string& name, const juce::var& value);

    /** The current result failed: `why` in plain words. */
    void fail (const std::string& why);

    /** A value that did not arrive as written (push, set): a finding, which makes the
        result unconfirmed. */
    void finding (const std::string& address, const std::string& what);

    /** Writes everything to `out`. */
    void write (std::ostream& out) const;

    /** 0 when every result is confirmed, 1 otherwise. */
    int exitStatus() const;

private:
    struct Result
    {
        std::string host;
        bool ok = true;
        std::string error;
        std::vector<std::string> lines;
        juce::DynamicObject::Ptr json { new juce::DynamicObject() };
    };

    Result& current();

    const std::string command;
    const bool asJson;
    std::vector<Result> results;
};
