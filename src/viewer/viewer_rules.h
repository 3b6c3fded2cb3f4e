// The viewer's decisions that do not need a window: the save flow, where a search starts and
// with which flags, the texts of its messages, the button bar and the find dialog's place.
#pragma once

#include <cstdint>
#include <string>

namespace vt9 {

// ---- Save -----------------------------------------------------------------------------------

inline constexpr const char* kSaveWarnTitleLog = "Vantory 9 - Viewer";
inline constexpr const char* kSaveWarnInstruction = "Save of Logs is Optional";
inline constexpr const char* kSaveWarnContent =
    "Note: The Vantory \"Logs\" are saved automatically.\r\n"
    "\"Backup Logs\" are saved until purged. \r\n"
    "You may still save the log elsewhere if you wish.";
inline constexpr const char* kSaveWarnContinue = "Continue with the Save";
inline constexpr const char* kSaveWarnCancel = "Cancel";
inline constexpr const char* kSaveWarnVerification = "Do not show this again";
inline constexpr int kSaveWarnContinueId = 100;              // the first custom button
inline constexpr const char* kMessageTitle = "  Vantory 9";  // two leading blanks
inline constexpr const char* kSaveErrorInstruction = "Error saving file!";
inline constexpr const char* kSaveDialogTitle = "Save File As:";
inline constexpr const char* kOpenDialogTitle = "Open Log File";
// Shown in the button bar for rich text that ends too early (still being written, cut short).
inline constexpr const char* kIncompleteNote = "The file seems incomplete.";
inline constexpr const char* kNoPrintersText =
    "No Printers are available - or the Printer Service is not running";

// Only a log is saved with a warning first, and only until the user asked not to see it.
inline bool NeedsSaveWarning(bool isLog, bool warnSaveAs) { return isLog && !warnSaveAs; }

struct SaveWarningAnswer {
  bool rememberNoWarning;  // write WarnSaveAs: the box was ticked, whatever button closed it
  bool proceed;            // "Continue with the Save" was pressed
};
SaveWarningAnswer AnswerSaveWarning(int dialogResult, bool verificationTicked);

struct SaveDialogPlan {
  std::string title = kSaveDialogTitle;
  std::string filter;            // "description|pattern"
  std::string defaultExtension;  // without the dot; empty: none
  std::string initialFolder;
};
// lastLogSavePath is the setting as read, with the personal folder as its default.
SaveDialogPlan PlanSaveDialog(bool isLog, const std::string& lastLogSavePath);

// The folder of a file with its trailing backslash ("" for a bare name).
std::string FolderOfFile(const std::string& path);
// The name behind the last folder delimiter.
std::string NameOfFile(const std::string& path);

std::string SaveErrorContent(const std::string& file);

// A file that cannot be shown (missing rights, locked, or rejected by the text control).
inline constexpr const char* kOpenErrorInstruction = "Error opening file!";
std::string OpenErrorContent(const std::string& file);

// A shown log that shrank or failed to read while the view read it.
inline constexpr const char* kReadErrorInstruction = "Error reading file!";
std::string ReadErrorContent(const std::string& file);

// Copy of a log too large for the clipboard.
inline constexpr const char* kCopyErrorInstruction = "The log is too large to copy.";
inline constexpr const char* kCopyErrorContent =
    "The clipboard cannot take the whole text. Nothing was copied; the clipboard keeps what it "
    "held.";

// ---- Find -----------------------------------------------------------------------------------

struct SearchRange {
  long start;
  long length;
};
// Just behind the selection when there is one, else from 0; to the end of the text, whose
// length is counted as the control returns its text.
SearchRange SearchRangeFor(long selectionStart, long selectionEnd, long textLength);

// EM_FINDTEXT flags: always "down" (the control searches backwards without it), plus match
// case (4) and whole word (2) from the request's options.
std::uint32_t FindTextFlags(std::uint32_t requestOptions);

// abc gives "abc" Not Found, with the double quotes.
std::string NotFoundInstruction(const std::string& text);

// ---- Layout ---------------------------------------------------------------------------------

// The gap between buttons: PixelsPerInch x 5 div the designed 96 (6 at 120 dpi).
inline int ButtonSpacing(int pixelsPerInch, int designedPpi = 96) {
  return designedPpi > 0 ? pixelsPerInch * 5 / designedPpi : 5;
}

struct ButtonBarWidths {
  int find, save, print, ok;
};
struct ButtonBarLefts {
  int open, find, save, print, ok;
};
// "Open" at the left; Close, Print, Save and Find from the right edge leftwards.
ButtonBarLefts LayOutButtonBar(int panelWidth, int spacing, const ButtonBarWidths& widths);

struct ScreenPoint {
  int left, top;
};
inline constexpr ScreenPoint kFindDesignedPosition{422, 183};
// The find dialog's first place: on top of the viewer, left edges lined up, when it fits
// above the viewer's top; else its designed position.
ScreenPoint PlaceFindDialog(int dialogHeight, int anchorLeft, int anchorTop,
                            ScreenPoint designed = kFindDesignedPosition);

}  // namespace vt9
