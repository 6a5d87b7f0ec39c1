// A fresh run of the generator reproduces the committed resources byte for byte, so the files
// cannot drift from the program that makes them (or be edited by hand).
#include "tests/resources/ResourceFiles.h"
#include "tools/resgen/Generator.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <unistd.h>

namespace
{
std::set<std::string> FilesUnder(const std::filesystem::path& root)
{
    std::set<std::string> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root / "resources"))
        if (entry.is_regular_file())
            files.insert(std::filesystem::relative(entry.path(), root).generic_string());
    return files;
}

class TemporaryFolder
{
public:
    TemporaryFolder()
        : path_(std::filesystem::temp_directory_path() / ("quova-resgen-" + std::to_string(::getpid())))
    {
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~TemporaryFolder()
    {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;
    const std::filesystem::path& Path() const { return path_; }

private:
    std::filesystem::path path_;
};
} // namespace

TEST(Generator, ReproducesTheCommittedResourcesByteForByte)
{
    TemporaryFolder out;
    std::string error;
    ASSERT_TRUE(GenerateResources({out.Path().string(), kDefaultFontFolder}, &error))
        << error << " (the faces come from the Debian package fonts-crosextra-carlito)";
    std::set<std::string> generated = FilesUnder(out.Path());
    std::set<std::string> committed = FilesUnder(SourceRoot());
    EXPECT_EQ(generated, committed) << "the generator writes a different set of files";
    for (const std::string& file : generated)
    {
        std::optional<std::string> fresh = ReadFileBytes((out.Path() / file).string());
        std::optional<std::string> kept = ReadFileBytes(SourceRoot() + "/" + file);
        ASSERT_TRUE(fresh && kept) << file;
        EXPECT_TRUE(*fresh == *kept) << file
                                     << " differs from a fresh run; run quova_resgen <repository root>";
    }
}

TEST(Generator, ReportsAMissingFontFolder)
{
    TemporaryFolder out;
    std::string error;
    EXPECT_FALSE(GenerateResources({out.Path().string(), (out.Path() / "no-fonts").string()}, &error));
    EXPECT_NE(error.find("no-fonts"), std::string::npos) << error;
    EXPECT_FALSE(std::filesystem::exists(out.Path() / "resources/resources.txt"));
}
