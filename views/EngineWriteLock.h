#pragma once

#include "framework/IEffectBase.h"

// Holds the plug-in's lock, when there is a plug-in, while the editor reads
// or writes engine objects that the audio thread uses (loop ranges, the scene
// end, the chord memory). The lock is recursive, so a caller that already
// holds it may take it again. Non-copyable.
class EngineWriteLock
{
public:
    explicit EngineWriteLock(IEffectBase* plug) : plug_(plug)
    {
        if (plug_ != nullptr) plug_->GetLock().Enter();
    }
    ~EngineWriteLock()
    {
        if (plug_ != nullptr) plug_->GetLock().Leave();
    }
    EngineWriteLock(const EngineWriteLock&) = delete;
    EngineWriteLock& operator=(const EngineWriteLock&) = delete;

private:
    IEffectBase* plug_;
};
