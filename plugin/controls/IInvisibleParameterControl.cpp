#include "plugin/controls/IInvisibleParameterControl.h"

IInvisibleParameterControl::IInvisibleParameterControl(IPlugBase* plug, const IRectangle& rect, int parameterIndex)
    : IControl(plug, rect, parameterIndex)
{
}

bool IInvisibleParameterControl::Paint(IGraphics*)
{
    return false;
}
