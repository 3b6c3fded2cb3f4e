#include "app/dep_text.h"

#include <gtest/gtest.h>

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

TEST(DepText, ArticleIsOnTheMakersSiteAndOpensThroughTheShell) {
  const std::string url = kDepArticleUrl;
  EXPECT_EQ(url.rfind("https://www.corvane.com/", 0), 0u);
  EXPECT_NE(url.find("://"), std::string::npos);
  EXPECT_EQ(kDepPanelColor, 0xA4FFFFu);
}

TEST(DepText, CreationTextDiffersAndNamesTheSiblingProduct) {
  const std::string text = CreationInformationMarkup();
  EXPECT_NE(text, DepInformationMarkup());
  EXPECT_NE(text.find("Marrowind Plus 6"), std::string::npos);
  EXPECT_NE(text.find("<A href=\"https://www.corvane.com/"), std::string::npos);
}

}  // namespace
}  // namespace vt9
