#include "lang/qt/qt_translations.h"

#include "lang/language_code.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace zuv {

QtTranslations::QtTranslations() = default;

QtTranslations::~QtTranslations()
{
    if (m_translator)
        QCoreApplication::removeTranslator(m_translator.get());
}

void QtTranslations::Follow(std::string_view baseName)
{
    if (m_translator) {
        QCoreApplication::removeTranslator(m_translator.get());
        m_translator.reset();
    }
    const std::string code = IsoLanguageCode(baseName);
    if (code.empty() || code == "en")
        return;
    auto translator = std::make_unique<QTranslator>();
    // "qtbase" holds the widgets' texts; the locale's fallbacks find "pt" for "pt_BR".
    if (!translator->load(QLocale(QString::fromStdString(code)), QStringLiteral("qtbase"),
                          QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return;
    QCoreApplication::installTranslator(translator.get());
    m_translator = std::move(translator);
}

} // namespace zuv
