#pragma once

#include <juce_core/juce_core.h>
#include <string>
#include <vector>

/** Names of edit steps in the words of the panel and its pages, as the Undo and Redo
    buttons' tooltips show them: "Parametric EQ A, band 5 gain", "Amp-mode Stereo". */
namespace StepNames
{
    /** One part of a step: its address and its lines before and after. */
    struct Change
    {
        std::string address;
        std::string before;
        std::string after;
    };

    /** The name of a step that made these changes (in tree order).  A mode change is named
        by the mode it chose; channel B following A is named as A's edit; one block by its
        page, channel, element and the value that changed; more by their number. */
    juce::String describe (const std::vector<Change>& changes);

    /** One block's change. */
    juce::String describe (const Change& change);

    /** "Dual Mono" .. "Bridge" for a mode label ("DUAL" .. "BRIDGE"), as the mode buttons
        read; the label itself when it is none of them. */
    juce::String modeName (const std::string& label);

    /** The values of a line (the words after its address and its type tags). */
    std::vector<std::string> valuesOf (const std::string& line);
}
