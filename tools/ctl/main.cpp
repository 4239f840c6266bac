// zr-ctl: the amplifier link from the command line.  Everything lives in the classes beside
// this file; this only reads the command line and runs the call on the message thread.

#include "CtlOptions.h"
#include "CtlRunner.h"

#include <iostream>

int main (int argc, char* argv[])
{
    const std::vector<std::string> arguments (argv + 1, argv + argc);

    CtlOptions options;
    std::string error;
    if (! CtlOptions::parse (arguments, options, error) || ! CtlRunner::canReadInput (options, error))
    {
        std::cerr << "zr-ctl: " << error << '\n' << CtlOptions::usageLine() << '\n';
        return 2;
    }

    if (options.command == CtlOptions::Command::help)
    {
        std::cout << CtlOptions::helpText();
        return 0;
    }

    const juce::ScopedJuceInitialiser_GUI framework;
    return CtlRunner (options).run (std::cout);
}
