#include "app/dep_text.h"

#include <gtest/gtest.h>

#include "markup/render.h"
#include "support/fake_canvas.h"
#include "widgets/panel_links.h"

namespace vt9 {
namespace {

TEST(DepText, IsTheThreePiecesWithTheArticleLink) {
  const std::string text = DepInformationMarkup();
  const std::string first =
      "<br><br><br><br><P align=\"center\">Windows <B>Data Execution Prevention</B> setting "
      "conflict detected.<br><br>This machine appears to have <B>Data Execution Prevention</B> "
      "enabled.<br>The DEP settings must be altered to allow <B>Marrowind Plus 6</B> to operate "
      "properly.<br><br>See our KB article:  ";
  const std::string link =
      std::string("<A href=\"") + kDepArticleUrl + "\">" + kDepArticleUrl + "</A>";
  EXPECT_EQ(text, first + link + " for more details.</P>");
}

// The article link as the panel meets it: drawn as a link, hit under the mouse, and a click on
// it opens the article through the shell rather than reaching the window's click handler.
TEST(DepText, ArticleLinkIsHitAndOpensThroughTheShell) {
  const std::string text = DepInformationMarkup();
  test::FakeCanvas canvas(test::FakeCanvas::HandCountable());
  MarkupParams params;
  params.bounds = {0, 0, 465, 297};
  RenderMarkup(canvas, text, params);
  const test::FakeCanvas::DrawnText* link = nullptr;
  for (const auto& run : canvas.texts) {
    if (run.text.find("corvane.com") != std::string::npos) link = &run;
  }
  ASSERT_NE(link, nullptr);
  EXPECT_EQ(link->font.color, params.urlColor);
  EXPECT_TRUE(link->font.style & kFontUnderline);

  params.hitTestOnly = true;
  params.mouseX = link->rect.left + 5;
  params.mouseY = link->rect.bottom - 5;
  const MarkupResult hit = RenderMarkup(canvas, text, params);
  ASSERT_TRUE(hit.overLink);
  EXPECT_EQ(hit.anchorUnderMouse, kDepArticleUrl);
  EXPECT_EQ(std::string(kDepArticleUrl).rfind("https://www.corvane.com/", 0), 0u);
  const PanelLinkEffects click =
      PanelLinkTracker::Press(PanelLinkHit{true, hit.anchorUnderMouse, {}, hit.mouseLink});
  EXPECT_EQ(click.openTarget, kDepArticleUrl);
  EXPECT_TRUE(click.anchorClicked.empty());
}

TEST(DepText, CreationTextDiffersAndNamesTheSiblingProduct) {
  const std::string text = CreationInformationMarkup();
  EXPECT_NE(text, DepInformationMarkup());
  EXPECT_NE(text.find("Marrowind Plus 6"), std::string::npos);
  EXPECT_NE(text.find("<A href=\"https://www.corvane.com/"), std::string::npos);
}

}  // namespace
}  // namespace vt9
