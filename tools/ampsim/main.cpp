// zr-ampsim: the demo amplifier and the test peer of the program's integration tests.
// Everything lives in zr_ampsim_core; this file only wires the command line to it.

#include "SimAmplifier.h"
#include "SimLog.h"
#include "SimOptions.h"
#include "SimServer.h"

#include <csignal>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>

namespace
{
    SimServer* runningServer = nullptr;

    void stopOnSignal (int)
    {
        if (runningServer != nullptr)
            runningServer->requestStop();
    }

    // Preset files are small; anything larger is not one.
    constexpr std::streamsize maxPresetBytes = 1 << 20;

    bool readPresetFile (const std::string& path, std::string& text)
    {
        std::ifstream file (path, std::ios::binary);
        if (! file)
            return false;
        std::vector<char> bytes (maxPresetBytes + 1);
        file.read (bytes.data(), (std::streamsize) bytes.size());
        if (file.bad() || file.gcount() > maxPresetBytes)
            return false;
        text.assign (bytes.data(), (std::size_t) file.gcount());
        return true;
    }

    SimLog::Sink openLog (const std::string& path, std::FILE*& file)
    {
        if (path.empty())
            return {};
        file = path == "-" ? stderr : std::fopen (path.c_str(), "w");
        if (file == nullptr)
            return {};
        return [file] (const std::string& line)
        {
            std::fputs (line.c_str(), file);
            std::fputc ('\n', file);
            std::fflush (file);   // tests read the log while the simulator runs
        };
    }
}

int main (int argc, char** argv)
{
    SimOptions options;
    std::string error;
    if (! options.parse (std::vector<std::string> (argv + 1, argv + argc), error))
    {
        std::fprintf (stderr, "zr-ampsim: %s (see --help)\n", error.c_str());
        return 2;
    }
    if (options.showHelp)
    {
        std::fputs (SimOptions::helpText().c_str(), stdout);
        return 0;
    }

    std::FILE* logFile = nullptr;
    SimLog log (openLog (options.logPath, logFile));
    if (! options.logPath.empty() && logFile == nullptr)
    {
        std::fprintf (stderr, "zr-ampsim: cannot write the log %s\n", options.logPath.c_str());
        return 2;
    }

    // One amplifier, or a rack of them named NAME-1 ... NAME-N.
    std::vector<std::unique_ptr<SimAmplifier>> amplifiers;
    std::vector<SimAmplifier*> served;
    for (int i = 1; i <= options.rack; ++i)
    {
        auto own = options;
        if (options.rack > 1)
            own.name = options.name + "-" + std::to_string (i);
        amplifiers.push_back (std::make_unique<SimAmplifier> (own, log));
        served.push_back (amplifiers.back().get());
    }

    if (! options.presetPath.empty())
    {
        std::string text;
        if (! readPresetFile (options.presetPath, text))
        {
            std::fprintf (stderr, "zr-ampsim: cannot read the preset %s\n", options.presetPath.c_str());
            return 2;
        }
        int applied = 0;
        for (auto& amplifier : amplifiers)
            applied = amplifier->applyPresetText (text);
        log.note (0.0, "preset " + options.presetPath + ": " + std::to_string (applied) + " blocks applied");
    }

    SimServer server (options, served, log);
    if (! server.open (error))
    {
        std::fprintf (stderr, "zr-ampsim: %s\n", error.c_str());
        return 1;
    }

    runningServer = &server;
    std::signal (SIGINT, stopOnSignal);
    std::signal (SIGTERM, stopOnSignal);
    std::fprintf (stderr, "zr-ampsim: \"%s\" (model %d) on %s%s\n", options.name.c_str(), options.model,
                  server.localEndpoint().toString().c_str(),
                  options.rack > 1 ? (" and " + std::to_string (options.rack - 1) + " more").c_str() : "");

    const int result = server.run();
    runningServer = nullptr;
    if (logFile != nullptr && logFile != stderr)
        std::fclose (logFile);
    return result;
}
