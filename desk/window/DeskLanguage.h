#pragma once
// The language the desktop speaks and the locale it writes dates and numbers in. "--lang" chooses;
// without it the user's locale does (LC_ALL, LC_MESSAGES, LANG, the first one set): Hungarian
// for a Hungarian locale, English for any other. Dates and numbers follow the locale (LC_ALL,
// LC_TIME, LANG) when it is of that language, else the language's home (Hungary, the United
// States). Qt's own texts (file dialogs, buttons, the calendar) follow through its translations.
#include <QLocale>

#include <functional>
#include <string>

struct DeskLocale {
    std::string lang; // "hu" or "en", as "--lang" takes it
    QLocale locale;
};

// `option`: the "--lang" given, empty for none; `environment` reads a variable (null: unset).
DeskLocale ChooseDeskLocale(const std::string& option, const std::function<const char*(const char*)>& environment);
// The host's texts, Qt's translations and the default locale, for the widgets made from now on.
void UseDeskLocale(const DeskLocale& locale);
