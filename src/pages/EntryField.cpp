#include "EntryField.h"

namespace
{
    // Where a single-line juce::TextEditor puts its text: inside its border of one pixel
    // (three on the right) and its indents of four, from the top whatever its height.
    constexpr int border = 1;
    constexpr int rightBorder = 3;
    constexpr int indent = 4;
}

EntryField::EntryField (const juce::String& componentName)
    : juce::Component (componentName)
{
    setWantsKeyboardFocus (true);
    setMouseCursor (juce::MouseCursor::IBeamCursor);
}

EntryField::~EntryField()
{
    // The editor goes first, while the colours and look it asks for are still here.
    editor.reset();
}

juce::String EntryField::getText() const
{
    return editor != nullptr ? editor->getText() : text;
}

void EntryField::setText (const juce::String& newText, bool)
{
    text = newText;
    if (editor != nullptr)
        editor->setText (newText, false);
    repaint();
}

void EntryField::setReadOnly (bool shouldBeReadOnly)
{
    readOnly = shouldBeReadOnly;
    setMouseCursor (readOnly ? juce::MouseCursor::NormalCursor : juce::MouseCursor::IBeamCursor);
    setWantsKeyboardFocus (! readOnly);
    if (readOnly && editor != nullptr)
        closeEditor();
}

void EntryField::setInputRestrictions (int newMaxLength, const juce::String& allowed)
{
    maxLength = newMaxLength;
    allowedCharacters = allowed;
    if (editor != nullptr)
        editor->setInputRestrictions (maxLength, allowedCharacters);
}

void EntryField::setFont (const juce::Font& newFont)
{
    font = newFont;
    if (editor != nullptr)
        editor->applyFontToAllText (font);
    repaint();
}

//==============================================================================
void EntryField::showEditor()
{
    if (readOnly || ! isEnabled())
        return;

    cancelPendingUpdate();   // an editor that lost the focus and got it back stays
    if (editor == nullptr)
    {
        editor = makeEditor();
        addAndMakeVisible (*editor);
        resized();
        repaint();
    }
    if (selectAllWhenFocused)
        editor->selectAll();
    editor->grabKeyboardFocus();
}

std::unique_ptr<juce::TextEditor> EntryField::makeEditor()
{
    auto made = std::make_unique<juce::TextEditor> (getName());
    copyAllExplicitColoursTo (*made);
    made->setMultiLine (false);
    made->setReturnKeyStartsNewLine (false);
    made->setInputRestrictions (maxLength, allowedCharacters);
    made->setFont (font);
    made->setText (text, false);   // after colours and font: text takes them as it goes in
    made->setCaretPosition (0);
    made->setTitle (getTitle());
    made->setExplicitFocusOrder (getExplicitFocusOrder());
    made->addListener (this);
    return made;
}

void EntryField::closeEditor()
{
    if (editor == nullptr)
        return;
    text = editor->getText();
    editor->removeListener (this);
    editor.reset();
    repaint();
}

void EntryField::textEditorReturnKeyPressed (juce::TextEditor&)
{
    returnKeyPressed();
}

void EntryField::textEditorFocusLost (juce::TextEditor& lost)
{
    text = lost.getText();
    focusWentElsewhere();
    // Closed on a later message: the editor is still inside its own callback here.
    triggerAsyncUpdate();
}

void EntryField::handleAsyncUpdate()
{
    if (editor != nullptr && ! editor->hasKeyboardFocus (true))
        closeEditor();
}

void EntryField::returnKeyPressed()
{
    if (onReturnKey)
        onReturnKey();
}

void EntryField::focusWentElsewhere()
{
    if (onFocusLost)
        onFocusLost();
}

//==============================================================================
void EntryField::selectAll()
{
    if (editor != nullptr)
        editor->selectAll();
}

void EntryField::setCaretPosition (int newIndex)
{
    if (editor != nullptr)
        editor->setCaretPosition (newIndex);
}

int EntryField::getCaretPosition() const
{
    return editor != nullptr ? editor->getCaretPosition() : 0;
}

juce::Range<int> EntryField::getHighlightedRegion() const
{
    return editor != nullptr ? editor->getHighlightedRegion() : juce::Range<int>();
}

juce::String EntryField::getHighlightedText() const
{
    return editor != nullptr ? editor->getHighlightedText() : juce::String();
}

//==============================================================================
juce::Rectangle<int> EntryField::textArea() const
{
    // The editor scrolls its single line to the middle of the space below the top indent,
    // but never beyond the text: a line taller than the space moves up by at most the excess.
    const int lineHeight = juce::roundToInt (font.getHeight());
    const int holderHeight = lineHeight + indent;
    const int visibleHeight = getHeight() - 2 * border;
    const int wantedScroll = (getHeight() - holderHeight - indent) / -2;
    const int shift = juce::jmax (juce::jmin (0, visibleHeight - holderHeight), juce::jmin (0, -wantedScroll));

    return getLocalBounds()
        .withTrimmedLeft (border + indent)
        .withTrimmedRight (rightBorder)
        .withY (border + shift + indent)
        .withHeight (lineHeight);
}

void EntryField::paint (juce::Graphics& g)
{
    if (editor != nullptr)
        return;   // the editor paints itself over the whole entry

    g.fillAll (findColour (juce::TextEditor::backgroundColourId));

    const auto area = textArea();
    {
        juce::Graphics::ScopedSaveState clipped (g);
        g.reduceClipRegion (getLocalBounds().withTrimmedLeft (border).withTrimmedRight (rightBorder));
        g.setColour (findColour (juce::TextEditor::textColourId));
        g.setFont (font);
        g.drawSingleLineText (text, area.getX(), area.getY() + juce::roundToInt (font.getAscent()));
    }

    if (isEnabled())
    {
        g.setColour (findColour (juce::TextEditor::outlineColourId));
        g.drawRect (getLocalBounds());
    }
}

void EntryField::resized()
{
    if (editor != nullptr)
        editor->setBounds (getLocalBounds());
}

void EntryField::mouseDown (const juce::MouseEvent& e)
{
    if (readOnly || ! isEnabled() || e.mods.isPopupMenu())
        return;

    showEditor();
    if (editor != nullptr && ! selectAllWhenFocused)
        editor->setCaretPosition (editor->getTextIndexAt (e.getEventRelativeTo (editor.get()).getPosition()));
}

void EntryField::focusGained (FocusChangeType)
{
    showEditor();
}
