// An editor stand-in that records what the framework asks of it.
#pragma once

#include <vector>

#include "framework/EffectEditor.h"

struct FakeEditor : IEffectEditor
{
    struct Update
    {
        int index;
        double value;
        bool normalised;
    };
    FakeEditor(int width, int height, bool* deleted = nullptr)
        : width_(width), height_(height), deleted_(deleted)
    {
    }
    ~FakeEditor() override
    {
        if (deleted_ != nullptr) *deleted_ = true;
    }
    void PrepareDrawing() override { ++prepared; }
    void UpdateParameterControls(int index, double value, bool isNormalised) override
    {
        updates.push_back({index, value, isNormalised});
    }
    void RefreshParameterControls() override { ++refreshes; }
    void* OpenEditorWindow(void* parent) override
    {
        parentSeen = parent;
        open = openSucceeds;
        return openSucceeds ? this : nullptr;
    }
    void CloseEditorWindow() override { open = false; }
    int Width() const override { return width_; }
    int Height() const override { return height_; }

    int prepared = 0;
    int refreshes = 0;
    bool open = false;
    bool openSucceeds = true;
    void* parentSeen = nullptr;
    std::vector<Update> updates;

private:
    int width_;
    int height_;
    bool* deleted_;
};
