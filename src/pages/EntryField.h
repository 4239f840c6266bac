#pragma once

#include <juce_gui_basics/juce_gui_basics.h>
#include <functional>
#include <memory>

/** A one-line text entry whose editor exists only while it is being edited.

    At rest it paints its text as the editor would show it (font, colours, outline, all taken
    from the juce::TextEditor colour ids set on it or on its look).  A click, the Tab key or
    the keyboard focus opens a juce::TextEditor over it; when the editor loses the focus the
    entry keeps the editor's text and closes it.

    Why not a plain juce::TextEditor: every live TextEditor registers a global mouse listener,
    and while one exists the Desktop polls the pointer position from the X server ten to
    fifty times a second, for nothing this program uses.  With entries that make their
    editor only while typing, the program at rest costs what an empty window costs.

    The calls mirror the TextEditor's, so an entry reads like one; those about the caret and
    the selection act on the open editor and report an entry at rest as one with its caret
    at the start and nothing selected.  Message thread only.
*/
class EntryField : public juce::Component, private juce::TextEditor::Listener, private juce::AsyncUpdater
{
public:
    explicit EntryField (const juce::String& componentName = {});
    ~EntryField() override;

    /** The text, as typed so far while the editor is open. */
    juce::String getText() const;
    /** Replaces the text (the editor's too, while it is open); `sendTextChangeMessage` is
        kept for the editor's signature: nothing here listens to changes of the text. */
    void setText (const juce::String& newText, bool sendTextChangeMessage = true);
    void clear() { setText ({}, false); }
    bool isEmpty() const { return getText().isEmpty(); }

    /** A read-only entry shows its text and never opens an editor. */
    void setReadOnly (bool shouldBeReadOnly);
    bool isReadOnly() const noexcept { return readOnly; }
    /** As the editor's: at most `maxLength` characters (0: any number), only `allowed` ones
        (empty: any). */
    void setInputRestrictions (int maxLength, const juce::String& allowed = {});
    /** Whether the whole text is selected when the editor opens, rather than the caret
        going where the click was. */
    void setSelectAllWhenFocused (bool shouldSelectAll) noexcept { selectAllWhenFocused = shouldSelectAll; }
    void setFont (const juce::Font& newFont);
    const juce::Font& getFont() const noexcept { return font; }

    /** Opens the editor, if it is not open, and gives it the keyboard focus. */
    void showEditor();
    bool isBeingEdited() const noexcept { return editor != nullptr; }
    /** The open editor, or nullptr at rest. */
    juce::TextEditor* getCurrentTextEditor() const noexcept { return editor.get(); }

    void selectAll();
    void setCaretPosition (int newIndex);
    int getCaretPosition() const;
    juce::Range<int> getHighlightedRegion() const;
    juce::String getHighlightedText() const;

    /** Return pressed in the open editor (which stays open). */
    std::function<void()> onReturnKey;
    /** The editor lost the keyboard focus; it closes once this has run. */
    std::function<void()> onFocusLost;

    /** Where the text sits, as the editor places a single line. */
    juce::Rectangle<int> textArea() const;

protected:
    /** Return in the open editor; runs onReturnKey. */
    virtual void returnKeyPressed();
    /** The focus went elsewhere; the text is the editor's.  Runs onFocusLost. */
    virtual void focusWentElsewhere();

    void paint (juce::Graphics& g) override;
    void resized() override;
    void mouseDown (const juce::MouseEvent& e) override;
    void focusGained (FocusChangeType cause) override;
    void colourChanged() override { repaint(); }
    void enablementChanged() override { repaint(); }

private:
    void textEditorReturnKeyPressed (juce::TextEditor&) override;
    void textEditorFocusLost (juce::TextEditor&) override;
    void handleAsyncUpdate() override;

    std::unique_ptr<juce::TextEditor> makeEditor();
    void closeEditor();

    juce::String text;
    juce::Font font { 14.0f };
    juce::String allowedCharacters;
    int maxLength = 0;
    bool readOnly = false;
    bool selectAllWhenFocused = false;
    std::unique_ptr<juce::TextEditor> editor;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (EntryField)
};
