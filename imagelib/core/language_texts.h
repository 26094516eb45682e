// The texts the library shows, by language: eight built-in sets, or texts
// of the caller's own under the name "CUSTOM". The language name alone
// decides the word order of the joined texts (file name first in
// Japanese).
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

inline constexpr std::string_view kEnglish = "ENGLISH";
inline constexpr std::string_view kJapanese = "JAPANESE";
inline constexpr std::string_view kCustom = "CUSTOM";

LanguageTexts EnglishTexts();

// The name with a-z turned to A-Z; every other byte (including those of
// other code pages) is left alone. Only plain letters occur in the names
// the library knows.
std::string UpperCaseAscii(std::string_view name);

// Chooses a language by name, in any mix of letter cases (no trimming):
// a built-in set puts its name and texts in place (Japanese keeps the
// warning text as it was) and answers true; "CUSTOM" takes that name and
// keeps the texts as they are, true; any other name puts the English name
// and texts in place but keeps the warning text, false.
bool ChooseLanguage(LanguageTexts& texts, std::string_view name);

// Replaces the five texts, in this order; the language name stays.
void SetCustomTexts(LanguageTexts& texts, std::string_view progressCaption,
                    std::string_view errorCaption, std::string_view loadingText,
                    std::string_view errorLoadingText, std::string_view warningText);

// The text of the load error box: the error-loading text, one blank and
// the file name exactly as the caller passed it (in Japanese the file
// name, one blank, the error-loading text).
std::string LoadErrorText(const LanguageTexts& texts, std::string_view fileName);

// The text line of the progress window: the loading text, one blank and
// the file name (in Japanese the file name first).
std::string LoadingLine(const LanguageTexts& texts, std::string_view fileName);

}  // namespace imagelib
