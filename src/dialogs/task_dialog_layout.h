// Layout of our own task dialog window: where every part of a TaskDialogModel goes, in two
// passes. The horizontal pass decides which controls exist, their widths and the client width;
// the vertical pass places them top to bottom and fixes the client height. The vertical pass
// runs again whenever the details are expanded or collapsed.
//
// All numbers are client pixels of the dialog, measured on a canvas whose fonts are the ones
// the window will use (its font is the system message font). The metrics follow the dialog
// units of that font: cx is the average width of "A".."Z""a".."z", cy their height.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "dialogs/plain_text.h"
#include "dialogs/task_dialog_model.h"
#include "markup/render.h"
#include "platform/canvas.h"
#include "vt9_texts.h"

namespace vt9 {

struct TaskDialogMetrics {
  int cx = 0;
  int cy = 0;
  int horzMargin = 0;     // 8 cx / 4
  int vertMargin = 0;     // 8 cy / 8
  int horzSpacing = 0;    // 10 cx / 4
  int vertSpacing = 0;    // 10 cy / 8
  int buttonHeight = 0;   // 14 cy / 8
  int buttonSpacing = 0;  // 4 cx / 4
};
TaskDialogMetrics ComputeTaskDialogMetrics(Canvas& canvas, const FontSpec& formFont);

// What the layout needs to know of the system.
struct TaskDialogEnvironment {
  FontSpec formFont;        // the system message font
  int screenWidth = 1024;   // the instruction wraps within half of it
  int maxClientHeight = 0;  // the work area's room for the client area; 0 no limit
  bool oldSystem = false;   // system major version below 6: a black frame is drawn
  int maxClientWidth = 0;   // the work area's room for the client width; 0 no limit
  int scrollBarWidth = 17;  // a vertical scroll bar's width
  // The lead bytes of the system's double-byte code page; none on a single-byte one.
  std::optional<LeadBytes> leadBytes;
  // The caption of a dialog without a Title: the program's name, as the system's dialog shows.
  std::string defaultCaption;
  // Captions of cbOK, cbYes, cbNo, cbCancel, cbRetry, cbClose (the string table's texts).
  std::array<std::string, 6> commonCaptions{STR_TD_OK,     STR_TD_YES,   STR_TD_NO,
                                            STR_TD_CANCEL, STR_TD_RETRY, STR_TD_ABORT};
};

// Dark blue of the instruction and the command links.
inline constexpr Color kTaskDialogBlue = 0xC45300;
inline constexpr Color kTaskDialogBandColor = 0xF0F0F0;
inline constexpr Color kTaskDialogLineColor = 0xDFDFDF;
inline constexpr int kProgressBarHeight = 12;
inline constexpr int kExpandButtonSize = 22;
inline constexpr int kMainIconSize = 32;
inline constexpr int kFooterIconSize = 16;

struct TaskDialogPushButton {
  std::string name;      // "OK", "Yes", ... for common buttons; "Button<i>" for custom ones
  std::string caption;   // with its "&" mnemonic
  int result = 0;        // the id Execute returns
  int customIndex = -1;  // line index of a custom button; -1 for common buttons and the lone OK
  bool isDefault = false;
  bool isCancel = false;  // the button Esc presses
  Rect rect;
};

struct TaskDialogCommandLink {
  std::string name;  // "Button<i>"
  std::string text;
  int result = 0;
  int customIndex = 0;
  bool isDefault = false;  // DefaultButton names it: Enter presses it
  Size measured;           // the command-link text's own size
  int minHeight = 0;       // its height when its text needs no wrapping
  Rect rect;
};

struct TaskDialogRadio {
  std::string name;  // "Radio<i>"
  std::string caption;
  int id = 0;  // 200 + i
  bool checked = false;
  Rect rect;
};

struct TaskDialogLayout {
  TaskDialogMetrics m;
  FontSpec formFont;
  FontSpec instructionFont;  // size 11, bold, dark blue
  FontSpec headingFont;      // command-link headings: size 11, bold, dark blue
  FontSpec descriptionFont;  // command-link descriptions: the form font in dark blue
  FontSpec radioFont;        // the form font's name at size 8
  bool oldSystem = false;
  std::optional<LeadBytes> leadBytes;  // the environment's
  const LeadBytes* Lead() const { return leadBytes ? &*leadBytes : nullptr; }

  std::string caption;  // the window's caption: Title, else the program's name

  int clientWidth = 0;
  int clientHeight = 0;
  int maxClientHeight = 0;
  int maxClientWidth = 0;
  int scrollBarWidth = 0;

  // When the dialog is taller than the work area, the part above the button row (instruction
  // to command links) scrolls: it shows from 0 to viewBottom, moved up by scrollPos, which runs
  // from 0 to scrollRange; the scroll bar stands at its right. scrollRange 0: all of it shows.
  int viewBottom = 0;
  int scrollRange = 0;
  int scrollPos = 0;
  Rect scrollBar;
  int radioMinHeight = 0;
  int verificationMinHeight = 0;
  int expandRowWidth = 0;  // the expand button and its label at the row's left end

  bool iconColumn = false;  // every icon but tiNotUsed reserves the column
  bool hasIcon = false;     // the picture is drawn (not with doCommandLinksNoIcon)
  Rect iconRect;

  Rect instructionRect;
  std::vector<std::string> instructionLines;  // as wrapped (and cut) for drawing
  bool instructionVisible = false;
  int contentLeft = 0;  // the instruction's left

  Rect contentRect;                       // where the content is drawn (empty without Content)
  int contentHeight = 0;                  // the content's full measured height
  std::vector<std::string> contentLines;  // plain content as wrapped

  // Push buttons in creation order: common buttons (table order), custom push buttons, or the
  // lone OK when the dialog has no button at all.
  std::vector<TaskDialogPushButton> pushButtons;
  std::vector<TaskDialogCommandLink> commandLinks;
  std::vector<TaskDialogRadio> radios;

  bool hasTimer = false;
  bool hasProgressBar = false;
  Rect progressRect;

  bool hasExpand = false;
  bool expanded = true;
  Rect expandButton;
  Rect expandLabel;                      // placed while expanded
  std::vector<std::string> expandLines;  // the details as wrapped for drawing
  std::string expandControlText;
  std::string collapsControlText;

  bool hasVerification = false;
  bool verificationChecked = false;
  Rect verificationRect;

  bool hasFooter = false;
  TTaskDialogFooterIcon footerIcon = tfiBlank;
  int footerWidth = 0;
  int footerHeight = 0;
  Rect footerImage;  // with a footer icon

  std::optional<int> bandTop;  // top of the grey button band; none without push buttons

  int DefaultButtonIndex() const;       // index into pushButtons; -1 none
  int DefaultCommandLinkIndex() const;  // index into commandLinks; -1 none
  int CancelButtonIndex() const;
  // RadioResult at the start: the id of the radio shown checked; 0 when none is (also when
  // DefaultRadioButton names no radio of the dialog).
  int InitialRadioResult() const;
  // The most a text below the part that scrolls (verification text, footer) may take: a
  // quarter of the room, at least `least`; no limit without one.
  int FixedPartLimit(int least) const;
  // The footer text's rectangle as painted (text 20 pixels further right with an icon).
  Rect FooterRect() const;
  Rect FooterTextRect() const;
  // The expand control's label, right of its button.
  Rect ExpandTextRect() const;
  // Whether a rectangle of the scrolling part shows whole; and the part of it that shows.
  bool ShowsWhole(const Rect& r) const;
  Rect Shown(const Rect& r) const;
};

// Creates the controls' descriptions, fixes the client width, runs the vertical pass and
// applies doExpandedDefault.
TaskDialogLayout LayOutTaskDialog(const TaskDialogModel& model, Canvas& canvas,
                                  const TaskDialogEnvironment& env);
// Places everything for the current `expanded` state and fixes the client height.
void VerticalPass(TaskDialogLayout& layout, const TaskDialogModel& model, Canvas& canvas);

// Which common button Enter and Esc press, by the DefaultButton rule; nullopt: none.
struct CommonButtonRoles {
  std::optional<TCommonButton> defaultButton;
  std::optional<TCommonButton> escButton;
};
CommonButtonRoles ChooseCommonButtonRoles(int defaultButton, const TCommonButtons& buttons);

// A command-link text split into its heading and description lines.
std::vector<std::string> SplitCommandLinkText(std::string_view text);
// Its size: widest line + 8, heading height + 10 plus each description line's height + 2.
Size MeasureCommandLinkText(Canvas& canvas, std::string_view text, const FontSpec& heading,
                            const FontSpec& description);

// The markup renderer's settings for the dialog's content and footer.
MarkupParams TaskDialogMarkupParams(const Rect& bounds, bool drawing);

// What Ctrl+C copies: caption, instruction and the push buttons' captions.
std::string TaskDialogClipboardText(const std::string& caption, const std::string& instruction,
                                    const std::vector<std::string>& pushButtonCaptions);

}  // namespace vt9
