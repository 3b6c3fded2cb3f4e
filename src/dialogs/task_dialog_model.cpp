#include "dialogs/task_dialog_model.h"

namespace vt9 {

void TaskDialogModel::Clear() {
  CommonButtons = {};
  RadioButtons.clear();
  CustomButtons.clear();
  Options = {};
  Icon = tiBlank;
  FooterIcon = tfiBlank;
  Instruction.clear();
  Title.clear();
  Content.clear();
  Footer.clear();
  VerificationText.clear();
  ExpandControlText.clear();
  CollapsControlText.clear();
  ExpandedText.clear();
  DefaultRadioButton = 0;
  DefaultButton = 0;
}

int OwnWindowButtonResult(TCommonButton b) {
  switch (b) {
    case cbOK:
      return 1;
    case cbYes:
      return 6;
    case cbNo:
      return 7;
    case cbCancel:
      return 2;
    case cbRetry:
      return 4;
    case cbClose:
      return 3;
  }
  return 0;
}

int NativeButtonResult(TCommonButton b) { return b == cbClose ? 8 : OwnWindowButtonResult(b); }

unsigned NativeCommonButtonFlags(const TCommonButtons& buttons) {
  unsigned flags = 0;
  if (buttons.Contains(cbOK)) flags |= 0x01;
  if (buttons.Contains(cbYes)) flags |= 0x02;
  if (buttons.Contains(cbNo)) flags |= 0x04;
  if (buttons.Contains(cbCancel)) flags |= 0x08;
  if (buttons.Contains(cbRetry)) flags |= 0x10;
  if (buttons.Contains(cbClose)) flags |= 0x20;
  return flags;
}

unsigned NativeDialogFlags(const TTaskDialogOptions& o, int defaultRadioButton) {
  unsigned flags = 0;
  // The two command-link options assign, so "no icon" wins when both are set.
  if (o.Contains(doCommandLinks)) flags = 0x10;
  if (o.Contains(doCommandLinksNoIcon)) flags = 0x20;
  if (o.Contains(doHyperlinks)) flags |= 0x01;
  if (o.Contains(doExpandedDefault)) flags |= 0x80;
  if (o.Contains(doExpandedFooter)) flags |= 0x40;
  if (o.Contains(doAllowMinimize)) flags |= 0x8000;
  if (o.Contains(doVerifyChecked)) flags |= 0x100;
  if (o.Contains(doProgressBar)) flags |= 0x200;
  if (o.Contains(doProgressBarMarquee)) flags |= 0x400;
  if (o.Contains(doProgressBarMarquee) || o.Contains(doProgressBar) || o.Contains(doTimer))
    flags |= 0x800;
  // Without it the native dialog checks the first radio button although DefaultRadioButton 0
  // means none, and the two paths would report different RadioResults.
  if (defaultRadioButton == 0) flags |= 0x4000;
  return flags;
}

int NativeMainIconId(TTaskDialogIcon icon) {
  switch (icon) {
    case tiBlank:
      return 17;
    case tiWarning:
      return 84;
    case tiQuestion:
      return 99;
    case tiError:
      return 98;
    case tiInformation:
      return 81;
    case tiShield:
      return 78;
    case tiNotUsed:
      return 0;
  }
  return 0;
}

int NativeFooterIconId(TTaskDialogFooterIcon icon) {
  switch (icon) {
    case tfiWarning:
      return 84;
    case tfiQuestion:
      return 99;
    case tfiError:
      return 98;
    case tfiBlank:
      return 0;
  }
  return 0;
}

}  // namespace vt9
