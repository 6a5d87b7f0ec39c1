// OptionalPlugLock: holds the plug lock of an editor's plug-in for a scope (nothing for an editor
// without a plug-in). The lock is recursive, so a holder may be nested in the same thread.
#pragma once

#include "framework/EffectLock.h"
#include "framework/IEffectBase.h"

class OptionalPlugLock
{
public:
    explicit OptionalPlugLock(IEffectBase* plug) : lock_(plug != nullptr ? &plug->GetLock() : nullptr)
    {
        if (lock_ != nullptr) lock_->Enter();
    }
    ~OptionalPlugLock()
    {
        if (lock_ != nullptr) lock_->Leave();
    }
    OptionalPlugLock(const OptionalPlugLock&) = delete;
    OptionalPlugLock& operator=(const OptionalPlugLock&) = delete;

private:
    IEffectLock* lock_;
};
