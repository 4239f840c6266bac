#include "SimOptions.h"
#include "Endpoint.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <sstream>

namespace
{
    // Whole-text number readers: trailing junk, empty text and overflow are errors.
    bool readLong (const std::string& text, long low, long high, long& out)
    {
        if (text.empty())
            return false;
        char* end = nullptr;
        errno = 0;
        const long value = std::strtol (text.c_str(), &end, 10);
        if (errno != 0 || *end != '\0' || value < low || value > high)
            return false;
        out = value;
        return true;
    }

    bool readDouble (const std::string& text, double low, double high, double& out)
    {
        if (text.empty())
            return false;
        char* end = nullptr;
        errno = 0;
        const double value = std::strtod (text.c_str(), &end);
        if (errno != 0 || *end != '\0' || ! std::isfinite (value) || value < low || value > high)
            return false;
        out = value;
        return true;
    }

    bool readLevels (const std::string& text, std::array<float, 4>& out)
    {
        std::array<float, 4> values {};
        std::size_t start = 0;
        for (std::size_t i = 0; i < values.size(); ++i)
        {
            const auto comma = text.find (',', start);
            const bool last = i + 1 == values.size();
            if (last != (comma == std::string::npos))
                return false;
            double value = 0.0;
            if (! readDouble (text.substr (start, last ? std::string::npos : comma - start), 0.0, 100.0, value))
                return false;
            values[i] = (float) value;
            start = comma + 1;
        }
        out = values;
        return true;
    }

    // The longest name whose answers still fit one 64-byte message ("/info" ,ssi name "V1.4" i).
    constexpr std::size_t maxNameLength = 31;
}

bool SimOptions::parse (const std::vector<std::string>& args, std::string& error)
{
    const auto fail = [&error] (const std::string& why)
    {
        error = why;
        return false;
    };

    for (std::size_t i = 0; i < args.size(); ++i)
    {
        const std::string& option = args[i];
        if (option == "--help" || option == "-h")
        {
            showHelp = true;
            continue;
        }
        if (option == "--moving")
        {
            moving = true;
            continue;
        }
        if (option == "--no-stdin")
        {
            readStdin = false;
            continue;
        }

        if (i + 1 >= args.size())
            return fail ("unknown option or missing value: " + option);
        const std::string& value = args[++i];
        if (value.empty() && (option == "--log" || option == "--preset" || option == "--control"))
            return fail (option + " needs a path");
        long number = 0;
        double real = 0.0;

        if (option == "--bind")
        {
            if (! Endpoint::parseAddress (value, bindAddress))
                return fail ("--bind needs a dotted IPv4 address: " + value);
        }
        else if (option == "--port")
        {
            if (! readLong (value, 1, 65535, number))
                return fail ("--port needs 1..65535: " + value);
            port = (int) number;
        }
        else if (option == "--answer-port")
        {
            if (! readLong (value, 1, 65535, number))
                return fail ("--answer-port needs 1..65535: " + value);
            answerPort = (int) number;
        }
        else if (option == "--name")
        {
            if (value.empty() || value.size() > maxNameLength)
                return fail ("--name needs 1 to 31 characters");
            name = value;
        }
        else if (option == "--model")
        {
            if (! readLong (value, 0, 7, number))
                return fail ("--model needs 0..7: " + value);
            model = (int) number;
        }
        else if (option == "--firmware")
        {
            if (value.size() > 15)
                return fail ("--firmware needs at most 15 characters");
            firmware = value;
        }
        else if (option == "--levels")
        {
            if (! readLevels (value, levels))
                return fail ("--levels needs four linear levels 0..100, e.g. 0.5,0.5,0.2,0.2");
        }
        else if (option == "--meter-rate")
        {
            if (! readDouble (value, 0.1, 1000.0, real))
                return fail ("--meter-rate needs 0.1..1000 messages per second: " + value);
            meterRate = real;
        }
        else if (option == "--rack")
        {
            if (! readLong (value, 1, 250, number))
                return fail ("--rack needs 1..250 amplifiers: " + value);
            rack = (int) number;
        }
        else if (option == "--reply-delay")
        {
            if (! readLong (value, 0, 60000, number))
                return fail ("--reply-delay needs 0..60000 ms: " + value);
            replyDelayMs = (int) number;
        }
        else if (option == "--loss")
        {
            if (! readDouble (value, 0.0, 100.0, real))
                return fail ("--loss needs 0..100 percent: " + value);
            lossPercent = real;
        }
        else if (option == "--seed")
        {
            if (! readLong (value, 0, 0xFFFFFFFFL, number))
                return fail ("--seed needs 0..4294967295: " + value);
            seed = (std::uint32_t) number;
        }
        else if (option == "--log")
            logPath = value;
        else if (option == "--preset")
            presetPath = value;
        else if (option == "--control")
            controlPath = value;
        else
            return fail ("unknown option: " + option);
    }
    return true;
}

std::string SimOptions::helpText()
{
    std::ostringstream text;
    text << "zr-ampsim: plays one amplifier over UDP for the remote control program.\n"
            "\n"
            "Usage: zr-ampsim [options]\n"
            "\n"
            "  --bind ADDR        IPv4 address to listen on (default 127.0.0.1). A program on the\n"
            "                     same host holds port 3456 itself: bind another loopback address\n"
            "                     (127.0.0.2, 127.0.0.3...) there. Broadcasts reach every simulator.\n"
            "  --port N           UDP port (default 3456)\n"
            "  --rack N           serve N amplifiers from one process, at N consecutive addresses\n"
            "                     from --bind (each must be an address of this host), named\n"
            "                     NAME-1 ... NAME-N, each with its own socket and settings\n"
            "  --answer-port N    answer every request on this port instead of the sender's\n"
            "                     (as amplifiers that always answer port 3456)\n"
            "  --name NAME        amplifier name in the \"/info\" answer (default ZR-SIM, at most 31)\n"
            "  --model N          model index 0..7 (0..3 ZR family, 4..7 TARVO family; default 1)\n"
            "  --firmware TEXT    second string of the \"/info\" answer (default V1.4)\n"
            "  --levels a,b,c,d   meter levels, linear: input A, input B, output A, output B\n"
            "                     (default 0.1,0.1,0.05,0.05; 1.0 or more lights the clip/limit lamp)\n"
            "  --meter-rate HZ    \"/meter\" messages per second while streaming (default 30)\n"
            "  --moving           meters move smoothly over time (demo)\n"
            "  --reply-delay MS   delay before each answer (default 0)\n"
            "  --loss PERCENT     drop that share of received datagrams at random (default 0)\n"
            "  --seed N           seed of the loss draw (default 1)\n"
            "  --log FILE         one line per message received and sent, and events;\n"
            "                     \"-\" for standard error\n"
            "  --preset FILE      start from the settings of a preset file (.kvt): lines\n"
            "                     \"/address tags v1 v2 ...\" between BEGIN_OSC_DATA and\n"
            "                     END_OSC_DATA; lines of unknown blocks or wrong tags are skipped\n"
            "  --control FIFO     also read control commands from this FIFO (made when missing)\n"
            "  --no-stdin         do not read control commands from standard input\n"
            "  --help             this text\n"
            "\n"
            "Control commands (standard input and the FIFO, one per line):\n"
            "  silent on|off      stop / resume answering anything\n"
            "  power off          send \"/power\" \"OFF\" to the connected program, then stay silent\n"
            "  power on           answer again\n"
            "  levels a b c d     set the four meter levels (linear)\n"
            "  clip a b c d       force the clip/limit lamps (0 = follow the levels)\n"
            "  status             print the state on standard error\n"
            "  quit               end the simulator\n"
            "  A line may start with one amplifier's address (\"192.0.2.23 silent on\"): then\n"
            "  it is for that amplifier of the rack alone.\n"
            "\n"
            "Log lines: <seconds> <what> <peer> <address> ,<type tags> <arguments>, where <what> is\n"
            "recv, send, lost (--loss), silent, off (powered off) or bad; events read\n"
            "<seconds> note <text>. Strings are quoted, floats printed with %g.\n"
            "\n"
            "The simulator only ever sends to the sender of a request and to the program it serves.\n";
    return text.str();
}
