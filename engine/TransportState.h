#pragma once

// The plug-in's record of the host clock. The plug-in core writes it before
// each block (and the block processor while the host is stopped); the engine
// only reads it. Times are in samples, positions in beats (quarter notes).
struct TransportState
{
    bool playing = false;
    bool loop = false;
    double loopStart = 0.0; // whole samples
    double loopEnd = -1.0;  // whole samples; -1 when the host does not loop
    double sampleRate = 44100.0;
    double samplesPerBeat = 22050.0;
    double beatPosition = 0.0;
    double samplePosition = 0.0;
    bool loopJump = false; // the host jumped back at its loop end in this block
};
