#pragma once

#include "BlockWatch.h"
#include "EditPath.h"
#include <juce_core/juce_core.h>

class SettingsHistory;

/** Tells the edit history what the user edits and what the amplifier answers.

    As the edit observer it hears every edit that ends in EditPath (the pages, a preset file
    sent, the panel's gains); as the block watch it hears every block the amplifier's values
    were decoded into.  Both are installed for its lifetime.  Message thread only.
*/
class EditWatch : public EditObserver, public BlockWatch
{
public:
    explicit EditWatch (SettingsHistory& history);
    ~EditWatch() override;

    void blockEdited (Cblock& block, const char* address, Cblock* follower) override;
    void gainsEdited (float gainA, float gainB, bool muteA, bool muteB) override;
    void blockDecoded (Cnode& block) override;

private:
    SettingsHistory& history;
    EditObserver* const previousObserver;
    BlockWatch* const previousWatch;

    JUCE_DECLARE_NON_COPYABLE (EditWatch)
};
