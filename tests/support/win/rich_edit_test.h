// A test fixture with a hidden rich-edit control (RichEdit20A, with no limit on its text) and a
// temporary folder of its own.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <utility>

#include "support/win/paths.h"

namespace vt9::test {

class RichEditTest : public ::testing::Test {
 protected:
  explicit RichEditTest(std::string folderName) : folderName_(std::move(folderName)) {}

  void SetUp() override {
    library_ = LoadLibraryA("riched20.dll");
    ASSERT_NE(library_, nullptr);
    edit_ = CreateWindowExA(0, "RichEdit20A", "", WS_POPUP | ES_MULTILINE, 0, 0, 300, 200, nullptr,
                            nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(edit_, nullptr);
    SendMessageA(edit_, EM_EXLIMITTEXT, 0, 0x7FFFFFFE);
    folder_ = MakeTempFolder(folderName_);
  }
  void TearDown() override {
    DestroyWindow(edit_);
    FreeLibrary(library_);
  }

  HWND edit_ = nullptr;
  std::string folder_;

 private:
  std::string folderName_;
  HMODULE library_ = nullptr;
};

}  // namespace vt9::test
