// zr-ctl's command line: every valid call read whole, everything else refused with a reason.

#include "CtlOptions.h"
#include <gtest/gtest.h>

namespace
{
    CtlOptions parsed (const std::vector<std::string>& arguments)
    {
        CtlOptions options;
        std::string error;
        EXPECT_TRUE (CtlOptions::parse (arguments, options, error)) << error;
        return options;
    }

    std::string refusal (const std::vector<std::string>& arguments)
    {
        CtlOptions options;
        std::string error;
        EXPECT_FALSE (CtlOptions::parse (arguments, options, error));
        return error;
    }
}

TEST (CtlOptions, CommandsWithOneHostOrAHostListAndTheirArguments)
{
    auto o = parsed ({ "--json", "push", "192.0.2.11", "rig.kvt" });
    EXPECT_EQ (o.command, CtlOptions::Command::push);
    EXPECT_TRUE (o.json);
    EXPECT_EQ (o.hosts, (std::vector<std::string> { "192.0.2.11" }));
    EXPECT_EQ (o.file, "rig.kvt");

    o = parsed ({ "push", "--hosts", "a,b,c", "rig.kvt", "--timeout", "2.5" });
    EXPECT_EQ (o.hosts, (std::vector<std::string> { "a", "b", "c" }));
    EXPECT_EQ (o.file, "rig.kvt");
    EXPECT_EQ (o.timeoutMs (9000), 2500);
    EXPECT_EQ (parsed ({ "info", "x" }).timeoutMs (9000), 9000);

    o = parsed ({ "set", "192.0.2.11", "/channel/1/delay", "2.50 180" });
    EXPECT_EQ (o.address, "/channel/1/delay");
    EXPECT_EQ (o.values, (std::vector<std::string> { "2.50 180" }));
    o = parsed ({ "set", "192.0.2.11", "/channel/1/peq/3", "PEQ", "1k", "+3.0", "2.0" });
    EXPECT_EQ (o.values.size(), 4u);

    o = parsed ({ "store", "h", "20", "Club A" });
    EXPECT_EQ (o.slot, 20);
    EXPECT_EQ (o.name, "Club A");
    EXPECT_EQ (parsed ({ "recall", "h", "1" }).slot, 1);
    EXPECT_EQ (parsed ({ "meters", "h", "--count", "3" }).count, 3);
    EXPECT_TRUE (parsed ({ "discover" }).hosts.empty());
    EXPECT_EQ (parsed ({ "discover", "--help" }).command, CtlOptions::Command::help);
}

TEST (CtlOptions, AnythingButAWholeValidCallIsRefusedWithItsReason)
{
    EXPECT_EQ (refusal ({}), "no command");
    EXPECT_EQ (refusal ({ "frobnicate" }), "unknown command frobnicate");
    EXPECT_EQ (refusal ({ "--verbose", "discover" }), "unknown option --verbose");
    EXPECT_EQ (refusal ({ "info" }), "no HOST");
    EXPECT_EQ (refusal ({ "discover", "192.0.2.11" }), "discover takes no host");
    EXPECT_EQ (refusal ({ "pull", "h" }), "wants FILE.kvt after the host");
    EXPECT_EQ (refusal ({ "pull", "h", "a.kvt", "b.kvt" }), "wants FILE.kvt after the host");
    EXPECT_EQ (refusal ({ "info", "h", "extra" }), "wants nothing after the host");
    EXPECT_EQ (refusal ({ "pull", "--hosts", "a,,b", "x.kvt" }), "an empty host in --hosts");
    EXPECT_EQ (refusal ({ "pull", "--hosts" }), "--hosts wants a comma-separated list, @FILE or @discovered");

    for (const auto* slot : { "0", "21", "-1", "1x", "", "99999999999" })
        EXPECT_EQ (refusal ({ "recall", "h", slot }), "SLOT is a preset slot from 1 to 20") << slot;
    EXPECT_EQ (refusal ({ "store", "h", "1", "X" }), "INIT_DATA is read-only! (slot 1 cannot be stored)");
    EXPECT_EQ (refusal ({ "store", "h", "2" }), "wants SLOT NAME after the host");

    for (const auto* seconds : { "0", "-1", "soon", "nan", "inf", "1e9" })
        EXPECT_EQ (refusal ({ "discover", "--timeout", seconds }), "--timeout wants a number of seconds above 0")
            << seconds;
    EXPECT_EQ (refusal ({ "discover", "--timeout" }), "--timeout wants a number of seconds above 0");
    EXPECT_EQ (refusal ({ "meters", "h", "--count", "0" }), "--count wants a whole number from 1 to 100000");
    EXPECT_EQ (refusal ({ "set", "h", "channel/1/delay", "1" }), "ADDRESS is a block address such as /channel/1/delay");
    EXPECT_EQ (refusal ({ "set", "h", "/channel/1/delay" }), "wants ADDRESS VALUE... after the host");
}
