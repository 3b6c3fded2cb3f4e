// The "Go to Line" dialog, from a template built in memory (the tool carries no resource script).
#include "viewer/win/go_to_line.h"

#include <string>
#include <vector>

#include "viewer/filter_text.h"

namespace vt9::win {
namespace {

struct Request {
  std::int64_t current = 1;
  std::int64_t lines = 1;
  std::int64_t chosen = 0;
};

// Appends the template's pieces with the alignment the dialog manager expects.
class Template {
 public:
  void Align(std::size_t to) {
    while (bytes_.size() % to) bytes_.push_back(0);
  }
  template <typename T>
  void Put(const T& value) {
    const auto* p = reinterpret_cast<const unsigned char*>(&value);
    bytes_.insert(bytes_.end(), p, p + sizeof value);
  }
  void Text(const std::wstring& text) {
    for (wchar_t c : text) Put(static_cast<WORD>(c));
    Put(WORD{0});
  }
  void Item(DWORD style, short x, short y, short cx, short cy, WORD itemId, WORD atom,
            const std::wstring& text) {
    Align(4);
    DLGITEMTEMPLATE item{};
    item.style = style | WS_CHILD | WS_VISIBLE;
    item.x = x;
    item.y = y;
    item.cx = cx;
    item.cy = cy;
    item.id = itemId;
    Put(item);
    Put(WORD{0xFFFF});
    Put(atom);
    Text(text);
    Put(WORD{0});  // no creation data
  }
  DLGTEMPLATE* Data() { return reinterpret_cast<DLGTEMPLATE*>(bytes_.data()); }
  std::vector<unsigned char>& Bytes() { return bytes_; }

 private:
  std::vector<unsigned char> bytes_;
};

INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* request = reinterpret_cast<Request*>(GetWindowLongPtrA(dialog, DWLP_USER));
  switch (message) {
    case WM_INITDIALOG: {
      request = reinterpret_cast<Request*>(lParam);
      SetWindowLongPtrA(dialog, DWLP_USER, lParam);
      const std::string range = "&Line number (1 - " + GroupedNumber(request->lines) + "):";
      SetDlgItemTextA(dialog, 1000, range.c_str());
      SetDlgItemTextA(dialog, kGoToLineEditId, std::to_string(request->current).c_str());
      HWND edit = GetDlgItem(dialog, kGoToLineEditId);
      SendMessageA(edit, EM_SETSEL, 0, -1);
      SetFocus(edit);
      return FALSE;  // the focus is set
    }
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK) {
        char text[64] = {};
        GetDlgItemTextA(dialog, kGoToLineEditId, text, sizeof text);
        const std::int64_t line = ParseLineNumber(text, request->lines);
        if (line <= 0) {
          MessageBeep(MB_ICONWARNING);
          SendMessageA(GetDlgItem(dialog, kGoToLineEditId), EM_SETSEL, 0, -1);
          return TRUE;
        }
        request->chosen = line;
        EndDialog(dialog, IDOK);
        return TRUE;
      }
      if (LOWORD(wParam) == IDCANCEL) {
        EndDialog(dialog, IDCANCEL);
        return TRUE;
      }
      return FALSE;
    default:
      return FALSE;
  }
}

}  // namespace

std::int64_t AskGoToLine(HWND owner, std::int64_t current, std::int64_t lineCount) {
  Request request{current, lineCount, 0};
  Template t;
  DLGTEMPLATE head{};
  head.style = DS_MODALFRAME | DS_SETFONT | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU;
  head.cdit = 4;
  head.cx = 180;
  head.cy = 62;
  t.Put(head);
  t.Put(WORD{0});  // no menu
  t.Put(WORD{0});  // the standard dialog class
  t.Text(std::wstring(kGoToLineTitle, kGoToLineTitle + sizeof kGoToLineTitle - 1));
  t.Put(WORD{8});
  t.Text(L"MS Shell Dlg");
  t.Item(SS_LEFT, 7, 7, 166, 9, 1000, 0x0082, L"&Line number:");
  t.Item(WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL, 7, 18, 166, 13, kGoToLineEditId, 0x0081, L"");
  t.Item(WS_TABSTOP | BS_DEFPUSHBUTTON, 69, 40, 50, 14, IDOK, 0x0080, L"OK");
  t.Item(WS_TABSTOP | BS_PUSHBUTTON, 123, 40, 50, 14, IDCANCEL, 0x0080, L"Cancel");
  DialogBoxIndirectParamA(GetModuleHandleA(nullptr), t.Data(), owner, DialogProc,
                          reinterpret_cast<LPARAM>(&request));
  return request.chosen;
}

}  // namespace vt9::win
