// task-dialog-reader.exe <window>: reads a window's children as a screen reader does, from its
// own process, through the accessibility interface each child answers: one line per visible
// child, "role<TAB>name<TAB>description" (UTF-8; "-" for a missing description). The task
// dialog's tests run it against our own dialog window.
#include <oleacc.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

// IID_IAccessible, spelled out as the program's own code does: with the one from MinGW's
// libraries every request failed with E_NOINTERFACE under Wine.
constexpr GUID kIidAccessible = {
    0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

std::string Utf8(BSTR text) {
  if (!text) return "-";
  const int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(n > 0 ? n : 1), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), n, nullptr, nullptr);
  out.resize(out.size() - 1);
  return out;
}

BOOL CALLBACK ReadChild(HWND child, LPARAM) {
  if (!IsWindowVisible(child)) return TRUE;
  IAccessible* acc = nullptr;
  const HRESULT hr = AccessibleObjectFromWindow(child, static_cast<DWORD>(OBJID_CLIENT),
                                                kIidAccessible, reinterpret_cast<void**>(&acc));
  if (FAILED(hr) || !acc) {
    std::fprintf(stderr, "window %p: no accessible object (0x%08lx)\n", static_cast<void*>(child),
                 static_cast<unsigned long>(hr));
    return TRUE;
  }
  VARIANT self;
  VariantInit(&self);
  self.vt = VT_I4;
  self.lVal = CHILDID_SELF;
  VARIANT role;
  VariantInit(&role);
  BSTR name = nullptr;
  BSTR description = nullptr;
  const HRESULT roleResult = acc->get_accRole(self, &role);
  if (FAILED(roleResult) || role.vt != VT_I4)
    std::fprintf(stderr, "window %p: no role (0x%08lx)\n", static_cast<void*>(child),
                 static_cast<unsigned long>(roleResult));
  if (SUCCEEDED(roleResult) && role.vt == VT_I4) {
    if (FAILED(acc->get_accName(self, &name))) name = nullptr;
    if (FAILED(acc->get_accDescription(self, &description))) description = nullptr;
    std::printf("%ld\t%s\t%s\n", role.lVal, Utf8(name).c_str(), Utf8(description).c_str());
  }
  SysFreeString(name);
  SysFreeString(description);
  acc->Release();
  return TRUE;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: task-dialog-reader <window handle, decimal>\n");
    return 2;
  }
  HWND window = reinterpret_cast<HWND>(static_cast<INT_PTR>(std::strtoll(argv[1], nullptr, 10)));
  if (!IsWindow(window)) {
    std::fprintf(stderr, "no such window\n");
    return 1;
  }
  CoInitialize(nullptr);
  EnumChildWindows(window, ReadChild, 0);
  std::fflush(stdout);
  CoUninitialize();
  return 0;
}
