// The simulated amplifier in-process: what it answers, with which layout, and when.

#include "SimTestSupport.h"

#include <cmath>
#include <limits>
#include <random>

using namespace simtest;

namespace
{
    SimOptions withModel (int model)
    {
        SimOptions options;
        options.model = model;
        options.name = "STAGE LEFT";
        return options;
    }

    /** The 39 blocks of the settings tree with their type tags, in the order the program
        walks them, written out here rather than taken from any table of the simulator's. */
    std::vector<std::pair<std::string, std::string>> treeBlocks()
    {
        std::vector<std::pair<std::string, std::string>> blocks { { "/ampmode", "s" } };
        for (int channel = 1; channel <= 2; ++channel)
        {
            const auto base = "/channel/" + std::to_string (channel);
            for (int band = 1; band <= 8; ++band)
                blocks.push_back ({ base + "/peq/" + std::to_string (band), "sfff" });
            blocks.push_back ({ base + "/xover/hp", "sf" });
            blocks.push_back ({ base + "/xover/lp", "sf" });
            blocks.push_back ({ base + "/xover/gain", "f" });
            for (int band = 1; band <= 2; ++band)
            {
                const auto deq = base + "/deq/" + std::to_string (band);
                blocks.push_back ({ deq + "/comp", "fff" });
                blocks.push_back ({ deq + "/time", "ff" });
                blocks.push_back ({ deq + "/filt", "sff" });
            }
            blocks.push_back ({ base + "/delay", "fi" });
            blocks.push_back ({ base + "/limiter", "fff" });
        }
        return blocks;
    }
}

//==============================================================================
TEST (SimInfo, AnswersTheSenderWithNameFirmwareAndModel)
{
    Bench bench (withModel (6));
    EXPECT_EQ (bench.ask (msg ("/info"), stranger), "/info ,ssi \"STAGE LEFT\" \"V1.4\" 6");
    ASSERT_EQ (bench.destinations.size(), 1u);
    EXPECT_EQ (bench.destinations[0], stranger);   // the sender's own port, not 3456

    // Another amplifier's answer arriving here is not a request.
    bench.send (msg ("/info", "OTHER", "V1.4", 2));
    EXPECT_TRUE (bench.replies().empty());
}

TEST (SimInfo, RenamingChangesTheInfoAnswer)
{
    Bench bench (withModel (1));
    EXPECT_EQ (bench.ask (msg ("/ampname", "FOH RACK")), "/ampname ,s \"FOH RACK\"");
    EXPECT_EQ (bench.ask (msg ("/info")), "/info ,ssi \"FOH RACK\" \"V1.4\" 1");

    // An empty name is refused: the answer tells the name that stays.
    EXPECT_EQ (bench.ask (msg ("/ampname", "")), "/ampname ,s \"FOH RACK\"");
    // A name too long for one answer is cut, so every later answer still fits 64 bytes.
    const std::string longName (60, 'N');
    EXPECT_EQ (bench.ask (msg ("/ampname", longName.c_str())), "/ampname ,s \"" + std::string (31, 'N') + "\"");
    EXPECT_EQ (bench.ask (msg ("/info")), "/info ,ssi \"" + std::string (31, 'N') + "\" \"V1.4\" 1");
}

//==============================================================================
TEST (SimQueries, EveryBlockAnswersWithItsOwnLayout)
{
    Bench bench;
    const auto blocks = treeBlocks();
    ASSERT_EQ (blocks.size(), 39u);
    for (const auto& [address, tags] : blocks)
    {
        const auto answer = bench.ask (msg (address.c_str()));
        const auto expectedStart = address + " ," + tags + " ";
        EXPECT_EQ (answer.substr (0, expectedStart.size()), expectedStart) << answer;
    }
}

TEST (SimQueries, StartsFromTheBuiltInSettings)
{
    Bench bench (withModel (0));
    EXPECT_EQ (bench.ask (msg ("/ampmode")), "/ampmode ,s \"DUAL\"");
    EXPECT_EQ (bench.ask (msg ("/channel/1/peq/1")), "/channel/1/peq/1 ,sfff \"LS12\" 40 0 1");
    EXPECT_EQ (bench.ask (msg ("/channel/2/peq/8")), "/channel/2/peq/8 ,sfff \"HS12\" 10000 0 1");
    EXPECT_EQ (bench.ask (msg ("/channel/1/deq/1/comp")), "/channel/1/deq/1/comp ,fff 0 -30 5");
    EXPECT_EQ (bench.ask (msg ("/channel/1/deq/2/time")), "/channel/1/deq/2/time ,ff 50 1000");
    EXPECT_EQ (bench.ask (msg ("/channel/2/deq/2/filt")), "/channel/2/deq/2/filt ,sff \"BP\" 2000 1");
    EXPECT_EQ (bench.ask (msg ("/channel/2/xover/hp")), "/channel/2/xover/hp ,sf \"OFF\" 2000");
    EXPECT_EQ (bench.ask (msg ("/channel/1/xover/gain")), "/channel/1/xover/gain ,f 0");
    EXPECT_EQ (bench.ask (msg ("/channel/2/delay")), "/channel/2/delay ,fi 0 0");
    EXPECT_EQ (bench.ask (msg ("/channel/1/limiter")), "/channel/1/limiter ,fff 100 100 50");
    EXPECT_EQ (bench.ask (msg ("/gain")), "/gain ,ffii 0 0 0 0");
    EXPECT_EQ (bench.ask (msg ("/siggen")), "/siggen ,iff 0 -20 1000");
    EXPECT_EQ (bench.ask (msg ("/speaker")), "/speaker ,i 8");
    EXPECT_EQ (bench.ask (msg ("/lock")), "/lock ,i 0");
}

TEST (SimQueries, ConstantVoltageModelsReportALineVoltage)
{
    Bench bench (withModel (3));
    EXPECT_EQ (bench.ask (msg ("/speaker")), "/speaker ,i 100");
}

TEST (SimQueries, TarvoModelsHaveNoSignalGenerator)
{
    Bench bench (withModel (5));
    bench.send (msg ("/siggen"));
    bench.send (msg ("/siggen", 1, -6.0f, 440.0f));
    EXPECT_TRUE (bench.replies().empty());
    EXPECT_EQ (bench.amp->settings().integerValue ("/siggen", 0), 0);
}

TEST (SimQueries, UnknownAddressesFoldersAndParametersAreNotAnswered)
{
    Bench bench;
    for (const char* address : { "/channel/1/peq/9", "/channel/3/delay", "/channel/1/peq", "/channel",
                                 "/channel/1/peq/1/freq", "/", "nothing", "/power", "/peaklimit" })
        bench.send (msg (address));
    EXPECT_TRUE (bench.replies().empty());
    EXPECT_TRUE (bench.logHas ("unknown address"));
}

//==============================================================================
TEST (SimValues, BlockMessagesAreAnsweredWithTheValuesApplied)
{
    Bench bench;
    EXPECT_EQ (bench.ask (msg ("/channel/2/peq/8", "HS12", 10000.0f, 0.0f, 1.0f)),
               "/channel/2/peq/8 ,sfff \"HS12\" 10000 0 1");
    EXPECT_EQ (bench.amp->settings().step ("/channel/2/peq/8", 1), 539794);   // 1/200000 decade steps

    // Out of range: clamped to the parameter's ends.
    EXPECT_EQ (bench.ask (msg ("/channel/1/peq/3", "PEQ", 99999.0f, 40.0f, 0.001f)),
               "/channel/1/peq/3 ,sfff \"PEQ\" 20000 15 0.1");
    // Between steps: quantised to the nearest step.
    EXPECT_EQ (bench.ask (msg ("/channel/1/peq/3", "PEQ", 1000.0f, 0.26f, 1.0f)),
               "/channel/1/peq/3 ,sfff \"PEQ\" 1000 0.5 1");
    // Delay rounds to 0.01 ms; polarity clamps to 0..180.
    EXPECT_EQ (bench.ask (msg ("/channel/1/delay", 12.345f, 270)), "/channel/1/delay ,fi 12.35 180");
    EXPECT_EQ (bench.ask (msg ("/channel/1/delay", -5.0f, -90)), "/channel/1/delay ,fi 0 0");
    EXPECT_EQ (bench.ask (msg ("/ampmode", "BRIDGED")), "/ampmode ,s \"BRIDGE\"");
    EXPECT_EQ (bench.ask (msg ("/ampmode", "NONSENSE")), "/ampmode ,s \"BRIDGE\"");
    EXPECT_EQ (bench.ask (msg ("/speaker", 120)), "/speaker ,i 100");
    EXPECT_EQ (bench.ask (msg ("/siggen", 2, -6.5f, 1000.0f)), "/siggen ,iff 2 -6.5 1000");
    bench.ask (msg ("/siggen", 3, 0.0f, 440.0f));
    EXPECT_EQ (bench.amp->settings().step ("/siggen", 2), 268485);
    EXPECT_EQ (bench.amp->settings().integerValue ("/siggen", 0), 3);
}

TEST (SimValues, GainsAreClampedToTheFaderAndMutesAreZeroOrOne)
{
    Bench bench;
    EXPECT_EQ (bench.ask (msg ("/gain", -6.3f, 5.0f, 1, 7)), "/gain ,ffii -6.5 0 1 1");
    EXPECT_EQ (bench.ask (msg ("/gain", -80.0f, -12.0f, -1, 0)), "/gain ,ffii -60 -12 0 0");
    EXPECT_EQ (bench.ask (msg ("/gain", std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                               0, 0)),
               "/gain ,ffii -60 -60 0 0");
    EXPECT_EQ (bench.ask (msg ("/gain")), "/gain ,ffii -60 -60 0 0");
}

TEST (SimValues, ArgumentsThatDoNotFitChangeNothingAndAreNotAnswered)
{
    Bench bench;
    EXPECT_EQ (bench.ask (msg ("/channel/1/delay", 5.0f, 180)), "/channel/1/delay ,fi 5 180");
    const int before = bench.amp->settings().step ("/channel/1/delay", 0);

    bench.send (msg ("/channel/1/delay", 1.0f, 2.0f));              // wrong type
    bench.send (msg ("/channel/1/delay", 1.0f));                    // missing
    bench.send (msg ("/channel/1/delay", 1.0f, 0, 0));              // excess
    bench.send (msg ("/channel/1/delay", 1, 0));                    // wrong type in the first place
    bench.send (msg ("/channel/1/peq/1", "PEQ", 100.0f, 3.0f));     // one short
    bench.send (msg ("/channel/1/peq/1", 1, 100.0f, 3.0f, 1.0f));   // label as a number
    bench.send (msg ("/ampmode", "DUAL", "STEREO"));
    bench.send (msg ("/speaker", 4.0f));
    bench.send (msg ("/siggen", 1.0f, -6.0f, 440.0f));
    bench.send (msg ("/gain", 1.0f, 2.0f, 0));
    bench.send (msg ("/lock", "ABCD"));
    bench.send (msg ("/meter", 10));
    bench.send (msg ("/preset/name", 1, 0));
    bench.send (msg ("/ampname", 5));
    EXPECT_TRUE (bench.replies().empty());
    EXPECT_EQ (bench.amp->settings().step ("/channel/1/delay", 0), before);
    EXPECT_EQ (bench.amp->settings().integerValue ("/channel/1/delay", 1), 180);
    EXPECT_EQ (bench.amp->settings().label ("/ampmode", 0), "DUAL");
    EXPECT_EQ (bench.amp->settings().integerValue ("/speaker", 0), 8);
    EXPECT_EQ (bench.amp->settings().integerValue ("/siggen", 0), 0);
    EXPECT_TRUE (bench.logHas ("type tags ,ff where /channel/1/delay takes ,fi: no answer"));
    EXPECT_FALSE (bench.amp->isStreaming());
    EXPECT_EQ (bench.amp->name(), "ZR-SIM");
}

TEST (SimValues, AnAnswerKeepsTheAddressItWasAskedWith)
{
    // The program matches an answer to its request by the address text.
    Bench bench;
    EXPECT_EQ (bench.ask (msg ("/channel/1/limiter!")), "/channel/1/limiter! ,fff 100 100 50");
    // One that could not fit a 64-byte answer gets none, rather than a different address.
    const std::string longAddress = "/channel/1/peq/1" + std::string (40, '!');
    bench.send (msg (longAddress.c_str()));
    EXPECT_TRUE (bench.replies().empty());
}

//==============================================================================
TEST (SimLock, LockStoresTheCodeAndUnlockNeedsTheSameCode)
{
    Bench bench;
    const auto code = lockCode ("ABCD");
    EXPECT_EQ (bench.ask (msg ("/lock", code)), "/lock ,i " + std::to_string (code));
    EXPECT_EQ (bench.ask (msg ("/unlock", lockCode ("ABCE"))), "/lock ,i " + std::to_string (code));
    EXPECT_EQ (bench.amp->lockCode(), code);
    EXPECT_EQ (bench.ask (msg ("/unlock", code)), "/lock ,i 0");
    EXPECT_EQ (bench.ask (msg ("/unlock", code)), "/lock ,i 0");
}

//==============================================================================
TEST (SimPresets, SlotNamesAndModes)
{
    Bench bench;
    EXPECT_EQ (bench.ask (msg ("/preset/name", 1, 0, "DUMMY")), "/preset/name ,iis 1 0 \"INIT_DATA\"");
    EXPECT_EQ (bench.ask (msg ("/preset/name", 2, 0, "DUMMY")), "/preset/name ,iis 2 5 \"\"");
    EXPECT_EQ (bench.ask (msg ("/preset/name", 20, 0, "DUMMY")), "/preset/name ,iis 20 5 \"\"");
    // No such slot: answered all the same, so the program's link is not stalled.
    EXPECT_EQ (bench.ask (msg ("/preset/name", 21, 0, "DUMMY")), "/preset/name ,iis 21 5 \"\"");
    EXPECT_EQ (bench.ask (msg ("/preset/name", -1, 0, "DUMMY")), "/preset/name ,iis -1 5 \"\"");
}

TEST (SimPresets, SaveThenLoadRestoresEverySettingAndSendsIt)
{
    Bench bench;
    bench.ask (msg ("/channel/1/peq/4", "HS6", 2000.0f, -4.5f, 0.1f));
    bench.ask (msg ("/ampmode", "STEREO"));
    EXPECT_EQ (bench.ask (msg ("/preset/save", 7, 1, "LIVE")), "/preset/save ,iis 7 1 \"LIVE\"");
    EXPECT_EQ (bench.ask (msg ("/preset/name", 7, 0, "DUMMY")), "/preset/name ,iis 7 1 \"LIVE\"");

    const int savedFreq = bench.amp->settings().step ("/channel/1/peq/4", 1);
    bench.ask (msg ("/channel/1/peq/4", "OFF", 20.0f, 0.0f, 1.0f));
    bench.ask (msg ("/ampmode", "DUAL"));

    bench.send (msg ("/preset/load", 7, 0, "LIVE"));
    const auto sent = bench.replies();
    ASSERT_EQ (sent.size(), 40u);
    EXPECT_EQ (sent[0], "/preset/load ,iis 7 1 \"LIVE\"");
    EXPECT_EQ (sent[1], "/ampmode ,s \"STEREO\"");
    EXPECT_EQ (sent[5], "/channel/1/peq/4 ,sfff \"HS6\" 2000 -4.5 0.1");
    EXPECT_EQ (bench.amp->settings().step ("/channel/1/peq/4", 1), savedFreq);
}

TEST (SimPresets, InitDataIsReadOnlyAndLoadsTheBuiltInSettings)
{
    Bench bench;
    bench.ask (msg ("/channel/2/peq/2", "LS6", 500.0f, 6.0f, 2.0f));
    EXPECT_EQ (bench.ask (msg ("/preset/save", 1, 2, "MINE")), "/preset/save ,iis 1 0 \"INIT_DATA\"");
    EXPECT_EQ (bench.ask (msg ("/preset/save", 21, 2, "MINE")), "/preset/save ,iis 21 5 \"\"");

    bench.send (msg ("/preset/load", 1, 0, "INIT_DATA"));
    const auto sent = bench.replies();
    ASSERT_EQ (sent.size(), 40u);
    EXPECT_EQ (sent[0], "/preset/load ,iis 1 0 \"INIT_DATA\"");
    EXPECT_EQ (bench.ask (msg ("/channel/2/peq/2")), "/channel/2/peq/2 ,sfff \"PEQ\" 100 0 1");
}

TEST (SimPresets, LoadingAnEmptySlotChangesNothing)
{
    Bench bench;
    bench.ask (msg ("/channel/1/peq/1", "PEQ", 100.0f, 3.0f, 1.0f));
    EXPECT_EQ (bench.ask (msg ("/preset/load", 3, 0, "")), "/preset/load ,iis 3 5 \"\"");
    EXPECT_EQ (bench.ask (msg ("/channel/1/peq/1")), "/channel/1/peq/1 ,sfff \"PEQ\" 100 3 1");
}

TEST (SimPresets, StoredNamesAreCutAndUnknownModesBecomeNoMode)
{
    Bench bench;
    const std::string longName (50, 'x');
    EXPECT_EQ (bench.ask (msg ("/preset/save", 20, 9, longName.c_str())),
               "/preset/save ,iis 20 5 \"" + std::string (31, 'x') + "\"");
}

TEST (SimPresets, PresetTextAtStartSetsTheTree)
{
    Bench bench;
    const int applied = bench.amp->applyPresetText ("Club\nBEGIN_OSC_DATA\n/channel/1/delay fi  2.50 180\n"
                                                    "/channel/9/delay fi 1 0\nEND_OSC_DATA\n");
    EXPECT_EQ (applied, 1);
    EXPECT_EQ (bench.ask (msg ("/channel/1/delay")), "/channel/1/delay ,fi 2.5 180");
}

//==============================================================================
TEST (SimMeters, StreamRunsAtTheConfiguredRateUntilOffline)
{
    Bench bench;   // 30 messages a second
    bench.send (msg ("/online"));
    bench.send (msg ("/meter", 10.0f));
    const auto firstSecond = bench.runUntil (999.0);
    ASSERT_EQ (firstSecond.size(), 30u);
    EXPECT_EQ (firstSecond[0], "/meter ,ffff 0.1 0.1 0.05 0.05");

    // Well past the 51 the program waits for, without being asked again.
    EXPECT_EQ (bench.runUntil (2999.0).size(), 60u);

    bench.send (msg ("/offline"));
    EXPECT_TRUE (bench.runUntil (4000.0).empty());
    EXPECT_FALSE (bench.amp->isStreaming());
}

TEST (SimMeters, ARequestRestartsTheStreamAndTheFirstReadingAnswersIt)
{
    SimOptions options;
    options.meterRate = 10.0;
    options.replyDelayMs = 5;
    Bench bench (options);
    bench.send (msg ("/meter", 10.0f));
    EXPECT_TRUE (bench.runUntil (4.0).empty());
    EXPECT_EQ (bench.runUntil (5.0).size(), 1u);
    bench.runUntil (50.0);
    bench.send (msg ("/meter", 10.0f));   // restart: the next reading comes after the reply delay
    EXPECT_EQ (bench.runUntil (55.0).size(), 1u);
    EXPECT_EQ (bench.runUntil (154.0).size(), 0u);
    EXPECT_EQ (bench.runUntil (155.0).size(), 1u);
}

TEST (SimMeters, AQueryGetsOneReadingAndNoStream)
{
    Bench bench;
    EXPECT_EQ (bench.ask (msg ("/meter")), "/meter ,ffff 0.1 0.1 0.05 0.05");
    EXPECT_TRUE (bench.runUntil (500.0).empty());
}

TEST (SimMeters, StreamStopsWhenTheProgramHasGoneQuiet)
{
    SimOptions options;
    options.meterRate = 1000.0;
    Bench bench (options);
    bench.send (msg ("/meter", 10.0f));
    const auto sent = bench.runUntil (3000.0);
    EXPECT_EQ ((int) sent.size(), SimAmplifier::unattendedMeterLimit + 1);
    EXPECT_FALSE (bench.amp->isStreaming());
}

TEST (SimMeters, AnyWordFromTheProgramKeepsTheStreamGoing)
{
    SimOptions options;
    options.meterRate = 1000.0;
    Bench bench (options);
    bench.send (msg ("/meter", 10.0f));
    for (int second = 1; second <= 3; ++second)
    {
        bench.runUntil (second * 800.0);
        bench.send (msg ("/gain"));
    }
    EXPECT_TRUE (bench.amp->isStreaming());
}

TEST (SimMeters, LampsFollowTheLevelsAndForcedValues)
{
    Bench bench;
    bench.send (msg ("/online"));
    EXPECT_TRUE (bench.runUntil (10.0).empty());   // all dark: nothing to say

    bench.amp->setLevels ({ 1.2f, 0.5f, 0.2f, 1.0f });
    EXPECT_EQ (bench.runUntil (20.0), std::vector<std::string> { "/peaklimit ,iiii 1 0 0 1" });
    EXPECT_TRUE (bench.runUntil (30.0).empty());   // sent on change only

    bench.amp->forceLamps ({ 0, 0, 5, 0 });
    EXPECT_EQ (bench.runUntil (40.0), std::vector<std::string> { "/peaklimit ,iiii 1 0 5 1" });

    bench.amp->forceLamps ({});
    bench.amp->setLevels ({ 0.1f, 0.1f, 0.1f, 0.1f });
    EXPECT_EQ (bench.runUntil (50.0), std::vector<std::string> { "/peaklimit ,iiii 0 0 0 0" });
}

TEST (SimMeters, LitLampsAreToldAgainAfterReconnecting)
{
    Bench bench;
    bench.amp->setLevels ({ 2.0f, 0.0f, 0.0f, 0.0f });
    bench.send (msg ("/online"));
    EXPECT_EQ (bench.runUntil (5.0), std::vector<std::string> { "/peaklimit ,iiii 1 0 0 0" });
    bench.send (msg ("/offline"));
    EXPECT_TRUE (bench.runUntil (10.0).empty());
    bench.send (msg ("/online"));
    EXPECT_EQ (bench.runUntil (15.0), std::vector<std::string> { "/peaklimit ,iiii 1 0 0 0" });
}

TEST (SimMeters, MovingLevelsSwingAroundTheSetLevels)
{
    MeterLevels levels ({ 0.6f, 0.6f, 0.25f, 0.25f }, true);
    float lowest = 1.0e9f, highest = 0.0f;
    for (double t = 0.0; t < 20000.0; t += 10.0)
    {
        const auto now = levels.levelsAt (t);
        lowest = std::min (lowest, now[0]);
        highest = std::max (highest, now[0]);
        // Smooth: 10 ms apart never differ by more than half a dB (6 %).
        const auto next = levels.levelsAt (t + 10.0);
        EXPECT_LT (std::abs (next[2] - now[2]), 0.06f * now[2]);
    }
    EXPECT_NEAR (lowest, 0.6f * std::pow (10.0f, -30.0f / 20.0f), 0.002f);
    EXPECT_NEAR (highest, 0.6f * std::pow (10.0f, 6.0f / 20.0f), 0.01f);
    // Input A peaks near 1.2 (6 dB above 0.6): its clip lamp lights some of the time.
    int lit = 0;
    for (double t = 0.0; t < 20000.0; t += 10.0)
        lit += levels.lampsAt (t)[0];
    EXPECT_GT (lit, 0);
    EXPECT_LT (lit, 2000);
}

//==============================================================================
TEST (SimTiming, AnswersWaitForTheReplyDelayAndKeepTheirOrder)
{
    SimOptions options;
    options.replyDelayMs = 100;
    Bench bench (options);
    bench.send (msg ("/gain"));
    bench.now = 10.0;
    bench.send (msg ("/lock"));
    EXPECT_DOUBLE_EQ (bench.amp->nextDueMs(), 100.0);
    EXPECT_TRUE (bench.runUntil (99.0).empty());
    EXPECT_EQ (bench.runUntil (100.0), std::vector<std::string> { "/gain ,ffii 0 0 0 0" });
    EXPECT_EQ (bench.runUntil (110.0), std::vector<std::string> { "/lock ,i 0" });
    EXPECT_EQ (bench.amp->nextDueMs(), std::numeric_limits<double>::infinity());
}

TEST (SimTiming, LossDropsTheChosenShareReproducibly)
{
    const auto answered = [] (double loss, std::uint32_t seed)
    {
        SimOptions options;
        options.lossPercent = loss;
        options.seed = seed;
        Bench bench (options);
        std::vector<int> which;
        for (int i = 0; i < 400; ++i)
        {
            bench.send (msg ("/info"));
            if (! bench.replies().empty())
                which.push_back (i);
        }
        return which;
    };

    EXPECT_EQ (answered (0.0, 1).size(), 400u);
    EXPECT_TRUE (answered (100.0, 1).empty());

    const auto quarterLost = answered (25.0, 7);
    EXPECT_GT (quarterLost.size(), 260u);
    EXPECT_LT (quarterLost.size(), 340u);
    EXPECT_EQ (answered (25.0, 7), quarterLost);   // the same seed loses the same requests
    EXPECT_NE (answered (25.0, 8), quarterLost);
}

//==============================================================================
TEST (SimControl, SilenceStopsEveryAnswerAndTheStream)
{
    SimOptions options;
    options.replyDelayMs = 10;
    Bench bench (options);
    bench.send (msg ("/online"));
    bench.send (msg ("/meter", 10.0f));
    bench.send (msg ("/gain"));
    bench.amp->setSilent (true, bench.now);   // the queued answers are lost too
    bench.send (msg ("/info"));
    EXPECT_TRUE (bench.runUntil (500.0).empty());
    EXPECT_TRUE (bench.logHas ("silent"));

    bench.amp->setSilent (false, bench.now);
    bench.send (msg ("/lock"));
    const auto sent = bench.runUntil (540.0);
    ASSERT_FALSE (sent.empty());
    EXPECT_NE (std::find (sent.begin(), sent.end(), "/lock ,i 0"), sent.end());
    EXPECT_NE (
        std::find_if (sent.begin(), sent.end(), [] (const std::string& s) { return s.rfind ("/meter ,ffff", 0) == 0; }),
        sent.end());   // the stream resumes
}

TEST (SimControl, PowerOffSaysOffToTheProgramAndThenNothing)
{
    Bench bench;
    bench.send (msg ("/online"), stranger);
    bench.send (msg ("/meter", 10.0f), stranger);
    bench.runUntil (100.0);
    bench.destinations.clear();

    bench.amp->powerOff (bench.now);
    EXPECT_EQ (bench.runUntil (101.0), std::vector<std::string> { "/power ,s \"OFF\"" });
    EXPECT_EQ (bench.destinations, std::vector<Endpoint> { stranger });

    bench.send (msg ("/info"));
    bench.send (msg ("/online"));
    EXPECT_TRUE (bench.runUntil (1000.0).empty());
    EXPECT_FALSE (bench.amp->isPowered());

    bench.amp->powerOn (bench.now);
    EXPECT_EQ (bench.ask (msg ("/info")), "/info ,ssi \"ZR-SIM\" \"V1.4\" 1");
    EXPECT_FALSE (bench.amp->isStreaming());
}

TEST (SimControl, PowerOffWithNoProgramSendsNothing)
{
    Bench bench;
    bench.amp->powerOff (0.0);
    EXPECT_TRUE (bench.runUntil (100.0).empty());
}

TEST (SimControl, OfflineFromAnotherProgramDoesNotStopTheStream)
{
    Bench bench;
    bench.send (msg ("/online"));
    bench.send (msg ("/meter", 10.0f));
    bench.send (msg ("/offline"), stranger);
    EXPECT_TRUE (bench.amp->isStreaming());
    EXPECT_TRUE (bench.amp->isOnline());
}

//==============================================================================
TEST (SimHostileInput, OddDatagramsAreDroppedWithoutAnswer)
{
    Bench bench;
    const auto info = msg ("/info");
    alignas (8) char bytes[256] {};
    std::memcpy (bytes + 1, info.data(), info.size);

    bench.amp->receive (bytes, 0, program, 0.0);
    bench.amp->receive (info.data(), 2, program, 0.0);
    bench.amp->receive (info.data(), 6, program, 0.0);
    bench.amp->receive (bytes, 132, program, 0.0);             // over 128 bytes
    bench.amp->receive (bytes, 100000, program, 0.0);          // never read: refused by size
    bench.amp->receive (bytes + 1, info.size, program, 0.0);   // unaligned source is copied first: answered
    EXPECT_EQ (bench.replies().size(), 1u);

    const char bundle[16] = { '#', 'b', 'u', 'n', 'd', 'l', 'e', 0, 0, 0, 0, 0, 0, 0, 0, 1 };
    bench.amp->receive (bundle, sizeof bundle, program, 0.0);
    const char unterminated[8] = { '/', 'i', 'n', 'f', 'o', 'x', 'x', 'x' };
    bench.amp->receive (unterminated, sizeof unterminated, program, 0.0);
    bench.send (info, Endpoint { 0, 3456 });   // no address to answer to
    EXPECT_TRUE (bench.replies().empty());

    // A message without a type-tag string (the older form of OSC) is a query all the same.
    const char noTags[8] = { '/', 'i', 'n', 'f', 'o', 0, 0, 0 };
    bench.amp->receive (noTags, sizeof noTags, program, 0.0);
    EXPECT_EQ (bench.reply(), "/info ,ssi \"ZR-SIM\" \"V1.4\" 1");
}

TEST (SimHostileInput, RandomBytesNeverCrashOrAnswerStrangely)
{
    Bench bench;
    std::mt19937 random (12345);
    const std::vector<std::string> seeds { "/info", "/gain", "/channel/1/peq/1", "/preset/save", "/siggen", "/lock" };
    for (int i = 0; i < 20000; ++i)
    {
        auto datagram = msg (seeds[(std::size_t) i % seeds.size()].c_str(), 1, 2.0f, "abc", 4);
        const auto flips = 1 + random() % 6;
        for (unsigned f = 0; f < flips; ++f)
            datagram.bytes[random() % datagram.size] = (char) random();
        if (random() % 4 == 0)
            datagram.size = 4 * (1 + random() % 32);
        bench.send (datagram);
    }
    // Whatever was answered is a well-formed message of ours.
    for (const auto& answer : bench.runUntil (1.0))
        EXPECT_EQ (answer.find ("malformed"), std::string::npos) << answer;
    EXPECT_EQ (bench.ask (msg ("/info")), "/info ,ssi \"" + bench.amp->name() + "\" \"V1.4\" 1");
}

TEST (SimHostileInput, AFloodUnderALongDelayIsBounded)
{
    SimOptions options;
    options.replyDelayMs = 60000;
    Bench bench (options);
    for (int i = 0; i < 200; ++i)
        bench.send (msg ("/preset/load", 1, 0, "INIT_DATA"));   // 40 messages each
    bench.now = 60000.0;
    EXPECT_EQ (bench.replies().size(), SimAmplifier::maxQueued);
    EXPECT_TRUE (bench.logHas ("answer queue full"));
    bench.send (msg ("/info"));   // drained: answers again
    EXPECT_EQ (bench.runUntil (120000.0, 1000.0), std::vector<std::string> { "/info ,ssi \"ZR-SIM\" \"V1.4\" 1" });
}
