#include "imagelib/core/language_texts.h"

namespace imagelib {

LanguageTexts EnglishTexts() {
    return {"ENGLISH", "Progress", "Error", "Loading", "Error Loading", "Warning"};
}

std::string LoadErrorText(const LanguageTexts& texts, std::string_view fileName) {
    std::string text = texts.errorLoadingText;
    text += ' ';
    text += fileName;
    return text;
}

}  // namespace imagelib
