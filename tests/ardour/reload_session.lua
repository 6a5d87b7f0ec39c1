-- Opens the saved session in a fresh process and prints the notes of track "Rec" as read back
-- ("reloaded KEY VELOCITY START LENGTH").
dofile(os.getenv("QUOVA_ARDOUR_SCRIPTS") .. "/engine.lua")
dofile(os.getenv("QUOVA_ARDOUR_SCRIPTS") .. "/notes.lua")

local s = load_session(session_dir, session_name)
assert(s ~= nil, "the saved session did not load")
PrintNotes(s, "reloaded")
print("reloaded")
close_session()
