#include "app/qt_translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include <array>
#include <memory>
#include <utility>

namespace {

// Qt's translation files for the languages of the string tables.
constexpr std::array<std::pair<int, const char*>, 7> kQtTranslations{{
    {1031, "qtbase_de"},
    {1036, "qtbase_fr"},
    {1040, "qtbase_it"},
    {1041, "qtbase_ja"},
    {1043, "qtbase_nl"},
    {2052, "qtbase_zh_CN"},
    {3082, "qtbase_es"},
}};

// Qt's translation of a string table language; empty for English, which Qt
// speaks untranslated.
QString QtTranslationName(int stringTableLanguage)
{
    for (const auto& [language, name] : kQtTranslations) {
        if (language == stringTableLanguage)
            return QString::fromLatin1(name);
    }
    return {};
}

} // namespace

bool UseQtTranslation(int stringTableLanguage)
{
    const QString name = QtTranslationName(stringTableLanguage);
    if (name.isEmpty())
        return true;
    // Owned by the application object, so it goes with it.
    auto translator = std::make_unique<QTranslator>(QCoreApplication::instance());
    if (!translator->load(name, QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return false;
    return QCoreApplication::installTranslator(translator.release());
}
