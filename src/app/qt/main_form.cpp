#include "app/qt/main_form.h"

#include "app/qt/benchmark_seam.h"
#include "app/qt/main_form_playback_host.h"
#include "equalizer/qt/eq_form.h"
#include "lang/language.h"
#include "lang/qt/translate.h"
#include "platform/file_system.h"
#include "platform/folders.h"
#include "platform/qt/file_name.h"
#include "platform/qt/open_document.h"
#include "playback/qt/playback_control.h"
#include "playback/qt/playlist_model.h"
#include "playback/qt/result_form.h"
#include "settings/qt/settings_form.h"
#include "util/text_utils.h"
#include "widgets/qt/accessible_name.h"
#include "widgets/qt/action_link.h"
#include "widgets/qt/desktop_window.h"
#include "widgets/qt/history_combo.h"
#include "widgets/qt/named_control.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTreeView>
#include <QUrl>

namespace zuv {

namespace {

// The controls get their places from LayOutControls; here only what they are.
QLabel* MakeLabel(QWidget* parent, const QString& text, const char* name)
{
    return Named(new QLabel(text, parent), name);
}

} // namespace

QPushButton* MakeFormButton(QWidget* parent, const char* name)
{
    auto* button = Named(new QPushButton(parent), name);
    button->setAutoDefault(false);
    return button;
}

namespace {

QCheckBox* MakeCheck(QWidget* parent, const QString& text, const char* name)
{
    return Named(new QCheckBox(text, parent), name);
}

THistoryCombo* MakeHistoryCombo(QWidget* parent, const char* section, const char* name)
{
    auto* combo = Named(new THistoryCombo(parent), name);
    combo->SetPersistSection(section);
    return combo;
}

QFrame* MakeBevel(QWidget* parent, const char* name)
{
    auto* bevel = Named(new QFrame(parent), name);
    bevel->setFrameShape(QFrame::HLine);
    bevel->setFrameShadow(QFrame::Sunken);
    return bevel;
}

QSlider* MakeTrackBar(QWidget* parent, int maximum, int page, int tick, int position,
                      const char* name)
{
    auto* bar = Named(new QSlider(Qt::Horizontal, parent), name);
    bar->setRange(0, maximum);
    bar->setPageStep(page);
    bar->setTickInterval(tick);
    bar->setTickPosition(QSlider::TicksBelow);
    bar->setValue(position);
    return bar;
}

QAction* MakeAction(QWidget* owner, const QString& caption, const char* name)
{
    auto* action = Named(new QAction(caption, owner), name);
    owner->addAction(action);
    return action;
}

QString ReplacedAll(QString text, const char* pattern, const QString& replacement)
{
    std::string utf8 = text.toStdString();
    ReplaceAll(utf8, pattern, replacement.toStdString());
    return QString::fromStdString(utf8);
}

} // namespace

TZUVMainForm::TZUVMainForm(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      OpenDialog(FileDialog::Mode::OpenFiles, QStringLiteral("File megnyitása")),
      OpenSubDialog(FileDialog::Mode::OpenFiles, QStringLiteral("Felirat file megnyitása"),
                    QStringLiteral("Felirat fileok (*.sub;*.srt;*.txt,*.zip;*.vob)|"
                                   "*.sub;*.srt;*.txt;*.zip;*.vob|Minden file|*.*")),
      OpenPlDialog(FileDialog::Mode::OpenFile, QStringLiteral("Lista betöltése"),
                   QStringLiteral("Playlist files *.txt|*.txt|Any file|*.*")),
      SavePlDialog(FileDialog::Mode::SaveFile, QStringLiteral("Lista mentése"),
                   QStringLiteral("Playlist files *.txt|*.txt|Any file|*.*")),
      m_fileTypes(kDefaultFileTypes)
{
    setObjectName(QStringLiteral("ZUVMainForm"));
    SavePlDialog.defaultSuffix = QStringLiteral("txt");

    CreateActions();
    CreateControls();
    CreatePlaylistPanel();
    StartupPhase("controls");
    LayOutControls();
    StartupPhase("layout");
    setAcceptDrops(true);
    // Files dropped on a field go to the window like every other drop, not into the field as
    // text; plain text may still be dropped there.
    for (THistoryCombo* combo : {comboFile, comboSub, comboParams})
        combo->lineEdit()->installEventFilter(this);

    m_playbackHost = std::make_unique<MainFormPlaybackHost>(*this);

    cbOnTopClick();
    TranslateMainForm();
}

PlaybackControl* TZUVMainForm::Playback() const
{
    return m_playbackHost ? m_playbackHost->Playback() : nullptr;
}

QString TZUVMainForm::MediaFile() const
{
    return comboFile->currentText();
}

bool TZUVMainForm::LoopChecked() const
{
    return cbLoop->isChecked();
}

bool TZUVMainForm::StartEnabled() const
{
    return ActionStart->isEnabled();
}

void TZUVMainForm::EnableStart(bool on)
{
    ActionStart->setEnabled(on);
}

void TZUVMainForm::ShowPlayingState(bool on)
{
    ActionStart->setEnabled(!on);
    ActionStop->setVisible(on);
    m_showsPlaying = on;
    if (lvPlaylist)
        lvPlaylist->setEnabled(!on);
    for (QAction* action : {ActionPlToggle, ActionPlAdd, ActionPlDel, ActionPlUp, ActionPlDown})
        action->setEnabled(!on);
}

void TZUVMainForm::SetHistoryFile(const std::string& path)
{
    for (THistoryCombo* combo : {comboParams, comboFile, comboSub})
        combo->SetPersistKey(path);
}

void TZUVMainForm::LoadHistories()
{
    for (THistoryCombo* combo : {comboFile, comboSub, comboParams})
        combo->LoadPersist();
}

std::error_code TZUVMainForm::SaveHistories(const std::string& path)
{
    for (THistoryCombo* combo : {comboParams, comboFile, comboSub}) {
        combo->SetPersistKey(path);
        if (const std::error_code error = combo->SavePersist())
            return error;
    }
    return {};
}

TZUVMainForm::~TZUVMainForm()
{
    delete m_result;
    m_result = nullptr;
}

void TZUVMainForm::CreateActions()
{
    ActionBrowseFile = MakeAction(this, QStringLiteral("Tallóz"), "ActionBrowseFile");
    ActionBrowseSub = MakeAction(this, QStringLiteral("Tallóz"), "ActionBrowseSub");
    ActionStart = MakeAction(this, QStringLiteral("&Start"), "ActionStart");
    ActionStop = MakeAction(this, QStringLiteral("&Megállít"), "ActionStop");
    ActionStop->setVisible(false);
    ActionSettings = MakeAction(this, QStringLiteral("&Beállítások ->"), "ActionSettings");
    ActionShowResultWindow = MakeAction(this, QString(), "ActionShowResultWindow");
    ActionShowResultWindow->setShortcut(QKeySequence(Qt::Key_F11));
    ActionShowResultWindow->setShortcutContext(Qt::ApplicationShortcut);
    ActionPlToggle = MakeAction(this, QStringLiteral("&Playlist"), "ActionPlToggle");
    ActionPlAdd = MakeAction(this, QStringLiteral("+"), "ActionPlAdd");
    ActionPlDel = MakeAction(this, QStringLiteral("-"), "ActionPlDel");
    ActionPlUp = MakeAction(this, QStringLiteral("Fel"), "ActionPlUp");
    ActionPlDown = MakeAction(this, QStringLiteral("Le"), "ActionPlDown");
    ActionPlClear = MakeAction(this, QStringLiteral("Lista &Törlése"), "ActionPlClear");
    ActionPlLoad = MakeAction(this, QStringLiteral("Lista &Betöltése"), "ActionPlLoad");
    ActionPlSave = MakeAction(this, QStringLiteral("Lista &Mentése"), "ActionPlSave");

    connect(ActionBrowseFile, &QAction::triggered, this, &TZUVMainForm::ActionBrowseFileExecute);
    connect(ActionBrowseSub, &QAction::triggered, this, &TZUVMainForm::ActionBrowseSubExecute);
    connect(ActionSettings, &QAction::triggered, this, &TZUVMainForm::ActionSettingsExecute);
    connect(ActionShowResultWindow, &QAction::triggered, this,
            &TZUVMainForm::ActionShowResultWindowExecute);
    connect(ActionPlToggle, &QAction::triggered, this, &TZUVMainForm::TogglePlaylist);
    connect(ActionPlAdd, &QAction::triggered, this, &TZUVMainForm::ActionPlAddExecute);
    connect(ActionPlDel, &QAction::triggered, this, &TZUVMainForm::ActionPlDelExecute);
    connect(ActionPlUp, &QAction::triggered, this, &TZUVMainForm::ActionPlUpExecute);
    connect(ActionPlDown, &QAction::triggered, this, &TZUVMainForm::ActionPlDownExecute);
    connect(ActionPlClear, &QAction::triggered, this, &TZUVMainForm::ActionPlClearExecute);
    connect(ActionPlLoad, &QAction::triggered, this, &TZUVMainForm::ActionPlLoadExecute);
    connect(ActionPlSave, &QAction::triggered, this, &TZUVMainForm::ActionPlSaveExecute);
    connect(ActionStart, &QAction::triggered, this, &TZUVMainForm::StartRequested);
    connect(ActionStop, &QAction::triggered, this, &TZUVMainForm::StopRequested);
    for (QAction* action : {ActionStart, ActionStop, ActionPlDel})
        connect(action, &QAction::changed, this, &TZUVMainForm::ControlsStateChanged);
}

void TZUVMainForm::CreateControls()
{
    // In tab order.
    Label1 = MakeLabel(this, QStringLiteral("Média fájl"), "Label1");
    comboFile = MakeHistoryCombo(this, "Files", "comboFile");
    Label1->setBuddy(comboFile);
    connect(comboFile, &QComboBox::currentTextChanged, this, &TZUVMainForm::ControlsStateChanged);
    btnSelFile = MakeFormButton(this, "btnSelFile");
    LinkButtonToAction(btnSelFile, ActionBrowseFile);
    Label2 = MakeLabel(this, QStringLiteral("Felirat"), "Label2");
    comboSub = MakeHistoryCombo(this, "Subtitles", "comboSub");
    Label2->setBuddy(comboSub);
    btnSelSub = MakeFormButton(this, "btnSelSub");
    LinkButtonToAction(btnSelSub, ActionBrowseSub);
    Bevel1 = MakeBevel(this, "Bevel1");
    Label3 = MakeLabel(this, QStringLiteral("MPlayer extra paraméterek"), "Label3");
    comboParams = MakeHistoryCombo(this, "Parameters", "comboParams");
    Label3->setBuddy(comboParams);
    btnSettings = MakeFormButton(this, "btnSettings");
    LinkButtonToAction(btnSettings, ActionSettings);
    cbFullscreen = MakeCheck(this, QStringLiteral("&Teljes képernyő"), "cbFullscreen");
    cbLoop = MakeCheck(this, QStringLiteral("Ismétlés"), "cbLoop");
    cbIdx = MakeCheck(this, QStringLiteral("idx újraszámolás"), "cbIdx");
    cbShutdown = MakeCheck(this, QStringLiteral("Gép leállítása lejátszás után"), "cbShutdown");
    cbOnTop = MakeCheck(this, QStringLiteral("Ablakok mindig felül"), "cbOnTop");
    btnHelp = MakeFormButton(this, "btnHelp");
    btnHelp->setText(QStringLiteral("Olvassel!"));
    Label4 = MakeLabel(this, QStringLiteral("Zuvora · zuvora.org"), "Label4");
    Label4->setAlignment(Qt::AlignCenter);
    Label4->setEnabled(false);
    cbCustomVolume = MakeCheck(this, QStringLiteral("Alap hangerő"), "cbCustomVolume");
    lVolume = MakeLabel(this, QString(), "lVolume");
    lVolume->setAlignment(Qt::AlignRight | Qt::AlignTop);
    lVolume->setEnabled(false);
    tbVolume = MakeTrackBar(this, 255, 30, 64, 0, "tbVolume");
    tbVolume->setEnabled(false);
    cbExtraStereo = MakeCheck(this, QStringLiteral("E&xtra sztereo"), "cbExtraStereo");
    tbExtraStereo = MakeTrackBar(this, 50, 5, 5, 25, "tbExtraStereo");
    tbExtraStereo->setEnabled(false);
    Bevel2 = MakeBevel(this, "Bevel2");
    tbVolumeChange();

    connect(tbVolume, &QSlider::valueChanged, this, &TZUVMainForm::tbVolumeChange);
    connect(cbCustomVolume, &QCheckBox::toggled, this, &TZUVMainForm::cbCustomVolumeClick);
    connect(cbExtraStereo, &QCheckBox::toggled, this, &TZUVMainForm::cbExtraStereoClick);
    connect(cbOnTop, &QCheckBox::toggled, this, &TZUVMainForm::cbOnTopClick);
    connect(btnHelp, &QPushButton::clicked, this, &TZUVMainForm::btnHelpClick);
}

void TZUVMainForm::ShowError(const QString& text)
{
    MessageBox::Show(this, QMessageBox::Critical,
                     QStringLiteral("Zuv - ") + GetText("Errors", "103", QStringLiteral("Hiba")),
                     text);
}

QStringList TZUVMainForm::TakeableNames(const QStringList& names)
{
    QStringList taken;
    QStringList refusals;
    for (const QString& name : names) {
        const std::string refusal = RefusalOfName(platform::NameToBytes(name));
        if (refusal.empty())
            taken << name;
        else
            refusals << QString::fromStdString(refusal);
    }
    if (!refusals.isEmpty())
        ShowError(refusals.join(QLatin1Char('\n')));
    return taken;
}

void TZUVMainForm::SetVersions(const QString& programVersion, const QString& playerVersion,
                               const QString& playerName)
{
    m_programVersion = programVersion;
    m_playerVersion = playerVersion;
    m_playerName = playerName;
    if (m_settings)
        m_settings->SetVersions(programVersion, playerVersion, playerName);
    UpdateCaption();
}

void TZUVMainForm::UpdateCaption()
{
    QString caption = GetText("Main", "100", QStringLiteral("Zuvora %v / %p %m"));
    caption = ReplacedAll(caption, "%v", m_programVersion);
    caption = ReplacedAll(caption, "%p", m_playerName);
    setWindowTitle(ReplacedAll(caption, "%m", m_playerVersion));
}

void TZUVMainForm::TranslateMainForm()
{
    UpdateCaption();

    const std::pair<QObject*, const char*> mainTexts[] = {
        {Label1, "101"},          {ActionBrowseFile, "102"}, {Label2, "103"},
        {ActionBrowseSub, "104"}, {Label3, "200"},           {ActionSettings, "201"},
        {ActionStart, "300"},     {ActionStop, "301"},       {btnHelp, "400"},
    };
    for (const auto& [component, key] : mainTexts)
        TranslateComponent(component, "Main", key);

    TranslateComponent(OpenDialog, "OpenDialogs", "100");
    TranslateComponent(OpenSubDialog, "OpenDialogs", "200");
    if (const QString filter = GetTextOrEmpty("OpenDialogs", "201"); !filter.isEmpty())
        OpenSubDialog.filter = filter;

    const std::pair<QObject*, const char*> playlistTexts[] = {
        {ActionPlToggle, "100"},       {ActionPlAdd, "101"},   {ActionPlDel, "102"},
        {ActionPlUp, "103"},           {ActionPlDown, "104"},  {lvPlaylistColumns[0], "200"},
        {lvPlaylistColumns[1], "201"}, {ActionPlClear, "300"}, {ActionPlLoad, "301"},
        {ActionPlSave, "302"},
    };
    for (const auto& [component, key] : playlistTexts)
        TranslateComponent(component, "Playlist", key);
    if (const QString title = GetTextOrEmpty("Playlist", "400"); !title.isEmpty())
        OpenPlDialog.title = title;
    if (const QString title = GetTextOrEmpty("Playlist", "401"); !title.isEmpty())
        SavePlDialog.title = title;

    const std::pair<QObject*, const char*> settingsTexts[] = {
        {cbFullscreen, "200"},   {cbLoop, "201"},        {cbIdx, "202"},   {cbShutdown, "203"},
        {cbCustomVolume, "206"}, {cbExtraStereo, "207"}, {cbOnTop, "208"},
    };
    for (const auto& [component, key] : settingsTexts)
        TranslateComponent(component, "Settings", key);
    NameForScreenReaders();
    // The new texts decide the places and the window's size.
    LayOutControls();
}

void TZUVMainForm::SetMediaFile(const QString& path)
{
    comboFile->setEditText(path);
    comboSub->setEditText(QString());
}

void TZUVMainForm::tbVolumeChange()
{
    lVolume->setText(QString::number(tbVolume->value()));
}

void TZUVMainForm::cbCustomVolumeClick()
{
    tbVolume->setEnabled(cbCustomVolume->isChecked());
    lVolume->setEnabled(cbCustomVolume->isChecked());
}

void TZUVMainForm::cbExtraStereoClick()
{
    tbExtraStereo->setEnabled(cbExtraStereo->isChecked());
}

void TZUVMainForm::cbOnTopClick()
{
    SetWindowsOnTop(cbOnTop->isChecked());
}

void TZUVMainForm::SetWindowsOnTop(bool on)
{
    if (on == m_onTop)
        return;
    if (m_settings)
        SetStaysOnTop(*m_settings, on);
    SetStaysOnTop(*this, on);
    m_onTop = on;
}

void TZUVMainForm::btnHelpClick()
{
    std::string language = Langunit().CurrentLanguage();
    if (language.empty())
        language = "hun";
    const std::string folder = platform::ProgramFolder();
    std::string name = "zuv_" + language + ".txt";
    if (!platform::FileExists(folder + name))
        name = "zuv_enu.txt";
    OpenDocument(QString::fromStdString(folder + name));
}

void TZUVMainForm::NameForScreenReaders()
{
    // What stands beside a control names it; "+" and "-" would be read as "plus" and "minus".
    NameAfterCaption(comboFile, Label1->text());
    NameAfterCaption(comboSub, Label2->text());
    NameAfterCaption(comboParams, Label3->text());
    NameAfterCaption(tbVolume, cbCustomVolume->text());
    NameAfterCaption(tbExtraStereo, cbExtraStereo->text());
    NameAfterCaption(btnAddPlaylist,
                     GetText("Playlist", "105", QStringLiteral("Hozzáadás a lejátszási listához")));
    if (lvPlaylist)
        NameAfterCaption(lvPlaylist, ActionPlToggle->text());
    NameAfterCaption(btnDelPlaylist,
                     GetText("Playlist", "106", QStringLiteral("Törlés a lejátszási listáról")));
}

void TZUVMainForm::OpenDocument(const QString& path)
{
    // The desktop may have no program for the file; the user reads why in the error box.
    platform::OpenDocument(path, this, [this, path](const QString& reason) {
        ShowError(path + QStringLiteral("\n\n") + reason);
    });
}

void TZUVMainForm::ActionBrowseFileExecute()
{
    std::string patterns = m_fileTypes;
    ReplaceAll(patterns, ".", "?");
    ReplaceAll(patterns, "?", "*.");
    std::string filter =
        GetText("OpenDialogs", "101", QStringLiteral("Film fileok|%l|Minden file|*.*"))
            .toStdString();
    ReplaceAll(filter, "%l", patterns);
    OpenDialog.filter = QString::fromStdString(filter);
    const QStringList files = TakeableNames(OpenDialog.Execute(this));
    if (files.isEmpty())
        return;
    comboFile->setEditText(files.first());
    if (files.size() > 1) {
        for (const QString& file : files)
            m_playlist->AddItem(platform::NameToBytes(file), {});
    }
}

void TZUVMainForm::ActionBrowseSubExecute()
{
    const QString media = comboFile->currentText();
    if (!media.isEmpty())
        OpenSubDialog.initialFolder =
            platform::NameToQString(FolderPart(platform::NameToBytes(media)));
    const QStringList files = TakeableNames(OpenSubDialog.Execute(this));
    if (files.isEmpty())
        return;
    comboSub->setEditText(files.join(QLatin1Char(',')));
}

void TZUVMainForm::ApplyOptions(const Options& options)
{
    comboFile->setEditText(platform::NameToQString(options.LastFile));
    comboSub->setEditText(platform::NameToQString(options.LastSubFile));
    comboParams->setEditText(QString::fromStdString(options.Parameters));
    cbFullscreen->setChecked(options.Fullscreen);
    cbIdx->setChecked(options.Idx);
    cbShutdown->setChecked(options.Shutdown);
    cbOnTop->setChecked(options.OnTop);
    m_fileTypes = options.FileTypes;
    cbCustomVolume->setChecked(options.CustomVolume);
    tbVolume->setValue(ClampToRange(options.Volume, kVolumeRange));
    cbExtraStereo->setChecked(options.ExtraStereo);
    tbExtraStereo->setValue(ClampToRange(options.ExtraStereoVal, kExtraStereoValRange));
    if (options.Playlist != m_playlistShown)
        TogglePlaylist();
    m_heldOptions = options;
    if (m_settings)
        m_settings->ApplyOptions(options);
    if (m_equalizer)
        m_equalizer->ApplyOptions(options);
}

void TZUVMainForm::GatherOptions(Options& options) const
{
    options.Language = Langunit().CurrentLanguage();
    options.LastFile = platform::NameToBytes(comboFile->currentText());
    options.LastSubFile = platform::NameToBytes(comboSub->currentText());
    options.Parameters = comboParams->currentText().toStdString();
    options.Fullscreen = cbFullscreen->isChecked();
    options.Idx = cbIdx->isChecked();
    options.Shutdown = cbShutdown->isChecked();
    options.OnTop = cbOnTop->isChecked();
    options.Playlist = m_playlistShown;
    options.FileTypes = m_fileTypes;
    options.CustomVolume = cbCustomVolume->isChecked();
    options.Volume = tbVolume->value();
    options.ExtraStereo = cbExtraStereo->isChecked();
    options.ExtraStereoVal = tbExtraStereo->value();
}

Options TZUVMainForm::CurrentOptions() const
{
    Options options = m_heldOptions;
    GatherOptions(options);
    if (m_settings)
        m_settings->GatherOptions(options);
    if (m_equalizer)
        m_equalizer->GatherOptions(options);
    return options;
}

void TZUVMainForm::closeEvent(QCloseEvent* event)
{
    emit Closing();
    QWidget::closeEvent(event);
}

void TZUVMainForm::keyPressEvent(QKeyEvent* event)
{
    // Enter presses the default button, or the button that has the focus.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (auto* focused = qobject_cast<QPushButton*>(focusWidget())) {
            focused->click();
            return;
        }
        if (ActionStart->isEnabled())
            ActionStart->trigger();
        return;
    }
    QWidget::keyPressEvent(event);
}

void TZUVMainForm::changeEvent(QEvent* event)
{
    // A new desktop font or style changes what every text needs.
    if ((event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) &&
        m_controlsCreated)
        LayOutControls();
    QWidget::changeEvent(event);
}

void TZUVMainForm::resizeEvent(QResizeEvent* event)
{
    // A new language or font moves the right edge the settings dialog hangs at.
    if (m_settings && m_settings->isVisible())
        m_settings->PlaceBesideMainWindow();
    QWidget::resizeEvent(event);
}

void TZUVMainForm::moveEvent(QMoveEvent* event)
{
    if (m_settings && m_settings->isVisible())
        m_settings->PlaceBesideMainWindow();
    QWidget::moveEvent(event);
}

bool TZUVMainForm::eventFilter(QObject* watched, QEvent* event)
{
    if (IsFileDragOnField(watched, event)) {
        // Ignored here, the drag goes on to the window.
        event->ignore();
        return true;
    }
    if (watched == lvPlaylist && event->type() == QEvent::KeyPress) {
        if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
            ActionPlDelExecute();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace zuv
