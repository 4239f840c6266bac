#pragma once

#include "HistoryButton.h"

/** The "A/B" button: shows both memories' letters, the one in use lit. */
class CompareButton : public HistoryButton
{
public:
    CompareButton();

    /** 'A' or 'B'. */
    void showMemoryInUse (char memory);
    char getMemoryShown() const noexcept { return inUse; }

    void paintButton (juce::Graphics& g, bool highlighted, bool down) override;

private:
    char inUse = 'A';
};
