#include "settings/qt/settings_info_page.h"

#include "lang/language.h"
#include "util/text_utils.h"
#include "widgets/qt/accessible_name.h"
#include "widgets/qt/dialogs.h"
#include "widgets/qt/markup_label.h"

#include <QApplication>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include <string>

namespace zuv {

namespace {

// The home page of the player that runs, as a link.
std::string PlayerWebsite(const QString& playerName)
{
    if (playerName == QLatin1String("mpv"))
        return "<a href=\"https://mpv.io\">mpv.io</a>";
    return "<a href=\"http://www.mplayerhq.hu\">www.mplayerhq.hu</a>";
}

} // namespace

QStringList SettingsInfoText()
{
    return {
        QStringLiteral("<b><u>Zuvora</u></b> v%v<br>"),
        QStringLiteral("<br>"),
        QStringLiteral("Készítette: a Zuvora fejlesztői, 2026<br>"),
        QStringLiteral("MPlayer-kezelőfelület, szabad szoftver<br>"),
        QStringLiteral("<br>"),
        QStringLiteral("WWW: <a href=\"https://zuvora.org\">https://zuvora.org</a><br>"),
        QStringLiteral("E-Mail: <a href=\"mailto:zuvora@zuvora.org\">zuvora@zuvora.org</a><br>"),
        QStringLiteral("<br>"),
        QStringLiteral("<b><u>%p:</u></b> %m<br>"),
        QStringLiteral("%p WWW: %w<br>"),
        QStringLiteral("<br>"),
        QStringLiteral("Feliratok letöltése: <a href=\"https://www.opensubtitles.org/\">"
                       "opensubtitles.org</a>"),
    };
}

InfoPage::InfoPage() : SettingsPage("TabSheet5", QStringLiteral("&Info"))
{
    InfoLabel = Named(new TMarkupLabel(this), "InfoLabel");
    InfoLabel->SetAutoSizing(true);
    Label7 = Named(new QLabel(QStringLiteral("Nyelv:"), this), "Label7");
    comboLang = Named(new QComboBox(this), "comboLang");
    // The information text at the top left in the size of its text, the language row at the
    // page's bottom.
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->addWidget(InfoLabel, 0, Qt::AlignLeft | Qt::AlignTop);
    layout->addStretch();
    auto* row = new QHBoxLayout;
    row->addWidget(Label7);
    row->addWidget(comboLang, 1);
    layout->addLayout(row);

    connect(comboLang, &QComboBox::activated, this, &InfoPage::comboLangChange);
    m_infoLines = SettingsInfoText();
    ShowInfoText();
}

void InfoPage::Translate()
{
    TranslateCaption("104");
    TranslateComponents({{Label7, "400"}});
    NameAfter(comboLang, Label7);
    // A language without its own last line keeps the one shown so far.
    const QString lastLine = GetTextOrEmpty(kSettingsSection, "501");
    if (!lastLine.isEmpty()) {
        m_infoLastLine = lastLine;
        ShowInfoText();
    }
}

void InfoPage::SetVersions(const QString& programVersion, const QString& playerVersion,
                           const QString& playerName)
{
    m_programVersion = programVersion;
    m_playerVersion = playerVersion;
    m_playerName = playerName;
    ShowInfoText();
}

void InfoPage::ShowInfoText()
{
    // The placeholders stay in m_infoLines: the player's version arrives after the program's.
    QStringList lines;
    for (const QString& line : m_infoLines) {
        std::string text = line.toStdString();
        ReplaceAll(text, "%v", m_programVersion.toStdString());
        ReplaceAll(text, "%m", m_playerVersion.toStdString());
        ReplaceAll(text, "%p", m_playerName.toStdString());
        ReplaceAll(text, "%w", PlayerWebsite(m_playerName));
        lines.append(QString::fromStdString(text));
    }
    if (!m_infoLastLine.isEmpty() && !lines.isEmpty())
        lines.last() = m_infoLastLine;
    InfoLabel->SetHTMLText(lines);
}

void InfoPage::FillLanguageList()
{
    const LanguageList list = Langunit().FillLanguageList();
    m_fillingLanguages = true;
    comboLang->clear();
    for (const std::string& entry : list.entries)
        comboLang->addItem(QString::fromStdString(entry));
    m_languageEntry = static_cast<int>(list.selected);
    comboLang->setCurrentIndex(m_languageEntry);
    m_fillingLanguages = false;
}

void InfoPage::comboLangChange(int index)
{
    // Choosing the entry that is already chosen changes nothing and says nothing.
    if (m_fillingLanguages || index == m_languageEntry)
        return;
    m_languageEntry = index;
    Langunit().SelectLanguage(index);
    // Captions set from the language file stay until the next start.
    if (index == 0) {
        MessageBox::Show(window(), QMessageBox::Warning, QApplication::applicationName(),
                         GetText(kSettingsSection, "401",
                                 QStringLiteral("A beállítások érvénybe léptetéséhez indítsd "
                                                "újra a programot!")));
    }
}

} // namespace zuv
