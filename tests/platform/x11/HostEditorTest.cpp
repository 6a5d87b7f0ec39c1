// The command-line host's editor window with the module Quova.so: opened in a real top-level X11
// window, idled, saved as a picture read back from the server. Skipped without an X
// server.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "XTestSupport.h"
#include "tools/host/HostEditor.h"
#include "tools/host/VstHost.h"

namespace {

using quova::host::HostEditor;
using quova::host::VstHost;

TEST(HostEditor, ShowsTheModulesEditorInAWindowAndSavesItsPicture) {
  QUOVA_REQUIRE_X_SERVER();
  const auto data = std::filesystem::temp_directory_path() / ("quova-host-editor-" + std::to_string(getpid()));
  setenv("XDG_DATA_HOME", data.c_str(), 1);
  VstHost host;
  ASSERT_TRUE(host.Load(QUOVA_PLUGIN_MODULE)) << host.LastError();
  ASSERT_TRUE(host.Open());
  {
    HostEditor editor(host);
    std::string error;
    ASSERT_TRUE(editor.Open(error)) << error;
    EXPECT_GE(editor.FirstFrameMs(), 0.0);
    EXPECT_EQ(editor.Width(), 1000);
    EXPECT_EQ(editor.Height(), 565);
    for (int i = 0; i < 5; ++i) editor.Idle();
    EXPECT_FALSE(editor.Closed());

    const std::string png = (data / "editor.png").string();
    ASSERT_TRUE(editor.SavePng(png, error)) << error;
    std::ifstream in(png, std::ios::binary);
    char signature[8] = {};
    in.read(signature, sizeof signature);
    EXPECT_EQ(std::string(signature + 1, 3), "PNG");
    EXPECT_GT(std::filesystem::file_size(png), 10000u) << "a picture of the editor, not of an empty window";
    editor.Close();
    EXPECT_EQ(editor.Window(), 0u);
  }
  host.Unload();
  std::filesystem::remove_all(data);
}

}  // namespace
