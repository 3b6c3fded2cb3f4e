#include <gtest/gtest.h>

#include "widgets/caption_text.h"
#include "widgets/check_box_layout.h"
#include "widgets/check_box_state.h"

namespace vt9 {
namespace {

// A click as the control feeds it: press, release, with capture held in between.
CheckBoxEffects Click(CheckBoxState& box, bool releaseInside = true) {
  const CheckBoxEffects down = box.MouseDown("");
  EXPECT_TRUE(down.capture);
  return box.MouseUp(releaseInside, down.capture);
}

TEST(CheckBoxMouse, ClickOnUnfocusedBoxFocusesTogglesAndClicksOnce) {
  CheckBoxState box;
  const CheckBoxEffects down = box.MouseDown("");
  EXPECT_TRUE(down.takeFocus);
  EXPECT_TRUE(box.Down());
  EXPECT_FALSE(down.clicked);
  const CheckBoxEffects up = box.MouseUp(true, true);
  EXPECT_TRUE(up.clicked);
  EXPECT_TRUE(up.releaseCapture);
  EXPECT_TRUE(box.Checked());
  EXPECT_FALSE(box.Down());
  EXPECT_TRUE(Click(box).clicked);
  EXPECT_FALSE(box.Checked());
}

TEST(CheckBoxMouse, ReleaseOutsideNeitherTogglesNorClicks) {
  CheckBoxState box;
  box.MouseDown("");
  EXPECT_FALSE(box.MouseMove(false, true, "").clicked);
  EXPECT_FALSE(box.Down()) << "Down follows the pointer while captured";
  EXPECT_TRUE(box.MouseMove(true, true, "").repaint);
  EXPECT_TRUE(box.Down());
  box.MouseMove(false, true, "");
  const CheckBoxEffects up = box.MouseUp(false, true);
  EXPECT_FALSE(up.clicked);
  EXPECT_TRUE(up.releaseCapture);
  EXPECT_FALSE(box.Checked());
}

TEST(CheckBoxMouse, ReleaseWithoutOwnPressDoesNothing) {
  CheckBoxState box;
  box.FocusChanged(true);
  EXPECT_FALSE(box.MouseUp(true, false).clicked);
  EXPECT_FALSE(box.Checked());
}

TEST(CheckBoxMouse, ReadOnlyStillClicksButKeepsState) {
  CheckBoxState box;
  box.SetChecked(true);
  box.SetReadOnly(true);
  EXPECT_TRUE(Click(box).clicked);
  EXPECT_TRUE(box.Checked());
  box.FocusChanged(true);
  box.SpaceDown();
  EXPECT_TRUE(box.SpaceUp().clicked);
  EXPECT_TRUE(box.Checked());
}

TEST(CheckBoxMouse, LinksAreOpenedOrReportedOnlyWhenFocused) {
  CheckBoxState box;
  // Unfocused: the press focuses and presses the box, links are not looked at.
  CheckBoxEffects fx = box.MouseDown("https://example.com/");
  EXPECT_TRUE(fx.openTarget.empty());
  EXPECT_TRUE(fx.capture);
  box.MouseUp(true, true);
  ASSERT_TRUE(box.Checked());

  fx = box.MouseDown("https://example.com/");
  EXPECT_EQ(fx.openTarget, "https://example.com/");
  EXPECT_FALSE(fx.capture);
  EXPECT_FALSE(box.MouseUp(true, false).clicked) << "a link press is not a toggle";
  EXPECT_TRUE(box.Checked());

  EXPECT_EQ(box.MouseDown("mailto:x@y").openTarget, "mailto:x@y");
  fx = box.MouseDown("help-topic");
  EXPECT_EQ(fx.anchorClicked, "help-topic");
  EXPECT_TRUE(fx.openTarget.empty());
}

TEST(CheckBoxMouse, LinkEnterAndExitPairUp) {
  CheckBoxState box;
  box.FocusChanged(true);
  EXPECT_EQ(box.MouseMove(true, false, "a").anchorEntered, "a");
  EXPECT_TRUE(box.MouseMove(true, false, "a").anchorEntered.empty());
  EXPECT_EQ(box.MouseMove(true, false, "b").anchorEntered, "b");
  CheckBoxEffects fx = box.MouseMove(true, false, "");
  EXPECT_EQ(fx.anchorExited, "b");
  EXPECT_FALSE(box.HandCursor());
  EXPECT_TRUE(box.MouseMove(true, false, "").anchorExited.empty());
  box.MouseMove(true, false, "c");
  EXPECT_EQ(box.MouseLeave().anchorExited, "c");
}

TEST(CheckBoxMouse, HotFollowsEnterAndLeave) {
  CheckBoxState box;
  EXPECT_TRUE(box.MouseEnter().repaint);
  EXPECT_TRUE(box.Hot());
  EXPECT_FALSE(box.MouseEnter().repaint);
  EXPECT_TRUE(box.MouseLeave().repaint);
  EXPECT_FALSE(box.Hot());
}

TEST(CheckBoxKeys, SpaceTogglesOnReleaseAfterOwnPress) {
  CheckBoxState box;
  box.FocusChanged(true);
  EXPECT_FALSE(box.SpaceUp().clicked) << "a stray release is ignored";
  box.SpaceDown();
  EXPECT_TRUE(box.Down());
  EXPECT_FALSE(box.Checked());
  EXPECT_TRUE(box.SpaceUp().clicked);
  EXPECT_TRUE(box.Checked());
  EXPECT_FALSE(box.Down());
  box.SpaceDown();
  box.FocusChanged(false);
  EXPECT_FALSE(box.Down());
  EXPECT_FALSE(box.SpaceUp().clicked) << "focus lost mid-press abandons it";
}

TEST(CheckBoxKeys, AcceleratorTogglesWithoutClick) {
  CheckBoxState box;
  CheckBoxEffects fx = box.Accelerator('W', "<B>&Whole</B> Words Only", true, true);
  EXPECT_TRUE(fx.handled);
  EXPECT_FALSE(fx.clicked);
  EXPECT_TRUE(fx.takeFocus);
  EXPECT_TRUE(box.Checked());
  EXPECT_FALSE(box.Accelerator('x', "<B>&Whole</B> Words Only", true, true).handled);
  EXPECT_FALSE(box.Accelerator('w', "<B>&Whole</B> Words Only", false, true).handled);
  EXPECT_FALSE(box.Accelerator('w', "<B>&Whole</B> Words Only", true, false).takeFocus);
  EXPECT_FALSE(box.Accelerator('a', "Fish &amp; chips", true, true).handled);
}

TEST(CheckBoxState, ProgramChangesNeverClick) {
  CheckBoxState box;
  EXPECT_TRUE(box.SetChecked(true));
  EXPECT_FALSE(box.SetChecked(true));
  EXPECT_TRUE(box.SetState(CheckState::Grayed));
  EXPECT_FALSE(box.Checked());
  box.Toggle();
  EXPECT_EQ(box.State(), CheckState::Checked) << "a grayed box toggles to checked";
}

TEST(CaptionText, WindowTextDropsTagsAndDecodesEntities) {
  EXPECT_EQ(MarkupToWindowText("Do <B>not</B> remind me again"), "Do not remind me again");
  EXPECT_EQ(MarkupToWindowText("Match &Case"), "Match &Case");
  EXPECT_EQ(MarkupToWindowText("A&amp;B &lt;x&gt;&nbsp;&quot;q&quot;"), "A&&B <x> \"q\"");
  EXPECT_EQ(MarkupToWindowText("Fish & chips"), "Fish && chips");
  EXPECT_EQ(MarkupToWindowText("one<br>two"), "one two");
  EXPECT_EQ(MarkupToWindowText("broken <B tag"), "broken");
  EXPECT_EQ(MarkupToWindowText(""), "");
  EXPECT_EQ(MarkupToWindowText(std::string(100000, 'x')).size(), 100000u);
}

TEST(CaptionText, AcceleratorIsCharacterAfterSingleAmpersand) {
  EXPECT_EQ(CaptionAccelerator("Match &Case"), 'c');
  EXPECT_EQ(CaptionAccelerator("<FONT color=\"#FF0000\">&Whole</FONT>"), 'w');
  EXPECT_EQ(CaptionAccelerator("R&&D &first"), 'f');
  EXPECT_EQ(CaptionAccelerator("No accelerator"), 0);
  EXPECT_EQ(CaptionAccelerator("trailing &"), 0);
}

TEST(CheckBoxLayout, ToolsThemedBoxPutsCaption17In4Down) {
  const Rect cap = CaptionRect(MarkLook::Themed, CheckAlignment::LeftJustify, 98, 20, 96);
  EXPECT_EQ(cap, (Rect{17, 4, 98, 20}));
  EXPECT_EQ(CaptionRect(MarkLook::XpBitmap, CheckAlignment::LeftJustify, 98, 20, 96).left, 22);
  EXPECT_EQ(CaptionRect(MarkLook::Frame, CheckAlignment::RightJustify, 98, 20, 96),
            (Rect{0, 4, 81, 20}));
  EXPECT_EQ(CaptionRect(MarkLook::Themed, CheckAlignment::LeftJustify, 147, 30, 144).left, 26);
}

TEST(CheckBoxLayout, MarkPlacesFollowStyleAndAlignment) {
  struct Case {
    MarkLook look;
    CheckAlignment align;
    VertLayout vert;
    Rect want;
  };
  const auto L = CheckAlignment::LeftJustify;
  const auto R = CheckAlignment::RightJustify;
  const Case cases[] = {
      {MarkLook::Frame, L, VertLayout::Top, {0, 4, 13, 17}},
      {MarkLook::Frame, R, VertLayout::Center, {87, 14, 100, 27}},
      {MarkLook::FlatFrame, L, VertLayout::Bottom, {0, 23, 13, 36}},
      {MarkLook::Raised, L, VertLayout::Top, {1, 4, 13, 16}},
      {MarkLook::Raised, R, VertLayout::Bottom, {87, 24, 99, 36}},
      {MarkLook::Themed, L, VertLayout::Top, {0, 4, 14, 18}},
      {MarkLook::Themed, R, VertLayout::Bottom, {85, 26, 99, 40}},
      {MarkLook::Bitmap, L, VertLayout::Top, {0, 0, 13, 13}},
      {MarkLook::Bitmap, R, VertLayout::Center, {86, 14, 99, 27}},
      {MarkLook::XpBitmap, L, VertLayout::Top, {0, 2, 13, 15}},
      {MarkLook::XpBitmap, L, VertLayout::Bottom, {0, 27, 13, 40}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MarkRect(c.look, c.align, c.vert, 100, 40, 13, 13, 96), c.want)
        << static_cast<int>(c.look) << " " << static_cast<int>(c.vert);
  }
}

TEST(CheckBoxLayout, EffectiveLookFallsBackWithoutVisualStyles) {
  const PlatformLook themed{true, true, 6};
  const PlatformLook plain{true, false, 6};
  const PlatformLook oldComctl{true, true, 5};
  const PlatformLook win2000{false, true, 6};
  EXPECT_EQ(EffectiveLook(CheckButtonType::WinXP, themed), MarkLook::Themed);
  EXPECT_EQ(EffectiveLook(CheckButtonType::WinXP, plain), MarkLook::XpBitmap);
  EXPECT_EQ(EffectiveLook(CheckButtonType::WinXP, win2000), MarkLook::XpBitmap);
  EXPECT_EQ(EffectiveLook(CheckButtonType::WinXP, oldComctl), MarkLook::Themed);
  EXPECT_EQ(EffectiveLook(CheckButtonType::Theme, themed), MarkLook::Themed);
  EXPECT_EQ(EffectiveLook(CheckButtonType::Theme, oldComctl), MarkLook::Frame);
  EXPECT_EQ(EffectiveLook(CheckButtonType::Theme, plain), MarkLook::Frame);
  EXPECT_EQ(EffectiveLook(CheckButtonType::Flat, themed), MarkLook::FlatFrame);
}

TEST(CheckBoxLayout, ThemeStatePrefersDisabledThenDownThenHot) {
  EXPECT_EQ(ThemeCheckState(CheckState::Unchecked, true, false, false), 1);
  EXPECT_EQ(ThemeCheckState(CheckState::Unchecked, true, false, true), 2);
  EXPECT_EQ(ThemeCheckState(CheckState::Unchecked, true, true, true), 3);
  EXPECT_EQ(ThemeCheckState(CheckState::Unchecked, false, true, true), 4);
  EXPECT_EQ(ThemeCheckState(CheckState::Checked, true, false, false), 5);
  EXPECT_EQ(ThemeCheckState(CheckState::Checked, true, true, false), 7);
  EXPECT_EQ(ThemeCheckState(CheckState::Checked, false, false, false), 8);
  EXPECT_EQ(ThemeCheckState(CheckState::Grayed, true, false, true), 2);
}

TEST(CheckBoxLayout, BitmapNamesPerLookAndState) {
  EXPECT_EQ(MarkBitmapName(MarkLook::Bitmap, CheckState::Checked, true), "CHKBMP01");
  EXPECT_EQ(MarkBitmapName(MarkLook::Bitmap, CheckState::Unchecked, true), "CHKBMP02");
  EXPECT_EQ(MarkBitmapName(MarkLook::Bitmap, CheckState::Checked, false), "CHKBMP03");
  EXPECT_EQ(MarkBitmapName(MarkLook::Bitmap, CheckState::Unchecked, false), "CHKBMP04");
  EXPECT_EQ(MarkBitmapName(MarkLook::XpBitmap, CheckState::Checked, true), "CHKBMP05");
  EXPECT_EQ(MarkBitmapName(MarkLook::XpBitmap, CheckState::Unchecked, false), "CHKBMP08");
}

TEST(CheckBoxLayout, StateChangeRepaintsStripOnMarkSide) {
  EXPECT_EQ(MarkStrip(CheckAlignment::LeftJustify, 98, 20, 96), (Rect{0, 0, 20, 20}));
  EXPECT_EQ(MarkStrip(CheckAlignment::RightJustify, 98, 20, 96), (Rect{78, 0, 98, 20}));
}

}  // namespace
}  // namespace vt9
