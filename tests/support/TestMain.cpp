// main() of every test binary: GoogleTest with JUCE's message manager available.

#include <gtest/gtest.h>
#include <juce_events/juce_events.h>

int main (int argc, char** argv)
{
    ::testing::InitGoogleTest (&argc, argv);
    juce::ScopedJuceInitialiser_GUI juce;   // the message manager for change messages and posting
    return RUN_ALL_TESTS();
}
