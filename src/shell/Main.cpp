// The program's entry point: the framework starts the application object.

#include "JUCEStartupApplication.h"

START_JUCE_APPLICATION (JUCEStartupApplication)
