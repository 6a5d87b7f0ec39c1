#include "tools/host/HostOptions.h"

#include "tools/host/MidiFile.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdlib>

namespace quova::host
{
namespace
{
// Where on the host's time line a command-line message goes, before the
// block size is known: a frame, or a block and an offset in it.
struct EventTime
{
    bool inBlocks = false;
    int64_t block = 0;
    int64_t frame = 0; // the frame, or the offset inside the block
};

struct PendingMidi
{
    EventTime time;
    CommandLineMidi message;
    bool fromLength = false; // a note-off placed by a note length: its offset may pass the block end
    std::string given;       // the option and its value, for a message
};

bool ParseInt(const std::string& text, int64_t& value)
{
    const char* begin = text.data();
    const char* end = begin + text.size();
    const auto result = std::from_chars(begin, end, value);
    return !text.empty() && result.ec == std::errc() && result.ptr == end;
}

bool ParseIntInRange(const std::string& text, int64_t low, int64_t high, int64_t& value)
{
    int64_t v = 0;
    if (!ParseInt(text, v) || v < low || v > high) return false;
    value = v;
    return true;
}

bool ParseDouble(const std::string& text, double& value)
{
    if (text.empty() || std::isspace(static_cast<unsigned char>(text[0]))) return false;
    char* end = nullptr;
    const double v = std::strtod(text.c_str(), &end);
    if (end != text.c_str() + text.size() || !std::isfinite(v)) return false;
    value = v;
    return true;
}

std::vector<std::string> Split(const std::string& text, char separator)
{
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (true)
    {
        const std::size_t at = text.find(separator, start);
        parts.push_back(text.substr(start, at == std::string::npos ? std::string::npos : at - start));
        if (at == std::string::npos) return parts;
        start = at + 1;
    }
}

// "FRAME" or "BLOCK/OFFSET".
bool ParseEventTime(const std::string& text, EventTime& time)
{
    const std::size_t slash = text.find('/');
    if (slash == std::string::npos)
    {
        time.inBlocks = false;
        return ParseIntInRange(text, 0, INT64_MAX / 2, time.frame);
    }
    time.inBlocks = true;
    return ParseIntInRange(text.substr(0, slash), 0, INT32_MAX, time.block) &&
           ParseIntInRange(text.substr(slash + 1), 0, INT32_MAX, time.frame);
}

// The bytes of a message with this status byte, status included, or 0 for a status that starts
// no short message (system exclusive, its end, the undefined ones).
int ShortMessageLength(uint8_t status)
{
    if (status < 0xF0) return ChannelMessageLength(status);
    switch (status)
    {
    case 0xF2: // song position
        return 3;
    case 0xF1: // time code quarter frame
    case 0xF3: // song select
        return 2;
    case 0xF6: // tune request
    case 0xF8: // timing clock, start, continue, stop, active sensing, reset
    case 0xFA:
    case 0xFB:
    case 0xFC:
    case 0xFE:
    case 0xFF:
        return 1;
    default:
        return 0;
    }
}

// Hexadecimal bytes, with optional commas or spaces between the pairs: one message of as many
// bytes as its status byte asks for. False with the reason in reason.
bool ParseHexMessage(const std::string& text, CommandLineMidi& message, std::string& reason)
{
    reason =
        "HEX: " + text + " is not one message of 1 to 3 bytes in hexadecimal, a status byte (80..ff) first";
    std::string digits;
    for (char c : text)
    {
        if (c == ',' || c == ' ') continue;
        if (!std::isxdigit(static_cast<unsigned char>(c))) return false;
        digits += c;
    }
    if (digits.empty() || digits.size() % 2 != 0 || digits.size() > 6) return false;
    message.size = int(digits.size() / 2);
    for (int i = 0; i < message.size; ++i)
        message.bytes[i] = uint8_t(std::strtoul(digits.substr(std::size_t(i) * 2, 2).c_str(), nullptr, 16));
    if (message.bytes[0] < 0x80) return false;
    for (int i = 1; i < message.size; ++i)
        if (message.bytes[i] >= 0x80) return false;
    const int length = ShortMessageLength(message.bytes[0]);
    const std::string status = digits.substr(0, 2);
    if (length == 0)
        reason = "HEX: " + text + ": status " + status +
                 " starts no message of 1 to 3 bytes (system exclusive, or undefined)";
    else if (length != message.size)
        reason = "HEX: " + text + ": a message with status " + status + " has " + std::to_string(length) +
                 (length == 1 ? " byte, not " : " bytes, not ") + std::to_string(message.size);
    else
        reason.clear();
    return reason.empty();
}

// The reason an event time is refused, for the messages of --note and --midi.
std::string TimeReason(const std::string& text)
{
    return "AT: " + text + " is neither a frame nor BLOCK/OFFSET (numbers from 0)";
}

// AT:NOTE[:VELOCITY[:LENGTH[:CHANNEL]]] -> a note-on, and a note-off LENGTH frames later. False
// with the field that is wrong, and why, in reason.
bool ParseNoteOption(const std::string& text, std::vector<PendingMidi>& out, std::string& reason)
{
    const std::vector<std::string> parts = Split(text, ':');
    if (parts.size() < 2 || parts.size() > 5)
    {
        reason = "it takes AT:NOTE[:VEL[:LEN[:CH]]]";
        return false;
    }
    EventTime time;
    int64_t velocity = 100, length = 0, channel = 1;
    const int note = ParseNote(parts[1]);
    if (!ParseEventTime(parts[0], time))
        reason = TimeReason(parts[0]);
    else if (note < 0)
        reason = "NOTE: " + parts[1] + " is neither 0..127 nor a note name such as C4, F#2 or Bb-1";
    else if (parts.size() > 2 && !ParseIntInRange(parts[2], 1, 127, velocity))
        reason = "VEL: " + parts[2] + " is not 1..127";
    else if (parts.size() > 3 && !ParseIntInRange(parts[3], 0, INT32_MAX, length))
        reason = "LEN: " + parts[3] + " is not a number of frames from 0";
    else if (parts.size() > 4 && !ParseIntInRange(parts[4], 1, 16, channel))
        reason = "CH: " + parts[4] + " is not 1..16";
    if (!reason.empty()) return false;
    PendingMidi on;
    on.time = time;
    on.given = "--note: " + text;
    on.message.size = 3;
    on.message.bytes[0] = uint8_t(0x90 | (channel - 1));
    on.message.bytes[1] = uint8_t(note);
    on.message.bytes[2] = uint8_t(velocity);
    out.push_back(on);
    if (length > 0)
    {
        PendingMidi off = on;
        off.time.frame += length;
        off.fromLength = true;
        off.message.bytes[0] = uint8_t(0x80 | (channel - 1));
        off.message.bytes[2] = 0;
        out.push_back(off);
    }
    return true;
}

// AT:HEX -> a raw message. False with the field that is wrong, and why, in reason.
bool ParseMidiOption(const std::string& text, PendingMidi& item, std::string& reason)
{
    const std::size_t colon = text.find(':');
    if (colon == std::string::npos)
        reason = "it takes AT:HEX";
    else if (!ParseEventTime(text.substr(0, colon), item.time))
        reason = TimeReason(text.substr(0, colon));
    else
        ParseHexMessage(text.substr(colon + 1), item.message, reason);
    return reason.empty();
}

// The sample rates the host runs at: what audio interfaces offer, and no rate so low that a block
// of frames stands for seconds.
constexpr double kLowestRate = 1000.0;
constexpr double kHighestRate = 768000.0;
// The fastest tempo Quova plays: above it the plug-in plays at this tempo, not at the one asked for.
constexpr double kFastestTempo = 999.0;

// The options whose value names a file; an empty one names none.
bool TakesFile(const std::string& option)
{
    static const char* const kWithFile[] = {"--midi-in",    "--midi-out", "--chunk-in",      "--chunk-out",
                                            "--editor-png", "--validate", "--known-failures"};
    for (const char* known : kWithFile)
        if (option == known) return true;
    return false;
}

// The options that take a value; an option not listed here or among the switches is unknown.
bool TakesValue(const std::string& option)
{
    static const char* const kWithValue[] = {
        "-r",           "--rate",    "-b",         "--block",          "-n",          "--blocks",
        "-t",           "--tempo",   "--time-sig", "--start",          "--loop",      "--note",
        "--midi",       "--midi-in", "--midi-out", "--chunk-in",       "--chunk-out", "--editor-seconds",
        "--editor-png", "--product", "--vendor",   "--vendor-version", "--validate",  "--known-failures",
        "--case"};
    for (const char* known : kWithValue)
        if (option == known) return true;
    return false;
}

bool ParseLoop(const std::string& text, TransportSettings& transport)
{
    const std::vector<std::string> parts = Split(text, ':');
    return parts.size() == 2 && ParseDouble(parts[0], transport.loopStartQuarters) &&
           ParseDouble(parts[1], transport.loopEndQuarters) && (transport.loopActive = true);
}

bool ParseTimeSignature(const std::string& text, TransportSettings& transport)
{
    const std::vector<std::string> parts = Split(text, '/');
    int64_t numerator = 0, denominator = 0;
    if (parts.size() != 2 || !ParseIntInRange(parts[0], 1, 99, numerator) ||
        !ParseIntInRange(parts[1], 1, 64, denominator))
        return false;
    transport.numerator = int(numerator);
    transport.denominator = int(denominator);
    return true;
}
} // namespace

int ParseNote(const std::string& text)
{
    int64_t number = 0;
    if (ParseIntInRange(text, 0, 127, number)) return int(number);
    if (text.size() < 2) return -1;
    static const int kPitchClass[7] = {9, 11, 0, 2, 4, 5, 7}; // A B C D E F G
    const char letter = char(std::toupper(static_cast<unsigned char>(text[0])));
    if (letter < 'A' || letter > 'G') return -1;
    int pitch = kPitchClass[letter - 'A'];
    std::size_t at = 1;
    if (text[at] == '#')
        ++pitch, ++at;
    else if (text[at] == 'b')
        --pitch, ++at;
    int64_t octave = 0;
    if (!ParseIntInRange(text.substr(at), -1, 9, octave)) return -1;
    const int64_t note = (octave + 1) * 12 + pitch;
    return note >= 0 && note <= 127 ? int(note) : -1;
}

std::string HostUsage(const std::string& program)
{
    return "Usage: " + program +
           " [options] MODULE\n"
           "Loads a VST 2.4 plug-in module, feeds it MIDI, runs blocks against a transport and\n"
           "prints every event the plug-in sends back.\n"
           "\n"
           "Processing:\n"
           "  -r, --rate HZ           sample rate, 1000..768000 (default 44100)\n"
           "  -b, --block FRAMES      frames per block (default 512)\n"
           "  -n, --blocks COUNT      blocks to process (default 16)\n"
           "Transport:\n"
           "  -t, --tempo BPM         tempo, up to 999 (default 120)\n"
           "      --time-sig N/D      time signature (default 4/4)\n"
           "      --start QUARTERS    song position of the first block (default 0)\n"
           "      --loop A:B          loop from quarter note A to B; jumps back at block ends\n"
           "      --stopped           the transport is not playing\n"
           "      --no-time-info      answer time requests with nothing\n"
           "MIDI in (AT is a host frame F, or B/O for offset O in block B):\n"
           "      --note AT:NOTE[:VEL[:LEN[:CH]]]  note-on (NOTE as 60 or C4; VEL 1..127, default\n"
           "                          100; CH 1..16), note-off LEN frames later when LEN > 0\n"
           "      --midi AT:HEX       one raw message of the length its status byte asks for,\n"
           "                          e.g. 0:903c64 or 2/100:b0,7b,00\n"
           "      --midi-in FILE      Standard MIDI File, placed by quarter notes at the tempo\n"
           "MIDI out:\n"
           "      --midi-out FILE     write the received MIDI as a Standard MIDI File\n"
           "  -q, --quiet             do not print the events\n"
           "State:\n"
           "      --chunk-in FILE     give the plug-in this chunk after opening it\n"
           "      --chunk-out FILE    save the plug-in's chunk after the run\n"
           "      --bank              bank chunks instead of program chunks\n"
           "Editor (needs an X server: DISPLAY):\n"
           "      --editor            open the editor in a real X11 window; blocks play in real\n"
           "                          time and the editor is idled at 30 Hz\n"
           "      --editor-seconds S  keep the window open S seconds after the blocks (default 0;\n"
           "                          negative: until the window is closed or Ctrl+C)\n"
           "      --editor-png FILE   save a PNG of the window just before closing it\n"
           "Host identity:\n"
           "      --product TEXT      product name the plug-in reads (default quova_host)\n"
           "      --vendor TEXT       vendor name (default Quova)\n"
           "      --vendor-version N  host version as a decimal number (default 10000)\n"
           "  -h, --help              this text\n"
           "Validation:\n"
           "      --validate MODULE   run the validator's cases on MODULE, one line per case\n"
           "      --known-failures FILE  failing cases listed there are reported, not fatal\n"
           "      --case TEXT         only the cases whose name contains TEXT\n"
           "\n"
           "Event lines: block, offset, host frame, bar.beat.tick, quarter notes, bytes, event.\n"
           "Exit status: 0 success, 1 the plug-in or a file failed (or a case failed), 2 bad command line.\n";
}

ParseOutcome ParseHostOptions(const std::vector<std::string>& arguments, HostOptions& options,
                              std::string& error)
{
    std::vector<PendingMidi> pending;
    std::string validatorOption; // the last --case or --known-failures, which need --validate
    for (std::size_t i = 0; i < arguments.size(); ++i)
    {
        const std::string& option = arguments[i];
        const auto value = [&](std::string& out)
        {
            if (i + 1 >= arguments.size())
            {
                error = option + " needs a value";
                return false;
            }
            out = arguments[++i];
            return true;
        };
        const auto bad = [&](const std::string& text)
        {
            error = "invalid value for " + option + ": " + text;
            return ParseOutcome::Error;
        };
        std::string v;
        int64_t number = 0;
        if (option == "-h" || option == "--help") return ParseOutcome::Help;
        if (option == "--stopped")
            options.transport.playing = false;
        else if (option == "--no-time-info")
            options.timeInfo = false;
        else if (option == "--bank")
            options.bankChunk = true;
        else if (option == "-q" || option == "--quiet")
            options.quiet = true;
        else if (option == "--editor")
            options.editor = true;
        else if (!option.empty() && option[0] == '-' && option != "-")
        {
            if (!TakesValue(option))
            {
                error = "unknown option " + option;
                return ParseOutcome::Error;
            }
            if (!value(v)) return ParseOutcome::Error;
            if (v.empty() && TakesFile(option))
            {
                error = option + " needs a file name, and an empty one names none";
                return ParseOutcome::Error;
            }
            if (option == "-r" || option == "--rate")
            {
                if (!ParseDouble(v, options.transport.sampleRate) ||
                    options.transport.sampleRate < kLowestRate || options.transport.sampleRate > kHighestRate)
                    return bad(v + " (1000..768000 Hz)");
            }
            else if (option == "-b" || option == "--block")
            {
                if (!ParseIntInRange(v, 1, 1 << 20, number)) return bad(v);
                options.blockSize = int32_t(number);
            }
            else if (option == "-n" || option == "--blocks")
            {
                if (!ParseIntInRange(v, 0, INT32_MAX, options.blocks)) return bad(v);
            }
            else if (option == "-t" || option == "--tempo")
            {
                if (!ParseDouble(v, options.transport.tempo) || options.transport.tempo <= 0.0 ||
                    options.transport.tempo > kFastestTempo)
                    return bad(v + " (above 0, up to 999 bpm)");
            }
            else if (option == "--time-sig")
            {
                if (!ParseTimeSignature(v, options.transport)) return bad(v);
            }
            else if (option == "--start")
            {
                if (!ParseDouble(v, options.transport.startQuarters) || options.transport.startQuarters < 0.0)
                    return bad(v);
            }
            else if (option == "--loop")
            {
                if (!ParseLoop(v, options.transport)) return bad(v);
            }
            else if (option == "--note")
            {
                std::string reason;
                if (!ParseNoteOption(v, pending, reason)) return bad(v + " (" + reason + ")");
            }
            else if (option == "--midi")
            {
                PendingMidi item;
                std::string reason;
                if (!ParseMidiOption(v, item, reason)) return bad(v + " (" + reason + ")");
                item.given = "--midi: " + v;
                pending.push_back(item);
            }
            else if (option == "--editor-seconds")
            {
                if (!ParseDouble(v, options.editorSeconds) || options.editorSeconds > 1e7) return bad(v);
            }
            else if (option == "--editor-png")
                options.editorPng = v;
            else if (option == "--midi-in")
                options.midiIn = v;
            else if (option == "--midi-out")
                options.midiOut = v;
            else if (option == "--validate")
            {
                options.validate = true;
                if (!options.modulePath.empty())
                {
                    error = "more than one module given: " + v;
                    return ParseOutcome::Error;
                }
                options.modulePath = v;
            }
            else if (option == "--known-failures" || option == "--case")
            {
                (option == "--case" ? options.validateOnly : options.knownFailures) = v;
                validatorOption = option;
            }
            else if (option == "--chunk-in")
                options.chunkIn = v;
            else if (option == "--chunk-out")
                options.chunkOut = v;
            else if (option == "--product")
                options.identity.product = v;
            else if (option == "--vendor")
                options.identity.vendor = v;
            else if (option == "--vendor-version")
            {
                if (!ParseIntInRange(v, 0, INT32_MAX, number)) return bad(v);
                options.identity.vendorVersion = int32_t(number);
            }
            else
            {
                error = "unknown option " + option;
                return ParseOutcome::Error;
            }
        }
        else if (options.modulePath.empty())
            options.modulePath = option;
        else
        {
            error = "more than one module given: " + option;
            return ParseOutcome::Error;
        }
    }
    if (options.modulePath.empty())
    {
        error = "no module given";
        return ParseOutcome::Error;
    }
    if (!options.editor && (options.editorSeconds != 0.0 || !options.editorPng.empty()))
    {
        error = "--editor-seconds and --editor-png need --editor";
        return ParseOutcome::Error;
    }
    if (!options.validate && !validatorOption.empty())
    {
        error = validatorOption + " needs --validate";
        return ParseOutcome::Error;
    }
    if (!ValidateTransportSettings(options.transport, &error)) return ParseOutcome::Error;

    // Block and offset forms become frames once the block size is known.
    for (const PendingMidi& item : pending)
    {
        CommandLineMidi message = item.message;
        if (item.time.inBlocks)
        {
            if (!item.fromLength && item.time.frame >= options.blockSize)
            {
                error = "invalid value for " + item.given + " (AT: offset " +
                        std::to_string(item.time.frame) + " lies outside a block of " +
                        std::to_string(options.blockSize) + " frames)";
                return ParseOutcome::Error;
            }
            message.frame = item.time.block * options.blockSize + item.time.frame;
        }
        else
            message.frame = item.time.frame;
        options.midi.push_back(message);
    }
    return ParseOutcome::Run;
}

} // namespace quova::host
