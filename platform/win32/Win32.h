#pragma once
// Everything the headless window layer declares, for code that uses several of its parts.
// (The input source's side is WindowSystem.h, included separately by drivers and tools.)

#include "platform/types/Win32Types.h"
#include "platform/win32/CriticalSection.h"
#include "platform/win32/Dialogs.h"
#include "platform/win32/EditControl.h"
#include "platform/win32/Input.h"
#include "platform/win32/Menu.h"
#include "platform/win32/Paint.h"
#include "platform/win32/Registry.h"
#include "platform/win32/Shell.h"
#include "platform/win32/TextConversion.h"
#include "platform/win32/Timer.h"
#include "platform/win32/Window.h"
#include "platform/win32/WindowMessages.h"
