// A block of parameter values handed to the controls at once against the same values handed over
// one parameter at a time: two editors built alike must end with the same control values, paint
// requests, changed flags and changed set, on the editor's thread and from a thread that posts.
#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <memory>
#include <thread>
#include <vector>

#include "gui/IEditorWindow.h"
#include "gui/IGraphics.h"
#include "tests/gui/EditorTestSupport.h"

namespace
{

using Values = std::vector<double>;

struct Side
{
    Side()
    {
        plug->AttachEditor(editor);
        // Two controls on one parameter, a limited one, one without a parameter, none for kLearn.
        for (int parameter : std::initializer_list<int>{EditorTestPlug::kGain, EditorTestPlug::kGain,
                                                        EditorTestPlug::kMode, -1, EditorTestPlug::kNote,
                                                        EditorTestPlug::kFine, EditorTestPlug::kSwitch})
        {
            auto* control = new Swatch(plug.get(), IRectangle(0, 0, 4, 4), parameter);
            editor->AddControl(control);
            controls.push_back(control);
        }
        controls[2]->SetClamp(0.25, 0.5);
    }
    // As after a paint: nothing asks for one, and the changed set lets go of every control.
    void Settle()
    {
        for (IControl* control : controls)
            control->MarkDrawn();
        IRectangle area;
        editor->CollectChangedArea(&area);
    }

    std::unique_ptr<EditorTestPlug> plug = std::make_unique<EditorTestPlug>();
    IEditorWindow* editor = new IEditorWindow(plug.get(), kEditorWidth, kEditorHeight, 30);
    std::vector<Swatch*> controls;
};

void ExpectSame(const Side& single, const Side& block, int step)
{
    EXPECT_EQ(single.editor->PendingControlCount(), block.editor->PendingControlCount()) << "step " << step;
    for (size_t i = 0; i < single.controls.size(); ++i)
    {
        const IControl& a = *single.controls[i];
        const IControl& b = *block.controls[i];
        EXPECT_EQ(a.GetValue(), b.GetValue()) << "step " << step << " control " << i;
        EXPECT_EQ(a.IsDirty(), b.IsDirty()) << "step " << step << " control " << i;
        EXPECT_EQ(a.IsRedrawPending(), b.IsRedrawPending()) << "step " << step << " control " << i;
        EXPECT_EQ(a.IsChanged(), b.IsChanged()) << "step " << step << " control " << i;
    }
}

// Blocks of normalised values for kGain .. kFine: unchanged values, new ones, values the limited
// control holds only after limiting, a value that is not a number, then part of the range.
const std::vector<Values> kBlocks = {
    {0.25, 0.0, 0.0, 0.0, 60.0 / 127.0, 0.5}, {0.25, 0.0, 0.0, 0.0, 60.0 / 127.0, 0.5},
    {0.75, 0.1, 1.0, 0.3, 0.5, 0.0},          {0.75, 0.1, 1.0, 0.3, 0.5, 0.0},
    {NAN, 0.9, 0.0, 0.7, 0.5, 1.0},           {0.75, 0.4, 0.0, 0.7, 0.5, 1.0},
};

void UpdateBoth(Side& single, Side& block, const Values& values, int first, int count)
{
    for (int k = 0; k < count; ++k)
        single.editor->UpdateParameterControls(first + k, values[static_cast<size_t>(k)], true);
    block.editor->UpdateParameterControlsBlock(first, count, values.data());
}

TEST(ParameterBlockUpdate, MatchesSingleUpdatesOnTheEditorsThread)
{
    Side single, block;
    for (size_t step = 0; step < kBlocks.size(); ++step)
    {
        single.Settle();
        block.Settle();
        UpdateBoth(single, block, kBlocks[step], 0, EditorTestPlug::kCount);
        ExpectSame(single, block, static_cast<int>(step));
    }
    // A part of the range, and ranges past the last parameter with controls or before the first.
    const Values part = {0.5, 0.2, 0.9};
    UpdateBoth(single, block, part, 2, 3);
    ExpectSame(single, block, 100);
    UpdateBoth(single, block, part, EditorTestPlug::kCount, 3);
    UpdateBoth(single, block, part, -5, 3);
    ExpectSame(single, block, 101);
    EXPECT_EQ(block.controls[0]->GetValue(), 0.75);
    EXPECT_EQ(block.controls[2]->GetValue(), 0.4);
}

TEST(ParameterBlockUpdate, MatchesSingleUpdatesFromAThreadThatPosts)
{
    Side single, block;
    single.editor->BindEditorThread();
    block.editor->BindEditorThread();
    for (size_t step = 0; step < kBlocks.size(); ++step)
    {
        single.Settle();
        block.Settle();
        std::thread([&] { UpdateBoth(single, block, kBlocks[step], 0, EditorTestPlug::kCount); }).join();
        if (step == 2)
        {
            EXPECT_EQ(block.controls[0]->GetValue(), 0.25) << "posted, not yet applied";
        }
        single.editor->ApplyPostedChanges();
        block.editor->ApplyPostedChanges();
        ExpectSame(single, block, static_cast<int>(step));
    }
    EXPECT_EQ(block.controls[0]->GetValue(), 0.75);
    // Two blocks before the editor applies either: the second one takes the controls back to the
    // values they hold, which is a change from the first one's posted values.
    std::thread(
        [&]
        {
            UpdateBoth(single, block, kBlocks[2], 0, EditorTestPlug::kCount);
            UpdateBoth(single, block, kBlocks.back(), 0, EditorTestPlug::kCount);
        })
        .join();
    single.editor->ApplyPostedChanges();
    block.editor->ApplyPostedChanges();
    ExpectSame(single, block, 200);
    EXPECT_EQ(block.controls[1]->GetValue(), 0.75);
    single.editor->UnbindEditorThread();
    block.editor->UnbindEditorThread();
}

} // namespace
