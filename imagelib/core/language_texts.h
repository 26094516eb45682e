// The texts the library shows, by language. Only the English set exists
// so far; the language name decides the word order of the joined texts.
#pragma once

#include <string>
#include <string_view>

namespace imagelib {

struct LanguageTexts {
    std::string name;  // upper-case name of the chosen set; empty until chosen
    std::string progressCaption;
    std::string errorCaption;
    std::string loadingText;
    std::string errorLoadingText;
    std::string warningText;
};

LanguageTexts EnglishTexts();

// The text of the load error box: the error-loading text, one blank and
// the file name exactly as the caller passed it.
std::string LoadErrorText(const LanguageTexts& texts, std::string_view fileName);

}  // namespace imagelib
