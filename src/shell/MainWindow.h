#pragma once

#include "OscCom.h"
#include "XEventPump.h"
#include <juce_gui_basics/juce_gui_basics.h>
#include <memory>

class Croot;
class Dialogs;
class presetDocument;

/** The one top-level window.  It owns the parameter tree, the preset document and its
    content, the main panel.

    Construction order matters: the tree is built and addressed first (the document, the
    pages and the hub read it while they are built), then the preset document applies the
    default preset to it (the pages receive it through change notifications, delivered
    once the message loop runs), then the panel with its pages and the hub.  On the way out
    the panel goes first, with its pages and the hub's threads, while everything a page
    listens to still exists; then the preset document, and the tree last.  Message thread
    only.
*/
class MainWindow : public juce::DocumentWindow
{
public:
    /** `dialogs` serves the pages' questions and must outlive the window; `hubOptions`
        go to the panel's hub (the program's transports by default, tests replace them). */
    explicit MainWindow (Dialogs& dialogs, osc::HubOptions hubOptions = {});
    ~MainWindow() override;

    /** Closing the window ends the program; nothing is asked or saved first. */
    void closeButtonPressed() override;

private:
    std::unique_ptr<Croot> root;
    std::unique_ptr<presetDocument> presets;
    XEventPump eventPump { *this };
};
