#pragma once

#include <memory>
#include <string_view>

class QTranslator;

namespace zuv {

// Qt's own texts (the file dialog, the buttons of message boxes, the edit fields' menu) in the
// language of the loaded language file, from Qt's translations where they are installed.
class QtTranslations
{
public:
    QtTranslations();
    ~QtTranslations();
    QtTranslations(const QtTranslations&) = delete;
    QtTranslations& operator=(const QtTranslations&) = delete;

    // Replaces the translation in use by the one for the language file `baseName` (empty: the
    // built-in Hungarian). English, or a language Qt has no translation for, leaves Qt's own.
    // Open windows of Qt's take the new texts at once.
    void Follow(std::string_view baseName);

private:
    std::unique_ptr<QTranslator> m_translator;
};

} // namespace zuv
