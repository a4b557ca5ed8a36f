// The windows the main window owns: the settings dialog, the equalizer, the result window and the
// countdown, built when first needed; their texts and their release at exit.
#include "app/qt/main_form.h"
#include "equalizer/preset_file.h"
#include "equalizer/qt/eq_form.h"
#include "fileassoc/association_backend.h"
#include "fileassoc/qt/file_assoc_form.h"
#include "lang/language.h"
#include "playback/qt/result_form.h"
#include "settings/qt/settings_form.h"
#include "shutdown/qt/countdown_form.h"
#include "widgets/qt/desktop_window.h"

namespace zuv {

TCountdownForm* TZUVMainForm::CountdownForm()
{
    // Built when first needed, like the settings dialog.
    if (!m_countdown) {
        m_countdown = new TCountdownForm(this);
        m_countdown->SetTextLookup(
            [](std::string_view section, std::string_view key, std::string_view builtIn) {
                return Langunit().GetText(section, key, builtIn);
            });
    }
    return m_countdown;
}

TResultForm* TZUVMainForm::ResultForm()
{
    if (!m_result && !m_ownedWindowsReleased) {
        // Not a child: a child window would be kept above this one and hidden with it.
        m_result = new TResultForm();
        m_result->SetCaptionProvider(
            [] { return Langunit().GetTextOrEmpty("ResultWindow", "100"); });
    }
    return m_result;
}

bool TZUVMainForm::ResultWindowShown() const
{
    return m_result && m_result->isVisible();
}

TSettingsForm* TZUVMainForm::SettingsForm()
{
    if (!m_settings && !m_ownedWindowsReleased)
        BuildSettingsForm();
    return m_settings;
}

TEQForm* TZUVMainForm::EQForm()
{
    if (!m_equalizer && !m_ownedWindowsReleased)
        BuildEQForm();
    return m_equalizer;
}

void TZUVMainForm::BuildSettingsForm()
{
    const Options options = CurrentOptions();
    m_settings = new TSettingsForm(this);
    m_settings->SetHooks({
        .showEqualizer = [this] { EQForm()->show(); },
        .showFileTypes = [this] { ShowFileTypes(); },
        .openFile = [this](const QString& path) { OpenDocument(path); },
        .browseFont =
            [this](const QString& title, const QString& folder) {
                FileDialog dialog(FileDialog::Mode::OpenFile, title,
                                  QStringLiteral("TrueType (*.ttf)|*.ttf;*.TTF|*|*"));
                dialog.initialFolder = folder;
                const QStringList files = dialog.Execute(m_settings);
                return files.isEmpty() ? QString() : files.first();
            },
    });
    connect(m_settings, &TSettingsForm::DisableScrSaverToggled, this,
            &TZUVMainForm::DisableScrSaverToggled);
    m_settings->SetVersions(m_programVersion, m_playerVersion, m_playerName);
    m_settings->FillLanguageList();
    m_settings->TranslateSettingsForm();
    m_settings->ApplyOptions(options);
    SetStaysOnTop(*m_settings, m_onTop);
}

void TZUVMainForm::BuildEQForm()
{
    const Options options = CurrentOptions();
    m_equalizer = new TEQForm(this);
    m_equalizer->ApplyOptions(options);
}

void TZUVMainForm::TranslateOwnedWindows()
{
    if (m_settings)
        m_settings->TranslateSettingsForm();
    if (m_equalizer)
        m_equalizer->TranslateEQForm();
    if (m_result)
        m_result->Translate();
}

void TZUVMainForm::ActionSettingsExecute()
{
    // None once the exit steps have released it (an error box of theirs still takes keys).
    if (TSettingsForm* settings = SettingsForm())
        settings->setVisible(!settings->isVisible());
}

void TZUVMainForm::ActionShowResultWindowExecute()
{
    if (TResultForm* result = ResultForm())
        result->Show();
}

void TZUVMainForm::ShowFileTypes()
{
    const std::unique_ptr<AssociationBackend> backend = CreateSystemAssociationBackend();
    TFileAssocForm dialog(SettingsForm(), *backend, m_fileTypes);
    dialog.exec();
    // Until the program ends; the file-type list is never written to the configuration.
    if (dialog.NewFileTypes())
        m_fileTypes = *dialog.NewFileTypes();
}

void TZUVMainForm::BringWindowsToFront()
{
    if (isMinimized())
        showNormal();
    BringToFront(*this);
    if (m_settings && m_settings->isVisible())
        m_settings->raise();
}

void TZUVMainForm::ReleaseOwnedWindows()
{
    m_heldOptions = CurrentOptions();
    m_ownedWindowsReleased = true;
    delete m_settings;
    m_settings = nullptr;
    delete m_result;
    m_result = nullptr;
    if (m_equalizer) {
        delete m_equalizer;
        m_equalizer = nullptr;
    } else {
        // The presets file is written at every exit, with the built-in presets the first time,
        // whether or not the window was opened.
        EqualizerPresetFile(PresetFolders::Default()).WriteBack();
    }
}

} // namespace zuv
