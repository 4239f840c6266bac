// The command line, the control channel's commands and lines, and the log's message text.

#include "ControlCommand.h"
#include "ControlInput.h"
#include "SimLog.h"
#include "SimOptions.h"

#include <gtest/gtest.h>

namespace
{
    bool parse (std::vector<std::string> args, SimOptions& options, std::string& error)
    {
        return options.parse (args, error);
    }

    std::string rejection (std::vector<std::string> args)
    {
        SimOptions options;
        std::string error;
        return parse (std::move (args), options, error) ? std::string ("accepted") : error;
    }
}

//==============================================================================
TEST (SimCommandLine, ReadsEveryOption)
{
    SimOptions options;
    std::string error;
    ASSERT_TRUE (parse ({ "--bind",       "127.0.0.3", "--port",        "4000",       "--answer-port", "3456",
                          "--name",       "Rack 2",    "--model",       "7",          "--levels",      "0.5,0.25,1,2.5",
                          "--meter-rate", "12.5",      "--reply-delay", "40",         "--loss",        "12.5",
                          "--seed",       "99",        "--log",         "-",          "--preset",      "p.kvt",
                          "--control",    "/tmp/ctl",  "--moving",      "--no-stdin", "--firmware",    "V2.0" },
                        options, error))
        << error;
    EXPECT_EQ (options.bindAddress, 0x7F000003u);
    EXPECT_EQ (options.port, 4000);
    EXPECT_EQ (options.answerPort, 3456);
    EXPECT_EQ (options.name, "Rack 2");
    EXPECT_EQ (options.model, 7);
    EXPECT_EQ (options.levels, (std::array<float, 4> { 0.5f, 0.25f, 1.0f, 2.5f }));
    EXPECT_DOUBLE_EQ (options.meterRate, 12.5);
    EXPECT_EQ (options.replyDelayMs, 40);
    EXPECT_DOUBLE_EQ (options.lossPercent, 12.5);
    EXPECT_EQ (options.seed, 99u);
    EXPECT_EQ (options.logPath, "-");
    EXPECT_EQ (options.presetPath, "p.kvt");
    EXPECT_EQ (options.controlPath, "/tmp/ctl");
    EXPECT_TRUE (options.moving);
    EXPECT_FALSE (options.readStdin);
    EXPECT_EQ (options.firmware, "V2.0");
    EXPECT_FALSE (options.showHelp);
}

TEST (SimCommandLine, DefaultsServeOneAmplifierOnLoopback)
{
    SimOptions options;
    std::string error;
    ASSERT_TRUE (parse ({}, options, error));
    EXPECT_EQ (options.bindAddress, 0x7F000001u);
    EXPECT_EQ (options.port, 3456);
    EXPECT_DOUBLE_EQ (options.meterRate, 30.0);
    EXPECT_EQ (options.replyDelayMs, 0);
    EXPECT_DOUBLE_EQ (options.lossPercent, 0.0);
    EXPECT_TRUE (options.readStdin);
}

TEST (SimCommandLine, RefusesBadValues)
{
    for (const auto& args : std::vector<std::vector<std::string>> { { "--bind", "localhost" },
                                                                    { "--bind", "127.0.0" },
                                                                    { "--port", "0" },
                                                                    { "--port", "65536" },
                                                                    { "--port", "34x" },
                                                                    { "--answer-port", "0" },
                                                                    { "--model", "8" },
                                                                    { "--model", "-1" },
                                                                    { "--levels", "1,2,3" },
                                                                    { "--levels", "1,2,3,4,5" },
                                                                    { "--levels", "1,,3,4" },
                                                                    { "--levels", "-1,0,0,0" },
                                                                    { "--meter-rate", "0" },
                                                                    { "--meter-rate", "nan" },
                                                                    { "--loss", "101" },
                                                                    { "--loss", "-1" },
                                                                    { "--reply-delay", "-5" },
                                                                    { "--seed", "1e3" },
                                                                    { "--name", "" },
                                                                    { "--name", std::string (32, 'n') },
                                                                    { "--log", "" },
                                                                    { "--frobnicate" },
                                                                    { "--port" } })
    {
        EXPECT_NE (rejection (args), "accepted") << args[0] << " " << (args.size() > 1 ? args[1] : "");
    }
}

TEST (SimCommandLine, HelpDocumentsEveryOptionAndCommand)
{
    SimOptions options;
    std::string error;
    ASSERT_TRUE (parse ({ "--help" }, options, error));
    EXPECT_TRUE (options.showHelp);

    const auto help = SimOptions::helpText();
    for (const char* word :
         { "--bind",       "--port",         "--name",        "--model", "--firmware",    "--levels",
           "--meter-rate", "--moving",       "--reply-delay", "--loss",  "--seed",        "--log",
           "--preset",     "--control",      "--no-stdin",    "--help",  "silent on|off", "power off",
           "power on",     "levels a b c d", "clip a b c d",  "status",  "quit" })
        EXPECT_NE (help.find (word), std::string::npos) << word;
}

//==============================================================================
TEST (SimControlCommands, ParsesEachCommand)
{
    using Kind = ControlCommand::Kind;
    EXPECT_EQ (ControlCommand::parse ("silent on").kind, Kind::silent);
    EXPECT_TRUE (ControlCommand::parse ("silent on").on);
    EXPECT_FALSE (ControlCommand::parse ("  silent\toff ").on);
    EXPECT_EQ (ControlCommand::parse ("power off").kind, Kind::power);
    EXPECT_FALSE (ControlCommand::parse ("power off").on);
    EXPECT_TRUE (ControlCommand::parse ("power on").on);
    EXPECT_EQ (ControlCommand::parse ("quit").kind, Kind::quit);
    EXPECT_EQ (ControlCommand::parse ("status").kind, Kind::status);
    EXPECT_EQ (ControlCommand::parse ("   ").kind, Kind::none);

    const auto levels = ControlCommand::parse ("levels 0.5 1 1.25 0");
    ASSERT_EQ (levels.kind, Kind::levels);
    EXPECT_EQ (levels.levels, (std::array<float, 4> { 0.5f, 1.0f, 1.25f, 0.0f }));

    const auto clip = ControlCommand::parse ("clip 1 0 0 5");
    ASSERT_EQ (clip.kind, Kind::clip);
    EXPECT_EQ (clip.lamps, (std::array<int, 4> { 1, 0, 0, 5 }));
}

TEST (SimControlCommands, RefusesMalformedCommands)
{
    for (const char* line :
         { "silent", "silent maybe", "power", "levels 1 2 3", "levels 1 2 3 x", "levels 1 2 3 -4", "levels 1 2 3 inf",
           "clip 1 2 3", "clip 1 2 3 1.5", "clip -1 0 0 0", "quit now", "reboot", "SILENT ON" })
    {
        const auto command = ControlCommand::parse (line);
        EXPECT_EQ (command.kind, ControlCommand::Kind::invalid) << line;
        EXPECT_FALSE (command.error.empty()) << line;
    }
}

TEST (SimControlInput, SplitsLinesAcrossReadsAndDropsOverlongOnes)
{
    ControlInput input;
    EXPECT_TRUE (input.feed ("sil", 3).empty());
    EXPECT_EQ (input.feed ("ent on\r\nquit\npow", 17), (std::vector<std::string> { "silent on", "quit" }));

    const std::string flood (ControlInput::maxLineLength * 4, 'x');
    EXPECT_TRUE (input.feed (flood.data(), flood.size()).empty());
    EXPECT_EQ (input.feed ("\nstatus\n", 8), (std::vector<std::string> { "status" }));

    EXPECT_TRUE (input.feed ("power off", 9).empty());
    EXPECT_EQ (input.finish(), "power off");
    EXPECT_EQ (input.finish(), "");
}

//==============================================================================
TEST (SimLogText, DescribesMessagesFromTheirBytes)
{
    // "/preset/name" ,iis 3 1 "A\"B"
    //  0               16       24           32           40
    const char bytes[] = { '/', 'p', 'r', 'e', 's', 'e', 't', '/',    'n', 'a', 'm', 'e', 0, 0,
                           0,   0,   ',', 'i', 'i', 's', 0,   0,      0,   0,   0,   0,   0, 3,
                           0,   0,   0,   1,   'A', '"', 'B', '\x01', 0,   0,   0,   0 };
    Datagram datagram;
    ASSERT_TRUE (datagram.assign (bytes, sizeof bytes));
    EXPECT_EQ (SimLog::describe (datagram), "/preset/name ,iis 3 1 \"A\\\"B\\x01\"");

    // "/meter" ,ffff 1.0 0.5 0 -2.25
    //  0        8               16                  24                  32
    const char meter[] = { '/',  'm',         'e', 't', 'e',  'r', 0, 0, ',', 'f', 'f', 'f', 'f',         0,    0, 0,
                           0x3F, (char) 0x80, 0,   0,   0x3F, 0,   0, 0, 0,   0,   0,   0,   (char) 0xC0, 0x10, 0, 0 };
    ASSERT_TRUE (datagram.assign (meter, sizeof meter));
    EXPECT_EQ (SimLog::describe (datagram), "/meter ,ffff 1 0.5 0 -2.25");

    // An argument the protocol never uses is named, not read.
    const char blob[] = { '/', 'x', 0, 0, ',', 'b', 0, 0, 0x7F, (char) 0xFF, (char) 0xFF, (char) 0xF0 };
    ASSERT_TRUE (datagram.assign (blob, sizeof blob));
    const auto text = SimLog::describe (datagram);
    EXPECT_TRUE (text == "/x ,b <b>" || text.rfind ("malformed", 0) == 0) << text;

    const char truncated[] = { '/', 'm', 'e', 't', 'e', 'r', 0, 0, ',', 'f', 'f', 0 };
    ASSERT_TRUE (datagram.assign (truncated, sizeof truncated));
    EXPECT_EQ (SimLog::describe (datagram).rfind ("malformed", 0), 0u);
}

TEST (SimLogText, LinesCarryTimeDirectionAndPeer)
{
    std::vector<std::string> lines;
    SimLog log ([&lines] (const std::string& line) { lines.push_back (line); });
    const char info[] = { '/', 'i', 'n', 'f', 'o', 0, 0, 0, ',', 0, 0, 0 };
    Datagram datagram;
    datagram.assign (info, sizeof info);
    log.message (12034.0, "recv", Endpoint { 0x7F000001, 3456 }, datagram);
    log.note (20.0, "online");
    ASSERT_EQ (lines.size(), 2u);
    EXPECT_EQ (lines[0], "   12.034 recv 127.0.0.1:3456 /info ,");
    EXPECT_EQ (lines[1], "    0.020 note online");

    SimLog silentLog;
    EXPECT_FALSE (silentLog.isEnabled());
    silentLog.note (0.0, "nothing happens");
}
