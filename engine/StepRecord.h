#pragma once

#include "engine/Lanes.h"

// One step of one pattern: a value for each lane and an on flag per lane.
struct StepRecord
{
    bool stepOn = true;
    double gate = 0.0;
    double length = 1.0;
    int transpose = 0;
    double accent = 0.0;
    int noteChoice = quova::kChoicePlay;
    double workValue = 0.0; // free storage for the stepper's evaluation
    int workWord = 0;
    double division = 0.0; // below 1 counts as 1 (one note)
    int chord = 0;
    int source = 0;
    int controllers[quova::kControllerLaneCount] = {0, 0, 0, 0, 0, 0, 0, 0};
    // Every lane starts on, the controller lanes included: no parameter ever
    // switches the controller lanes' step flags, and their parameters'
    // default is on.
    bool laneOn[quova::kLaneCount] = {true, true, true, true, true, true, true, true, true,
                                      true, true, true, true, true, true, true, true};
    double shift = 0.0;
};
