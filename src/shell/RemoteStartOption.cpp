#include "RemoteStartOption.h"

#include "RemoteBridge.h"

#include <iostream>

std::optional<int> remotePortFromArguments (const juce::StringArray& arguments)
{
    for (const auto& argument : arguments)
    {
        if (argument == "--remote")
            return RemoteBridge::defaultPort;
        if (! argument.startsWith ("--remote="))
            continue;
        const auto text = argument.fromFirstOccurrenceOf ("=", false, false);
        const int port = text.getIntValue();
        if (text.containsOnly ("0123456789") && text.length() <= 5 && port >= 1 && port <= 65535)
            return port;
        std::cerr << "--remote needs a port 1..65535: " << argument << std::endl;
        return std::nullopt;
    }
    return std::nullopt;
}
