// Module resources over the test module's generated table (resources.txt beside this file).

#include "platform/resources/Resources.h"
#include "platform/resources/ResourceTable.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

extern PlatformModule quovaTestModule;

namespace
{

HMODULE TestModule()
{
    return &quovaTestModule;
}

// The bytes of a resource as the loaders see them, with the zero byte after them checked.
std::string Bytes(HMODULE module, WORD id, const char* type)
{
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), type);
    if (!found) return "<missing>";
    const DWORD size = SizeofResource(module, found);
    const auto* data = static_cast<const char*>(LockResource(LoadResource(module, found)));
    if (!data) return "<no data>";
    EXPECT_EQ(data[size], '\0') << "a zero byte follows the resource";
    return std::string(data, size);
}

TEST(Resources, TextResourcesAreFoundByIdAndTypeAndEndInAZero)
{
    EXPECT_EQ(Bytes(TestModule(), 100, "TEXTFILE"), "first line\nsecond line\n");
    EXPECT_EQ(Bytes(TestModule(), 100, "textfile"), "first line\nsecond line\n")
        << "types compare without case";
    EXPECT_EQ(Bytes(TestModule(), 7, "TEXTFILE"), "") << "an empty file is an empty resource";
    HRSRC text = FindResourceA(TestModule(), MAKEINTRESOURCEA(100), "TEXTFILE");
    EXPECT_STREQ(static_cast<const char*>(LockResource(LoadResource(TestModule(), text))),
                 "first line\nsecond line\n");
}

TEST(Resources, BinaryResourcesKeepEveryByte)
{
    const std::string png = Bytes(TestModule(), 100, "PNG");
    ASSERT_EQ(png.size(), 14u);
    EXPECT_EQ(png.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
    EXPECT_EQ(png.substr(8), std::string("\0\0\0\0\xff\xfe", 6));
}

TEST(Resources, NamesAreTheListedPaths)
{
    HRSRC byName = FindResourceA(TestModule(), "tests/platform/resources/data/layout.txt", "TEXTFILE");
    EXPECT_EQ(byName, FindResourceA(TestModule(), MAKEINTRESOURCEA(100), "TEXTFILE"));
    ASSERT_NE(byName, nullptr);
    EXPECT_EQ(byName->id, 100);
}

TEST(Resources, MissingResourcesAreRefused)
{
    EXPECT_EQ(FindResourceA(TestModule(), MAKEINTRESOURCEA(101), "PNG"), nullptr);
    EXPECT_EQ(FindResourceA(TestModule(), MAKEINTRESOURCEA(7), "PNG"), nullptr) << "id 7 is a TEXTFILE";
    EXPECT_EQ(FindResourceA(TestModule(), MAKEINTRESOURCEA(100), "BITMAP"), nullptr);
    EXPECT_EQ(FindResourceA(TestModule(), MAKEINTRESOURCEA(100), MAKEINTRESOURCEA(10)), nullptr)
        << "integer types are not supported";
    EXPECT_EQ(FindResourceA(TestModule(), nullptr, "PNG"), nullptr);
    EXPECT_EQ(FindResourceA(TestModule(), MAKEINTRESOURCEA(100), nullptr), nullptr);
    EXPECT_EQ(FindResourceA(TestModule(), "no/such/name", "PNG"), nullptr);
}

TEST(Resources, ResourcesOfAnotherModuleAreRefused)
{
    HRSRC found = FindResourceA(TestModule(), MAKEINTRESOURCEA(100), "PNG");
    ASSERT_NE(found, nullptr);
    PlatformModule other = {nullptr, 0};
    EXPECT_EQ(SizeofResource(&other, found), 0u);
    EXPECT_EQ(LoadResource(&other, found), nullptr);
    EXPECT_EQ(SizeofResource(TestModule(), nullptr), 0u);
    EXPECT_EQ(LoadResource(TestModule(), nullptr), nullptr);
    EXPECT_EQ(LockResource(nullptr), nullptr);
}

TEST(Resources, ThePluginModuleIsTheDefault)
{
    HMODULE plugin = PluginModule();
    ASSERT_NE(plugin, nullptr);
    EXPECT_NE(plugin, TestModule());
    // Whatever the plug-in embeds, a null module and the plug-in module answer alike.
    EXPECT_EQ(FindResourceA(nullptr, MAKEINTRESOURCEA(100), "TEXTFILE"),
              FindResourceA(plugin, MAKEINTRESOURCEA(100), "TEXTFILE"));
    EXPECT_EQ(FindResourceA(plugin, MAKEINTRESOURCEA(65535), "NO_SUCH_TYPE"), nullptr);
}

} // namespace
