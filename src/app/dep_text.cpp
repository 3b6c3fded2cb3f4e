#include "app/dep_text.h"

namespace vt9 {

std::string DepInformationMarkup() {
  std::string text =
      "<br><br><br><br><P align=\"center\">Windows <B>Data Execution Prevention</B> setting "
      "conflict detected.<br><br>This machine appears to have <B>Data Execution "
      "Prevention</B> enabled.<br>The DEP settings must be altered to allow <B>Marrowind Plus "
      "6</B> to operate properly.<br><br>See our KB article:  ";
  text += "<A href=\"";
  text += kDepArticleUrl;
  text += "\">";
  text += kDepArticleUrl;
  text += "</A>";
  text += " for more details.</P>";
  return text;
}

std::string CreationInformationMarkup() {
  std::string text =
      "<br><br><P align=\"center\"><B>Open File Manager for Marrowind Plus 6</B><br><br>"
      "The optional open-file module lets <B>Marrowind Plus 6</B> back up files that other "
      "programs keep open, such as mail folders and databases.<br><br>Learn more on our "
      "web site: ";
  text +=
      "<A href=\"https://www.corvane.com/marrowind/open-file-module\">"
      "https://www.corvane.com/marrowind/open-file-module</A></P>";
  return text;
}

}  // namespace vt9
