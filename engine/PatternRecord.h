#pragma once

// The settings of one pattern.
struct PatternRecord
{
    double swing = 0.0;       // fraction of half a step by which odd grid steps are late
    double stepLength = 0.25; // beats per step
    double gate = 0.0;        // -0.9..1.0
    double rate = 0.25;       // the selected rate in beats; equals the step length once set
    int length = 1;           // steps, 1..32
    int walkMode = 0;         // 0/1 wrap upwards, 2/3 walk up and back
    int sortMode = 0;         // 0 low-high, 1 high-low, 2 as played, 3 reversed
    int octaves = 1;          // octaves the walk spans
    int transpose = 0;        // added to every step's transpose
    int workWord = 0;
    bool resetOnNewNote = false;
    bool orderHold = false;     // steps choosing 1..6 do not advance the note order
    bool freeRate = false;      // the step length comes from the free rate
    double freeRateValue = 0.0; // steps per second while free rate is on
    int workWord2 = 0;
};
