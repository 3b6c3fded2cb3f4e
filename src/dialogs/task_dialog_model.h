// The task dialog's data: what a caller fills in before showing a message (instruction, content,
// buttons, radio buttons, verification box, details, footer, progress range), and the values
// both ways of showing it derive from the data (button ids, the native flag words and icon ids).
// Portable: the Windows side (dialogs/win/task_dialog.h) adds the events and Execute.
#pragma once

#include <initializer_list>
#include <string>
#include <vector>

namespace vt9 {

// Set members; the order is the order of the sets and of the common-button row.
enum TCommonButton { cbOK, cbYes, cbNo, cbCancel, cbRetry, cbClose };
enum TTaskDialogOption {
  doHyperlinks,          // content and footer links are active
  doCommandLinks,        // custom buttons appear as command links
  doCommandLinksNoIcon,  // command links without the icon column
  doExpandedDefault,     // the details start expanded
  doExpandedFooter,      // native only: details in the footer area
  doAllowMinimize,       // native only
  doVerifyChecked,       // the verification box starts ticked
  doProgressBar,
  doProgressBarMarquee,  // native only
  doTimer,               // a tick about every 100 ms
};
enum TTaskDialogIcon {
  tiBlank,
  tiWarning,
  tiQuestion,
  tiError,
  tiInformation,
  tiNotUsed,
  tiShield
};
enum TTaskDialogFooterIcon { tfiBlank, tfiWarning, tfiQuestion, tfiError };
// State of the progress bar, as OnDialogProgress reports it.
enum TTaskDialogProgressState { psNormal, psError, psPaused };

// A small set over one of the enumerations above.
template <typename E>
class EnumSet {
 public:
  EnumSet() = default;
  EnumSet(std::initializer_list<E> members) {
    for (E m : members) Include(m);
  }
  bool Contains(E m) const { return (bits_ >> static_cast<unsigned>(m)) & 1u; }
  void Include(E m) { bits_ |= 1u << static_cast<unsigned>(m); }
  void Exclude(E m) { bits_ &= ~(1u << static_cast<unsigned>(m)); }
  bool Empty() const { return bits_ == 0; }
  friend bool operator==(const EnumSet&, const EnumSet&) = default;

 private:
  unsigned bits_ = 0;
};
using TCommonButtons = EnumSet<TCommonButton>;
using TTaskDialogOptions = EnumSet<TTaskDialogOption>;

// Ids: custom button of line i is 100 + i, radio button of line i is 200 + i.
inline constexpr int kFirstCustomButtonId = 100;
inline constexpr int kFirstRadioButtonId = 200;

// The published properties of the task dialog. One instance is reused for every message:
// Clear, fill, show.
struct TaskDialogModel {
  std::vector<std::string> CustomButtons;  // one button per line
  std::vector<std::string> RadioButtons;   // one radio button per line
  TCommonButtons CommonButtons;
  int DefaultButton = 0;       // id of the default button; 0 lets the dialog choose
  int DefaultRadioButton = 0;  // id (200 + i) of the radio button checked at the start; 0 none
  std::string ExpandedText;    // non-empty adds the expand control
  std::string Footer;          // markup
  TTaskDialogFooterIcon FooterIcon = tfiBlank;
  TTaskDialogIcon Icon = tiBlank;
  std::string Title;
  std::string Instruction;
  std::string Content;  // markup with doHyperlinks, plain text otherwise
  std::string ExpandControlText;
  std::string CollapsControlText;
  TTaskDialogOptions Options;
  std::string VerificationText;  // non-empty adds the verification box
  int ProgressBarMin = 0;
  int ProgressBarMax = 100;

  // The component's version; read-only.
  static const char* Version() { return "1.0.5.8"; }

  // Empties the buttons, options and texts and resets icons and defaults; the events and the
  // progress range stay as they are.
  void Clear();
};

// Result of a common button in our own window (cbClose is "&Abort", 3, there) and natively
// (cbClose is the system's Close, 8).
int OwnWindowButtonResult(TCommonButton b);
int NativeButtonResult(TCommonButton b);

// The native configuration's flag words and icon ids.
unsigned NativeCommonButtonFlags(const TCommonButtons& buttons);
// The dialog flags in their fixed order. With DefaultRadioButton 0 they add "no default radio
// button" (0x4000), so that every radio button stays unchecked, as in our own window; with a
// default radio button they must not, since the system then ignores it.
unsigned NativeDialogFlags(const TTaskDialogOptions& options, int defaultRadioButton = 0);
// Numeric system icon ids; 0 passes no icon.
int NativeMainIconId(TTaskDialogIcon icon);
int NativeFooterIconId(TTaskDialogFooterIcon icon);

// The longest text handed to the native dialog, in UTF-16 units.
inline constexpr std::size_t kNativeTextLimit = 255;

}  // namespace vt9
