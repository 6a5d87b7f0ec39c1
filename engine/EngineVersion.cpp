#include "engine/EngineVersion.h"
