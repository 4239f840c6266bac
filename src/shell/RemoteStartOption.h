#pragma once

#include <juce_core/juce_core.h>
#include <optional>

/** The port "--remote[=PORT]" asks the remote to start on (RemoteBridge::defaultPort when
    no port is given), or nothing without the option.  A port that is not a whole number
    1..65535 is reported on standard error and starts nothing.

    A stand-in kept in this one place until the program's command-line parser reads the
    option; then the caller takes the port from there and this goes. */
std::optional<int> remotePortFromArguments (const juce::StringArray& arguments);
