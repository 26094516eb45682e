#include "imagelib/core/language_texts.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

namespace imagelib {
namespace {

auto Fields(const LanguageTexts& t) {
    return std::tie(t.name, t.progressCaption, t.errorCaption, t.loadingText, t.errorLoadingText, t.warningText);
}

// What the load error box shows is checked for every language under Wine;
// here the rest of each set, and the warning text that nothing shows.
TEST(LanguageTexts, EachNameInAnyLetterCaseChoosesItsSetAndAnUnknownOneEnglish) {
    const LanguageTexts cases[] = {
        {"ENGLISH", "Progress", "Error", "Loading", "Error Loading", "Warning"},
        {"GERMAN", "Fortschritt", "Fehler", "Lade", "Fehler beim Laden der Datei", "Warnung"},
        {"FRENCH", "Progression", "Erreur", "Chargement de", "Erreur en chargeant", "Avertissement"},
        {"SPANISH", "Progreso de lectura", "Erro", "Leyendo", "Error leyendo", "Aviso"},
        {"DUTCH", "Vooruitgang", "Foutmelding", "Laden", "Fout bij laden", "Waarschuwing"},
        {"PORTUGUESE", "Progresso", "Erro", "Carregando", "Erro ao carregar", "Cuidado"},
        {"ITALIAN", "Progresso", "Errore", "caricamento", "Errore nel caricamento di", "Attenzione"},
        // Shift-JIS; Japanese has no warning text of its own.
        {"JAPANESE", "\x90\x69\x8D\x73\x8F\xEE\x95\xF1", "\x83\x47\x83\x89\x81\x5B",
         "\x83\x8D\x81\x5B\x83\x68\x92\x86",
         "\x83\x8D\x81\x5B\x83\x68\x92\x86\x82\xC9\x83\x47\x83\x89\x81\x5B"
         "\x82\xAA\x94\xAD\x90\xB6\x82\xB5\x82\xDC\x82\xB5\x82\xBD\x81\x42",
         "earlier"},
        {"CUSTOM", "p", "e", "l", "el", "earlier"},  // the texts stay
    };
    for (const LanguageTexts& want : cases) {
        std::string mixed = want.name;
        for (std::size_t i = 1; i < mixed.size(); i += 2) mixed[i] = static_cast<char>(mixed[i] - 'A' + 'a');
        LanguageTexts texts{"", "p", "e", "l", "el", "earlier"};
        EXPECT_TRUE(ChooseLanguage(texts, mixed)) << mixed;
        EXPECT_EQ(Fields(texts), Fields(want)) << mixed;
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
