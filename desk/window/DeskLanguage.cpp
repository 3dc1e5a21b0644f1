#include "desk/window/DeskLanguage.h"

#include "host/resources/HostResources.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include <memory>
#include <vector>

namespace {

// "hu_HU.UTF-8@euro" -> "hu_HU"; empty for none, "C" and "POSIX".
QString LocaleName(const char* value) {
    QString name = QString::fromLocal8Bit(value ? value : "");
    name = name.left(name.indexOf(QLatin1Char('.')) < 0 ? name.size() : name.indexOf(QLatin1Char('.')));
    name = name.left(name.indexOf(QLatin1Char('@')) < 0 ? name.size() : name.indexOf(QLatin1Char('@')));
    if (name == QStringLiteral("C") || name == QStringLiteral("POSIX")) return {};
    return name;
}

// The first of the variables that is set and names a locale.
QString FirstSet(const std::function<const char*(const char*)>& environment, std::initializer_list<const char*> names) {
    for (const char* n : names) {
        const char* value = environment(n);
        if (value && *value) return LocaleName(value);
    }
    return {};
}

std::vector<std::unique_ptr<QTranslator>>& Installed() {
    static std::vector<std::unique_ptr<QTranslator>> translators;
    return translators;
}

} // namespace

DeskLocale ChooseDeskLocale(const std::string& option, const std::function<const char*(const char*)>& environment) {
    DeskLocale out;
    out.lang = option;
    if (out.lang.empty()) {
        QString messages = FirstSet(environment, {"LC_ALL", "LC_MESSAGES", "LANG"});
        out.lang = messages.startsWith(QStringLiteral("hu")) ? "hu" : "en";
    }
    QLocale::Language language = out.lang == "hu" ? QLocale::Hungarian : QLocale::English;
    QString formats = FirstSet(environment, {"LC_ALL", "LC_TIME", "LANG"});
    QLocale fromEnvironment(formats);
    if (!formats.isEmpty() && fromEnvironment.language() == language) out.locale = fromEnvironment;
    else out.locale = language == QLocale::Hungarian ? QLocale(QLocale::Hungarian, QLocale::Hungary)
                                                     : QLocale(QLocale::English, QLocale::UnitedStates);
    return out;
}

void UseDeskLocale(const DeskLocale& locale) {
    auto language = HostLanguageOfCode(locale.lang);
    SetHostLanguage(language ? *language : HostLanguage::English);
    QLocale::setDefault(locale.locale);
    for (auto& t : Installed()) QCoreApplication::removeTranslator(t.get());
    Installed().clear();
    if (locale.locale.language() == QLocale::English) return; // Qt's own texts are English
    // Without the translations installed Qt's own texts stay English; the host's are not affected.
    auto t = std::make_unique<QTranslator>();
    if (t->load(locale.locale, QStringLiteral("qtbase"), QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)) &&
        QCoreApplication::installTranslator(t.get()))
        Installed().push_back(std::move(t));
}
