#include <gtest/gtest.h>

#include "widgets/panel_layout.h"
#include "widgets/panel_links.h"

namespace vt9 {
namespace {

PanelLinkHit Link(const std::string& target, int number, Rect rect = {10, 10, 50, 24}) {
  return {true, target, rect, number};
}

TEST(PanelLinks, MovingBetweenLinksEntersSecondWithoutExit) {
  PanelLinkTracker t;
  PanelLinkEffects fx = t.Move(Link("a", 1), false);
  EXPECT_EQ(fx.entered, "a");
  EXPECT_TRUE(fx.showHand);
  EXPECT_EQ(t.HoverLink(), 1);
  fx = t.Move(Link("a", 1), false);
  EXPECT_TRUE(fx.entered.empty()) << "staying on a link fires nothing";
  fx = t.Move(Link("b", 2, {60, 10, 90, 24}), false);
  EXPECT_EQ(fx.entered, "b");
  EXPECT_FALSE(fx.exited);
  fx = t.Move({}, false);
  EXPECT_TRUE(fx.exited);
  EXPECT_EQ(fx.exitedTarget, "b");
  EXPECT_TRUE(fx.restoreCursor);
  EXPECT_EQ(t.HoverLink(), -1);
  EXPECT_FALSE(t.Move({}, false).exited) << "exit fires once";
}

TEST(PanelLinks, HoverRepaintsOldAndNewLinkGrownByOne) {
  PanelLinkTracker t;
  PanelLinkEffects fx = t.Move(Link("a", 1, {10, 10, 50, 24}), true);
  ASSERT_EQ(fx.repaint.size(), 1u);
  EXPECT_EQ(fx.repaint[0], (Rect{9, 9, 51, 25}));
  EXPECT_TRUE(t.Move(Link("a", 1, {10, 10, 50, 24}), true).repaint.empty());
  fx = t.Move(Link("a", 2, {10, 30, 50, 44}), true);
  ASSERT_EQ(fx.repaint.size(), 2u) << "same target, other link: both repainted";
  EXPECT_TRUE(fx.entered.empty());
  fx = t.Move({}, true);
  ASSERT_EQ(fx.repaint.size(), 1u);
  EXPECT_EQ(fx.repaint[0], (Rect{9, 29, 51, 45}));
  EXPECT_TRUE(t.Move(Link("a", 1), false).repaint.empty()) << "no repaints without Hover";
}

TEST(PanelLinks, LeavingThePanelForgetsAndExitsTheLink) {
  PanelLinkTracker t;
  t.Move(Link("a", 1), true);
  PanelLinkEffects fx = t.Leave(true);
  EXPECT_EQ(fx.repaint.size(), 1u);
  EXPECT_TRUE(fx.exited);
  EXPECT_EQ(t.HoverLink(), -1);
  EXPECT_EQ(t.Move(Link("a", 1), true).entered, "a") << "coming back enters again";
  EXPECT_FALSE(PanelLinkTracker().Leave(true).exited);
}

TEST(PanelLinks, PressOpensSchemeAndMailTargetsAndReportsOthers) {
  EXPECT_EQ(PanelLinkTracker::Press(Link("https://www.corvane.com/kb/dep", 1)).openTarget,
            "https://www.corvane.com/kb/dep");
  EXPECT_EQ(PanelLinkTracker::Press(Link("mailto:support@corvane.com", 1)).openTarget,
            "mailto:support@corvane.com");
  const PanelLinkEffects other = PanelLinkTracker::Press(Link("showdetails", 1));
  EXPECT_TRUE(other.openTarget.empty());
  EXPECT_EQ(other.anchorClicked, "showdetails");
  const PanelLinkEffects empty = PanelLinkTracker::Press(Link("", 1));
  EXPECT_TRUE(empty.openTarget.empty());
  EXPECT_TRUE(empty.anchorClicked.empty());
  EXPECT_TRUE(PanelLinkTracker::Press({}).anchorClicked.empty());
}

TEST(PanelLayout, TextAreaInsetByBorderThenIndents) {
  EXPECT_EQ(PanelTextArea(465, 297, {}), (Rect{0, 0, 465, 297}));
  EXPECT_EQ(PanelTextArea(400, 60, {8, false, 0, 0}), (Rect{8, 8, 392, 52}));
  EXPECT_EQ(PanelTextArea(400, 60, {8, true, 3, 5}), (Rect{11, 13, 392, 52}));
  EXPECT_TRUE(PanelTextArea(0, 0, {8, false, 0, 0}).Empty());
  EXPECT_EQ(PanelTextClip(100, 50, {0, true, 0, 0}), (Rect{0, 0, 98, 47}));
}

TEST(PanelLayout, VerticalAlignmentPlacesBlock) {
  const Rect area{0, 10, 100, 110};
  EXPECT_EQ(AlignedTextTop(area, 40, VertLayout::Top), 10);
  EXPECT_EQ(AlignedTextTop(area, 40, VertLayout::Center), 40);
  EXPECT_EQ(AlignedTextTop(area, 40, VertLayout::Bottom), 70);
  EXPECT_EQ(AlignedTextTop(area, 140, VertLayout::Bottom), 10) << "tall text starts at top";
}

TEST(PanelLayout, GradientHas64BandsCoveringTheArea) {
  const std::vector<GradientBand> bands = GradientBands({0, 0, 640, 20}, 0x000000, 0xFF0000, true);
  ASSERT_EQ(bands.size(), 64u);
  EXPECT_EQ(bands.front().color, 0x000000u);
  EXPECT_EQ(bands.back().color, 0xFF0000u);
  EXPECT_EQ(bands[1].rect, (Rect{10, 0, 20, 20}));
  for (std::size_t i = 1; i < bands.size(); ++i) {
    EXPECT_EQ(bands[i].rect.left, bands[i - 1].rect.right);
    EXPECT_GE(bands[i].color, bands[i - 1].color);
  }
  EXPECT_EQ(bands.back().rect.right, 640);

  const std::vector<GradientBand> small = GradientBands({5, 5, 15, 35}, 0xFFFFFF, 0, false);
  EXPECT_EQ(small.front().rect.top, 5);
  EXPECT_EQ(small.back().rect.bottom, 35);
  EXPECT_LE(small.size(), 30u);
  EXPECT_TRUE(GradientBands({0, 0, 0, 0}, 0, 0xFFFFFF, true).empty());
}

TEST(PanelLayout, ShadowMixWeighsBorderColour) {
  EXPECT_EQ(MixColors(0x000000, 0xFFFFFF, 50), 0x7F7F7Fu);
  EXPECT_EQ(MixColors(0x0000FF, 0xC8D0D4, 20), 0xA0A6DCu);
  EXPECT_EQ(MixColors(0x123456, 0xABCDEF, 100), 0x123456u);
}

}  // namespace
}  // namespace vt9
