// The amplifier's own messages on their own: requests built byte for byte, and answers read
// from literal bytes.  Strings are NUL-padded to a multiple of four, numbers big-endian; the
// ruler comment gives each field's offset.

#include "DeviceCodec.h"
#include "LockCode.h"

#include <gtest/gtest.h>
#include <string>

using namespace std::string_literals;
namespace codec = osc::codec;

namespace
{
    std::string bytesOf (const OutboundPacketPtr& packet)
    {
        return packet == nullptr ? "(none)"s : std::string (packet->data(), packet->size());
    }

    /** Reads `bytes` with `read`, as the hub does once it has routed the address. */
    template <typename Read>
    auto readFrom (const std::string& bytes, Read&& read)
    {
        const codec::InboundMessage message (bytes.data(), bytes.size());
        EXPECT_TRUE (message.isValid()) << "not a well-formed message";
        return read (message.get());
    }

    const auto meterAnswer = "/meter\0\0"s          //  0  address
                             ",ffff\0\0\0"s         //  8  type tags
                             "\x3f\x80\x00\x00"s    // 16  input A 1.0
                             "\x3f\x00\x00\x00"s    // 20  input B 0.5
                             "\xbf\x00\x00\x00"s    // 24  output A -0.5
                             "\x00\x00\x00\x00"s;   // 28  output B 0.0

    const auto gainAnswer = "/gain\0\0\0"s         //  0  address
                            ",ffii\0\0\0"s         //  8  type tags
                            "\xc1\x48\x00\x00"s    // 16  gain A -12.5
                            "\xc2\x70\x00\x00"s    // 20  gain B -60.0
                            "\x00\x00\x00\x02"s    // 24  mute A 2
                            "\x00\x00\x00\x00"s;   // 28  mute B 0

    const auto infoAnswer = "/info\0\0\0"s         //  0  address
                            ",ssi\0\0\0\0"s        //  8  type tags
                            "Stage Left\0\0"s      // 16  name
                            "V1.4\0\0\0\0"s        // 28  the amplifier's own text
                            "\x00\x00\x00\x03"s;   // 36  model index 3
}

//==============================================================================
TEST (CodecRequests, ArgumentLessMessagesCarryAnEmptyTypeTagString)
{
    EXPECT_EQ (bytesOf (codec::bare ("/info")),
               "/info\0\0\0"s   //  0  address
               ",\0\0\0"s);     //  8  type tags
    EXPECT_EQ (bytesOf (codec::bare ("/offline")),
               "/offline\0\0\0\0"s   //  0  address: eight characters, so a whole word of padding
               ",\0\0\0"s);          // 12  type tags
}

TEST (CodecRequests, GainsMeterLockPresetAndNameLayouts)
{
    EXPECT_EQ (bytesOf (codec::gains (-6.0f, -3.0f, 1, 0)),
               "/gain\0\0\0"s          //  0  address
               ",ffii\0\0\0"s          //  8  type tags
               "\xc0\xc0\x00\x00"s     // 16  gain A -6.0
               "\xc0\x40\x00\x00"s     // 20  gain B -3.0
               "\x00\x00\x00\x01"s     // 24  mute A
               "\x00\x00\x00\x00"s);   // 28  mute B

    EXPECT_EQ (bytesOf (codec::meterRequest (10.0f)),
               "/meter\0\0"s           //  0  address
               ",f\0\0"s               //  8  type tags
               "\x41\x20\x00\x00"s);   // 12  10.0

    std::int32_t code = 0;
    ASSERT_TRUE (osc::packLockCode ("Ab12", code));
    EXPECT_EQ (bytesOf (codec::withInt ("/unlock", code)),
               "/unlock\0"s            //  0  address
               ",i\0\0"s               //  8  type tags
               "\x32\x31\x62\x41"s);   // 12  "Ab12", first character in the lowest byte

    EXPECT_EQ (bytesOf (codec::presetCommand ("/preset/save", 2, 3, "Hall")),
               "/preset/save\0\0\0\0"s   //  0  address
               ",iis\0\0\0\0"s           // 16  type tags
               "\x00\x00\x00\x02"s       // 24  slot
               "\x00\x00\x00\x03"s       // 28  mode
               "Hall\0\0\0\0"s);         // 32  name

    EXPECT_EQ (bytesOf (codec::ampName (juce::String::fromUTF8 ("Caf\xc3\xa9"))),
               "/ampname\0\0\0\0"s      //  0  address
               ",s\0\0"s                // 12  type tags
               "Caf\xc3\xa9\0\0\0"s);   // 16  name in UTF-8
}

TEST (CodecRequests, AMessageThatDoesNotFitItsBufferIsNotBuilt)
{
    // 16 bytes of address and tags leave 48 for the name with its terminator.
    const auto longest = codec::ampName (juce::String::repeatedString ("x", 47));
    ASSERT_NE (longest, nullptr);
    EXPECT_EQ (longest->size(), 64u);

    EXPECT_EQ (codec::ampName (juce::String::repeatedString ("x", 48)), nullptr);
    EXPECT_EQ (codec::presetCommand ("/preset/save", 2, 0, juce::String::repeatedString ("x", 40)), nullptr);
    EXPECT_EQ (codec::bare (("/" + std::string (64, 'a')).c_str()), nullptr);
}

//==============================================================================
TEST (CodecInbound, OnlyOneWellFormedMessageOfUpTo128BytesIsReadable)
{
    EXPECT_TRUE (codec::InboundMessage (meterAnswer.data(), meterAnswer.size()).isValid());

    const std::string refused[] = {
        ""s,
        "/ga"s,                                               // not a whole number of words
        "#bundle\0\0\0\0\0\0\0\0\x01"s,                       // bundles are not understood
        ",ffff\0\0\0"s,                                       // no address
        "/gain\0\0\0,ffii\0\0\0"s,                            // arguments missing
        "/ampname\0\0\0\0,s\0\0ab\0Xcd\0\0"s,                 // string padding that is not NUL
        "/"s + std::string (127, 'a') + "\0\0\0\0,\0\0\0"s,   // longer than any datagram
    };
    for (const auto& bytes : refused)
        EXPECT_FALSE (codec::InboundMessage (bytes.data(), bytes.size()).isValid()) << bytes.size() << " bytes";
}

TEST (CodecInbound, APostedPacketIsItsSendersAddressThenTheMessage)
{
    const auto sender = "\xc0\x00\x02\x0b"s;   // 192.0.2.11 in network order
    const auto whole = sender + gainAnswer;
    const codec::InboundPacket packet (juce::MemoryBlock (whole.data(), whole.size()));
    ASSERT_TRUE (packet.message.isValid());
    EXPECT_STREQ (packet.message.get().AddressPattern(), "/gain");
    EXPECT_EQ (std::string (reinterpret_cast<const char*> (&packet.sender), 4), sender);

    // The prefix alone, less than it, or nothing: no message, and nothing read beyond them.
    for (const auto& bytes : { sender, sender.substr (0, 3), ""s })
        EXPECT_FALSE (codec::InboundPacket (juce::MemoryBlock (bytes.data(), bytes.size())).message.isValid())
            << bytes.size() << " bytes";
}

TEST (CodecAnswers, MetersAreReadyToShowAndOnlyFourFiniteFloatsCount)
{
    const auto meters = readFrom (meterAnswer, codec::readMeters);
    ASSERT_TRUE (meters.has_value());
    EXPECT_EQ (meters->levels, (std::array<float, 4> { 1.0f, 0.5f, 0.0f, 0.0f }));   // negative: silence

    const auto threeFloats = "/meter\0\0,fff\0\0\0\0"s + std::string (12, '\0');
    const auto fourInts = "/meter\0\0,iiii\0\0\0"s + std::string (16, '\0');
    auto notANumber = meterAnswer;
    notANumber.replace (20, 4, "\x7f\xc0\x00\x00"s);
    auto infinite = meterAnswer;
    infinite.replace (28, 4, "\x7f\x80\x00\x00"s);
    for (const auto& bytes : { threeFloats, fourInts, notANumber, infinite })
        EXPECT_FALSE (readFrom (bytes, codec::readMeters).has_value());
}

TEST (CodecAnswers, LampsLightAboveZero)
{
    const auto lamps = readFrom ("/peaklimit\0\0"s      //  0  address
                                 ",iiii\0\0\0"s         // 12  type tags
                                 "\x00\x00\x00\x01"s    // 20  input clip A 1
                                 "\x00\x00\x00\x00"s    // 24  input clip B 0
                                 "\xff\xff\xff\xfd"s    // 28  output limit A -3
                                 "\x00\x00\x00\x05"s,   // 32  output limit B 5
                                 codec::readLamps);
    ASSERT_TRUE (lamps.has_value());
    EXPECT_EQ (lamps->lit, (std::array<bool, 4> { true, false, false, true }));

    EXPECT_FALSE (readFrom ("/peaklimit\0\0,iii\0\0\0\0"s + std::string (12, '\0'), codec::readLamps).has_value());
}

TEST (CodecAnswers, GainsNeedFiniteFloatsThenTwoInts)
{
    const auto gains = readFrom (gainAnswer, codec::readGains);
    ASSERT_TRUE (gains.has_value());
    EXPECT_EQ (gains->gainA, -12.5f);
    EXPECT_EQ (gains->gainB, -60.0f);
    EXPECT_TRUE (gains->muteA);
    EXPECT_FALSE (gains->muteB);

    auto notANumber = gainAnswer;
    notANumber.replace (16, 4, "\xff\xc0\x00\x00"s);
    auto floatMute = gainAnswer;
    floatMute.replace (11, 1, "f");
    EXPECT_FALSE (readFrom (notANumber, codec::readGains).has_value());
    EXPECT_FALSE (readFrom (floatMute, codec::readGains).has_value());
    EXPECT_FALSE (readFrom ("/gain\0\0\0,\0\0\0"s, codec::readGains).has_value());
}

TEST (CodecAnswers, PresetAnswersByTheirLastAddressPart)
{
    const auto body = ",iis\0\0\0\0"s       // 16  type tags
                      "\x00\x00\x00\x03"s   // 24  slot 3
                      "\x00\x00\x00\x02"s   // 28  mode 2
                      "Live\0\0\0\0"s;      // 32  name

    const auto name = readFrom ("/preset/name\0\0\0\0"s + body, codec::readPreset);
    ASSERT_TRUE (name.has_value());
    EXPECT_EQ (name->kind, codec::PresetAnswer::Kind::name);
    EXPECT_EQ (name->slot, 3);
    EXPECT_EQ (name->mode, 2);
    EXPECT_EQ (name->name, "Live");
    EXPECT_EQ (readFrom ("/preset/load\0\0\0\0"s + body, codec::readPreset)->kind, codec::PresetAnswer::Kind::load);
    EXPECT_EQ (readFrom ("/preset/save\0\0\0\0"s + body, codec::readPreset)->kind, codec::PresetAnswer::Kind::save);

    EXPECT_FALSE (readFrom ("/preset/names\0\0\0"s + body, codec::readPreset).has_value());
    EXPECT_FALSE (readFrom ("/preset\0"s + body, codec::readPreset).has_value());
    EXPECT_FALSE (readFrom ("/preset/name\0\0\0\0,ii\0"s + std::string (8, '\0'), codec::readPreset).has_value());
    EXPECT_FALSE (readFrom ("/preset/name\0\0\0\0,iss\0\0\0\0\0\0\0\x03"
                            "2\0\0\0Live\0\0\0\0"s,
                            codec::readPreset)
                      .has_value());
}

TEST (CodecAnswers, LockNamePowerTakeOneArgumentOfTheirType)
{
    EXPECT_EQ (readFrom ("/lock\0\0\0,i\0\0\x32\x31\x62\x41"s, codec::readLockCode), 0x32316241);
    EXPECT_EQ (readFrom ("/lock\0\0\0,i\0\0\0\0\0\0"s, codec::readLockCode), 0);
    EXPECT_FALSE (readFrom ("/lock\0\0\0,s\0\0Ab12\0\0\0\0"s, codec::readLockCode).has_value());
    EXPECT_FALSE (readFrom ("/lock\0\0\0,ii\0"s + std::string (8, '\0'), codec::readLockCode).has_value());

    EXPECT_EQ (readFrom ("/ampname\0\0\0\0,s\0\0Stage\0\0\0"s, codec::readAmpName), "Stage");
    EXPECT_FALSE (readFrom ("/ampname\0\0\0\0,i\0\0\0\0\0\x05"s, codec::readAmpName).has_value());

    EXPECT_TRUE (readFrom ("/power\0\0,s\0\0OFF\0"s, codec::readPowerOff));
    for (const auto& other : { "/power\0\0,s\0\0off\0"s, "/power\0\0,s\0\0OFF!\0\0\0\0"s, "/power\0\0,i\0\0\0\0\0\0"s,
                               "/power\0\0,ss\0OFF\0OFF\0"s })
        EXPECT_FALSE (readFrom (other, codec::readPowerOff));
}

TEST (CodecAnswers, InfoNamesAKnownModel)
{
    const auto info = readFrom (infoAnswer, codec::readInfo);
    ASSERT_TRUE (info.has_value());
    EXPECT_EQ (info->model, 3);
    EXPECT_EQ (info->name, "Stage Left");

    auto model = [] (const std::string& word)
    {
        auto bytes = infoAnswer;
        bytes.replace (36, 4, word);
        return bytes;
    };
    EXPECT_EQ (readFrom (model ("\x00\x00\x00\x07"s), codec::readInfo)->model, 7);
    EXPECT_FALSE (readFrom (model ("\x00\x00\x00\x08"s), codec::readInfo).has_value());
    EXPECT_FALSE (readFrom (model ("\xff\xff\xff\xff"s), codec::readInfo).has_value());

    auto floatModel = model ("\x40\x40\x00\x00"s);
    floatModel.replace (11, 1, "f");
    EXPECT_FALSE (readFrom (floatModel, codec::readInfo).has_value());
    EXPECT_FALSE (readFrom ("/info\0\0\0,si\0Two\0\0\0\0\x03"s, codec::readInfo).has_value());
}

TEST (CodecAnswers, TextsThatAreNotUtf8KeepTheirBytes)
{
    const auto latin = juce::String ("Caf") + juce::String::charToString ((juce::juce_wchar) 0xE9);
    EXPECT_EQ (codec::deviceText ("Caf\xE9"), latin);
    EXPECT_EQ (codec::deviceText ("Caf\xC3\xA9"), latin);
    EXPECT_EQ (readFrom ("/ampname\0\0\0\0,s\0\0Caf\xE9\0\0\0\0"s, codec::readAmpName), latin);
}
