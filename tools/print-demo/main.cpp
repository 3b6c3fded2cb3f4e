// print-demo.exe [/print] [/header TEXT] [/footer TEXT] [/table FORMAT] [/zoom N] FILE
//
// Lays FILE out with the page printer: the header and footer in the friendly codes ("&c" for a
// centred column, "&p" the page number, "&d" the date), each line as a table row when a table
// format such as "<1|>1.5|^2" is given (cells separated by "|"), else as a plain line. With
// /print the pages go to the default printer (with the progress dialog); otherwise a window
// shows the preview: Page Up / Page Down turn the pages, + and - zoom, Esc closes.
#include <windows.h>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>

#include "common/win/error_report.h"
#include "printing/win/page_printer.h"

namespace {

using vt9::win::TPagePrinter;

struct Options {
  bool print = false;
  std::string header, footer, table, file;
  unsigned zoom = 50;
};

bool ParseOptions(Options& o) {
  for (int i = 1; i < __argc; ++i) {
    std::string a = __argv[i];
    auto next = [&](std::string& out) {
      if (i + 1 >= __argc) return false;
      out = __argv[++i];
      return true;
    };
    std::string zoom;
    if (a == "/print") {
      o.print = true;
    } else if (a == "/header") {
      if (!next(o.header)) return false;
    } else if (a == "/footer") {
      if (!next(o.footer)) return false;
    } else if (a == "/table") {
      if (!next(o.table)) return false;
    } else if (a == "/zoom") {
      if (!next(zoom)) return false;
      o.zoom = static_cast<unsigned>(std::strtoul(zoom.c_str(), nullptr, 10));
    } else {
      o.file = a;
    }
  }
  return !o.file.empty();
}

TPagePrinter* g_printer = nullptr;

void ShowPage(HWND window) {
  std::string caption = "print-demo - page " + std::to_string(g_printer->PageNumber()) + " of " +
                        std::to_string(g_printer->PageCount()) + " - " +
                        std::to_string(g_printer->ZoomPercent()) + "%";
  SetWindowTextA(window, caption.c_str());
}

LRESULT CALLBACK FrameProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SIZE:
      if (g_printer && g_printer->Handle())
        MoveWindow(g_printer->Handle(), 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
      return 0;
    case WM_KEYDOWN:
      if (!g_printer) break;
      vt9::win::RunHandler([&] {
        const unsigned page = g_printer->PageNumber();
        if (wParam == VK_NEXT && page < g_printer->PageCount()) g_printer->SetPageNumber(page + 1);
        if (wParam == VK_PRIOR && page > 1) g_printer->SetPageNumber(page - 1);
        if (wParam == VK_ADD || wParam == VK_OEM_PLUS)
          g_printer->SetZoomPercent(g_printer->ZoomPercent() + 10);
        if ((wParam == VK_SUBTRACT || wParam == VK_OEM_MINUS) && g_printer->ZoomPercent() > 10)
          g_printer->SetZoomPercent(g_printer->ZoomPercent() - 10);
        if (wParam == VK_ESCAPE) DestroyWindow(hwnd);
        ShowPage(hwnd);
      });
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

int Run() {
  Options o;
  if (!ParseOptions(o)) {
    MessageBoxA(nullptr,
                "print-demo [/print] [/header TEXT] [/footer TEXT] [/table FORMAT] [/zoom N] FILE",
                "print-demo", MB_ICONINFORMATION);
    return 2;
  }
  std::ifstream in(o.file, std::ios::binary);
  if (!in) {
    MessageBoxA(nullptr, ("Cannot read " + o.file).c_str(), "print-demo", MB_ICONERROR);
    return 1;
  }

  WNDCLASSA wc{};
  wc.lpfnWndProc = FrameProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  wc.lpszClassName = "PrintDemoFrame";
  RegisterClassA(&wc);
  HWND frame = CreateWindowExA(0, wc.lpszClassName, "print-demo", WS_OVERLAPPEDWINDOW,
                               CW_USEDEFAULT, 0, 700, 800, nullptr, nullptr, wc.hInstance, nullptr);

  TPagePrinter pp(frame);
  g_printer = &pp;
  pp.SetTitle(o.file);
  pp.SetFriendlyHeader(o.header);
  pp.SetFriendlyFooter(o.footer);
  pp.SetTableFormat(o.table);
  pp.SetTableGrid(!o.table.empty());
  pp.SetPageBorders({vt9::pbTop, vt9::pbBottom});
  pp.SetPageBorderOffset(0.065);
  pp.SetMarginLeft(0.5);
  pp.SetMarginRight(0.5);
  pp.BeginDoc();
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    pp.Lines().push_back(line);
  }
  pp.WriteLines(true);
  pp.EndDoc();

  if (o.print) {
    const bool done = pp.Print();
    g_printer = nullptr;
    DestroyWindow(frame);
    return done ? 0 : 3;
  }
  pp.SetZoomPercent(o.zoom);
  pp.SetZoomLocation(vt9::zlTopCenter);
  ShowWindow(pp.Handle(), SW_SHOW);
  ShowWindow(frame, SW_SHOWNORMAL);
  RECT client;
  GetClientRect(frame, &client);
  MoveWindow(pp.Handle(), 0, 0, client.right, client.bottom, TRUE);
  ShowPage(frame);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  g_printer = nullptr;
  return 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  try {
    return Run();
  } catch (const std::exception& e) {
    vt9::win::ReportUnhandledError(e);
    return vt9::win::kUnhandledErrorExitCode;
  }
}
