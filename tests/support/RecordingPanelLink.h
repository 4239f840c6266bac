#pragma once

#include "PanelLink.h"
#include <vector>

/** Stands in for the panel in page tests: keeps every model index and amplifier mode a page
    told it, oldest first. */
class RecordingPanelLink : public PanelLink
{
public:
    void setDeviceLabel (int modelIndex) override { models.push_back (modelIndex); }
    void ampModeApplied (int mode) override { modes.push_back (mode); }

    std::vector<int> models, modes;
};
