// The parameter table as the plug-in defines it: every row's name, type, range, step, default and
// display texts, the index formulas, the overlapping on/off switches and the host-dependent note
// names.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>

#include "plugin/ParameterTable.h"
#include "tests/plugin/PluginTestSupport.h"
#include "views/ParameterIndex.h"

namespace
{

using quova::test::FakeHost;
using quova::test::TempDataFolder;

// One plug-in per host product for the whole suite (construction defines 56738 parameters).
class ParameterTable : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        folder_ = new TempDataFolder;
        {
            FakeHost host;
            plain_ = new Tobel(&FakeHost::Callback);
        }
        {
            FakeHost host;
            host.product = "Cubase VST";
            lowerOctaveHost_ = new Tobel(&FakeHost::Callback);
        }
    }
    static void TearDownTestSuite()
    {
        delete plain_;
        delete lowerOctaveHost_;
        delete folder_;
    }

    static const IParameter& P(int index) { return *plain_->GetParameter(index); }
    static std::string Text(const Tobel* plug, int index, double value)
    {
        char text[64];
        plug->GetParameter(index)->FormatValue(value, false, text, sizeof text, true);
        return text;
    }
    static std::string Text(int index, double value) { return Text(plain_, index, value); }

    static inline TempDataFolder* folder_ = nullptr;
    static inline Tobel* plain_ = nullptr;
    static inline Tobel* lowerOctaveHost_ = nullptr;
};

struct Row
{
    int index;
    const char* name;
    int type;
    double defaultValue;
    double minimum;
    double maximum;
    double step;
};

constexpr int kInt = IParameter::kTypeInt;
constexpr int kEnum = IParameter::kTypeEnum;
constexpr int kDouble = IParameter::kTypeDouble;

// One instance of every row of the table, at area 1 / pattern 2 (slot 13) where it has one.
const Row kRows[] = {
    // per key area (a = 1)
    {6, "Note release T2", kInt, 0, 0, 1, 1},
    {10, "Hold transpose T2", kInt, 0, 0, 1, 1},
    {14, "Hold bypass T2", kInt, 0, 0, 1, 1},
    {18, "Hold T2", kInt, 0, 0, 1, 1},
    {22, "Scene on/off T2", kInt, 0, 0, 1, 1},
    {26, "Arp on note count T2", kEnum, 0, 0, 3, 1},
    {414, "Velocity mode T2", kEnum, 1, 0, 4, 1},
    {2866, "Keyarea on/off T2", kInt, 0, 0, 1, 1},
    {2865, "Keyarea on/off T1", kInt, 1, 0, 1, 1},
    {17097, "MIDI in channel T2", kEnum, 0, 0, 15, 1},
    {17101, "MIDI out channel T2", kEnum, 0, 0, 15, 1},
    {17105, "Key Area Patterns T2", kEnum, 0, 0, 11, 1},
    {17110, "Key area start note T2", kEnum, 48, 0, 119, 1},
    {17114, "Key area end note T2", kEnum, 58, 0, 119, 1},
    {17118, "Key area base note T2", kEnum, 48, 0, 119, 1},
    {17122, "Volume T2", kDouble, 0.0, -1.0, 1.0, 0.0},
    {18142, "Hold sync T2", kEnum, 0, 0, 31, 1},
    {30610, "Scene end T2", kInt, 15, 0, 16, 1},
    {56728, "Send CC T2", kInt, 0, 0, 1, 1},
    {56733, "CM Trigger T2", kInt, 0, 0, 1, 1},
    // per pattern (slot 13 = area 1, pattern 1)
    {29 + 13, "Gate T2 P2", kDouble, -10, -100, 100, 1},
    {77 + 13, "Rate free toggle T2 P2", kInt, 0, 0, 1, 1},
    {125 + 13, "Rate T2 P2", kDouble, 12, 0, 22, 1},
    {173 + 13, "Rate Free mode T2 P2", kDouble, 1, 1, 20, 0.1},
    {221 + 13, "Sort order T2 P2", kEnum, 0, 0, 7, 1},
    {269 + 13, "Swing T2 P2", kDouble, 0, 0, 1, 0.01},
    {317 + 13, "Octaves T2 P2", kDouble, 1, 1, 5, 1},
    {365 + 13, "Transpose T2 P2", kDouble, 0, -12, 12, 1},
    {417 + 13, "Reset on new note T2 P2", kInt, 0, 0, 1, 1},
    {2817 + 13, "Pattern steps", kEnum, 31, 0, 31, 1},
    {1281 + 32 * 13 + 4, "Step on/off 5 T2 P2", kInt, 1, 0, 1, 1},
    // per lane of a pattern
    {465 + 17 * 13 + 3, "Reset nl on pattern reset", kInt, 0, 0, 1, 1},
    {17317 + 17 * 13 + 3, "Direction", kEnum, 0, 0, 3, 1},
    // per step (slot 13, step 7)
    {12472 + 32 * 13 + 7, "Step note list 1/1/7", kEnum, 0, 0, 7, 1},
    {15544 + 32 * 13 + 7, "Step source 1/1/7", kEnum, 0, 0, 15, 1},
    {3256 + 32 * 13 + 7, "Step length 1/1/7", kInt, 1, 1, 8, 1},
    {4792 + 32 * 13 + 7, "Step gate 1/1/7", kDouble, 0, -100, 100, 1},
    {6328 + 32 * 13 + 7, "Step accent 1/1/7", kDouble, 0, -100, 100, 1},
    {7864 + 32 * 13 + 7, "Step transpose 1/1/7", kInt, 0, -24, 24, 1},
    {9400 + 32 * 13 + 7, "Step div 1/1/7", kInt, 0, 0, 7, 1},
    {10936 + 32 * 13 + 7, "Step shift 1/1/7", kDouble, 0, -50, 50, 0.1},
    {14008 + 32 * 13 + 7, "Step chord 1/1/7", kInt, 0, 0, 255, 1},
    {18173 + 256 * 13 + 32 * 2 + 7, "Step CC  1/1/7", kInt, 0, 0, 127, 1},
    {30613 + 32 * (9 * 13 + 4) + 7, "Step on/off 8", kInt, 1, 0, 1, 1},
    // scene steps (area 1, step 3)
    {17125 + 16 + 3, "Scene step length", kEnum, 31, 0, 31, 1},
    {17189 + 16 + 3, "Scene step pattern", kEnum, 0, 0, 11, 1},
    {17253 + 16 + 3, "Scene step repeat", kEnum, 0, 0, 31, 1},
    // global and editor parameters
    {0, "Global volume", kDouble, 64, 0, 127, 1},
    {1, "Key Area selection", kEnum, 0, 0, 3, 1},
    {3253, "Scale", kEnum, 0, 0, 40, 1},
    {3254, "Scale key ", kEnum, 0, 0, 11, 1},
    {3255, "Scale mode", kEnum, 0, 0, 11, 1},
    {17080, "Chord memory selection", kEnum, 0, 0, 15, 1},
    {18145, "Draw tool", kInt, 1, 0, 1, 1},
    {18146, "Selection tool", kInt, 0, 0, 1, 1},
    {18147, "Randomize", kInt, 0, 0, 1, 1},
    {18148, "Copy tool", kInt, 0, 0, 1, 1},
    {18149, "Paste tool", kInt, 0, 0, 1, 1},
    {18150, "Clear tool", kInt, 0, 0, 1, 1},
    {18151, "Panic tool", kInt, 0, 0, 1, 1},
    {18152, "Box left", kInt, 0, 0, 1, 1},
    {18153, "Box right", kInt, 0, 0, 1, 1},
    {18154, "Box browser", kInt, 0, 0, 1, 1},
    {18156, "Box info", kInt, 0, 0, 1, 1},
    {18158, "CM Box left", kInt, 0, 0, 1, 1},
    {18159, "CM Box right", kInt, 0, 0, 1, 1},
    {18161, "Chord memory apply chord select", kEnum, 0, 0, 7, 1}, // cut to the 31-character field
    {18162, "CM Copy tool", kInt, 0, 0, 1, 1},
    {18163, "CM Paste tool", kInt, 0, 0, 1, 1},
    {18164, "CM Clear tool", kInt, 0, 0, 1, 1},
    {18165, "CM apply", kInt, 0, 0, 1, 1},
    {18166, "CM inv right", kInt, 0, 0, 1, 1},
    {18167, "CM inv left", kInt, 0, 0, 1, 1},
    {18168, "Lock gate", kInt, 0, 0, 1, 1},
    {18169, "Lock swing", kInt, 0, 0, 1, 1},
    {18170, "Lock octaves", kInt, 0, 0, 1, 1},
    {18171, "Lock transpose", kInt, 0, 0, 1, 1},
    {18172, "Lock rate", kInt, 0, 0, 1, 1},
    {30461, "Pattern CC selection", kEnum, 0, 0, 7, 1},
    {30462, "CC teach selection", kEnum, 0, 0, 128, 1},
    {30463, "CC Teach", kInt, 0, 0, 1, 1},
    {30465, "Control Zone sync", kEnum, 0, 0, 3, 1},
    {30466, "Resize", kInt, 0, 0, 1, 1},
    {30469, "Pattern Step mode", kEnum, 0, 0, 8, 1},
    {30473, "MIDI learn", kEnum, -1, 0, 1, 1},
    {30474, "Copy", kEnum, -1, 0, 2, 1},
    {30475, "Copy", kEnum, -1, 0, 4, 1},
    {30476, "Reset steps", kEnum, 0, 0, 4, 1},
    {30477, "MIDI output", kEnum, 0, 0, 1, 1},
    {30478 + 60, "", kInt, -1, -1, 100000, 1},
    {30608, "Box settings", kInt, 0, 0, 1, 1},
};

TEST_F(ParameterTable, EveryRowHasItsNameTypeRangeStepAndDefault)
{
    for (const Row& row : kRows)
    {
        SCOPED_TRACE(row.index);
        const IParameter& p = P(row.index);
        EXPECT_STREQ(p.GetName(), row.name);
        EXPECT_EQ(p.GetType(), row.type);
        EXPECT_DOUBLE_EQ(p.GetDefault(), row.defaultValue);
        EXPECT_DOUBLE_EQ(p.Value(), row.defaultValue);
        EXPECT_DOUBLE_EQ(p.GetMinimum(), row.minimum);
        EXPECT_DOUBLE_EQ(p.GetMaximum(), row.maximum);
        EXPECT_DOUBLE_EQ(p.GetStep(), row.step);
        EXPECT_DOUBLE_EQ(p.GetCurve(), 1.0);
        EXPECT_STREQ(p.GetUnitLabel(), "");
        EXPECT_EQ(p.IsKeptOutOfPresetLoads(), row.index >= 18168 && row.index <= 18172);
    }
}

TEST_F(ParameterTable, CountsAutomationAndIdentity)
{
    EXPECT_EQ(plain_->NParameters(), 56738);
    EXPECT_FALSE(P(17079).IsNotAutomated());
    EXPECT_TRUE(P(17080).IsNotAutomated());
    AEffect* effect = plain_->GetEffect();
    EXPECT_EQ(effect->numParams, 0); // the host is told of no parameters
    EXPECT_EQ(effect->uniqueID, 846543157);
    EXPECT_EQ(plain_->GetEffectVersion(false), 66052); // 1.2.4 packed
    EXPECT_EQ(effect->version, 10204);                 // the record carries it as a decimal
    EXPECT_EQ(effect->numInputs, 0);
    EXPECT_EQ(effect->numOutputs, 2);
    EXPECT_STREQ(plain_->GetEffectName(), "Quova");
    EXPECT_STREQ(plain_->GetMakerName(), "Tobel");
    EXPECT_TRUE(plain_->DoesMidi());
    EXPECT_TRUE(plain_->UsesChunks());
    EXPECT_TRUE(plain_->IsInstrument());
    EXPECT_EQ(plain_->GetBlockSize(), 1024);
}

TEST_F(ParameterTable, IndexFormulasMatchTheTableExamples)
{
    using namespace quova::param;
    EXPECT_EQ(PerPattern(kRate, 0, 0), 125);
    EXPECT_EQ(PerPattern(kRate, 3, 11), 172);
    EXPECT_EQ(StepValue(3, 11, 3, 31), 6327);
    EXPECT_EQ(StepValue(3, 11, 16, 31), 30460);
    EXPECT_EQ(StepOnOff(3, 11, 8, 31), 44436);
    EXPECT_EQ(StepOnOff(0, 0, 9, 0), StepOnOff(0, 1, 0, 0));
    StepAddress address;
    ASSERT_TRUE(DecodeStepOnOff(StepOnOff(2, 7, 5, 19), &address));
    EXPECT_EQ(address.area, 2);
    EXPECT_EQ(address.pattern, 7);
    EXPECT_EQ(address.lane, 5);
    EXPECT_EQ(address.step, 19);
    EXPECT_FALSE(DecodeStepOnOff(44437, &address));
}

TEST_F(ParameterTable, UndefinedIndicesKeepAFreshParameter)
{
    for (int index :
         {2,     3,     4,     2869,  3252,  17081, 17095, 17108, 18133, 18140, 18155, 18157, 18160,
          30464, 30472, 30606, 30607, 44693, 50000, 56724, 56725, 56726, 56731, 56736, 56737})
    {
        SCOPED_TRACE(index);
        const IParameter& p = P(index);
        EXPECT_EQ(p.GetType(), IParameter::kTypeNone);
        EXPECT_STREQ(p.GetName(), "");
        EXPECT_DOUBLE_EQ(p.GetMinimum(), 0.0);
        EXPECT_DOUBLE_EQ(p.GetMaximum(), 1.0);
        EXPECT_DOUBLE_EQ(p.GetStep(), 1.0);
        EXPECT_DOUBLE_EQ(p.GetDefault(), 0.0);
    }
    // The switches of controller lanes 9..16 of the last slot lie beyond the decoded block.
    EXPECT_STREQ(P(44437).GetName(), "Step on/off 1");
    EXPECT_STREQ(P(44692).GetName(), "Step on/off 32");
}

TEST_F(ParameterTable, DisplayTextsOfEveryEnumeration)
{
    EXPECT_EQ(Text(26, 3), "4");
    EXPECT_EQ(Text(413, 0), "Max");
    EXPECT_EQ(Text(413, 4), "Average");
    EXPECT_EQ(Text(17096, 0), "1");
    EXPECT_EQ(Text(17103, 15), "16");
    EXPECT_EQ(Text(18141, 0), "Next");
    EXPECT_EQ(Text(18141, 1), "2");
    EXPECT_EQ(Text(18141, 31), "32");
    EXPECT_EQ(Text(221, 6), "As played alt");
    EXPECT_EQ(Text(2817, 0), "1");
    EXPECT_EQ(Text(2817, 31), "32");
    EXPECT_EQ(Text(17317, 2), "Up Alt");
    EXPECT_EQ(Text(17317, 3), "Down Alt");
    EXPECT_EQ(Text(12472, 7), "Random");
    EXPECT_EQ(Text(12472 + 100, 2), "Previous");
    EXPECT_EQ(Text(15544, 0), "Chord memory 0");
    EXPECT_EQ(Text(15544 + 1535, 15), "Chord memory 15");
    EXPECT_EQ(Text(17125, 31), "32");
    EXPECT_EQ(Text(17189, 11), "12");
    EXPECT_EQ(Text(17253, 0), "1");
    EXPECT_EQ(Text(3253, 0), "Off");
    EXPECT_EQ(Text(3253, 1), "Major");
    EXPECT_EQ(Text(3253, 15), "Spanish Gypsy ");
    EXPECT_EQ(Text(3253, 40), "Dominant 7th");
    EXPECT_EQ(Text(3254, 1), "C#");
    EXPECT_EQ(Text(3254, 11), "B");
    EXPECT_EQ(Text(3255, 0), "0");
    EXPECT_EQ(Text(3255, 11), "11");
    EXPECT_EQ(Text(18161, 0), "Major");
    EXPECT_EQ(Text(18161, 3), "Major 9");
    EXPECT_EQ(Text(18161, 7), "Minor 9");
    EXPECT_EQ(Text(30461, 7), "8");
    EXPECT_EQ(Text(30462, 0), "-----");
    EXPECT_EQ(Text(30462, 1), "0");
    EXPECT_EQ(Text(30462, 128), "127");
    EXPECT_EQ(Text(30465, 0), "Next");
    EXPECT_EQ(Text(30465, 3), "16");
    EXPECT_EQ(Text(30473, 1), "MIDI unlearn");
    EXPECT_EQ(Text(30474, 2), "Paste to all");
    EXPECT_EQ(Text(30475, 3), "Toggle send only CC");
    EXPECT_EQ(Text(30475, 4), "Toggle trigger CM");
    EXPECT_EQ(Text(30476, 0), "Toggle On/Off");
    EXPECT_EQ(Text(30476, 4), "Reset steps");
    EXPECT_EQ(P(30477).CountValueTexts(), 0);
    // Numbers without texts.
    EXPECT_EQ(Text(0, 64.0), "64");
    EXPECT_EQ(Text(173, 1.5), "1.5");
    EXPECT_EQ(Text(269, 0.25), "0.25");
}

TEST_F(ParameterTable, NoteNamesFollowTheHost)
{
    // Default start note of key area 1 (value 24).
    EXPECT_EQ(Text(plain_, 17109, 24), "C 2");
    EXPECT_EQ(Text(lowerOctaveHost_, 17109, 24), "C 1");
    EXPECT_EQ(Text(plain_, 17109, 61), "C# 5");
    EXPECT_EQ(Text(lowerOctaveHost_, 17109, 61), "C# 4");
    // The end note shows the name of value + 1.
    EXPECT_EQ(Text(plain_, 17113, 46), "B 3");
    EXPECT_EQ(Text(plain_, 17113, 119), "C 10");
    EXPECT_EQ(Text(lowerOctaveHost_, 17113, 59), "C 4");
    // The base note carries texts for 0..127 although its range ends at 119.
    EXPECT_EQ(P(17117).CountValueTexts(), 128);
    EXPECT_EQ(P(17109).CountValueTexts(), 120);
    EXPECT_STREQ(P(17117).GetValueText(127), "G 10");
    EXPECT_STREQ(lowerOctaveHost_->GetParameter(17117)->GetValueText(0), "C -1");
    EXPECT_EQ(quova::FormatNoteName(60, 9), "C 4");
    EXPECT_EQ(quova::FormatNoteName(60, 21), "C 4");
    EXPECT_EQ(quova::FormatNoteName(60, 1), "C 5");
}

TEST_F(ParameterTable, SuffixesAndLongNames)
{
    EXPECT_EQ(quova::MakeAreaSuffix(0), " T1");
    EXPECT_EQ(quova::MakeAreaSuffix(3, 11), " T4 P12");
    EXPECT_STREQ(P(125).GetName(), "Rate T1 P1");
    EXPECT_STREQ(P(172).GetName(), "Rate T4 P12");
    EXPECT_STREQ(P(1281 + 32 * 47 + 31).GetName(), "Step on/off 32 T4 P12");
    EXPECT_STREQ(P(12472 + 32 * 47 + 31).GetName(), "Step note list 3/11/31");
    // A name longer than the field is cut to 31 characters.
    EXPECT_EQ(std::string(P(18161).GetName()).size(), 31u);
}

} // namespace
