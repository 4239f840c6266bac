// The preset text against a real parameter tree: the default preset, block lines, markers,
// line endings, hostile input and the text round trip.

#include "PresetTestSupport.h"

using namespace presettest;

namespace
{
    std::string channelLines (int channel, const char* highPass, const char* lowPass)
    {
        const auto c = "/channel/" + std::to_string (channel);
        std::string text;

        const char* peq[] = { "LS12 40.0", "PEQ 100.0", "PEQ 200.0", "PEQ 400.0",
                              "PEQ 1k00",  "PEQ 2k00",  "PEQ 4k00",  "HS12 10k00" };
        for (int band = 1; band <= 8; ++band)
            text += c + "/peq/" + std::to_string (band) + " sfff " + peq[band - 1] + "  +0.0 1.00\n";

        text += c + "/xover/hp sf OFF " + highPass + "\n";
        text += c + "/xover/lp sf OFF " + lowPass + "\n";
        text += c + "/xover/gain f  +0.0\n";

        const char* filterFrequency[] = { "50.0", "2k00" };
        for (int band = 1; band <= 2; ++band)
        {
            const auto b = c + "/deq/" + std::to_string (band);
            text += b + "/comp fff  +0.0 -30.0 5.0\n";
            text += b + "/time ff 50.0  1000\n";
            text += b + "/filt sff BP " + filterFrequency[band - 1] + " 1.00\n";
        }

        text += c + "/delay fi   0.00 0\n";
        text += c + "/limiter fff  100 100.0  50.0\n";
        return text;
    }

    // The default preset as the tree writes it back: every block, with the parameters' own
    // formats (written out by hand from the formats, not produced by the code under test).
    std::string defaultPresetAsWritten()
    {
        return "BEGIN_OSC_DATA\n/ampmode s DUAL\n" + channelLines (1, "30.0", "200.0")
               + channelLines (2, "2k00", "15k00") + "END_OSC_DATA";
    }

    const char* const header = "name\nBEGIN_OSC_DATA\n";
    const char* const footer = "\nEND_OSC_DATA";

    std::string preset (const std::string& blockLines)
    {
        return header + blockLines + footer;
    }
}

TEST (PresetText, DefaultPresetSetsEveryBlockToWhatItLists)
{
    auto root = makeTree();
    setAllToMax (*root);   // so that every value the preset sets is visibly changed

    EXPECT_EQ (applyText (*root, PresetText::defaultPreset), 39);
    EXPECT_EQ (PresetText::build (*root), defaultPresetAsWritten());

    // One spot check per block kind, on the steps themselves.
    EXPECT_EQ (param (*root, "ampmode/mode").step, 0);
    EXPECT_EQ (param (*root, "channel/1/peq/1/type").step, 3);          // LS12
    EXPECT_EQ (param (*root, "channel/1/peq/1/freq").step, 60206);      // 40 Hz
    EXPECT_EQ (param (*root, "channel/1/peq/1/gain").step, 30);         // 0 dB
    EXPECT_EQ (param (*root, "channel/1/peq/1/qual").step, 50000);      // Q 1
    EXPECT_EQ (param (*root, "channel/1/peq/8/type").step, 5);          // HS12
    EXPECT_EQ (param (*root, "channel/1/xover/hp/freq").step, 35247);   // 30.01 Hz
    EXPECT_EQ (param (*root, "channel/1/xover/hp/freq").getStep(), 35);
    EXPECT_EQ (param (*root, "channel/2/xover/lp/freq").step, 575018);   // 15001 Hz
    EXPECT_EQ (param (*root, "channel/2/xover/hp/freq").step, 400000);   // 2 kHz
    EXPECT_EQ (param (*root, "channel/1/xover/gain/gain").step, 24);
    EXPECT_EQ (param (*root, "channel/2/deq/1/comp/thres").step, 30);
    EXPECT_EQ (param (*root, "channel/2/deq/1/comp/ratio").step, 6);
    EXPECT_EQ (param (*root, "channel/2/deq/2/time/att").step, 100);
    EXPECT_EQ (param (*root, "channel/2/deq/2/time/rel").step, 392);
    EXPECT_EQ (param (*root, "channel/2/deq/2/filt/type").step, 1);   // BP
    EXPECT_EQ (param (*root, "channel/2/delay/del").step, 0);
    EXPECT_EQ (param (*root, "channel/2/delay/pol").step, 0);
    EXPECT_EQ (param (*root, "channel/2/limiter/thres").step, 9990);
    EXPECT_EQ (param (*root, "channel/2/limiter/rel").step, 32);
    EXPECT_EQ (param (*root, "channel/2/limiter/hold").step, 20);
}

TEST (PresetText, BlockLinesApplyWhatTheySayAndSkipWhatDoesNotFit)
{
    auto root = makeTree();
    setAllToMax (*root);
    auto& del = param (*root, "channel/1/delay/del");
    auto& pol = param (*root, "channel/1/delay/pol");

    EXPECT_TRUE (PresetText::applyBlockLine (*root, "/channel/1/delay fi   0.00 0"));
    EXPECT_EQ (del.step, 0);
    EXPECT_EQ (pol.step, 0);

    pol.step = 180;
    EXPECT_TRUE (PresetText::applyBlockLine (*root, "/channel/1/delay fi 1.5"));   // delay only
    EXPECT_EQ (del.step, 150);
    EXPECT_EQ (pol.step, 180);

    const auto before = steps (*root);
    EXPECT_FALSE (PresetText::applyBlockLine (*root, "/channel/1/delay ff 1.5 0"));   // wrong tags
    EXPECT_FALSE (PresetText::applyBlockLine (*root, "/channel/1/peq/9 sfff PEQ 1k +0.0 1.0"));
    EXPECT_FALSE (PresetText::applyBlockLine (*root, "/channel/3/peq/1 sfff PEQ 1k +0.0 1.0"));
    EXPECT_FALSE (PresetText::applyBlockLine (*root, "/channel/1/peq sfff PEQ 1k +0.0 1.0"));   // folder
    EXPECT_FALSE (PresetText::applyBlockLine (*root, "/channel/1/peq/1/freq f 1k"));            // a parameter
    EXPECT_FALSE (PresetText::applyBlockLine (*root, "/ampmode s"));                            // no values
    EXPECT_FALSE (PresetText::applyBlockLine (*root, "/ampmode"));
    EXPECT_FALSE (PresetText::applyBlockLine (*root, " /ampmode s STEREO"));   // address not at the start
    EXPECT_FALSE (PresetText::applyBlockLine (*root, "BEGIN_OSC_DATA"));
    EXPECT_FALSE (PresetText::applyBlockLine (*root, ""));
    EXPECT_EQ (steps (*root), before);

    // The first character is not examined, and the address ends at the first character
    // that cannot be part of it.
    EXPECT_TRUE (PresetText::applyBlockLine (*root, "xchannel/2/delay fi 2.00 180"));
    EXPECT_EQ (param (*root, "channel/2/delay/del").step, 200);
    EXPECT_TRUE (PresetText::applyBlockLine (*root, "/ampmode,x s STEREO"));
    EXPECT_EQ (param (*root, "ampmode/mode").step, 1);

    // A partial line sets the values it has; an unreadable value stops the line there.
    EXPECT_TRUE (PresetText::applyBlockLine (*root, "/channel/1/peq/3 sfff HS6 5k"));
    EXPECT_EQ (param (*root, "channel/1/peq/3/type").step, 4);
    EXPECT_EQ (param (*root, "channel/1/peq/3/freq").getStep(), 479);
    EXPECT_EQ (param (*root, "channel/1/peq/3/gain").step, 60);
    EXPECT_TRUE (PresetText::applyBlockLine (*root, "/channel/1/peq/3 sfff PEQ oops -3.0 2.0"));
    EXPECT_EQ (param (*root, "channel/1/peq/3/type").step, 1);
    EXPECT_EQ (param (*root, "channel/1/peq/3/gain").step, 60);
}

TEST (PresetText, RunsOfSpacesSeparateLikeOneSpace)
{
    auto root = makeTree();
    const std::string wide (5000, ' ');

    EXPECT_TRUE (PresetText::applyBlockLine (*root, "/channel/1/peq/2" + wide + "sfff" + wide + "PEQ" + wide + "1k23"
                                                        + wide + "+3.0" + wide + "2.00" + wide));
    EXPECT_EQ (param (*root, "channel/1/peq/2/type").step, 1);
    EXPECT_EQ (param (*root, "channel/1/peq/2/freq").step, 357775);   // '1k23' is 1230 Hz, nearest step
    EXPECT_EQ (param (*root, "channel/1/peq/2/gain").step, 36);
    EXPECT_EQ (param (*root, "channel/1/peq/2/qual").step, 65051);
}

TEST (PresetText, MarkersDecideWhichLinesApply)
{
    const std::string stereo = "/ampmode s STEREO";

    struct Case
    {
        const char* what;
        std::string text;
        int applied;
    };
    const Case cases[] = {
        { "plain", "n\nBEGIN_OSC_DATA\n" + stereo + "\nEND_OSC_DATA", 1 },
        { "indented markers", "n\n  \tBEGIN_OSC_DATA trailing\n" + stereo + "\n\t END_OSC_DATAx", 1 },
        { "begin is the first line", "BEGIN_OSC_DATA\n" + stereo + "\nEND_OSC_DATA", 1 },
        { "no begin", "n\n" + stereo + "\nEND_OSC_DATA", 0 },
        { "no end", "n\nBEGIN_OSC_DATA\n" + stereo, 0 },
        { "end before begin", "n\nEND_OSC_DATA\n" + stereo + "\nBEGIN_OSC_DATA\n" + stereo, 0 },
        { "name is the end marker", "END_OSC_DATA\nBEGIN_OSC_DATA\n" + stereo + "\nEND_OSC_DATA", 1 },
        { "lowercase markers", "n\nbegin_osc_data\n" + stereo + "\nend_osc_data", 0 },
        { "empty", "", 0 },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.what);
        auto root = makeTree();
        EXPECT_EQ (applyText (*root, c.text), c.applied);
        EXPECT_EQ (param (*root, "ampmode/mode").step, c.applied == 1 ? 1 : 0);
    }
}

TEST (PresetText, OnlyLinesBetweenTheMarkersApply)
{
    auto root = makeTree();
    const auto text = "name\n/ampmode s BRIDGE\n/channel/1/delay fi 9.00 180\nBEGIN_OSC_DATA\n"
                      "BEGIN_OSC_DATA\n/channel/2/delay fi 1.00 180\nEND_OSC_DATA\n"
                      "/channel/1/limiter fff 5.0 100.0 50.0\nEND_OSC_DATA\n/ampmode s STEREO";

    EXPECT_EQ (applyText (*root, text), 1);   // the second begin line is skipped like any line without tags
    EXPECT_EQ (param (*root, "channel/2/delay/del").step, 100);
    EXPECT_EQ (param (*root, "ampmode/mode").step, 0);
    EXPECT_EQ (param (*root, "channel/1/delay/del").step, 0);
    EXPECT_EQ (param (*root, "channel/1/limiter/thres").step, 0);
}

TEST (PresetText, LinesEndAtCrLfOrCrLfAndABomIsDropped)
{
    auto split = [] (const std::string& text) { return PresetText::splitLines (text.data(), text.size()); };
    using Lines = std::vector<std::string>;

    EXPECT_EQ (split ("a\r\nb\nc\rd"), (Lines { "a", "b", "c", "d" }));
    EXPECT_EQ (split ("a\r\rb\n\nc\n\r"), (Lines { "a", "", "b", "", "c", "" }));
    EXPECT_EQ (split ("a\r\n"), (Lines { "a" }));
    EXPECT_EQ (split ("\xEF\xBB\xBF"
                      "BEGIN_OSC_DATA\r\nx"),
               (Lines { "BEGIN_OSC_DATA", "x" }));
    EXPECT_EQ (split (std::string ("a\0b\nc", 5)), (Lines { std::string ("a\0b", 3), "c" }));
    EXPECT_TRUE (split ("").empty());

    for (const char* eol : { "\r\n", "\n", "\r" })
    {
        auto root = makeTree();
        std::string text = std::string ("name") + eol + "BEGIN_OSC_DATA" + eol + "/channel/1/delay fi 3.00 180" + eol
                           + "/ampmode s BIAMP2" + eol + "END_OSC_DATA" + eol;
        EXPECT_EQ (applyText (*root, text), 2);
        EXPECT_EQ (param (*root, "channel/1/delay/del").step, 300);
        EXPECT_EQ (param (*root, "ampmode/mode").step, 3);
    }
}

TEST (PresetText, HostileInputChangesOnlyWhatValidLinesSay)
{
    const std::string valid = "/channel/2/delay fi 5.00 180";
    auto expected = makeTree();
    PresetText::applyBlockLine (*expected, valid);
    const auto wanted = steps (*expected);

    juce::Random random (20240611);
    auto garbage = [&random] (std::size_t n)
    {
        std::string bytes (n, '\0');
        for (auto& b : bytes)
            b = (char) random.nextInt (256);
        return bytes;
    };

    auto junkLine = [&random] (std::size_t n)
    {
        std::string bytes (n, ' ');
        for (auto& b : bytes)
        {
            b = (char) random.nextInt (256);
            if (b == '\r' || b == '\n')
                b = ' ';
        }
        return bytes;
    };

    struct Case
    {
        const char* what;
        std::string text;
    };
    std::vector<Case> cases;
    cases.push_back ({ "binary garbage", garbage (1 << 20) });
    cases.push_back ({ "garbage lines around a valid one",
                       preset (junkLine (3000) + "\n" + valid + "\n" + junkLine (70000) + "\n/" + junkLine (100)) });
    cases.push_back ({ "megabytes without a line break", preset (valid) + std::string (8 << 20, 'x') });
    cases.push_back ({ "a huge address", preset ("/" + std::string (4 << 20, 'a') + " fi 1.0 0\n" + valid) });
    cases.push_back ({ "a huge address path", preset ("/" +
                                                      []
                                                      {
                                                          std::string s;
                                                          for (int i = 0; i < 200000; ++i)
                                                              s += "channel/";
                                                          return s;
                                                      }()
                                                      + " fi 1.0 0\n" + valid) });
    cases.push_back ({ "a huge number", preset ("/channel/2/delay fi " + std::string (4 << 20, '9') + "\n" + valid) });
    cases.push_back ({ "thousands of spaces",
                       preset (std::string (100000, ' ') + "\n" + valid + "\n" + std::string (100000, ' ')) });
    cases.push_back (
        { "a NUL ends the values of its line", preset (std::string ("/channel/2/delay fi 5.00 180\0 0", 32)) });
    cases.push_back ({ "a NUL in an address", preset (std::string ("/chan\0nel/1/delay fi 9.0 0\n", 27) + valid) });
    cases.push_back ({ "a NUL in the tags", preset (std::string ("/channel/1/delay f\0i 9.0 0\n", 27) + valid) });
    cases.push_back ({ "a line cut short", preset ("/channel/1/peq/1 sfff\n" + valid + "\n/channel/1/delay fi") });
    cases.push_back ({ "a file cut before its end marker", "name\nBEGIN_OSC_DATA\n/ampmode s STEREO\n/channel/1/del" });

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.what);
        auto root = makeTree();
        applyText (*root, c.text);

        if (c.text.find (valid) == std::string::npos)
            EXPECT_EQ (steps (*root), steps (*makeTree()));
        else
            EXPECT_EQ (steps (*root), wanted);
    }
}

namespace
{
    // Parameters whose printed text holds every step exactly (labels, integers and the
    // linear scales whose resolution the format shows).
    bool textHoldsEveryStep (const Cparam& p)
    {
        if (p.kind == NodeKind::enumParam || p.kind == NodeKind::intParam)
            return true;

        const std::string name (p.name);
        return name == "gain" || name == "mgain" || name == "del"
               || (name == "thres" && std::string (p.parent->name) == "comp");
    }
}

TEST (PresetText, WritingAndReadingBackReproducesEveryStep)
{
    juce::Random random (77);

    for (int round = 0; round < 20; ++round)
    {
        auto original = makeTree();
        forEachParam (*original,
                      [&random] (Cparam& p) { p.step = p.minStep + random.nextInt (p.maxStep - p.minStep + 1); });

        auto reread = makeTree();
        EXPECT_EQ (applyText (*reread, PresetText::build (*original)), 39);

        int exact = 0;
        forEachParam (*reread,
                      [&] (Cparam& p)
                      {
                          if (! textHoldsEveryStep (p))
                              return;
                          ++exact;
                          EXPECT_EQ (p.step, param (*original, p.address + 1).step) << p.address;
                      });
        EXPECT_EQ (exact, 1 + 2 * (8 * 2 + 2 + 1 + 2 * 3 + 2));

        // What was read from text is what the text can express: it survives another round
        // trip step for step.  The one exception is the number text's own: a frequency of
        // 1 kHz and more prints to 10 Hz and rounds at the wrong digit, so a value whose
        // nearest step lies just under a 10 Hz mark prints (and reloads) one mark lower.
        auto again = makeTree();
        applyText (*again, PresetText::build (*reread));
        forEachParam (*again,
                      [&] (Cparam& p)
                      {
                          const auto& before = param (*reread, p.address + 1);
                          if (p.kind == NodeKind::logParam && before.getValue() >= 1000.0f)
                          {
                              EXPECT_LE (p.getValue(), before.getValue()) << p.address;
                              EXPECT_GE (p.getValue(), before.getValue() - 10.2f) << p.address;
                          }
                          else
                          {
                              EXPECT_EQ (p.step, before.step) << p.address;
                          }
                      });
    }
}
