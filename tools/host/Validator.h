#pragma once
// quova_host --validate: runs every validator case on a module and prints one
// line per case ("PASS name: figure" or "FAIL name: figure"), then a summary.
//
// A known-failures file (one case name a line, followed by the fault it waits
// for; '#' starts a comment) turns listed failures into reported, non-fatal
// ones: the exit status is 1 only for failures not listed, while a listed case
// that passes is reported so the list can shrink. Without the file every
// failure counts.

#include <ostream>
#include <set>
#include <string>

namespace quova::host
{

struct ValidatorOptions
{
    std::string modulePath;
    std::string knownFailuresPath; // empty: no known failures
    std::string only;              // empty: all cases, else those whose name contains it
};

// Reads the case names of a known-failures file; false with a message in
// error when it cannot be read.
bool ReadKnownFailures(const std::string& path, std::set<std::string>& names, std::string& error);

// Runs the cases; returns the exit status (0 or 1). A stop asked for by a signal (StopRequest)
// ends the run after the case that runs, and the data folder is removed as at the end.
int RunValidation(const ValidatorOptions& options, std::ostream& out, std::ostream& err);

} // namespace quova::host
