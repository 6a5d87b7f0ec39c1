#include "engine/EngineHost.h"

#include "engine/ActionDispatcher.h"
#include "engine/ChordMemory.h"
#include "engine/ControlTargetTable.h"
#include "engine/KeyAreaList.h"
#include "engine/NoteEngine.h"

EngineHost::EngineHost(TransportState& transport)
{
    dispatcher_ = std::make_unique<ActionDispatcher>(*this);
    keyAreas_ = std::make_unique<KeyAreaList>(transport, *this);
    noteEngine_ = std::make_unique<NoteEngine>(*this);
    chordMemory_ = std::make_unique<ChordMemory>();
    controlTable_ = std::make_unique<ControlTargetTable>(*this);
}

EngineHost::~EngineHost()
{
    // The key areas hand their last notes to the note engine while they go.
    keyAreas_.reset();
    dispatcher_.reset();
    noteEngine_.reset();
    chordMemory_.reset();
    controlTable_.reset();
}
