#pragma once

#include "settings/qt/settings_page_parts.h"

#include <QStringList>

class QComboBox;
class QLabel;

namespace zuv {

class TMarkupLabel;

// The Info page of the settings dialog: the program information and the language list.
class InfoPage : public SettingsPage
{
    Q_OBJECT

public:
    InfoPage();
    void Translate();
    // Fills `%v` and `%m` of the information text; may run again when a version becomes known.
    void SetVersions(const QString& programVersion, const QString& playerVersion,
                     const QString& playerName = QStringLiteral("MPlayer"));
    // Builds the language list from the language files.
    void FillLanguageList();

private:
    void ShowInfoText();
    void comboLangChange(int index);

    TMarkupLabel* InfoLabel = nullptr;
    QLabel* Label7 = nullptr;
    QComboBox* comboLang = nullptr;
    QStringList m_infoLines; // the information text with "%v" and "%m" still in place
    QString m_programVersion;
    QString m_playerVersion;
    QString m_playerName = QStringLiteral("MPlayer");
    QString m_infoLastLine; // the language file's last line, once one had it
    bool m_fillingLanguages = false;
    int m_languageEntry = 0; // the entry of comboLang chosen last
};

// The information text of the Info page, twelve lines with "%v" and "%m" still in place.
QStringList SettingsInfoText();

} // namespace zuv
