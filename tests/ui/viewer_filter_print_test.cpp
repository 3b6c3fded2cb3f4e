// The listed lines out of the real viewer under Wine: printed to the CUPS PDF printer (the
// "pdf_printer" fixture makes it the default) with the filter named in the header, and exactly
// those lines on the pages; copied (all, without their numbers) and saved as text and rich text.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <sstream>
#include <string>

#include "support/win/host_command.h"
#include "support/win/paths.h"
#include "support/win/viewer_driver.h"
#include "viewer/win/filter_bar.h"
#include "viewer/win/viewer_window.h"

namespace vt9 {
namespace {

using test::ViewerDriver;
namespace id = win::viewer_id;
namespace bar_id = win::filter_bar_id;

std::string Log() {
  std::string text;
  for (int i = 1; i <= 900; ++i) {
    char line[96];
    std::snprintf(line, sizeof line, "Line %03d: %s C:\\Data\\f%03d.dat\r\n", i,
                  i % 30 == 0 ? "Skipped" : "Copied", i);
    text += line;
  }
  return text;
}

// The 30 listed lines as the log holds them, joined by CR LF.
std::string Listed() {
  std::string text;
  for (int i = 30; i <= 900; i += 30) {
    char line[96];
    std::snprintf(line, sizeof line, "%sLine %03d: Skipped C:\\Data\\f%03d.dat",
                  i > 30 ? "\r\n" : "", i, i);
    text += line;
  }
  return text;
}

std::string StatusOnce(HWND bar, const std::string& expected) {
  HWND status = GetDlgItem(bar, bar_id::lblStatus);
  std::string now = test::WindowText(status);
  for (int i = 0; i < 200 && now != expected; ++i) {
    Sleep(50);
    now = test::WindowText(status);
  }
  return now;
}

TEST(ViewerFilterOut, ListedLinesPrintCopyAndSave) {
  ViewerDriver viewer("filter-print");
  const std::string caption =
      "Filtered-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(GetTickCount());
  ASSERT_TRUE(viewer.Open({viewer.WriteLog("Nightly.log", Log()), caption}, caption));
  HWND bar = GetDlgItem(viewer.window(), id::filterBar);
  HWND pane = GetDlgItem(viewer.window(), id::filterPane);
  viewer.Command(id::popFilter);
  for (int i = 0; i < 100 && !IsWindowVisible(bar); ++i) Sleep(50);
  SendMessageA(GetDlgItem(bar, bar_id::edtTerms), WM_SETTEXT, 0,
               reinterpret_cast<LPARAM>("Skipped"));
  ASSERT_EQ(StatusOnce(bar, "30 of 901 lines"), "30 of 901 lines");

  // Copy: every listed line once all are selected, without the numbers of the pane.
  viewer.Command(id::popPaneSelectAll);
  Sleep(200);
  EXPECT_EQ(SendMessageA(pane, LB_GETSELCOUNT, 0, 0), 30);
  if (OpenClipboard(nullptr)) {
    EmptyClipboard();
    CloseClipboard();
  }
  viewer.Command(id::popPaneCopy);
  std::string copied;
  for (int i = 0; i < 60 && copied.empty(); ++i) {
    Sleep(50);
    copied = ViewerDriver::Clipboard();
  }
  EXPECT_EQ(copied, Listed());

  // Save as text, then as rich text: the listed lines only.
  const std::string text = viewer.logFolder() + "Skipped.txt";
  viewer.Command(id::popPaneSave);
  HWND dialog = viewer.WaitForDialog();
  ASSERT_NE(dialog, nullptr);
  ViewerDriver::ChooseFile(dialog, text);
  ASSERT_TRUE(viewer.WaitForNoDialog(10000));
  Sleep(300);
  EXPECT_EQ(test::ReadFile(text), Listed() + "\r\n");
  const std::string rich = viewer.logFolder() + "Skipped.rtf";
  viewer.Command(id::popPaneSave);
  dialog = viewer.WaitForDialog();
  ASSERT_NE(dialog, nullptr);
  ViewerDriver::ChooseFile(dialog, rich);
  ASSERT_TRUE(viewer.WaitForNoDialog(10000));
  Sleep(300);
  const std::string rtf = test::ReadFile(rich);
  EXPECT_EQ(rtf.rfind("{\\rtf1", 0), 0u);
  EXPECT_NE(rtf.find("Line 900: Skipped C:\\\\Data\\\\f900.dat\\par"), std::string::npos);
  EXPECT_EQ(rtf.find("Copied"), std::string::npos);

  // Print: the pages hold the 30 lines and nothing else of the log, under the filter's name.
  viewer.Command(id::popPanePrint);
  dialog = viewer.WaitForDialog();
  ASSERT_NE(dialog, nullptr);
  Sleep(500);
  ViewerDriver::PressDialogButton(dialog, IDOK);
  const std::string pdf = test::WaitForPdf(caption);
  ASSERT_FALSE(pdf.empty()) << "no PDF from the job";
  const std::string printed = test::RunHostScript("pdftotext -layout '" + pdf + "' -");
  EXPECT_NE(printed.find(caption + " - lines with \"Skipped\""), std::string::npos) << printed;
  std::istringstream lines(printed);
  std::string line, found;
  int count = 0;
  while (std::getline(lines, line)) {
    if (line.find("Line ") == std::string::npos) continue;
    EXPECT_NE(line.find("Skipped"), std::string::npos) << line;
    ++count;
    found = line;
  }
  EXPECT_EQ(count, 30);
  EXPECT_NE(found.find("Line 900: Skipped"), std::string::npos) << found;
  char artifacts[MAX_PATH] = {};
  if (GetEnvironmentVariableA("VT9_ARTIFACTS", artifacts, sizeof artifacts) && artifacts[0] == '/')
    test::RunHostScript("pdftoppm -png -r 60 -f 1 -l 1 -singlefile '" + pdf + "' '" + artifacts +
                        "/viewer-filter-printed-page'");
  EXPECT_TRUE(viewer.CloseAndEnd());
}

}  // namespace
}  // namespace vt9
