// Special folders, module paths, version, shell and network answers, registry probes, UTF-8
// conversion and critical sections.
#include "RecordingWindow.h"

#include "platform/win32/CriticalSection.h"
#include "platform/win32/Registry.h"
#include "platform/win32/Shell.h"
#include "platform/win32/TextConversion.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <unistd.h>

using namespace quova::win32::test;

namespace
{

// Sets (or clears) an environment variable for the life of the object.
class ScopedEnv
{
public:
    ScopedEnv(const char* name, const char* value) : name_(name)
    {
        if (const char* old = std::getenv(name))
        {
            had_ = true;
            old_ = old;
        }
        if (value)
            setenv(name, value, 1);
        else
            unsetenv(name);
    }
    ~ScopedEnv()
    {
        if (had_)
            setenv(name_, old_.c_str(), 1);
        else
            unsetenv(name_);
    }

private:
    const char* name_;
    bool had_ = false;
    std::string old_;
};

std::filesystem::path TempFolder(const char* tag)
{
    auto p = std::filesystem::temp_directory_path() /
             (std::string("quova-win32-") + tag + "-" + std::to_string(getpid()));
    std::filesystem::remove_all(p);
    std::filesystem::create_directories(p);
    return p;
}

std::string Folder(int csidl, BOOL create = FALSE)
{
    char path[MAX_PATH];
    if (!SHGetSpecialFolderPathA(nullptr, path, csidl, create)) return "<failed>";
    return path;
}

class SystemTest : public WindowFixture
{
};

} // namespace

TEST_F(SystemTest, CommonDataFolderFollowsXdgDataHomeElseHome)
{
    auto root = TempFolder("data");
    {
        ScopedEnv xdg("XDG_DATA_HOME", (root / "xdg").c_str());
        EXPECT_EQ(Folder(CSIDL_COMMON_APPDATA), (root / "xdg").string());
        EXPECT_FALSE(std::filesystem::exists(root / "xdg")) << "made only when asked";
        EXPECT_EQ(Folder(CSIDL_COMMON_APPDATA, TRUE), (root / "xdg").string());
        EXPECT_TRUE(std::filesystem::is_directory(root / "xdg"));
    }
    {
        ScopedEnv xdg("XDG_DATA_HOME", "relative/path");
        ScopedEnv home("HOME", root.c_str());
        EXPECT_EQ(Folder(CSIDL_COMMON_APPDATA), (root / ".local/share").string())
            << "a relative value is ignored";
        EXPECT_EQ(Folder(CSIDL_DESKTOP), (root / "Desktop").string());
        EXPECT_EQ(Folder(CSIDL_DESKTOPDIRECTORY, TRUE), (root / "Desktop").string());
        EXPECT_TRUE(std::filesystem::is_directory(root / "Desktop"));
    }
    {
        std::string longPath = "/" + std::string(300, 'x');
        ScopedEnv xdg("XDG_DATA_HOME", longPath.c_str());
        EXPECT_EQ(Folder(CSIDL_COMMON_APPDATA), "<failed>") << "longer than MAX_PATH";
    }
    EXPECT_EQ(Folder(0x1234), "<failed>");
    EXPECT_FALSE(SHGetSpecialFolderPathA(nullptr, nullptr, CSIDL_DESKTOP, FALSE));
    std::filesystem::remove_all(root);
}

TEST_F(SystemTest, ModuleFileNameIsTheProgramOrTheObjectHoldingTheModule)
{
    char path[4096];
    DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
    ASSERT_GT(n, 0u);
    EXPECT_EQ(std::filesystem::path(path), std::filesystem::canonical("/proc/self/exe"));
    static int moduleRecord = 0; // a module's record lives in the module's data
    char same[4096];
    ASSERT_GT(GetModuleFileNameA(reinterpret_cast<HMODULE>(&moduleRecord), same, sizeof same), 0u);
    EXPECT_STREQ(same, path) << "this test program holds the record";

    char small[5];
    EXPECT_EQ(GetModuleFileNameA(nullptr, small, sizeof small), 5u);
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    EXPECT_EQ(std::string(small), std::string(path).substr(0, 4));
    EXPECT_EQ(GetModuleFileNameA(nullptr, nullptr, 10), 0u);
}

TEST_F(SystemTest, VersionIsOfTheNtFamily)
{
    DWORD v = GetVersion();
    EXPECT_LT(v, 0x80000000u);
    EXPECT_GE(v & 0xFF, 5u);
}

TEST_F(SystemTest, ShellAndNetworkAnswerAsScriptedAndAreRecorded)
{
    DWORD flags = 7;
    EXPECT_FALSE(InternetGetConnectedState(&flags, 0)) << "offline unless scripted";
    EXPECT_EQ(flags, 0u);
    EXPECT_EQ(reinterpret_cast<intptr_t>(ShellExecuteA(nullptr, "open", "https://example.invalid/", nullptr,
                                                       nullptr, SW_SHOWNORMAL)),
              SE_ERR_NOASSOC);
    driver.SetOnline(true);
    driver.SetShellExecuteResult(42);
    EXPECT_TRUE(InternetGetConnectedState(&flags, 0));
    EXPECT_GT(reinterpret_cast<intptr_t>(ShellExecuteA(nullptr, "open", "about", "x", "/tmp", SW_SHOWNORMAL)),
              32);
    ASSERT_EQ(driver.ShellCalls().size(), 2u);
    EXPECT_EQ(driver.ShellCalls()[0].operation, "open");
    EXPECT_EQ(driver.ShellCalls()[0].file, "https://example.invalid/");
    EXPECT_EQ(driver.ShellCalls()[1].directory, "/tmp");
    EXPECT_EQ(driver.ShellCalls()[1].result, 42);
}

TEST_F(SystemTest, RegistryProbeFindsTheKeyThatSelectsTheGlyphTextPath)
{
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyA(HKEY_LOCAL_MACHINE, "Software\\Wine", &key), static_cast<LONG>(ERROR_SUCCESS));
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(RegCloseKey(key), static_cast<LONG>(ERROR_SUCCESS));
    EXPECT_EQ(RegCloseKey(key), static_cast<LONG>(ERROR_INVALID_HANDLE)) << "closed already";

    EXPECT_EQ(RegOpenKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\wine\\", &key), static_cast<LONG>(ERROR_SUCCESS));
    RegCloseKey(key);
    EXPECT_EQ(RegOpenKeyA(HKEY_LOCAL_MACHINE, "Software\\Winey", &key),
              static_cast<LONG>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(key, nullptr);
    EXPECT_EQ(RegOpenKeyA(HKEY_CURRENT_USER, "Software\\Wine", &key),
              static_cast<LONG>(ERROR_FILE_NOT_FOUND));

    HKEY software = nullptr;
    ASSERT_EQ(RegOpenKeyA(HKEY_LOCAL_MACHINE, "Software", &software), static_cast<LONG>(ERROR_SUCCESS));
    EXPECT_EQ(RegOpenKeyA(software, "Wine", &key), static_cast<LONG>(ERROR_SUCCESS));
    RegCloseKey(key);
    RegCloseKey(software);
    EXPECT_EQ(RegOpenKeyA(HKEY_LOCAL_MACHINE, "Software\\Wine", nullptr),
              static_cast<LONG>(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(RegOpenKeyA(reinterpret_cast<HKEY>(uintptr_t{64}), "x", &key),
              static_cast<LONG>(ERROR_INVALID_HANDLE));

    quova::win32::SetRegistryKeyPresent(HKEY_LOCAL_MACHINE, "Software\\Wine", false);
    EXPECT_EQ(RegOpenKeyA(HKEY_LOCAL_MACHINE, "Software\\Wine", &key),
              static_cast<LONG>(ERROR_FILE_NOT_FOUND));
}

TEST(TextConversionTest, Utf8BecomesUtf16Units)
{
    WCHAR out[16];
    // "a", e-acute, euro sign, and U+1F3B5 (a surrogate pair), then the zero byte.
    const char* text = "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x8E\xB5";
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text, -1, nullptr, 0), 6);
    ASSERT_EQ(MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text, -1, out, 16), 6);
    EXPECT_EQ(out[0], WCHAR{'a'});
    EXPECT_EQ(out[1], WCHAR{0xE9});
    EXPECT_EQ(out[2], WCHAR{0x20AC});
    EXPECT_EQ(out[3], WCHAR{0xD83C});
    EXPECT_EQ(out[4], WCHAR{0xDFB5});
    EXPECT_EQ(out[5], WCHAR{0});
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, text, 3, out, 16), 2) << "a counted length has no zero";
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, text, -1, out, 5), 0);
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
}

TEST(TextConversionTest, InvalidSequencesFailWithTheFlagAndAreReplacedWithout)
{
    WCHAR out[8];
    for (const char* bad : {"\xC0\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\x80", "\xE2\x82", "\xFF"})
    {
        EXPECT_EQ(MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bad, -1, out, 8), 0) << bad;
        EXPECT_EQ(GetLastError(), ERROR_NO_UNICODE_TRANSLATION);
    }
    ASSERT_EQ(MultiByteToWideChar(CP_UTF8, 0, "a\x80z", 3, out, 8), 3);
    EXPECT_EQ(out[1], WCHAR{0xFFFD});
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "\xE2\x82", 2, out, 8), 2)
        << "a cut sequence: one replacement per byte";
    EXPECT_EQ(MultiByteToWideChar(1252, 0, "a", 1, out, 8), 0);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, nullptr, 1, out, 8), 0);
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "a", 0, out, 8), 0);
}

TEST(CriticalSectionTest, TheOwnerMayEnterAgainAndOthersWait)
{
    CRITICAL_SECTION cs;
    InitializeCriticalSection(&cs);
    EnterCriticalSection(&cs);
    EnterCriticalSection(&cs);
    EXPECT_TRUE(TryEnterCriticalSection(&cs));
    std::atomic<int> otherGot{-1};
    std::thread(
        [&]
        {
            otherGot = TryEnterCriticalSection(&cs);
            if (otherGot) LeaveCriticalSection(&cs);
        })
        .join();
    EXPECT_EQ(otherGot, FALSE);
    LeaveCriticalSection(&cs);
    LeaveCriticalSection(&cs);
    LeaveCriticalSection(&cs);
    std::thread(
        [&]
        {
            otherGot = TryEnterCriticalSection(&cs);
            if (otherGot) LeaveCriticalSection(&cs);
        })
        .join();
    EXPECT_EQ(otherGot, TRUE) << "free once every enter is left";

    int counter = 0;
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back(
            [&]
            {
                for (int i = 0; i < 10000; ++i)
                {
                    EnterCriticalSection(&cs);
                    ++counter;
                    LeaveCriticalSection(&cs);
                }
            });
    for (auto& th : threads)
        th.join();
    EXPECT_EQ(counter, 40000);
    DeleteCriticalSection(&cs);
    EXPECT_FALSE(TryEnterCriticalSection(&cs)) << "a deleted section is not used";
}
