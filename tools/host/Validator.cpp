#include "tools/host/Validator.h"

#include "tools/host/BinaryFile.h"
#include "tools/host/StopRequest.h"
#include "tools/host/ValidatorCases.h"
#include "tools/host/ValidatorEffect.h"

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace quova::host
{

bool ReadKnownFailures(const std::string& path, std::set<std::string>& names, std::string& error)
{
    std::ifstream file(path);
    if (!file)
    {
        error = FileError("cannot read", path, errno);
        return false;
    }
    std::string line;
    while (std::getline(file, line))
    {
        std::istringstream words(line);
        std::string name;
        if (words >> name && name[0] != '#') names.insert(name);
    }
    return true;
}

namespace
{

// The module keeps its global options (and writes them on its first load) in its data folder under
// $XDG_DATA_HOME. The battery runs under a fresh folder of its own, so every case sees the default
// options whatever the user set in the editor, and the user's own files are never written.
class PrivateDataFolder
{
public:
    PrivateDataFolder()
    {
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/quova-validate-XXXXXX";
        if (::mkdtemp(pattern.data()) == nullptr) return;
        path_ = pattern;
        const char* previous = std::getenv("XDG_DATA_HOME");
        hadPrevious_ = previous != nullptr;
        if (hadPrevious_) previous_ = previous;
        ::setenv("XDG_DATA_HOME", path_.c_str(), 1);
    }
    ~PrivateDataFolder()
    {
        if (path_.empty()) return;
        if (hadPrevious_)
            ::setenv("XDG_DATA_HOME", previous_.c_str(), 1);
        else
            ::unsetenv("XDG_DATA_HOME");
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    PrivateDataFolder(const PrivateDataFolder&) = delete;
    PrivateDataFolder& operator=(const PrivateDataFolder&) = delete;
    const std::string& Path() const { return path_; }

private:
    std::string path_, previous_;
    bool hadPrevious_ = false;
};

} // namespace

int RunValidation(const ValidatorOptions& options, std::ostream& out, std::ostream& err)
{
    std::set<std::string> known;
    std::string error;
    if (!options.knownFailuresPath.empty() && !ReadKnownFailures(options.knownFailuresPath, known, error))
    {
        err << "quova_host: " << error << '\n';
        return 1;
    }
    std::vector<ValidatorCase> cases = LifecycleCases();
    for (auto group : {ProcessingCases, StateCases})
        for (ValidatorCase& c : group())
            cases.push_back(std::move(c));

    PrivateDataFolder data;
    if (data.Path().empty())
    {
        err << "quova_host: cannot make a temporary data folder for the validation\n";
        return 1;
    }
    // Every case opens the module: one that cannot be opened is told once, not by every case.
    {
        ValidatorEffect probe;
        if (!probe.Open(options.modulePath, error))
        {
            err << "quova_host: " << error << '\n';
            return 1;
        }
    }
    out << "Validating with the default options, in a data folder of its own (XDG_DATA_HOME=" << data.Path()
        << ", removed afterwards)\n";

    int run = 0, passed = 0, knownFailed = 0, unexpectedFailed = 0, unexpectedPassed = 0;
    bool stopped = false;
    for (const ValidatorCase& c : cases)
    {
        if ((stopped = StopRequest::Requested()))
        {
            out << "Stopped by a signal: the other cases do not run\n";
            break;
        }
        if (!options.only.empty() && c.name.find(options.only) == std::string::npos) continue;
        const auto start = std::chrono::steady_clock::now();
        CaseResult result = c.run(options.modulePath);
        const auto ms =
            std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start)
                .count();
        ++run;
        const bool listed = known.count(c.name) > 0;
        out << (result.pass ? "PASS " : "FAIL ") << c.name << ": " << result.figure << " [" << ms << " ms]";
        if (result.pass)
        {
            ++passed;
            if (listed)
            {
                ++unexpectedPassed;
                out << " (listed as a known failure: passes now)";
            }
        }
        else if (listed)
        {
            ++knownFailed;
            out << " (known failure)";
        }
        else
            ++unexpectedFailed;
        out << '\n' << std::flush;
    }
    out << run << " cases: " << passed << " passed, " << knownFailed + unexpectedFailed << " failed";
    if (!known.empty())
        out << " (" << knownFailed << " known, " << unexpectedFailed << " unexpected); " << unexpectedPassed
            << " listed cases passed";
    out << '\n';
    if (run == 0 && !stopped)
    {
        err << "quova_host: no case matches " << options.only << '\n';
        return 1;
    }
    return unexpectedFailed > 0 ? 1 : 0;
}

} // namespace quova::host
