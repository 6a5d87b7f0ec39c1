-- Starts Ardour's "None (Dummy)" audio backend: no sound card, 44100 Hz, 512-frame cycles, ten
-- times faster than real time (the session's clock still advances by the frame).
local backend = AudioEngine:set_backend("None (Dummy)", "", "")
assert(backend ~= nil, "the dummy backend is missing (hide-dummy-backend must be off)")
backend:set_driver("10x Speed")
backend:set_device_name("Silence")
backend:set_sample_rate(44100)
backend:set_buffer_size(512)
assert(AudioEngine:start(false) == 0, "the audio engine did not start")
assert(AudioEngine:running(), "the audio engine is not running")

session_dir = os.getenv("QUOVA_ARDOUR_SESSION")
session_name = "quova"
assert(session_dir ~= nil, "QUOVA_ARDOUR_SESSION is not set")
