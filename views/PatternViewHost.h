#pragma once

class IControl;

// What the step grid needs of the plug-in: the step value controls of the
// control registry (every edit goes out through them, so the parameter, the
// host and the engine follow the ordinary parameter road) and the queries
// whether a pattern or a lane differs from its defaults. The plug-in class
// implements it; the views never see the plug-in class itself.
//
// Threads: the editor's thread (mouse handlers and painting).
class PatternViewHost
{
public:
    virtual ~PatternViewHost() = default;

    // The step value control of (key area, pattern, lane, step), or null when
    // there is none (bad indices included).
    virtual IControl* FindStepControl(int area, int pattern, int lane, int step) = 0;
    // Whether a pattern of a key area differs from its defaults. The answer
    // follows from parameter values: the view asks again only after a
    // parameter was written (IParameter::WriteCount).
    virtual bool PatternHasEdits(int area, int pattern) = 0;
    // Whether a lane of a pattern differs from its defaults.
    virtual bool LaneHasEdits(int area, int pattern, int lane) = 0;
};
