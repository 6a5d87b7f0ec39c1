#pragma once
// The validator's cases, by group. Each case opens its own instances of the
// module, runs, and says PASS or FAIL with a figure; a case that cannot open
// the module fails with the reason.

#include "tools/host/ValidatorSupport.h"

#include <functional>
#include <string>
#include <vector>

namespace quova::host
{

struct ValidatorCase
{
    std::string name;
    // Runs the case on the module at the given path; the result's name is
    // filled in by the caller.
    std::function<CaseResult(const std::string& module)> run;
};

// Open and close cycles, two instances at once, notes ended after stop,
// panic and close.
std::vector<ValidatorCase> LifecycleCases();
// Every sample rate with every block size, blocks larger than announced and
// varying, automation in sub-blocks, transport fuzzing, the same song in
// different slicings, allocations on the audio thread.
std::vector<ValidatorCase> ProcessingCases();
// Parameters at and beyond their range, storms from other threads, saved
// state restored and saved again, damaged chunks.
std::vector<ValidatorCase> StateCases();

// A failed result: the module could not be opened.
CaseResult OpenFailure(const std::string& error);
// The result of a case judged by its block findings and one more condition.
CaseResult Judge(const BlockFindings& findings, bool extraPass, const std::string& extraFigure);

} // namespace quova::host
