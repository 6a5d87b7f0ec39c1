// The resources as the loaded Quova.so carries them: its own resource table, found by id, gives the
// skin, the chord table, the font descriptions and the images.
#include <gtest/gtest.h>

#include <dlfcn.h>
#include <link.h>

#include <memory>
#include <string>

#include "platform/resources/Resources.h"
#include "plugin/SkinLayout.h"
#include "tests/plugin/PluginTestSupport.h"
#include "tools/host/PluginModule.h"

namespace
{

TEST(QuovaModuleResources, TheLoadedModuleCarriesTheBuiltInResources)
{
    std::string error;
    std::unique_ptr<quova::host::PluginModule> module =
        quova::host::PluginModule::Load(QUOVA_PLUGIN_MODULE, error);
    ASSERT_NE(module, nullptr) << error;
    // The module exports only its entry points: its table is found through its full symbol table
    // and the place the loader put it.
    Dl_info info{};
    link_map* map = nullptr;
    ASSERT_NE(dladdr1(reinterpret_cast<void*>(module->Entry()), &info, reinterpret_cast<void**>(&map),
                      RTLD_DL_LINKMAP),
              0);
    const auto symbols = quova::test::DefinedSymbols(QUOVA_PLUGIN_MODULE, false);
    const auto found = symbols.find("quovaPluginModule");
    ASSERT_NE(found, symbols.end()) << "Quova.so has no resource table";
    auto* table = reinterpret_cast<HMODULE>(map->l_addr + found->second);
    ASSERT_NE(table, PluginModule()) << "the table must be the loaded module's, not the test's";

    for (int id : {101, 113, 115, 119, 139, 149})
    {
        HRSRC png = FindResourceA(table, MAKEINTRESOURCEA(static_cast<WORD>(id)), "PNG");
        ASSERT_NE(png, nullptr) << id;
        const auto* bytes = static_cast<const unsigned char*>(LockResource(LoadResource(table, png)));
        ASSERT_GT(SizeofResource(table, png), 8u) << id;
        EXPECT_EQ(bytes[1], 'P') << id; // the PNG signature's "PNG"
        EXPECT_EQ(bytes[2], 'N') << id;
    }

    SkinLayout layout;
    ASSERT_TRUE(ReadSkinLayout(&layout, ModuleTextResources(table)));
    EXPECT_EQ(layout.Size(), 169);
    EXPECT_EQ(layout.At(168).Width(), 1000);

    const TextResourceLoader load = ModuleTextResources(table);
    for (int id : {114, 116, 120, 140, 150})
    {
        const char* text = load(id);
        ASSERT_NE(text, nullptr) << id;
        EXPECT_NE(std::string(text).find("<font"), std::string::npos) << id;
    }
}

} // namespace
