#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

class RemoteBridge;

/** The small window the panel's "Remote" button opens (RemoteWindowContent inside).
    Closing it only hides it: the remote goes on as it was.  Message thread only. */
class RemoteWindow : public juce::DocumentWindow
{
public:
    /** The bridge must outlive the window. */
    explicit RemoteWindow (RemoteBridge& bridge);

    void closeButtonPressed() override;
};
