#include "ViewsTestSupport.h"

#include "engine/EngineDefaults.h"

namespace quova::test
{

ViewsFixtureEngine::ViewsFixtureEngine()
{
    transport.sampleRate = 44100.0;
    transport.samplesPerBeat = 22050.0;
    engine = std::make_unique<EngineHost>(transport);
    ApplyDefaultParameterState(*engine);
    handler =
        std::make_unique<UIEventHandler>(nullptr, engine->GetKeyAreas(), engine->GetNoteEngine(), &host);
}

} // namespace quova::test
