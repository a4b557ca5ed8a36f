#include "playback/mpv_ipc.h"

#include <gtest/gtest.h>

using namespace zuv;

namespace {

TEST(JsonFields, ReadsTheTopLevelAndRefusesWhatIsNoObject)
{
    const std::optional<JsonFields> fields = JsonFields::Parse(
        R"( {"event":"property-change","id":2,"name":"t\"\u00e9\ud83d\ude00\/","data":-1.5e1,)"
        R"("ok":true,"no":false,"z":null,"o":{"a":[1,{"b":"}"}],"c":[]},"e":{}} )");
    ASSERT_TRUE(fields);
    EXPECT_EQ(fields->Text("event"), "property-change");
    EXPECT_EQ(fields->Number("id"), 2.0);
    EXPECT_EQ(fields->Text("name"), "t\"\xC3\xA9\xF0\x9F\x98\x80/");
    EXPECT_EQ(fields->Number("data"), -15.0);
    EXPECT_EQ(fields->Boolean("ok"), true);
    EXPECT_EQ(fields->Boolean("no"), false);
    EXPECT_TRUE(fields->Has("z"));
    // Of another type, nested, or missing: none.
    EXPECT_EQ(fields->Number("event"), std::nullopt);
    EXPECT_EQ(fields->Text("z"), std::nullopt);
    EXPECT_EQ(fields->Text("o"), std::nullopt);
    EXPECT_EQ(fields->Text("a"), std::nullopt);
    EXPECT_FALSE(fields->Has("b"));
    EXPECT_EQ(JsonFields::Parse(R"({"s":"\ud800x"})")->Text("s"), "\xEF\xBF\xBDx");

    for (const char* bad : {"",
                            "{",
                            "}",
                            "[]",
                            "{\"a\":1",
                            "{\"a\":1}x",
                            "{\"a\":1,}",
                            "{a:1}",
                            "{\"a\":\"x}",
                            "{\"a\":\"\\q\"}",
                            "{\"a\":\"\\u12\"}",
                            "{\"a\":\"\x01\"}",
                            "{\"a\":tru}",
                            "{\"a\":nan}",
                            "{\"a\":1e999}",
                            "{\"a\":-}",
                            "{\"a\":[1,]}",
                            "{\"a\":{\"b\"}}",
                            "{\"a\":[}",
                            "{\"a\":1 \"b\":2}"})
        EXPECT_EQ(JsonFields::Parse(bad), std::nullopt) << bad;

    std::string deep = "{\"a\":";
    for (int i = 0; i < 100; ++i)
        deep += '[';
    EXPECT_EQ(JsonFields::Parse(deep + std::string(100, ']') + "}"), std::nullopt);
}

TEST(MpvConversation, CommandsAreNumberedJsonLines)
{
    MpvConversation conversation;
    EXPECT_EQ(conversation.Greeting(),
              "{\"command\":[\"observe_property\",1,\"pause\"],\"request_id\":1}\n"
              "{\"command\":[\"observe_property\",2,\"time-pos\"],\"request_id\":2}\n"
              "{\"command\":[\"observe_property\",3,\"volume\"],\"request_id\":3}\n"
              "{\"command\":[\"observe_property\",4,\"duration\"],\"request_id\":4}\n"
              "{\"command\":[\"observe_property\",5,\"seekable\"],\"request_id\":5}\n");
    const std::pair<std::string, std::string> cases[] = {
        {conversation.SetPause(true), R"("set_property","pause",true],"request_id":6)"},
        {conversation.SetPause(false), R"("set_property","pause",false],"request_id":7)"},
        {conversation.Seek(10'000'000, true), R"("seek",10,"absolute+exact"],"request_id":8)"},
        {conversation.Seek(-2'500'000, false), R"("seek",-2.5,"relative+exact"],"request_id":9)"},
        {conversation.SetVolume(37.5), R"("set_property","volume",37.5],"request_id":10)"},
        {conversation.SetVolume(-3), R"("set_property","volume",0],"request_id":11)"},
    };
    for (const auto& [line, inner] : cases)
        EXPECT_EQ(line, "{\"command\":[" + inner + "}\n");
}

TEST(MpvConversation, FollowsTheObservedPropertiesAndTellsSeeks)
{
    // As mpv 0.35 sent them when a run was paused and sought through its socket.
    struct Step
    {
        const char* line;
        bool changed, seeked;
        bool paused;
        std::optional<double> position, duration;
        double volume;
    };
    const Step steps[] = {
        {R"({"request_id":1,"error":"success"})", false, false, false, {}, {}, 100},
        {R"({"event":"start-file","playlist_entry_id":1})", false, false, false, {}, {}, 100},
        // The first word on pause makes the run controllable, even when it says "not paused".
        {R"({"event":"property-change","id":1,"name":"pause","data":false})",
         true,
         false,
         false,
         {},
         {},
         100},
        {R"({"event":"property-change","id":3,"name":"volume","data":100.000000})",
         false,
         false,
         false,
         {},
         {},
         100},
        {R"({"event":"property-change","id":4,"name":"duration"})",
         false,
         false,
         false,
         {},
         {},
         100},
        {R"({"event":"playback-restart"})", false, false, false, {}, {}, 100},
        {R"({"event":"property-change","id":4,"name":"duration","data":30.000000})",
         true,
         false,
         false,
         {},
         30.0,
         100},
        {R"({"event":"property-change","id":2,"name":"time-pos","data":1.382793})", false, false,
         false, 1.382793, 30.0, 100},
        {R"({"data":null,"request_id":7,"error":"success"})", false, false, false, 1.382793, 30.0,
         100},
        {R"({"event":"seek"})", false, false, false, 1.382793, 30.0, 100},
        {R"({"event":"property-change","id":2,"name":"time-pos","data":10.0})", false, false, false,
         10.0, 30.0, 100},
        {R"({"event":"playback-restart"})", false, true, false, 10.0, 30.0, 100},
        {R"({"event":"playback-restart"})", false, false, false, 10.0, 30.0, 100},
        {R"({"event":"property-change","id":1,"name":"pause","data":true})", true, false, true,
         10.0, 30.0, 100},
        {R"({"event":"property-change","id":1,"name":"pause","data":true})", false, false, true,
         10.0, 30.0, 100},
        {R"({"event":"property-change","id":3,"name":"volume","data":55})", true, false, true, 10.0,
         30.0, 55},
        // What we did not observe, or cannot read, changes nothing.
        {R"({"event":"property-change","id":9,"name":"pause","data":false})", false, false, true,
         10.0, 30.0, 55},
        {R"({"event":"property-change","id":1,"name":"pause","data":"no"})", false, false, true,
         10.0, 30.0, 55},
        {R"({"event":"property-change","id":1,"data":false)", false, false, true, 10.0, 30.0, 55},
        {"not json", false, false, true, 10.0, 30.0, 55},
        {R"({"event":"property-change","id":2,"name":"time-pos"})",
         false,
         false,
         true,
         {},
         30.0,
         55},
        {R"({"event":"end-file","reason":"eof"})", false, false, true, {}, 30.0, 55},
    };
    MpvConversation conversation;
    EXPECT_FALSE(conversation.Answered());
    int index = 0;
    for (const Step& step : steps) {
        const MpvNews news = conversation.Read(step.line);
        EXPECT_EQ(news.changed, step.changed) << index << ' ' << step.line;
        EXPECT_EQ(news.seeked, step.seeked) << index;
        const MpvPlayState& state = conversation.State();
        EXPECT_EQ(state.paused, step.paused) << index;
        EXPECT_EQ(state.position, step.position) << index;
        EXPECT_EQ(state.duration, step.duration) << index;
        EXPECT_EQ(state.volume, step.volume) << index;
        EXPECT_EQ(conversation.Answered(), index >= 2) << index;
        ++index;
    }
}

TEST(MpvConversation, AnInputThatCannotBeSoughtSaysSo)
{
    // mpv playing from a pipe; until it has said so, a run can be sought in.
    MpvConversation conversation;
    EXPECT_TRUE(conversation.State().seekable);
    const char* line = R"({"event":"property-change","id":5,"name":"seekable","data":false})";
    EXPECT_TRUE(conversation.Read(line).changed);
    EXPECT_FALSE(conversation.State().seekable);
    EXPECT_FALSE(conversation.Read(line).changed);
}

} // namespace
