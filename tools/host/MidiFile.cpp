#include "tools/host/MidiFile.h"

#include "tools/host/BinaryFile.h"

#include <smf.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>

namespace quova::host
{
namespace
{
// libsmf reports its problems through GLib's log; while one of its calls runs
// the messages are collected here instead of going to standard error.
class GLogCapture
{
public:
    GLogCapture() { previous_ = g_log_set_default_handler(&GLogCapture::Handler, &text_); }
    ~GLogCapture() { g_log_set_default_handler(previous_, nullptr); }
    GLogCapture(const GLogCapture&) = delete;
    GLogCapture& operator=(const GLogCapture&) = delete;

    const std::string& Text() const { return text_; }

private:
    static void Handler(const gchar*, GLogLevelFlags, const gchar* message, gpointer user)
    {
        auto* text = static_cast<std::string*>(user);
        if (!text->empty()) *text += "; ";
        *text += message ? message : "?";
    }

    GLogFunc previous_ = nullptr;
    std::string text_;
};

struct SmfDeleter
{
    void operator()(smf_t* smf) const { smf_delete(smf); }
};
using SmfPtr = std::unique_ptr<smf_t, SmfDeleter>;

uint32_t ReadBigEndian32(const uint8_t* p)
{
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | uint32_t(p[3]);
}

uint16_t ReadBigEndian16(const uint8_t* p)
{
    return uint16_t((p[0] << 8) | p[1]);
}

// Reads a variable-length quantity (at most four bytes) ending before end.
bool ReadVariableLength(const uint8_t*& p, const uint8_t* end, uint32_t& value)
{
    value = 0;
    for (int i = 0; i < 4; ++i)
    {
        if (p >= end) return false;
        const uint8_t byte = *p++;
        value = (value << 7) | (byte & 0x7F);
        if (!(byte & 0x80)) return true;
    }
    return false;
}

// Walks every event of one track chunk: delta times, running status, data
// bytes, system-exclusive and meta lengths inside the chunk, and an end-of-
// track event last.
bool CheckTrack(const uint8_t* p, const uint8_t* end, std::string& error)
{
    uint8_t running = 0;
    bool ended = false;
    while (p < end)
    {
        uint32_t delta = 0;
        if (ended || !ReadVariableLength(p, end, delta) || p >= end)
        {
            error = ended ? "events after the end of a track" : "a track ends inside an event";
            return false;
        }
        uint8_t status = *p;
        if (status < 0x80)
        {
            if (!running)
            {
                error = "a data byte without a status byte";
                return false;
            }
            status = running;
        }
        else
            ++p;

        if (status < 0xF0)
        {
            running = status;
            const int dataBytes = ChannelMessageLength(status) - 1;
            for (int i = 0; i < dataBytes; ++i, ++p)
                if (p >= end || *p >= 0x80)
                {
                    error = "a channel message is cut short";
                    return false;
                }
            continue;
        }
        running = 0;
        if (status == 0xFF && (p >= end || *p++ >= 0x80))
        {
            error = "a meta event without a type";
            return false;
        }
        if (status == 0xF7)
        {
            // Legal in files, but libsmf cannot read escaped system messages.
            error = "escaped system messages (F7 events) are not supported";
            return false;
        }
        const uint8_t metaType = status == 0xFF ? p[-1] : 0;
        uint32_t length = 0;
        if ((status != 0xF0 && status != 0xFF) || !ReadVariableLength(p, end, length) ||
            length > uint32_t(end - p))
        {
            error = status == 0xF0 || status == 0xFF ? "an event runs past the end of its track"
                                                     : "a status byte that does not belong in a file";
            return false;
        }
        p += length;
        ended = status == 0xFF && metaType == 0x2F;
    }
    if (!ended) error = "a track has no end-of-track event";
    return ended;
}

// Checks the whole file before libsmf sees it (libsmf stops the program on
// some malformed input): a header chunk first, every chunk inside the file,
// as many track chunks as the header announces, and every track well formed.
// Chunks of unknown types are refused too.
bool CheckFileStructure(const std::vector<uint8_t>& data, std::string& error)
{
    if (data.size() < 14 || std::memcmp(data.data(), "MThd", 4) != 0 || ReadBigEndian32(&data[4]) != 6)
    {
        error = "not a Standard MIDI File (no MThd header of 6 bytes)";
        return false;
    }
    const uint16_t format = ReadBigEndian16(&data[8]);
    const uint16_t tracks = ReadBigEndian16(&data[10]);
    if (format > 2 || tracks == 0 || (format == 0 && tracks != 1))
    {
        error = "unsupported MIDI file format or track count";
        return false;
    }
    const uint16_t division = ReadBigEndian16(&data[12]);
    if (division & 0x8000)
    {
        error = "MIDI files with SMPTE time division are not supported";
        return false;
    }
    if (division == 0)
    {
        error = "a MIDI file with 0 ticks per quarter note";
        return false;
    }
    std::size_t position = 14;
    int found = 0;
    while (position < data.size())
    {
        if (data.size() - position < 8 || std::memcmp(&data[position], "MTrk", 4) != 0)
        {
            error = "the file holds something other than track chunks";
            return false;
        }
        const uint32_t length = ReadBigEndian32(&data[position + 4]);
        if (length > data.size() - position - 8)
        {
            error = "a track runs past the end of the file";
            return false;
        }
        const uint8_t* begin = &data[position + 8];
        if (!CheckTrack(begin, begin + length, error)) return false;
        position += 8 + std::size_t(length);
        ++found;
    }
    if (found != tracks)
    {
        error = "the file does not hold the number of tracks its header announces";
        return false;
    }
    return true;
}

std::string WithLibraryText(const std::string& text, const GLogCapture& log)
{
    return log.Text().empty() ? text : text + ": " + log.Text();
}

bool IsChannelMessage(const MidiFileEvent& event)
{
    return !event.bytes.empty() && ChannelMessageLength(event.bytes[0]) == int(event.bytes.size()) &&
           std::all_of(event.bytes.begin() + 1, event.bytes.end(), [](uint8_t b) { return b < 0x80; });
}

// Adds a meta event at tick 0; false when libsmf refuses it.
bool AddMetaEvent(smf_track_t* track, std::vector<uint8_t> bytes)
{
    smf_event_t* event = smf_event_new_from_pointer(bytes.data(), int(bytes.size()));
    if (!event) return false;
    smf_track_add_event_pulses(track, event, 0);
    return true;
}

int Log2(int v)
{
    int result = 0;
    while (v > 1)
    {
        v >>= 1;
        ++result;
    }
    return result;
}
} // namespace

int ChannelMessageLength(uint8_t status)
{
    if (status < 0x80 || status >= 0xF0) return 0;
    const uint8_t kind = status & 0xF0;
    return (kind == 0xC0 || kind == 0xD0) ? 2 : 3;
}

bool ReadMidiFile(const std::string& path, MidiFileSong& song, std::string& error)
{
    std::vector<uint8_t> data;
    if (!ReadBinaryFile(path, data, error)) return false;
    if (!CheckFileStructure(data, error))
    {
        error = path + ": " + error;
        return false;
    }

    GLogCapture log;
    SmfPtr smf(smf_load_from_memory(data.data(), int(data.size())));
    if (!smf)
    {
        error = WithLibraryText("malformed MIDI file " + path, log);
        return false;
    }
    if (smf->ppqn <= 0)
    {
        error = path + ": MIDI files with SMPTE time division are not supported";
        return false;
    }

    MidiFileSong result;
    result.ticksPerQuarter = smf->ppqn;
    if (const smf_tempo_t* tempo = smf_get_tempo_by_number(smf.get(), 0))
    {
        if (tempo->microseconds_per_quarter_note > 0)
            result.tempo = 60.0e6 / tempo->microseconds_per_quarter_note;
        if (tempo->numerator > 0 && tempo->denominator > 0)
        {
            result.numerator = tempo->numerator;
            result.denominator = tempo->denominator;
        }
    }
    smf_rewind(smf.get());
    while (smf_event_t* event = smf_get_next_event(smf.get()))
    {
        if (event->midi_buffer_length < 1 || !event->midi_buffer) continue;
        MidiFileEvent item;
        item.tick = event->time_pulses;
        item.bytes.assign(event->midi_buffer, event->midi_buffer + event->midi_buffer_length);
        if (IsChannelMessage(item)) result.events.push_back(std::move(item));
    }
    song = std::move(result);
    return true;
}

bool WriteMidiFile(const std::string& path, const MidiFileSong& song, std::string& error)
{
    if (song.ticksPerQuarter < 1 || song.ticksPerQuarter > 32767)
    {
        error = "ticks per quarter note must be 1..32767";
        return false;
    }
    if (!std::isfinite(song.tempo) || song.tempo <= 0.0 || song.numerator < 1 || song.numerator > 255 ||
        song.denominator < 1 || (song.denominator & (song.denominator - 1)) != 0)
    {
        error = "invalid tempo or time signature";
        return false;
    }
    for (const MidiFileEvent& event : song.events)
    {
        if (event.tick < 0 || event.tick > INT32_MAX || !IsChannelMessage(event))
        {
            error = "only channel messages at non-negative ticks can be written";
            return false;
        }
    }

    GLogCapture log;
    SmfPtr smf(smf_new());
    if (!smf || smf_set_format(smf.get(), 0) != 0 || smf_set_ppqn(smf.get(), song.ticksPerQuarter) != 0)
    {
        error = WithLibraryText("cannot create a MIDI file", log);
        return false;
    }
    smf_track_t* track = smf_track_new();
    if (!track)
    {
        error = "cannot create a MIDI track";
        return false;
    }
    smf_add_track(smf.get(), track);

    const long microseconds = std::clamp(std::lround(60.0e6 / song.tempo), 1L, 0xFFFFFFL);
    const bool metaAdded = AddMetaEvent(track, {0xFF, 0x51, 0x03, uint8_t(microseconds >> 16),
                                                uint8_t(microseconds >> 8), uint8_t(microseconds)}) &&
                           AddMetaEvent(track, {0xFF, 0x58, 0x04, uint8_t(song.numerator),
                                                uint8_t(Log2(song.denominator)), 24, 8});
    if (!metaAdded)
    {
        error = WithLibraryText("cannot add tempo and time signature", log);
        return false;
    }

    std::vector<const MidiFileEvent*> ordered;
    ordered.reserve(song.events.size());
    for (const MidiFileEvent& event : song.events)
        ordered.push_back(&event);
    std::stable_sort(ordered.begin(), ordered.end(),
                     [](const MidiFileEvent* a, const MidiFileEvent* b) { return a->tick < b->tick; });
    for (const MidiFileEvent* item : ordered)
    {
        const int second = item->bytes.size() > 1 ? item->bytes[1] : -1;
        const int third = item->bytes.size() > 2 ? item->bytes[2] : -1;
        smf_event_t* event = smf_event_new_from_bytes(item->bytes[0], second, third);
        if (!event)
        {
            error = WithLibraryText("cannot store a MIDI event", log);
            return false;
        }
        smf_track_add_event_pulses(track, event, int(item->tick));
    }
    // libsmf names no reason of its own when it cannot make the file (it calls it an input file):
    // the file is tried here first.
    if (!CanWriteFile(path, error)) return false;
    if (smf_save(smf.get(), path.c_str()) != 0)
    {
        error = WithLibraryText("cannot write " + path, log);
        return false;
    }
    return true;
}

} // namespace quova::host
