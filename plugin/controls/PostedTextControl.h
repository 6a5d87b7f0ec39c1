// PostedTextControl: a bitmap-font text line whose text may be set from any thread. The status
// line and the preset author text are written by the audio thread (engine actions), the preset
// loader's worker and the editor; ITextControl::ChangeText may only run on the editor's thread,
// so a posted text waits here and the editor takes it at its next paint of the line.
//
// Threads: PostText and GetPostedText from any thread; everything else on the editor's thread.
// Owned by the editor object. Non-copyable.
#pragma once

#include "gui/ICustomTextControl.h"

#include <atomic>
#include <mutex>
#include <string>

class PostedTextControl : public ICustomTextControl
{
public:
    // font: not owned; may be null (then nothing is drawn).
    PostedTextControl(IGraphics* graphics, const IRectangle& rect, const BitmapFont* font);

    // The line shows text from the editor's next paint on. Any thread.
    void PostText(const std::string& text);
    // The text last posted (or shown). Any thread.
    std::string GetPostedText() const;

    // Dirty, or a posted text is waiting to be shown.
    bool NeedsRedraw() const override;
    // Takes a waiting text first, then draws as ICustomTextControl.
    bool Paint(IGraphics* graphics) override;

private:
    mutable std::mutex mutex_;
    std::string posted_;
    std::atomic<bool> pending_{false};
};
