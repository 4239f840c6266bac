// The simulated amplifier's own answers, byte by byte, and its own table and preset reader.
// Nothing here comes from the program: the expected bytes are written out by hand from the
// message set (strings NUL-padded to a multiple of four, numbers big-endian), with each
// field's offset in the ruler comment.

#include "SimTestSupport.h"
#include "SimParameterTable.h"
#include "SimPresetText.h"
#include "SimSettings.h"

#include <cmath>
#include <limits>
#include <memory>
#include <string>

using namespace simtest;
using namespace std::string_literals;

//==============================================================================
TEST (SimAnswerBytes, ParametricBand_sfff)
{
    Bench bench;
    const auto expected = "/channel/1/peq/3\0\0\0\0"s   //  0  address
                          ",sfff\0\0\0"s                // 20  type tags
                          "PEQ\0"s                      // 28  type
                          "\x46\x9c\x40\x00"s           // 32  freq 20000.0
                          "\x40\x40\x00\x00"s           // 36  gain 3.0
                          "\x41\x20\x00\x00"s;          // 40  qual 10.0
    EXPECT_EQ (bench.askBytes (msg ("/channel/1/peq/3", "PEQ", 20000.0f, 3.0f, 10.0f)), expected);
    // A query answers the same values.
    EXPECT_EQ (bench.askBytes (msg ("/channel/1/peq/3")), expected);
}

TEST (SimAnswerBytes, Crossover_sf)
{
    Bench bench;
    const auto expected = "/channel/2/xover/lp\0"s   //  0  address
                          ",sf\0"s                   // 20  type tags
                          "LR24\0\0\0\0"s            // 24  type
                          "\x44\xfa\x00\x00"s;       // 32  freq 2000.0
    EXPECT_EQ (bench.askBytes (msg ("/channel/2/xover/lp", "LR24", 2000.0f)), expected);
}

TEST (SimAnswerBytes, Delay_fi)
{
    Bench bench;
    const auto expected = "/channel/1/delay\0\0\0\0"s   //  0  address
                          ",fi\0"s                      // 20  type tags
                          "\x43\x96\x00\x00"s           // 24  del 300.0
                          "\x00\x00\x00\xb4"s;          // 28  pol 180
    EXPECT_EQ (bench.askBytes (msg ("/channel/1/delay", 300.0f, 180)), expected);
}

TEST (SimAnswerBytes, AmplifierMode_s)
{
    Bench bench;
    const auto expected = "/ampmode\0\0\0\0"s   //  0  address
                          ",s\0\0"s             // 12  type tags
                          "BRIDGE\0\0"s;        // 16  mode
    EXPECT_EQ (bench.askBytes (msg ("/ampmode", "BRIDGE")), expected);
}

TEST (SimAnswerBytes, SignalGenerator_iff)
{
    Bench bench;                                 // model 1: a ZR with the generator
    const auto expected = "/siggen\0"s           //  0  address
                          ",iff\0\0\0\0"s        //  8  type tags
                          "\x00\x00\x00\x02"s    // 16  input 2
                          "\xc0\xd0\x00\x00"s    // 20  gain -6.5
                          "\x44\x7a\x00\x00"s;   // 24  freq 1000.0
    EXPECT_EQ (bench.askBytes (msg ("/siggen", 2, -6.5f, 1000.0f)), expected);
}

TEST (SimAnswerBytes, Speaker_i)
{
    Bench bench;
    const auto expected = "/speaker\0\0\0\0"s    //  0  address
                          ",i\0\0"s              // 12  type tags
                          "\x00\x00\x00\x04"s;   // 16  value 4
    EXPECT_EQ (bench.askBytes (msg ("/speaker", 4)), expected);
}

TEST (SimAnswerBytes, ValuesOutOfRangeAreClamped)
{
    Bench bench;
    EXPECT_EQ (bench.askBytes (msg ("/channel/1/xover/gain", 20.0f)),
               "/channel/1/xover/gain\0\0\0"s   //  0  address
               ",f\0\0"s                        // 24  type tags
               "\x41\x40\x00\x00"s);            // 28  gain 12.0 (asked 20.0)
    EXPECT_EQ (bench.askBytes (msg ("/speaker", 120)),
               "/speaker\0\0\0\0"s     //  0  address
               ",i\0\0"s               // 12  type tags
               "\x00\x00\x00\x64"s);   // 16  value 100 (asked 120)
    EXPECT_EQ (bench.askBytes (msg ("/channel/2/delay", -1.0f, -90)),
               "/channel/2/delay\0\0\0\0"s   //  0  address
               ",fi\0"s                      // 20  type tags
               "\x00\x00\x00\x00"s           // 24  del 0.0 (asked -1.0)
               "\x00\x00\x00\x00"s);         // 28  pol 0 (asked -90)
}

TEST (SimAnswerBytes, ValuesBetweenStepsAreSnapped)
{
    Bench bench;
    EXPECT_EQ (bench.askBytes (msg ("/channel/1/xover/gain", 0.3f)),
               "/channel/1/xover/gain\0\0\0"s   //  0  address
               ",f\0\0"s                        // 24  type tags
               "\x3f\x00\x00\x00"s);            // 28  gain 0.5 (asked 0.3; 0.5 dB steps)
    EXPECT_EQ (bench.askBytes (msg ("/channel/1/delay", 12.345f, 0)),
               "/channel/1/delay\0\0\0\0"s   //  0  address
               ",fi\0"s                      // 20  type tags
               "\x41\x45\x99\x9a"s           // 24  del 12.35 (asked 12.345; 0.01 ms steps)
               "\x00\x00\x00\x00"s);         // 28  pol 0
    // Frequencies: 200000 steps a decade, so 440 Hz is held as 440.0023 Hz.
    EXPECT_EQ (bench.askBytes (msg ("/siggen", 1, -6.4f, 440.0f)),
               "/siggen\0"s            //  0  address
               ",iff\0\0\0\0"s         //  8  type tags
               "\x00\x00\x00\x01"s     // 16  input 1
               "\xc0\xd0\x00\x00"s     // 20  gain -6.5 (asked -6.4)
               "\x43\xdc\x00\x4d"s);   // 24  freq 440.0023 (asked 440.0)
}

TEST (SimAnswerBytes, WrongTypeTagsOrCountAreDroppedUnanswered)
{
    Bench bench;
    const auto before = bench.askBytes (msg ("/channel/1/delay"));

    bench.send (msg ("/channel/1/delay", 12.0f, 180.0f));   // ,ff for ,fi
    bench.send (msg ("/channel/1/delay", 12, 180));         // ,ii
    bench.send (msg ("/channel/1/delay", 12.0f));           // one argument short
    bench.send (msg ("/channel/1/delay", 12.0f, 180, 1));   // one too many
    bench.send (msg ("/speaker", "8"));
    bench.send (msg ("/channel/1/peq/1", "PEQ", 1000.0f, 0.0f, 1));   // ,sffi for ,sfff
    EXPECT_TRUE (bench.replies().empty());
    EXPECT_TRUE (bench.logHas ("type tags ,ff where /channel/1/delay takes ,fi: no answer"));

    // Nothing changed.
    EXPECT_EQ (bench.askBytes (msg ("/channel/1/delay")), before);
    EXPECT_EQ (bench.ask (msg ("/channel/1/peq/1")), "/channel/1/peq/1 ,sfff \"LS12\" 40 0 1");
}

//==============================================================================
TEST (SimParameterTable, HoldsThe41MessagesWithTagsMatchingTheirArguments)
{
    const auto& table = simparams::messages();
    ASSERT_EQ (table.size(), 41u);
    int inPresets = 0;
    for (const auto& message : table)
    {
        std::string tags;
        for (const auto& argument : message.arguments)
            tags += argument.tag();
        EXPECT_EQ (tags, message.tags) << message.address;
        EXPECT_LE (message.arguments.size(), simparams::maxArguments);
        EXPECT_EQ (simparams::find (message.address), &message - table.data());
        inPresets += message.inPresets ? 1 : 0;
    }
    EXPECT_EQ (inPresets, 39);
    EXPECT_EQ (table.front().address, "/ampmode");
    EXPECT_EQ (table[38].address, "/channel/2/limiter");
    EXPECT_EQ (table[39].address, "/siggen");
    EXPECT_EQ (table[40].address, "/speaker");
    EXPECT_EQ (simparams::find ("/channel/3/delay"), -1);
}

TEST (SimParameterTable, StepsAndEndsOfEveryKind)
{
    const auto argument = [] (const char* address, int i) -> const simparams::Argument&
    { return simparams::messages().at ((std::size_t) simparams::find (address)).arguments.at ((std::size_t) i); };

    // Highest steps; logarithmic ones in thousandths of a step.
    EXPECT_EQ (argument ("/channel/1/peq/1", 0).highestStep(), 5);
    EXPECT_EQ (argument ("/channel/1/peq/1", 1).highestStep(), 600000);
    EXPECT_EQ (argument ("/channel/1/peq/1", 2).highestStep(), 60);
    EXPECT_EQ (argument ("/channel/1/peq/1", 3).highestStep(), 100000);
    EXPECT_EQ (argument ("/channel/2/xover/hp", 0).highestStep(), 10);
    EXPECT_EQ (argument ("/channel/2/xover/gain", 0).highestStep(), 48);
    EXPECT_EQ (argument ("/channel/1/deq/1/comp", 1).highestStep(), 60);
    EXPECT_EQ (argument ("/channel/1/deq/1/comp", 2).highestStep(), 196);
    EXPECT_EQ (argument ("/channel/1/deq/2/time", 0).highestStep(), 400);
    EXPECT_EQ (argument ("/channel/1/deq/2/time", 1).highestStep(), 1592);
    EXPECT_EQ (argument ("/channel/1/delay", 0).highestStep(), 30000);
    EXPECT_EQ (argument ("/channel/1/delay", 1).highestStep(), 180);
    EXPECT_EQ (argument ("/channel/1/limiter", 0).highestStep(), 16490);
    EXPECT_EQ (argument ("/channel/1/limiter", 2).highestStep(), 800);
    EXPECT_EQ (argument ("/ampmode", 0).highestStep(), 4);
    EXPECT_EQ (argument ("/siggen", 0).highestStep(), 3);
    EXPECT_EQ (argument ("/siggen", 1).highestStep(), 80);
    EXPECT_EQ (argument ("/speaker", 0).highestStep(), 100);

    const auto& freq = argument ("/channel/1/peq/1", 1);
    EXPECT_EQ (freq.stepForFloat (1000.0f), 339794);
    EXPECT_EQ (freq.stepForFloat (2000.0f), 400000);
    EXPECT_EQ (freq.stepForFloat (0.0f), 0);
    EXPECT_EQ (freq.stepForFloat (-5.0f), 0);
    EXPECT_EQ (freq.stepForFloat (1.0e9f), 600000);
    EXPECT_FLOAT_EQ (freq.floatAt (0), 20.0f);
    EXPECT_FLOAT_EQ (freq.floatAt (600000), 20000.0f);
    EXPECT_FLOAT_EQ (freq.floatAt (400000), 2000.0f);

    const auto& ratio = argument ("/channel/1/deq/1/comp", 2);
    EXPECT_EQ (ratio.stepForFloat (2.25f), 1);   // halfway goes up
    EXPECT_FLOAT_EQ (ratio.floatAt (1), 2.5f);
    const auto& gain = argument ("/channel/1/peq/1", 2);
    EXPECT_EQ (gain.stepForFloat (0.24f), 30);
    EXPECT_EQ (gain.stepForFloat (0.26f), 31);
    EXPECT_EQ (gain.stepForFloat (std::numeric_limits<float>::quiet_NaN()), 0);
    EXPECT_EQ (gain.stepForFloat (std::numeric_limits<float>::infinity()), 60);

    const auto& mode = argument ("/ampmode", 0);
    EXPECT_EQ (mode.stepForLabel ("STEREO"), 1);
    EXPECT_EQ (mode.stepForLabel ("BRIDGED"), 4);
    EXPECT_EQ (mode.stepForLabel ("MONO"), -1);
    EXPECT_EQ (argument ("/channel/1/peq/1", 0).stepForLabel ("LS12"), 3);
    EXPECT_EQ (argument ("/channel/1/xover/lp", 0).stepForLabel ("BUT12"), 2);
}

//==============================================================================
TEST (SimPresetText, ReadsNumbersInKNotation)
{
    double value = 0.0;
    const std::vector<std::pair<std::string, double>> good {
        { "40.0", 40.0 },   { "+0.0", 0.0 },       { "-30.0", -30.0 },  { "1k", 1000.0 }, { "2k00", 2000.0 },
        { "2k50", 2500.0 }, { "15k001", 15001.0 }, { "12k0", 12000.0 }, { "0.70", 0.7 },  { "100", 100.0 }
    };
    for (const auto& [text, expected] : good)
    {
        EXPECT_TRUE (simpreset::readNumber (text, value)) << text;
        EXPECT_NEAR (value, expected, 1.0e-9 * std::abs (expected)) << text;
    }
    for (const char* bad : { "", "+", "k", ".", "1k2k", "1..2", "1.2.3", "abc", "1e3", "3,5", "12 " })
        EXPECT_FALSE (simpreset::readNumber (bad, value)) << bad;
}

TEST (SimPresetText, AppliesBlockLinesBetweenTheMarkers)
{
    SimSettings settings;
    const std::string text = "Club A\r\n"
                             "/channel/1/delay fi 9.00 180\r\n"   // before the begin marker: ignored
                             "  BEGIN_OSC_DATA\r\n"
                             "/ampmode s BIAMP2\r\n"
                             "/channel/1/peq/2 sfff PEQ  1k23 -2.5 1.40\r\n"
                             "/channel/1/delay fi   2.50 180\r\n"
                             "/channel/2/delay ff 1.0 0\r\n"            // wrong type-tag word: skipped
                             "/channel/3/delay fi 1.0 0\r\n"            // no such block: skipped
                             "/speaker i 4\r\n"                         // not a preset block: skipped
                             "/channel/2/limiter fff 50.0 x 10.0\r\n"   // stops at the unreadable value
                             "/channel/2/xover/hp sf\r\n"               // no values: skipped
                             "END_OSC_DATA\r\n"
                             "/channel/2/peq/1 sfff HS6 1k 0 1\r\n";   // after the end marker: ignored
    EXPECT_EQ (simpreset::apply (text, settings), 4);

    EXPECT_EQ (settings.label ("/ampmode", 0), "BIAMP2");
    EXPECT_EQ (settings.label ("/channel/1/peq/2", 0), "PEQ");
    EXPECT_NEAR (settings.floatValue ("/channel/1/peq/2", 1), 1230.0f, 0.01f);
    EXPECT_FLOAT_EQ (settings.floatValue ("/channel/1/peq/2", 2), -2.5f);
    EXPECT_NEAR (settings.floatValue ("/channel/1/peq/2", 3), 1.4f, 1.0e-4f);
    EXPECT_FLOAT_EQ (settings.floatValue ("/channel/1/delay", 0), 2.5f);
    EXPECT_EQ (settings.integerValue ("/channel/1/delay", 1), 180);
    EXPECT_EQ (settings.step ("/channel/2/delay", 0), 0);
    EXPECT_EQ (settings.integerValue ("/speaker", 0), 0);
    EXPECT_FLOAT_EQ (settings.floatValue ("/channel/2/limiter", 0), 50.0f);
    EXPECT_FLOAT_EQ (settings.floatValue ("/channel/2/limiter", 1), 20.0f);   // untouched
    EXPECT_EQ (settings.step ("/channel/2/peq/1", 0), 0);

    // Without both markers in order nothing applies.
    SimSettings untouched;
    EXPECT_EQ (simpreset::apply ("END_OSC_DATA\n/ampmode s STEREO\nBEGIN_OSC_DATA\n", untouched), 0);
    EXPECT_EQ (simpreset::apply ("BEGIN_OSC_DATA\n/ampmode s STEREO\n", untouched), 0);
    EXPECT_EQ (untouched.label ("/ampmode", 0), "DUAL");
}

TEST (SimPresetText, FactorySettingsSetEveryPresetBlock)
{
    EXPECT_EQ (simpreset::apply (simpreset::initData, *std::make_unique<SimSettings>()), 39);

    SimSettings settings;
    simpreset::apply (simpreset::initData, settings);
    EXPECT_NEAR (settings.floatValue ("/channel/1/xover/hp", 1), 30.01f, 0.001f);
    EXPECT_NEAR (settings.floatValue ("/channel/2/xover/lp", 1), 15001.0f, 0.1f);
    EXPECT_FLOAT_EQ (settings.floatValue ("/channel/1/limiter", 0), 100.0f);
}
