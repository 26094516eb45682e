#include "imagelib/core/language_texts.h"

#include <gtest/gtest.h>

#include <string>

namespace imagelib {
namespace {

// The Shift-JIS texts, byte by byte.
const std::string kJapaneseProgress = "\x90\x69\x8D\x73\x8F\xEE\x95\xF1";
const std::string kJapaneseError = "\x83\x47\x83\x89\x81\x5B";
const std::string kJapaneseLoading = "\x83\x8D\x81\x5B\x83\x68\x92\x86";
const std::string kJapaneseErrorLoading =
    "\x83\x8D\x81\x5B\x83\x68\x92\x86\x82\xC9\x83\x47\x83\x89\x81\x5B"
    "\x82\xAA\x94\xAD\x90\xB6\x82\xB5\x82\xDC\x82\xB5\x82\xBD\x81\x42";

LanguageTexts Earlier() { return {"", "p", "e", "l", "el", "earlier warning"}; }

TEST(LanguageTexts, EachBuiltInNameInAnyLetterCaseChoosesItsTexts) {
    const LanguageTexts cases[] = {
        {"ENGLISH", "Progress", "Error", "Loading", "Error Loading", "Warning"},
        {"GERMAN", "Fortschritt", "Fehler", "Lade", "Fehler beim Laden der Datei", "Warnung"},
        {"FRENCH", "Progression", "Erreur", "Chargement de", "Erreur en chargeant", "Avertissement"},
        {"SPANISH", "Progreso de lectura", "Erro", "Leyendo", "Error leyendo", "Aviso"},
        {"DUTCH", "Vooruitgang", "Foutmelding", "Laden", "Fout bij laden", "Waarschuwing"},
        {"PORTUGUESE", "Progresso", "Erro", "Carregando", "Erro ao carregar", "Cuidado"},
        {"ITALIAN", "Progresso", "Errore", "caricamento", "Errore nel caricamento di", "Attenzione"},
        {"JAPANESE", kJapaneseProgress, kJapaneseError, kJapaneseLoading, kJapaneseErrorLoading,
         "earlier warning"},  // Japanese has no warning text of its own
    };
    for (const LanguageTexts& want : cases) {
        std::string lower = want.name;
        for (char& c : lower) c = static_cast<char>(c - 'A' + 'a');
        std::string mixed = lower;
        mixed[0] = want.name[0];
        for (const std::string& name : {want.name, lower, mixed}) {
            LanguageTexts texts = Earlier();
            EXPECT_TRUE(ChooseLanguage(texts, name)) << name;
            EXPECT_EQ(texts.name, want.name);
            EXPECT_EQ(texts.progressCaption, want.progressCaption) << name;
            EXPECT_EQ(texts.errorCaption, want.errorCaption) << name;
            EXPECT_EQ(texts.loadingText, want.loadingText) << name;
            EXPECT_EQ(texts.errorLoadingText, want.errorLoadingText) << name;
            EXPECT_EQ(texts.warningText, want.warningText) << name;
        }
    }
    EXPECT_EQ(kJapaneseProgress.size(), 8u);
    EXPECT_EQ(kJapaneseError.size(), 6u);
    EXPECT_EQ(kJapaneseLoading.size(), 8u);
    EXPECT_EQ(kJapaneseErrorLoading.size(), 32u);
}

TEST(LanguageTexts, AnUnknownNameFallsBackToEnglishButKeepsTheWarningText) {
    for (const char* name : {"KLINGON", " german", "GERMAN ", "", "ENGLISCH", "custom!"}) {
        LanguageTexts texts = Earlier();
        texts.name = "GERMAN";
        EXPECT_FALSE(ChooseLanguage(texts, name)) << name;
        EXPECT_EQ(texts.name, "ENGLISH");
        EXPECT_EQ(texts.progressCaption, "Progress");
        EXPECT_EQ(texts.errorCaption, "Error");
        EXPECT_EQ(texts.loadingText, "Loading");
        EXPECT_EQ(texts.errorLoadingText, "Error Loading");
        EXPECT_EQ(texts.warningText, "earlier warning");
    }
    // Bytes of other code pages are not letters: no name matches through them.
    LanguageTexts texts;
    EXPECT_FALSE(ChooseLanguage(texts, "GERM\xC1N"));
    EXPECT_EQ(UpperCaseAscii("a\xE4z\x83\x61"), "A\xE4Z\x83\x41");
}

TEST(LanguageTexts, CustomTextsStandUnderTheCustomNameInEitherOrder) {
    LanguageTexts before = EnglishTexts();
    SetCustomTexts(before, "P", "E", "L", "EL", "W");
    EXPECT_EQ(before.name, "ENGLISH");  // the name stays
    EXPECT_TRUE(ChooseLanguage(before, "Custom"));

    LanguageTexts after = EnglishTexts();
    EXPECT_TRUE(ChooseLanguage(after, "CUSTOM"));
    EXPECT_EQ(after.errorLoadingText, "Error Loading");  // kept as they were
    SetCustomTexts(after, "P", "E", "L", "EL", "W");
    for (const LanguageTexts& texts : {before, after}) {
        EXPECT_EQ(texts.name, "CUSTOM");
        EXPECT_EQ(texts.progressCaption, "P");
        EXPECT_EQ(texts.errorCaption, "E");
        EXPECT_EQ(texts.loadingText, "L");
        EXPECT_EQ(texts.errorLoadingText, "EL");
        EXPECT_EQ(texts.warningText, "W");
        EXPECT_EQ(LoadErrorText(texts, "C:\\a b.jpg"), "EL C:\\a b.jpg");
        EXPECT_EQ(LoadingLine(texts, "C:\\a b.jpg"), "L C:\\a b.jpg");
    }
}

TEST(LanguageTexts, TheJapaneseNamePutsTheFileNameFirstWhateverTheTexts) {
    LanguageTexts texts;
    ChooseLanguage(texts, "japanese");
    EXPECT_EQ(LoadErrorText(texts, "C:\\x.gif"), "C:\\x.gif " + kJapaneseErrorLoading);
    EXPECT_EQ(LoadingLine(texts, "C:\\x.gif"), "C:\\x.gif " + kJapaneseLoading);
    SetCustomTexts(texts, "P", "E", "L", "EL", "W");
    EXPECT_EQ(LoadErrorText(texts, "C:\\x.gif"), "C:\\x.gif EL");
    EXPECT_EQ(LoadingLine(texts, "C:\\x.gif"), "C:\\x.gif L");
    ChooseLanguage(texts, "Custom");
    EXPECT_EQ(LoadErrorText(texts, "C:\\x.gif"), "EL C:\\x.gif");
    // The file name goes in exactly as given, blanks and all.
    EXPECT_EQ(LoadErrorText(EnglishTexts(), " x "), "Error Loading  x ");
}

}  // namespace
}  // namespace imagelib
