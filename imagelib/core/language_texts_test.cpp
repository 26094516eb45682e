#include "imagelib/core/language_texts.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

namespace imagelib {
namespace {

auto Fields(const LanguageTexts& t) {
    return std::tie(t.name, t.progressCaption, t.errorCaption, t.loadingText, t.errorLoadingText,
                    t.warningText);
}

// The texts of the load error box and the progress window are read on the
// screen under Wine; here which texts a name puts in place.
TEST(LanguageTexts, EachNameInAnyLetterCaseChoosesItsSetAndAnUnknownOneEnglish) {
    for (const char* name : {"English", "gERMAN", "french", "Spanish", "DUTCH", "portuguese",
                             "ItAlIaN", "Japanese", "Custom"}) {
        LanguageTexts texts{"", "p", "e", "l", "el", "earlier"};
        EXPECT_TRUE(ChooseLanguage(texts, name)) << name;
        EXPECT_EQ(texts.name, UpperCaseAscii(name));
        // Japanese has no warning text of its own; CUSTOM keeps every text.
        const bool custom = texts.name == kCustom;
        EXPECT_EQ(texts.errorLoadingText == "el", custom) << name;
        EXPECT_EQ(texts.warningText == "earlier", custom || texts.name == kJapanese) << name;
    }
    // No trimming, and bytes of other code pages are no letters.
    for (const char* name : {"KLINGON", " german", "GERMAN ", "", "GERM\xC1N"}) {
        LanguageTexts texts{"GERMAN", "p", "e", "l", "el", "earlier"};
        EXPECT_FALSE(ChooseLanguage(texts, name)) << name;
        LanguageTexts english = EnglishTexts();
        english.warningText = "earlier";
        EXPECT_EQ(Fields(texts), Fields(english)) << name;
    }
}

}  // namespace
}  // namespace imagelib
