#include "tests/tools/EchoModule.h"
#include "tools/host/PluginModule.h"
#include "tools/host/VstHost.h"

#include <gtest/gtest.h>

#include <cstring>

using quova::host::HostIdentity;
using quova::host::PluginModule;
using quova::host::VstHost;

namespace
{
bool Contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}
} // namespace

TEST(ModuleLoader, MissingModuleIsReportedAndNothingLoads)
{
    VstHost host;
    EXPECT_FALSE(host.Load("/nonexistent/quova/missing.so"));
    EXPECT_EQ(host.LastError(),
              "cannot open module /nonexistent/quova/missing.so: No such file or directory");
    EXPECT_FALSE(host.IsLoaded());
    EXPECT_EQ(host.Module(), nullptr);
    EXPECT_FALSE(host.Load(""));
    EXPECT_FALSE(host.RunBlocks(1)) << "nothing to run";
}

TEST(ModuleLoader, FileThatIsNoSharedObjectIsRefused)
{
    std::string error;
    EXPECT_EQ(PluginModule::Load("/proc/self/status", error), nullptr);
    EXPECT_EQ(error.rfind("cannot load module /proc/self/status: ", 0), 0u) << error;
    EXPECT_EQ(error.find("status: /proc"), std::string::npos) << "the file is named once: " << error;
}

TEST(ModuleLoader, ModuleWithoutEntryIsRefused)
{
    VstHost host;
    EXPECT_FALSE(host.Load(QUOVA_NOENTRY_MODULE));
    EXPECT_TRUE(Contains(host.LastError(), "no VSTPluginMain entry")) << host.LastError();
    EXPECT_FALSE(host.IsLoaded());
    EXPECT_EQ(host.Module(), nullptr) << "the module is unloaded again";
}

TEST(ModuleLoader, EntryLooksOnlyInsideTheModule)
{
    // The test program has a `main` of its own; a module without an entry
    // must not be given that one.
    std::string error;
    auto module = PluginModule::Load(QUOVA_NOENTRY_MODULE, error);
    ASSERT_NE(module, nullptr) << error;
    EXPECT_EQ(module->Entry(), nullptr);
    EXPECT_EQ(module->Symbol("malloc"), nullptr) << "symbols of other objects are not the module's";
    EXPECT_EQ(module->Symbol(nullptr), nullptr);
}

TEST(ModuleLoader, NullEffectIsRefused)
{
    VstHost host;
    EXPECT_FALSE(host.Load(QUOVA_NULLEFFECT_MODULE));
    EXPECT_TRUE(Contains(host.LastError(), "returned no effect")) << host.LastError();
    EXPECT_FALSE(host.IsLoaded());
    EXPECT_EQ(host.Module(), nullptr);
}

TEST(ModuleLoader, RecordWithoutMagicIsRefused)
{
    VstHost host;
    EXPECT_FALSE(host.Load(QUOVA_BADMAGIC_MODULE));
    EXPECT_TRUE(Contains(host.LastError(), "without the effect magic")) << host.LastError();
    EXPECT_FALSE(host.IsLoaded());
}

TEST(ModuleLoader, FailureLeavesTheHostReadyForAnotherModule)
{
    VstHost host;
    ASSERT_FALSE(host.Load(QUOVA_NULLEFFECT_MODULE));
    ASSERT_TRUE(host.Load(QUOVA_ECHO_MODULE)) << host.LastError();
    EXPECT_TRUE(host.LastError().empty());
    EXPECT_FALSE(host.Load(QUOVA_ECHO_MODULE)) << "a second module while one is loaded";
    EXPECT_TRUE(host.IsLoaded()) << "the refused load leaves the first module in place";
    host.Unload();
    EXPECT_FALSE(host.IsLoaded());
    EXPECT_TRUE(host.Load(QUOVA_ECHO_MODULE)) << host.LastError();
}

TEST(ModuleLoader, PluginCanAskTheHostDuringItsEntry)
{
    HostIdentity identity;
    identity.product = "Quova Test Bench";
    identity.vendorVersion = 123456;
    VstHost host(identity);
    ASSERT_TRUE(host.Load(QUOVA_ECHO_MODULE)) << host.LastError();
    auto construction = reinterpret_cast<EchoConstructionProc>(host.Module()->Symbol(kEchoConstructionName));
    ASSERT_NE(construction, nullptr);
    const EchoConstructionRecord seen = construction();
    EXPECT_STREQ(seen.productSeen, "Quova Test Bench");
    EXPECT_EQ(seen.vendorVersionSeen, 123456);
    EXPECT_EQ(seen.hostVersionSeen, 2400) << "asked with a null effect record";
    EXPECT_EQ(host.CallbackCount(vst::audioMasterGetProductString), 1);
}

TEST(ModuleLoader, ProductStringIsCutToTheInterfaceLimit)
{
    HostIdentity identity;
    identity.product = std::string(100, 'x');
    VstHost host(identity);
    ASSERT_TRUE(host.Load(QUOVA_ECHO_MODULE)) << host.LastError();
    auto construction = reinterpret_cast<EchoConstructionProc>(host.Module()->Symbol(kEchoConstructionName));
    ASSERT_NE(construction, nullptr);
    EXPECT_EQ(std::strlen(construction().productSeen), 63u);
}

TEST(ModuleLoader, TwoHostsKeepTheirCallbacksApart)
{
    HostIdentity a, b;
    a.vendorVersion = 1;
    b.vendorVersion = 2;
    VstHost first(a), second(b);
    ASSERT_TRUE(first.Load(QUOVA_ECHO_MODULE));
    ASSERT_TRUE(second.Load(QUOVA_ECHO_MODULE));
    ASSERT_TRUE(first.Open() && second.Open());
    ASSERT_TRUE(first.SetBlockSize(64) && second.SetBlockSize(64));
    const uint8_t note[3] = {0x90, 60, 100};
    ASSERT_TRUE(second.QueueMidi(5, note, 3));
    first.RunBlocks(1);
    second.RunBlocks(1);
    EXPECT_TRUE(first.Events().empty());
    ASSERT_EQ(second.Events().size(), 1u);
    EXPECT_EQ(first.CallbackCount(vst::audioMasterGetTime), 1);
    EXPECT_EQ(second.CallbackCount(vst::audioMasterGetTime), 1);
}
