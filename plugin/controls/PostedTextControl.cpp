#include "plugin/controls/PostedTextControl.h"

PostedTextControl::PostedTextControl(IGraphics* graphics, const IRectangle& rect, const BitmapFont* font)
    : ICustomTextControl(graphics, rect, font)
{
    // NeedsRedraw also answers from a posted text.
    SetAlwaysPolled(true);
}

void PostedTextControl::PostText(const std::string& text)
{
    std::lock_guard<std::mutex> guard(mutex_);
    posted_ = text;
    pending_.store(true, std::memory_order_release);
}

std::string PostedTextControl::GetPostedText() const
{
    std::lock_guard<std::mutex> guard(mutex_);
    return posted_;
}

bool PostedTextControl::NeedsRedraw() const
{
    return ICustomTextControl::NeedsRedraw() || pending_.load(std::memory_order_acquire);
}

bool PostedTextControl::Paint(IGraphics* graphics)
{
    if (pending_.exchange(false, std::memory_order_acq_rel))
    {
        std::string text;
        {
            std::lock_guard<std::mutex> guard(mutex_);
            text = posted_;
        }
        ChangeText(text.c_str());
    }
    return ICustomTextControl::Paint(graphics);
}
