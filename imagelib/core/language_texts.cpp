#include "imagelib/core/language_texts.h"

#include <optional>

namespace imagelib {
namespace {

struct BuiltInSet {
    std::string_view name;
    std::string_view progressCaption;
    std::string_view errorCaption;
    std::string_view loadingText;
    std::string_view errorLoadingText;
    std::optional<std::string_view> warningText;  // none: the warning text stays
};

// The Japanese texts are Shift-JIS (code page 932) bytes, handed to the
// platform's 8-bit text functions as they are.
constexpr BuiltInSet kBuiltInSets[] = {
    {kEnglish, "Progress", "Error", "Loading", "Error Loading", "Warning"},
    {"GERMAN", "Fortschritt", "Fehler", "Lade", "Fehler beim Laden der Datei", "Warnung"},
    {"FRENCH", "Progression", "Erreur", "Chargement de", "Erreur en chargeant", "Avertissement"},
    {"SPANISH", "Progreso de lectura", "Erro", "Leyendo", "Error leyendo", "Aviso"},
    {"DUTCH", "Vooruitgang", "Foutmelding", "Laden", "Fout bij laden", "Waarschuwing"},
    {"PORTUGUESE", "Progresso", "Erro", "Carregando", "Erro ao carregar", "Cuidado"},
    {"ITALIAN", "Progresso", "Errore", "caricamento", "Errore nel caricamento di", "Attenzione"},
    {kJapanese,
     "\x90\x69\x8D\x73\x8F\xEE\x95\xF1",  // progress information
     "\x83\x47\x83\x89\x81\x5B",          // error
     "\x83\x8D\x81\x5B\x83\x68\x92\x86",  // loading
     // an error occurred while loading
     "\x83\x8D\x81\x5B\x83\x68\x92\x86\x82\xC9\x83\x47\x83\x89\x81\x5B"
     "\x82\xAA\x94\xAD\x90\xB6\x82\xB5\x82\xDC\x82\xB5\x82\xBD\x81\x42",
     std::nullopt},
};

void PutInPlace(LanguageTexts& texts, const BuiltInSet& set) {
    texts.name = set.name;
    texts.progressCaption = set.progressCaption;
    texts.errorCaption = set.errorCaption;
    texts.loadingText = set.loadingText;
    texts.errorLoadingText = set.errorLoadingText;
    if (set.warningText) texts.warningText = *set.warningText;
}

std::string Joined(const LanguageTexts& texts, std::string_view words, std::string_view fileName) {
    const bool fileNameFirst = texts.name == kJapanese;
    std::string line(fileNameFirst ? fileName : words);
    line += ' ';
    line += fileNameFirst ? words : fileName;
    return line;
}

}  // namespace

LanguageTexts EnglishTexts() {
    LanguageTexts texts;
    PutInPlace(texts, kBuiltInSets[0]);
    return texts;
}

std::string UpperCaseAscii(std::string_view name) {
    std::string upper(name);
    for (char& c : upper) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return upper;
}

bool ChooseLanguage(LanguageTexts& texts, std::string_view name) {
    const std::string upper = UpperCaseAscii(name);
    for (const BuiltInSet& set : kBuiltInSets) {
        if (upper == set.name) {
            PutInPlace(texts, set);
            return true;
        }
    }
    if (upper == kCustom) {
        texts.name = kCustom;
        return true;
    }
    BuiltInSet english = kBuiltInSets[0];
    english.warningText.reset();
    PutInPlace(texts, english);
    return false;
}

void SetCustomTexts(LanguageTexts& texts, std::string_view progressCaption,
                    std::string_view errorCaption, std::string_view loadingText,
                    std::string_view errorLoadingText, std::string_view warningText) {
    texts.progressCaption = progressCaption;
    texts.errorCaption = errorCaption;
    texts.loadingText = loadingText;
    texts.errorLoadingText = errorLoadingText;
    texts.warningText = warningText;
}

std::string LoadErrorText(const LanguageTexts& texts, std::string_view fileName) {
    return Joined(texts, texts.errorLoadingText, fileName);
}

std::string LoadingLine(const LanguageTexts& texts, std::string_view fileName) {
    return Joined(texts, texts.loadingText, fileName);
}

}  // namespace imagelib
