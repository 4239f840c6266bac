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
class MainWindow : public juce::DocumentWindow, public juce::FileDragAndDropTarget
{
public:
    /** `dialogs` serves the pages' questions and must outlive the window; `hubOptions`
        go to the panel's hub (the program's transports by default, tests replace them). */
    explicit MainWindow (Dialogs& dialogs, osc::HubOptions hubOptions = {});
    ~MainWindow() override;

    /** Closing the window ends the program; nothing is asked or saved first. */
    void closeButtonPressed() override;

    /** Loads a preset file handed to the program from outside (its command line, a later
        start, a drop) exactly as the Setup page's "Load" does once a file is chosen: the
        name fields show it, a connected amplifier gets every block, a file that does not
        load gets Load's message. */
    void openPresetFile (const juce::File& file);

    /** Shows the window, not minimised, in front of the others and with the keyboard focus:
        a later start of the program lands here. */
    void bringToFront();

    /** One preset file (".kvt", any case) is welcome; anything else is refused quietly, so
        the desktop shows the drop as not accepted. */
    bool isInterestedInFileDrag (const juce::StringArray& files) override;
    /** A welcome file is opened with openPresetFile; others are ignored. */
    void filesDropped (const juce::StringArray& files, int x, int y) override;

private:
    std::unique_ptr<Croot> root;
    std::unique_ptr<presetDocument> presets;
    XEventPump eventPump { *this };
};
