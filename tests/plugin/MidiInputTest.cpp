// MIDI input: notes to the engine or through to the host, controllers dropped, echoed, learned or
// turned into a panic, program changes selecting patterns, controller teach, the control-zone
// file and the host's key names.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/ActionDispatcher.h"
#include "engine/ControlTargetTable.h"
#include "engine/EngineHost.h"
#include "engine/KeyAreaList.h"
#include "engine/PatternEngine.h"
#include "engine/PatternStepper.h"
#include "gui/IGraphics.h"
#include "gui/IInvisibleSwitchControl.h"
#include "plugin/ControlRegistry.h"
#include "plugin/ControlZoneFile.h"
#include "tests/plugin/MidiTestSupport.h"
#include "views/ParameterIndex.h"

namespace
{

using quova::test::MidiRig;
using quova::test::SentMessage;
namespace param = quova::param;

PatternEngine& Area(Tobel& plug, int a)
{
    return *plug.GetEngineHost().GetKeyAreas()->GetArea(a);
}

std::vector<int> NoteNumbers(const std::vector<SentMessage>& messages)
{
    std::vector<int> notes;
    for (const SentMessage& m : messages)
        notes.push_back(m.data1);
    return notes;
}

TEST(MidiNotes, ANoteOnWithVelocityZeroActsAsANoteOff)
{
    auto play = [](uint8_t offStatus, uint8_t offVelocity)
    {
        MidiRig rig;
        rig.Midi(0x90, 48, 100);
        rig.Blocks(30);
        rig.Midi(offStatus, 48, offVelocity, 100);
        rig.Blocks(30);
        return rig.Sent();
    };
    const std::vector<SentMessage> withZero = play(0x90, 0);
    const std::vector<SentMessage> withOff = play(0x80, 64);
    EXPECT_EQ(withZero, withOff);
    ASSERT_FALSE(withZero.empty());
    // The arpeggio stopped: nothing after the release's block but the last note-off.
    EXPECT_LE(withZero.back().block, 31);
    EXPECT_EQ(withZero.back().status, 0x80);
}

TEST(MidiControllers, DroppedEchoedOrMalformed)
{
    MidiRig rig;
    for (uint8_t cc : {0, 120, 121, 122, 124, 125, 126, 127})
        rig.Midi(0xB0, cc, 10);
    EXPECT_TRUE(rig.Sent().empty());

    // Unmapped controllers, the pitch wheel and aftertouch go back to the host within the block, at
    // their frames, in time order (the host listed them out of order) and after nothing else.
    rig.Midi(0xB3, 7, 99, 40);
    rig.Midi(0xA0, 60, 20, 43);
    rig.Midi(0xE1, 0, 64, 41);
    rig.Midi(0xD2, 33, 0, 42);
    EXPECT_TRUE(rig.Sent().empty());
    rig.Blocks(1);
    const std::vector<SentMessage> echoed = {
        {0, 40, 0xB3, 7, 99}, {0, 41, 0xE1, 0, 64}, {0, 42, 0xD2, 33, 0}, {0, 43, 0xA0, 60, 20}};
    EXPECT_EQ(rig.Sent(), echoed);
    rig.ClearSent();

    // A host that announced blocks of 4096 and plays blocks of 512: what it lists past the block
    // acts at the block's last frame, a key beyond every key area included.
    rig.Plug().ChangeBlockSize(4096);
    rig.Midi(0xB0, 7, 2, 600);
    rig.Midi(0x90, 100, 90, 3000);
    rig.Blocks(1);
    EXPECT_EQ(rig.Sent(), (std::vector<SentMessage>{{1, 511, 0xB0, 7, 2}, {1, 511, 0x90, 100, 90}}));
    rig.Plug().ChangeBlockSize(MidiRig::kFrames);
    rig.ClearSent();

    // Malformed input is neither handled nor passed on.
    rig.Midi(0x40, 1, 2);
    rig.Midi(0xF0, 1, 2);
    rig.Midi(0xB0, 7, 200);
    rig.Blocks(1);
    EXPECT_TRUE(rig.Sent().empty());

    // Controller 123 is never echoed: the panic it asks for sends controller 123 on every channel at
    // its own frame, in list order: after a controller listed ahead of it at that frame.
    rig.Midi(0xB0, 7, 1, 300);
    rig.Midi(0xB2, 123, 5, 300);
    EXPECT_TRUE(rig.Sent().empty());
    rig.Blocks(1);
    ASSERT_EQ(rig.Sent().size(), 17u);
    EXPECT_EQ(rig.Sent()[0], (SentMessage{3, 300, 0xB0, 7, 1}));
    for (int c = 0; c < 16; ++c)
        EXPECT_EQ(rig.Sent()[static_cast<size_t>(1 + c)],
                  (SentMessage{3, 300, static_cast<uint8_t>(0xB0 + c), 123, 0}));
}

TEST(MidiControllers, ProgramChangesSelectAPatternOfAKeyArea)
{
    MidiRig rig;
    Tobel& plug = rig.Plug();
    Area(plug, 0).SetSortOrder(1, 1); // pattern 2 of key area 1 plays high to low
    plug.GetEngineHost().GetControlTargetTable()->SetSyncSteps(4);
    for (uint8_t n : {48, 52, 55})
        rig.Midi(0x90, n, 100);
    rig.Blocks(11); // two steps
    rig.Midi(0xC0, 1, 0);
    rig.Blocks(150);
    EXPECT_EQ(Area(plug, 0).GetStepper().GetCurrentPattern(), 1);
    const std::vector<int> notes = NoteNumbers(rig.SentOfKind(0x90));
    ASSERT_GE(notes.size(), 12u);
    EXPECT_EQ(std::vector<int>(notes.begin(), notes.begin() + 4), (std::vector<int>{48, 52, 55, 48}));
    // From the switch on the chord runs downward.
    for (size_t i = notes.size() - 6; i + 1 < notes.size(); ++i)
        EXPECT_TRUE(notes[i + 1] < notes[i] || (notes[i] == 48 && notes[i + 1] == 55)) << i;

    // Program 47 is key area 4, pattern 12 (an idle area switches at once, at the program change's
    // frame); 48 and above do nothing.
    rig.Midi(0xC5, 47, 0);
    EXPECT_EQ(Area(plug, 3).GetStepper().GetCurrentPattern(), 0);
    rig.Blocks(1);
    EXPECT_EQ(Area(plug, 3).GetStepper().GetCurrentPattern(), 11);
    rig.Midi(0xC0, 48, 0);
    rig.Midi(0xC0, 127, 0);
    rig.Blocks(1);
    EXPECT_EQ(Area(plug, 3).GetStepper().GetCurrentPattern(), 11);
    EXPECT_EQ(Area(plug, 0).GetStepper().GetCurrentPattern(), 1);
    for (const SentMessage& m : rig.Sent())
        EXPECT_NE(m.status & 0xF0, 0xC0);
}

class MidiLearn : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // A control bound to the global volume, as the editor's volume knob is.
        auto* knob =
            new ICustomInvisibleSwitchControl(&rig_.Plug(), IRectangle{0, 0, 10, 10}, param::kGlobalVolume);
        volumeIndex_ = rig_.Plug().GetGraphics()->AddControl(knob);
        ASSERT_GE(volumeIndex_, 128); // after the 128 learn switches
    }
    double Volume() { return rig_.Plug().GetParameter(param::kGlobalVolume)->Value(); }

    MidiRig rig_;
    int volumeIndex_ = -1;
};

TEST_F(MidiLearn, AnArmedControlTakesTheNextControllerAndThatMessageAtItsFrame)
{
    Tobel& plug = rig_.Plug();
    // The 128 learn switches exist without an editor window and never take a press.
    ASSERT_EQ(plug.GetControlRegistry()->ExtraControlCount(), 128);
    IControl* learn = plug.GetControlRegistry()->GetExtraControl(20);
    EXPECT_EQ(learn->GetParameterIndex(), param::kNoteLearnBase + 20);
    EXPECT_FALSE(learn->ContainsPoint(-1, -1));
    EXPECT_EQ(plug.GetLearnMapping(20), -1);

    plug.ArmMidiLearn(volumeIndex_);
    rig_.Midi(0xB0, 20, 127);
    EXPECT_TRUE(rig_.Sent().empty()); // consumed
    EXPECT_EQ(plug.GetLearnSlot(), -1);
    EXPECT_EQ(plug.GetLearnMapping(20), volumeIndex_);
    EXPECT_EQ(plug.GetParameter(param::kNoteLearnBase + 20)->Value(), volumeIndex_);
    // The control takes the value when the block reaches the message's frame.
    const double before = Volume();
    rig_.Blocks(1);
    EXPECT_NE(before, 127.0);
    EXPECT_EQ(Volume(), 127.0);

    // The mapping stays: 0..127 spans the whole range, on any channel.
    rig_.Midi(0xB5, 20, 0);
    rig_.Blocks(1);
    EXPECT_EQ(Volume(), 0.0);
    rig_.Midi(0xB0, 20, 64);
    rig_.Blocks(1);
    EXPECT_NEAR(Volume(), 64.0, 1e-9);
    EXPECT_TRUE(rig_.Sent().empty());

    // Other controllers are not affected and still reach the host.
    rig_.Midi(0xB0, 21, 5);
    rig_.Blocks(1);
    EXPECT_EQ(rig_.Sent().size(), 1u);

    // Unmapping gives the controller back to the host.
    plug.SetLearnMapping(20, -1);
    EXPECT_EQ(plug.GetLearnMapping(20), -1);
    rig_.Midi(0xB0, 20, 1);
    rig_.Blocks(1);
    EXPECT_EQ(rig_.Sent().size(), 2u);
    EXPECT_NEAR(Volume(), 64.0, 1e-9);
}

TEST_F(MidiLearn, MissingControlsLeaveTheControllerToTheHostAndTheWheelLearnsAs119)
{
    Tobel& plug = rig_.Plug();
    const int missing = plug.GetGraphics()->NControls() + 10; // no such control
    plug.SetLearnMapping(30, missing);
    EXPECT_EQ(plug.GetLearnMapping(30), missing);
    auto* label = new ICustomInvisibleSwitchControl(&plug, IRectangle{}, -1);
    const int labelIndex = plug.GetGraphics()->AddControl(label);
    plug.SetLearnMapping(31, labelIndex); // a control without parameter
    EXPECT_EQ(plug.GetLearnMapping(31), labelIndex);
    rig_.Midi(0xB0, 30, 1);
    rig_.Midi(0xB0, 31, 2);
    rig_.Blocks(1);
    EXPECT_EQ(rig_.Sent().size(), 2u);
    // Controller 0 is never learned, so an armed learn waits for the next usable controller; the
    // pitch wheel's high byte learns as controller 119.
    plug.ArmMidiLearn(volumeIndex_);
    rig_.Midi(0xB0, 0, 3);
    EXPECT_EQ(plug.GetLearnSlot(), volumeIndex_);
    rig_.Midi(0xE3, 0x7F, 127);
    rig_.Blocks(1);
    EXPECT_EQ(plug.GetLearnMapping(119), volumeIndex_);
    EXPECT_EQ(Volume(), 127.0);
    EXPECT_EQ(rig_.Sent().size(), 2u);
}

TEST(ControllerTeach, EveryBlockSendsTheSlowRampOnTheAreasOutputChannel)
{
    MidiRig rig(false);
    Tobel& plug = rig.Plug();
    Area(plug, 0).SetMidiOutChannel(3);
    // The number goes to the selected controller lane of the edited key area (0 means none).
    plug.GetParameter(param::kPatternControllerSelection)->SetValue(2.0);
    plug.SetCcLaneNumber(0);
    EXPECT_EQ(plug.GetControllerLaneNumber(2), -1);
    plug.SetCcLaneNumber(75);
    EXPECT_EQ(plug.GetControllerLaneNumber(2), 74);
    plug.SetCcTeachMode(true);
    EXPECT_EQ(plug.GetCcTeachSlot(), 2);
    std::vector<int> values;
    for (int b = 0; b < 1300; ++b)
    {
        rig.ClearSent();
        rig.Blocks(1);
        ASSERT_EQ(rig.Sent().size(), 1u) << b;
        const SentMessage& m = rig.Sent()[0];
        ASSERT_EQ(m.status, 0xB2);
        ASSERT_EQ(m.data1, 74);
        ASSERT_EQ(m.offset, 0);
        values.push_back(m.data2);
    }
    // 0 for the first ten blocks (the pulse grows by 0.1 from 0), then 1, ... up to 126, then 0.
    for (int b = 0; b < 10; ++b)
        EXPECT_EQ(values[b], 0) << b;
    EXPECT_EQ(values[10], 1);
    EXPECT_EQ(*std::max_element(values.begin(), values.end()), 126);
    const auto wrap = std::find(values.begin() + 20, values.end(), 0);
    ASSERT_NE(wrap, values.end());
    EXPECT_EQ(*(wrap - 1), 126);

    plug.SetCcTeachMode(false);
    EXPECT_EQ(plug.GetCcTeachSlot(), -1);
    rig.ClearSent();
    rig.Blocks(3);
    EXPECT_TRUE(rig.Sent().empty());
}

TEST(ControlZone, TheFileGivesUpTo24ActionsMatchedExactly)
{
    std::vector<std::string> lines = {"order",          "Order",      "shift", "n/a",
                                      "previouspreset", "nextpreset", "hold",  "holdbypass",
                                      "panic",          "pattern16",  "seq",   " gate"};
    while (lines.size() < 30)
        lines.push_back("pattern1");
    lines[24] = "panic";
    const std::vector<int> ids = ControlZoneActionsFromLines(lines);
    ASSERT_EQ(ids.size(), 24u);
    const std::vector<int> head = {1, 0, 0, 0, 10, 11, 12, 13, 14, 30, 9, 0};
    EXPECT_EQ(std::vector<int>(ids.begin(), ids.begin() + 12), head);
    EXPECT_EQ(ids[23], 15);
    EXPECT_EQ(SplitString("Major,0,,12", ','), (std::vector<std::string>{"Major", "0", "", "12"}));
    EXPECT_EQ(SplitString("", ','), (std::vector<std::string>{""}));
}

TEST(ControlZone, TheFileIsReadAtStartAndItsKeysAct)
{
    MidiRig rig(true, {"", "pattern3\r\nn/a\npanic\nhold\n"});
    Tobel& plug = rig.Plug();
    const ControlTargetTable& table = *plug.GetEngineHost().GetControlTargetTable();
    EXPECT_EQ(table.GetActionId(12), 17);
    EXPECT_EQ(table.GetActionId(13), 0);
    EXPECT_EQ(table.GetActionId(14), 14);
    EXPECT_EQ(table.GetActionId(15), 12);
    EXPECT_EQ(table.GetActionId(16), 0); // keys without a line have no action

    // "panic": controller 123 on every channel at the key's frame.
    rig.Midi(0x90, 14, 100, 200);
    rig.Blocks(2);
    const std::vector<SentMessage> controllers = rig.SentOfKind(0xB0);
    ASSERT_EQ(controllers.size(), 16u);
    EXPECT_EQ(controllers[0], (SentMessage{0, 200, 0xB0, 123, 0}));
    // "hold" toggles the edited key area's hold; "pattern3" selects its third pattern.
    rig.Midi(0x90, 15, 100);
    rig.Midi(0x90, 12, 100);
    rig.Blocks(2);
    EXPECT_TRUE(Area(plug, 0).GetHold());
    EXPECT_EQ(Area(plug, 0).GetStepper().GetCurrentPattern(), 2);
    // Zone keys never sound: neither passed through nor arpeggiated.
    EXPECT_TRUE(rig.SentOfKind(0x90).empty());
}

TEST(ControlZone, AMissingFileLeavesEveryKeyWithoutActionAndDisablingPassesKeysOn)
{
    MidiRig rig(true, {"false\nfalse\nfalse\nfalse\nfalse\ntrue\nfalse\n", ""});
    const ControlTargetTable& table = *rig.Plug().GetEngineHost().GetControlTargetTable();
    for (int key = 12; key <= 35; ++key)
        EXPECT_EQ(table.GetActionId(key), 0) << key;
    EXPECT_FALSE(table.IsZoneOn());
    rig.Midi(0x90, 20, 100, 3);
    rig.Blocks(1);
    EXPECT_EQ(rig.Sent(), (std::vector<SentMessage>{{0, 3, 0x90, 20, 100}}));
}

TEST(KeyNames, NamesFollowTheZoneAndTheKeyAreas)
{
    MidiRig rig(true, {"true\nfalse\nfalse\nfalse\nfalse\nfalse\nfalse\n",
                       "order\nn/a\n\n\n\n\n\n\n\n\nnextpreset\n"});
    Tobel& plug = rig.Plug();
    char text[64];
    auto name = [&](int note)
    { return plug.GetMidiNoteName(note, text, sizeof text) ? std::string(text) : "-"; };
    EXPECT_EQ(name(30), "Pattern 7");
    EXPECT_EQ(name(24), "Pattern 1");
    EXPECT_EQ(name(35), "Pattern 12");
    EXPECT_EQ(name(12), "order");
    EXPECT_EQ(name(13), ""); // no action: an empty name
    EXPECT_EQ(name(22), ""); // next preset has no target name
    EXPECT_EQ(name(48), "T1 C3");
    EXPECT_EQ(name(59), "T1 B3");
    EXPECT_EQ(name(60), "T2 C4");
    EXPECT_EQ(name(5), "-");
    EXPECT_EQ(name(110), "-");
    // Overlapping areas are joined; each names the note from its own base note.
    Area(plug, 1).SetStartNote(50);
    Area(plug, 1).SetBaseNote(62);
    EXPECT_EQ(name(55), "T1 G3;T2 G4");
    // A short buffer still gets a terminated text.
    char small[4];
    EXPECT_TRUE(plug.GetMidiNoteName(55, small, sizeof small));
    EXPECT_STREQ(small, "T1 ");
    // While the option is off nothing is named.
    plug.SetGlobalOption(0, 0.0);
    EXPECT_FALSE(plug.GetMidiNoteName(30, text, sizeof text));
    EXPECT_FALSE(plug.GetMidiNoteName(48, text, sizeof text));
}

} // namespace
