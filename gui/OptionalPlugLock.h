// OptionalPlugLock: holds the plug lock of an editor's plug-in for a scope (nothing for an editor
// without a plug-in). The lock is recursive, so a holder may be nested in the same thread.
// EditLock: the same, held by a control that writes the user's edit into the plug-in's model
// directly rather than through a parameter (loop ranges, the scene end, chord-memory notes): the
// write is noted as an edit of the saved state (IEffectBase::NoteEditorEdit), so the host hears of it.
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

class EditLock : public OptionalPlugLock
{
public:
    explicit EditLock(IEffectBase* plug) : OptionalPlugLock(plug)
    {
        if (plug != nullptr) plug->NoteEditorEdit();
    }
};
