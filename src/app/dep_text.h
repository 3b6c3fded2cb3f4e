// Texts of the information window: the DEP conflict message with its link to the
// knowledge-base article, and the text the window holds from its creation until then.
#pragma once

#include <cstdint>
#include <string>

namespace vt9 {

// The knowledge-base article on DEP that the information window links to.
inline constexpr const char* kDepArticleUrl = "https://www.corvane.com/kb/dep";

// Panel colours (0x00BBGGRR): white at creation, pale yellow with the DEP text.
inline constexpr std::uint32_t kInfoCreationColor = 0xFFFFFF;
inline constexpr std::uint32_t kDepPanelColor = 0xA4FFFF;

// The DEP conflict message as markup; its one link shows and targets kDepArticleUrl.
std::string DepInformationMarkup();

// The information text set when the window is created (about the optional open-file module
// of Marrowind Plus 6); the window always switches to the DEP text before it is shown.
std::string CreationInformationMarkup();

}  // namespace vt9
