#include "ModelTestSupport.h"

#include <gtest/gtest.h>
#include <cstring>
#include <string>
#include <vector>

namespace
{
    struct CountedNode : Cnode
    {
        CountedNode (const char* name, int& destroyed)
            : Cnode (name, NodeKind::channel, 0),
              destroyed (destroyed)
        {
        }
        ~CountedNode() override { ++destroyed; }
        int& destroyed;
    };

    struct Leaf
    {
        std::string address;
        std::int32_t id;
        std::string tags;
    };

    std::vector<Leaf> expectedBlocks()
    {
        std::vector<Leaf> leaves { { "/ampmode", 0, "s" } };
        for (int c = 1; c <= 2; ++c)
        {
            const auto channel = "/channel/" + std::to_string (c);
            for (int b = 1; b <= 8; ++b)
                leaves.push_back ({ channel + "/peq/" + std::to_string (b), c + 256 * b, "sfff" });
            leaves.push_back ({ channel + "/xover/hp", c, "sf" });
            leaves.push_back ({ channel + "/xover/lp", c + 256, "sf" });
            leaves.push_back ({ channel + "/xover/gain", c + 512, "f" });
            for (int b = 1; b <= 2; ++b)
            {
                const auto band = channel + "/deq/" + std::to_string (b);
                leaves.push_back ({ band + "/comp", c + 256 * b + 0x10000, "fff" });
                leaves.push_back ({ band + "/time", c + 256 * b + 0x20000, "ff" });
                leaves.push_back ({ band + "/filt", c + 256 * b + 0x40000, "sff" });
            }
            leaves.push_back ({ channel + "/delay", c, "fi" });
            leaves.push_back ({ channel + "/limiter", c, "fff" });
        }
        return leaves;
    }
}

TEST (Tree, ChildListIsCircularAndOrdered)
{
    Cnode parent ("p", NodeKind::channel, 0);
    EXPECT_EQ (parent.firstChild, &parent);
    EXPECT_EQ (parent.next, &parent);

    auto* a = parent.append (new Cnode ("a", NodeKind::channel, 0));
    auto* b = parent.append (new Cnode ("b", NodeKind::channel, 0));
    auto* c = parent.append (new Cnode ("c", NodeKind::channel, 0));

    std::vector<Cnode*> visited;
    auto* cursor = parent.firstChild;
    for (; cursor != &parent && visited.size() < 10; cursor = cursor->next)
        visited.push_back (cursor);

    EXPECT_EQ (visited, (std::vector<Cnode*> { a, b, c }));
    EXPECT_EQ (cursor, &parent);
    EXPECT_EQ (c->next, &parent);
    EXPECT_EQ (a->parent, &parent);
    EXPECT_EQ (c->parent, &parent);
}

TEST (Tree, DestroyingANodeDestroysItsSubtree)
{
    int destroyed = 0;
    {
        Cnode parent ("p", NodeKind::channel, 0);
        auto* child = parent.append (new CountedNode ("a", destroyed));
        child->append (new CountedNode ("x", destroyed));
        parent.append (new CountedNode ("b", destroyed));
    }
    EXPECT_EQ (destroyed, 3);
}

TEST (Tree, NumberNamesAndAddresses)
{
    TestModel t;
    EXPECT_STREQ (t.root.name, "/");
    EXPECT_STREQ (t.root.address, "");
    EXPECT_STREQ (t.root.channels[1]->name, "2");
    EXPECT_STREQ (t.root.channels[1]->peq->bands[7]->address, "/channel/2/peq/8");
    EXPECT_EQ (t.root.channels[1]->peq->bands[7]->addressLength, 16);
    EXPECT_STREQ (t.root.channels[0]->peq->bands[0]->freq->address, "/channel/1/peq/1/freq");
    EXPECT_STREQ (t.root.channelFolder->address, "/channel");
    EXPECT_EQ (t.root.firstChild, t.root.ampmode);
    EXPECT_EQ (t.root.ampmode->next, t.root.channelFolder);
}

TEST (Tree, BlocksInOrderWithIdsAndTypeTags)
{
    TestModel t;
    std::vector<Leaf> visited;
    forEachLeaf (&t.root, [&] (Cnode* block) { visited.push_back ({ block->address, block->id, typeTags (block) }); });

    const auto expected = expectedBlocks();
    ASSERT_EQ (visited.size(), 39u);
    ASSERT_EQ (expected.size(), 39u);
    for (std::size_t i = 0; i < expected.size(); ++i)
    {
        EXPECT_EQ (visited[i].address, expected[i].address) << i;
        EXPECT_EQ (visited[i].id, expected[i].id) << expected[i].address;
        EXPECT_EQ (visited[i].tags, expected[i].tags) << expected[i].address;
    }
}

TEST (Tree, FoldersAndParameters)
{
    TestModel t;
    auto& ch2 = *t.root.channels[1];
    EXPECT_EQ (ch2.id, 2);
    EXPECT_EQ (ch2.kind, (std::uint32_t) NodeKind::channel);
    EXPECT_EQ (ch2.peq->id, 2);
    EXPECT_EQ (ch2.deq->bands[1]->id, 2 + 512);
    EXPECT_EQ (ch2.peq->bands[7]->id, 2050);
    EXPECT_EQ (t.root.channels[0]->deq->bands[1]->filt->id, 0x40201);
    EXPECT_EQ (NodeId::bandIndex (0x40201), 1);
    EXPECT_EQ (NodeId::subBlock (0x40201), (int) NodeId::deqFilt);

    // Child pointers are the children in the stated order.
    auto& hp = *ch2.xover->hp;
    EXPECT_EQ (hp.firstChild, hp.type);
    EXPECT_EQ (hp.type->next, hp.freq);
    auto& limiter = *ch2.limiter;
    EXPECT_STREQ (limiter.firstChild->name, "thres");
    EXPECT_EQ (limiter.thres->next, limiter.rel);
    EXPECT_EQ (limiter.rel->next, limiter.hold);
    EXPECT_EQ (limiter.hold->next, &limiter);

    EXPECT_EQ (hp.freq->id, (std::int32_t) NodeKind::xover);
    EXPECT_TRUE (hp.freq->isParameter());
    EXPECT_FALSE (hp.isParameter());
    EXPECT_EQ (typeTags (ch2.peq), "");   // a folder has no parameter children
}

TEST (Tree, EveryParameterStartsAtStepZero)
{
    TestModel t;
    char text[nodeTextCapacity];
    t.root.channels[0]->peq->bands[0]->toText (text, sizeof (text));
    EXPECT_STREQ (text, " OFF 20.0 -15.0 0.10");
    t.root.ampmode->toText (text, sizeof (text));
    EXPECT_STREQ (text, " DUAL");
}

TEST (Tree, FindNode)
{
    TestModel t;
    auto& ch2 = *t.root.channels[1];
    EXPECT_EQ (t.find ("channel/2/xover/lp"), ch2.xover->lp);
    EXPECT_EQ (t.find ("channel/2"), &ch2);
    EXPECT_EQ (t.find ("ampmode"), t.root.ampmode);
    EXPECT_EQ (t.find ("channel/2/deq/2/filt"), ch2.deq->bands[1]->filt);
    EXPECT_EQ (t.find ("channel/1/peq/1/freq"), t.root.channels[0]->peq->bands[0]->freq);
    EXPECT_EQ (t.find ("channel/1/peq/9"), nullptr);
    EXPECT_EQ (t.find ("/ampmode"), nullptr);
    EXPECT_EQ (t.find ("channel/2/"), nullptr);
    EXPECT_EQ (t.find (""), nullptr);
    EXPECT_EQ (t.find ("channel//1"), nullptr);
    EXPECT_EQ (t.find ("nothing"), nullptr);
    EXPECT_EQ (t.find ("channel/3"), nullptr);
    EXPECT_EQ (t.find ("channel/12"), nullptr);   // a name shorter than the segment never matches

    // A segment matches a name that begins with it; the first such child wins.
    EXPECT_EQ (t.find ("chan/1/lim"), t.root.channels[0]->limiter);
    EXPECT_EQ (t.find ("channel/1/d"), t.root.channels[0]->deq);
    // The segment ends at the first character that is not a letter or digit.
    EXPECT_EQ (t.find ("ampmode,x"), t.root.ampmode);

    // Only `length` characters are read.
    EXPECT_EQ (findNode (&t.root, "channel/1/peq/9", 15), nullptr);
    EXPECT_EQ (findNode (&t.root, "channel/1/peq/8xyz", 15), t.root.channels[0]->peq->bands[7]);
    EXPECT_EQ (findNode (&t.root, "channel/2/delay", 9), &ch2);
    EXPECT_EQ (findNode (&t.root, "ampmode", 0), nullptr);
    EXPECT_EQ (findNode (&t.root, "ampmode", -3), nullptr);
    EXPECT_EQ (findNode (nullptr, "ampmode", 7), nullptr);
}

TEST (HeadlessModel, AnAddressFindsItsNodeAsTheHubFindsItAndTheBlocksComeInSendingOrder)
{
    TestModel t;
    EXPECT_STREQ (t.root.channels[1]->delay->address, "/channel/2/delay");
    EXPECT_EQ (t.nodeFor ("/speaker"), &t.speaker);
    EXPECT_EQ (t.nodeFor ("/siggen"), &t.siggen);
    EXPECT_EQ (t.nodeFor ("/channel/2/delay"), t.root.channels[1]->delay);
    EXPECT_EQ (t.nodeFor ("/ampmode"), t.root.ampmode);
    EXPECT_EQ (t.nodeFor ("channel/2/delay"), nullptr);   // an address begins with "/"
    EXPECT_EQ (t.nodeFor ("/"), nullptr);
    EXPECT_EQ (t.nodeFor (""), nullptr);
    EXPECT_EQ (t.nodeFor ("/siggen/freq"), nullptr);   // the generator is no part of the tree
    EXPECT_EQ (t.nodeFor ("/speakers"), nullptr);

    std::vector<Cnode*> treeBlocks;
    forEachLeaf (&t.root, [&treeBlocks] (Cnode* block) { treeBlocks.push_back (block); });
    ASSERT_EQ (treeBlocks.size(), 39u);
    auto expected = treeBlocks;
    expected.push_back (&t.siggen);
    expected.push_back (&t.speaker);
    EXPECT_EQ (t.blocks(), expected);
}
