#include "app/qt/main_form.h"

#include "app/main_window_layout.h"
#include "app/qt/main_form_playback_host.h"
#include "equalizer/qt/eq_form.h"
#include "fileassoc/association_backend.h"
#include "fileassoc/qt/file_assoc_form.h"
#include "lang/language.h"
#include "lang/qt/translate.h"
#include "platform/file_system.h"
#include "platform/folders.h"
#include "playback/qt/playback_control.h"
#include "playback/qt/playlist_model.h"
#include "playback/qt/result_form.h"
#include "settings/qt/settings_form.h"
#include "shutdown/qt/countdown_form.h"
#include "util/text_utils.h"
#include "widgets/qt/action_link.h"
#include "widgets/qt/control_fit.h"
#include "widgets/qt/desktop_window.h"
#include "widgets/qt/history_combo.h"
#include "widgets/qt/named_control.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDropEvent>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
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

QPushButton* MakeButton(QWidget* parent, const char* name)
{
    auto* button = Named(new QPushButton(parent), name);
    button->setAutoDefault(false);
    return button;
}

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

ControlSize SizeOf(QSize size)
{
    return {size.width(), size.height()};
}

ControlSize HintOf(const QWidget* widget)
{
    return SizeOf(widget->sizeHint());
}

ControlSize CaptionOf(const QPushButton* button)
{
    return SizeOf(ButtonSizeForCaption(*button));
}

void Place(QWidget* widget, const ControlRect& rect)
{
    widget->setGeometry(rect.left, rect.top, rect.width, rect.height);
}

QAction* MakeAction(QWidget* owner, const QString& caption)
{
    auto* action = new QAction(caption, owner);
    owner->addAction(action);
    return action;
}

bool HasLocalFiles(const QDropEvent& event)
{
    const QList<QUrl> urls = event.mimeData()->urls();
    return std::any_of(urls.begin(), urls.end(), [](const QUrl& url) { return url.isLocalFile(); });
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
    LayOutControls();
    setAcceptDrops(true);
    // Files dropped on a field go to the window like every other drop, not into the field as
    // text; plain text may still be dropped there.
    for (THistoryCombo* combo : {comboFile, comboSub, comboParams})
        combo->lineEdit()->installEventFilter(this);

    m_settings = new TSettingsForm(this);
    m_settings->SetHooks({
        .showEqualizer = [this] { m_equalizer->show(); },
        .showFileTypes = [this] { ShowFileTypes(); },
        .openFile =
            [](const QString& path) { QDesktopServices::openUrl(QUrl::fromLocalFile(path)); },
        .browseFont =
            [this](const QString& title, const QString& folder) {
                FileDialog dialog(FileDialog::Mode::OpenFile, title,
                                  QStringLiteral("TrueType (*.ttf)|*.ttf;*.TTF|*|*"));
                dialog.initialFolder = folder;
                const QStringList files = dialog.Execute(m_settings);
                return files.isEmpty() ? QString() : files.first();
            },
    });
    m_equalizer = new TEQForm(this);
    // Not a child: a child window would be kept above this one and hidden with it.
    m_result = new TResultForm();
    m_result->SetCaptionProvider([] { return Langunit().GetTextOrEmpty("ResultWindow", "100"); });
    m_countdown = new TCountdownForm(this);
    m_countdown->SetTextLookup(
        [](std::string_view section, std::string_view key, std::string_view builtIn) {
            return Langunit().GetText(section, key, builtIn);
        });
    m_playbackHost = std::make_unique<MainFormPlaybackHost>(*this);
    m_playback = m_playbackHost->Playback();

    cbOnTopClick();
    TranslateMainForm();
}

TZUVMainForm::~TZUVMainForm()
{
    delete m_result;
    m_result = nullptr;
}

void TZUVMainForm::CreateActions()
{
    ActionBrowseFile = MakeAction(this, QStringLiteral("Tallóz"));
    ActionBrowseSub = MakeAction(this, QStringLiteral("Tallóz"));
    ActionStart = MakeAction(this, QStringLiteral("&Start"));
    ActionStop = MakeAction(this, QStringLiteral("&Megállít"));
    ActionStop->setVisible(false);
    ActionSettings = MakeAction(this, QStringLiteral("&Beállítások ->"));
    ActionShowResultWindow = MakeAction(this, QString());
    ActionShowResultWindow->setShortcut(QKeySequence(Qt::Key_F11));
    ActionShowResultWindow->setShortcutContext(Qt::ApplicationShortcut);
    ActionPlToggle = MakeAction(this, QStringLiteral("&Playlist"));
    ActionPlAdd = MakeAction(this, QStringLiteral("+"));
    ActionPlDel = MakeAction(this, QStringLiteral("-"));
    ActionPlUp = MakeAction(this, QStringLiteral("Fel"));
    ActionPlDown = MakeAction(this, QStringLiteral("Le"));
    ActionPlClear = MakeAction(this, QStringLiteral("Lista &Törlése"));
    ActionPlLoad = MakeAction(this, QStringLiteral("Lista &Betöltése"));
    ActionPlSave = MakeAction(this, QStringLiteral("Lista &Mentése"));

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
}

void TZUVMainForm::CreateControls()
{
    // In tab order.
    Label1 = MakeLabel(this, QStringLiteral("Média fájl"), "Label1");
    comboFile = MakeHistoryCombo(this, "Files", "comboFile");
    Label1->setBuddy(comboFile);
    btnSelFile = MakeButton(this, "btnSelFile");
    LinkButtonToAction(btnSelFile, ActionBrowseFile);
    Label2 = MakeLabel(this, QStringLiteral("Felirat"), "Label2");
    comboSub = MakeHistoryCombo(this, "Subtitles", "comboSub");
    Label2->setBuddy(comboSub);
    btnSelSub = MakeButton(this, "btnSelSub");
    LinkButtonToAction(btnSelSub, ActionBrowseSub);
    Bevel1 = MakeBevel(this, "Bevel1");
    Label3 = MakeLabel(this, QStringLiteral("MPlayer extra paraméterek"), "Label3");
    comboParams = MakeHistoryCombo(this, "Parameters", "comboParams");
    Label3->setBuddy(comboParams);
    btnSettings = MakeButton(this, "btnSettings");
    LinkButtonToAction(btnSettings, ActionSettings);
    cbFullscreen = MakeCheck(this, QStringLiteral("&Teljes képernyő"), "cbFullscreen");
    cbLoop = MakeCheck(this, QStringLiteral("Ismétlés"), "cbLoop");
    cbIdx = MakeCheck(this, QStringLiteral("idx újraszámolás"), "cbIdx");
    cbShutdown = MakeCheck(this, QStringLiteral("Gép leállítása lejátszás után"), "cbShutdown");
    cbOnTop = MakeCheck(this, QStringLiteral("Ablakok mindig felül"), "cbOnTop");
    btnHelp = MakeButton(this, "btnHelp");
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

void TZUVMainForm::CreatePlaylistPanel()
{
    btnPlaylist = MakeButton(this, "btnPlaylist");
    LinkButtonToAction(btnPlaylist, ActionPlToggle);
    btnAddPlaylist = MakeButton(this, "btnAddPlaylist");
    LinkButtonToAction(btnAddPlaylist, ActionPlAdd);
    btnDelPlaylist = MakeButton(this, "btnDelPlaylist");
    LinkButtonToAction(btnDelPlaylist, ActionPlDel);
    btnPlaylistUp = MakeButton(this, "btnPlaylistUp");
    LinkButtonToAction(btnPlaylistUp, ActionPlUp);
    btnPlaylistDown = MakeButton(this, "btnPlaylistDown");
    LinkButtonToAction(btnPlaylistDown, ActionPlDown);

    m_playlist = new PlaylistModel(this);
    lvPlaylist = Named(new QTreeView(this), "lvPlaylist");
    lvPlaylist->setModel(m_playlist);
    lvPlaylist->setRootIsDecorated(false);
    lvPlaylist->setItemsExpandable(false);
    lvPlaylist->setUniformRowHeights(true);
    lvPlaylist->setSelectionBehavior(QAbstractItemView::SelectRows);
    lvPlaylist->setSelectionMode(QAbstractItemView::SingleSelection);
    lvPlaylist->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lvPlaylist->setContextMenuPolicy(Qt::CustomContextMenu);
    lvPlaylist->header()->setStretchLastSection(false);
    lvPlaylist->header()->setSectionResizeMode(PlaylistModel::MediaColumn, QHeaderView::Stretch);
    lvPlaylist->header()->setSectionResizeMode(PlaylistModel::SubtitleColumn,
                                               QHeaderView::Interactive);
    lvPlaylist->header()->resizeSection(PlaylistModel::SubtitleColumn, 180);
    lvPlaylist->installEventFilter(this);
    lvPlaylist->viewport()->installEventFilter(this);
    lvPlaylistColumns[0] = new ListColumn(lvPlaylist, PlaylistModel::MediaColumn);
    lvPlaylistColumns[1] = new ListColumn(lvPlaylist, PlaylistModel::SubtitleColumn);
    connect(lvPlaylist, &QTreeView::doubleClicked, this, &TZUVMainForm::lvPlaylistDblClick);

    pmPlaylist = new QMenu(this);
    pmPlaylist->addAction(ActionPlClear);
    pmPlaylist->addSeparator();
    pmPlaylist->addAction(ActionPlLoad);
    pmPlaylist->addAction(ActionPlSave);
    // The point comes in the list's viewport, below the column headers.
    connect(lvPlaylist, &QTreeView::customContextMenuRequested, this, [this](const QPoint& point) {
        pmPlaylist->popup(lvPlaylist->viewport()->mapToGlobal(point));
    });

    btnStop = MakeButton(this, "btnStop");
    LinkButtonToAction(btnStop, ActionStop);
    btnStart = MakeButton(this, "btnStart");
    LinkButtonToAction(btnStart, ActionStart);
    btnStart->setDefault(true);
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
        const std::string refusal = RefusalOfName(name.toStdString());
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
    m_settings->SetVersions(programVersion, playerVersion, playerName);
    TranslateCaption();
}

void TZUVMainForm::TranslateCaption()
{
    QString caption = GetText("Main", "100", QStringLiteral("Zuvora %v / %p %m"));
    caption = ReplacedAll(caption, "%v", m_programVersion);
    caption = ReplacedAll(caption, "%p", m_playerName);
    setWindowTitle(ReplacedAll(caption, "%m", m_playerVersion));
}

void TZUVMainForm::TranslateMainForm()
{
    TranslateCaption();

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
    // The new texts decide the places and the window's size.
    LayOutControls();
}

void TZUVMainForm::LayOutControls()
{
    // The credit line a size smaller than the window's font, whatever that is.
    QFont small = font();
    if (small.pointSizeF() > 0)
        small.setPointSizeF(small.pointSizeF() * 7 / 8);
    else
        small.setPixelSize(std::max(1, small.pixelSize() * 7 / 8));
    Label4->setFont(small);

    MainWindowMeasures measures;
    measures.Label1 = HintOf(Label1);
    measures.Label2 = HintOf(Label2);
    measures.Label3 = HintOf(Label3);
    measures.comboHeight = std::max({comboFile->sizeHint().height(), comboSub->sizeHint().height(),
                                     comboParams->sizeHint().height()});
    measures.btnSelFile = CaptionOf(btnSelFile);
    measures.btnSelSub = CaptionOf(btnSelSub);
    measures.btnSettings = CaptionOf(btnSettings);
    measures.cbFullscreen = HintOf(cbFullscreen);
    measures.cbLoop = HintOf(cbLoop);
    measures.cbIdx = HintOf(cbIdx);
    measures.cbShutdown = HintOf(cbShutdown);
    measures.cbOnTop = HintOf(cbOnTop);
    measures.btnHelp = CaptionOf(btnHelp);
    measures.Label4 = HintOf(Label4);
    measures.cbCustomVolume = HintOf(cbCustomVolume);
    // Room for the largest volume, whatever it shows now.
    const QFontMetrics volumeMetrics = lVolume->fontMetrics();
    measures.lVolume = {volumeMetrics.horizontalAdvance(QString::number(tbVolume->maximum())) + 2,
                        std::max(lVolume->sizeHint().height(), volumeMetrics.height())};
    measures.cbExtraStereo = HintOf(cbExtraStereo);
    measures.trackBarHeight =
        std::max(tbVolume->sizeHint().height(), tbExtraStereo->sizeHint().height());
    measures.btnPlaylist = CaptionOf(btnPlaylist);
    measures.btnAddPlaylist = CaptionOf(btnAddPlaylist);
    measures.btnDelPlaylist = CaptionOf(btnDelPlaylist);
    measures.btnPlaylistUp = CaptionOf(btnPlaylistUp);
    measures.btnPlaylistDown = CaptionOf(btnPlaylistDown);
    measures.btnStop = CaptionOf(btnStop);
    measures.btnStart = CaptionOf(btnStart);

    const MainWindowGeometry geometry = LayOutMainWindow(measures);
    const std::pair<QWidget*, const ControlRect*> places[] = {
        {Label1, &geometry.Label1},
        {comboFile, &geometry.comboFile},
        {btnSelFile, &geometry.btnSelFile},
        {Label2, &geometry.Label2},
        {comboSub, &geometry.comboSub},
        {btnSelSub, &geometry.btnSelSub},
        {Bevel1, &geometry.Bevel1},
        {Label3, &geometry.Label3},
        {comboParams, &geometry.comboParams},
        {btnSettings, &geometry.btnSettings},
        {cbFullscreen, &geometry.cbFullscreen},
        {cbLoop, &geometry.cbLoop},
        {cbIdx, &geometry.cbIdx},
        {cbShutdown, &geometry.cbShutdown},
        {cbOnTop, &geometry.cbOnTop},
        {btnHelp, &geometry.btnHelp},
        {Label4, &geometry.Label4},
        {cbCustomVolume, &geometry.cbCustomVolume},
        {lVolume, &geometry.lVolume},
        {tbVolume, &geometry.tbVolume},
        {cbExtraStereo, &geometry.cbExtraStereo},
        {tbExtraStereo, &geometry.tbExtraStereo},
        {Bevel2, &geometry.Bevel2},
        {btnPlaylist, &geometry.btnPlaylist},
        {btnAddPlaylist, &geometry.btnAddPlaylist},
        {btnDelPlaylist, &geometry.btnDelPlaylist},
        {btnPlaylistUp, &geometry.btnPlaylistUp},
        {btnPlaylistDown, &geometry.btnPlaylistDown},
        {lvPlaylist, &geometry.lvPlaylist},
        {btnStop, &geometry.btnStop},
        {btnStart, &geometry.btnStart},
    };
    for (const auto& [widget, rect] : places)
        Place(widget, *rect);
    // Fixed for these texts: the user cannot resize it, only the playlist button changes it.
    setFixedSize(geometry.width,
                 m_playlistShown ? geometry.heightWithPlaylist : geometry.heightWithoutPlaylist);
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
    QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(folder + name)));
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
            m_playlist->AddItem(file.toStdString(), {});
    }
}

void TZUVMainForm::ActionBrowseSubExecute()
{
    const QString media = comboFile->currentText();
    if (!media.isEmpty())
        OpenSubDialog.initialFolder = QString::fromStdString(FolderPart(media.toStdString()));
    const QStringList files = TakeableNames(OpenSubDialog.Execute(this));
    if (files.isEmpty())
        return;
    comboSub->setEditText(files.join(QLatin1Char(',')));
}

void TZUVMainForm::ActionSettingsExecute()
{
    m_settings->setVisible(!m_settings->isVisible());
}

void TZUVMainForm::ActionShowResultWindowExecute()
{
    m_result->Show();
}

void TZUVMainForm::ShowFileTypes()
{
    const std::unique_ptr<AssociationBackend> backend = CreateSystemAssociationBackend();
    TFileAssocForm dialog(m_settings, *backend, m_fileTypes);
    dialog.exec();
    // Until the program ends; the file-type list is never written to the configuration.
    if (dialog.NewFileTypes())
        m_fileTypes = *dialog.NewFileTypes();
}

void TZUVMainForm::TogglePlaylist()
{
    m_playlistShown = !m_playlistShown;
    // Hidden: the window ends just above the list; shown: the full height.
    LayOutControls();
    for (QAction* action : {ActionPlDel, ActionPlUp, ActionPlDown})
        action->setVisible(m_playlistShown);
    lvPlaylist->setVisible(m_playlistShown);
}

void TZUVMainForm::ShowPlaylist()
{
    if (!m_playlistShown)
        TogglePlaylist();
}

int TZUVMainForm::SelectedPlaylistItem() const
{
    const QModelIndexList rows = lvPlaylist->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void TZUVMainForm::SelectPlaylistItem(int row)
{
    if (row < 0 || row >= m_playlist->Count()) {
        lvPlaylist->clearSelection();
        return;
    }
    const QModelIndex index = m_playlist->index(row, 0);
    lvPlaylist->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect |
                                                             QItemSelectionModel::Rows);
    lvPlaylist->scrollTo(index);
}

void TZUVMainForm::ActionPlAddExecute()
{
    if (comboFile->currentText().isEmpty() ||
        TakeableNames({comboFile->currentText(), comboSub->currentText()}).size() != 2)
        return;
    ShowPlaylist();
    m_playlist->AddItem(comboFile->currentText().toStdString(),
                        comboSub->currentText().toStdString());
}

void TZUVMainForm::ActionPlDelExecute()
{
    const int row = SelectedPlaylistItem();
    if (row < 0)
        return;
    m_playlist->DeleteItem(row);
    lvPlaylist->clearSelection();
}

void TZUVMainForm::ActionPlUpExecute()
{
    const int row = SelectedPlaylistItem();
    if (row > 0)
        SelectPlaylistItem(m_playlist->MoveItemUp(row));
}

void TZUVMainForm::ActionPlDownExecute()
{
    const int row = SelectedPlaylistItem();
    if (row >= 0 && row + 1 < m_playlist->Count())
        SelectPlaylistItem(m_playlist->MoveItemDown(row));
}

void TZUVMainForm::ActionPlClearExecute()
{
    m_playlist->Clear();
}

void TZUVMainForm::ShowFileError(const QString& path, const std::string& reason)
{
    // Which file and why, as the system says it.
    MessageBox::Show(this, QMessageBox::Critical, QApplication::applicationName(),
                     path + QStringLiteral("\n\n") + QString::fromStdString(reason));
}

void TZUVMainForm::ActionPlLoadExecute()
{
    const QStringList files = OpenPlDialog.Execute(this);
    if (files.isEmpty())
        return;
    const PlaylistFileResult result = m_playlist->LoadFile(files.first().toStdString());
    if (!result.ok())
        ShowFileError(files.first(), result.errorText);
}

void TZUVMainForm::ActionPlSaveExecute()
{
    const QStringList files = SavePlDialog.Execute(this);
    if (files.isEmpty())
        return;
    const PlaylistFileResult result = m_playlist->SaveFile(files.first().toStdString());
    if (!result.ok())
        ShowFileError(files.first(), result.errorText);
}

void TZUVMainForm::lvPlaylistDblClick()
{
    const int row = SelectedPlaylistItem();
    if (row < 0)
        return;
    const PlaylistItem& item = m_playlist->Items().Item(static_cast<std::size_t>(row));
    comboFile->setEditText(QString::fromStdString(item.mediaPath));
    comboSub->setEditText(QString::fromStdString(item.subtitlePath));
}

void TZUVMainForm::ApplyOptions(const Options& options)
{
    comboFile->setEditText(QString::fromStdString(options.LastFile));
    comboSub->setEditText(QString::fromStdString(options.LastSubFile));
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
}

void TZUVMainForm::GatherOptions(Options& options) const
{
    options.Language = Langunit().CurrentLanguage();
    options.LastFile = comboFile->currentText().toStdString();
    options.LastSubFile = comboSub->currentText().toStdString();
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
    Options options;
    GatherOptions(options);
    m_settings->GatherOptions(options);
    m_equalizer->GatherOptions(options);
    return options;
}

void TZUVMainForm::BringWindowsToFront()
{
    if (isMinimized())
        showNormal();
    BringToFront(*this);
    if (m_settings && m_settings->isVisible())
        m_settings->raise();
}

void TZUVMainForm::DropFiles(const QStringList& droppedFiles, const QPoint& point)
{
    const QStringList files = TakeableNames(droppedFiles);
    static constexpr std::string_view kSubtitleExtensions = ".SRT.SUB.TXT.ZIP.VOB";
    // The list's rectangle, its right and bottom edges included.
    const bool onPlaylist =
        m_playlistShown && lvPlaylist->geometry().adjusted(0, 0, 1, 1).contains(point);
    bool mediaDropped = false;
    for (qsizetype i = 0; i < files.size(); ++i) {
        const QString& file = files[i];
        const std::string extension = ToUpperAscii(ExtensionPart(FileNamePart(file.toStdString())));
        if (!extension.empty() && kSubtitleExtensions.find(extension) != std::string_view::npos) {
            if (onPlaylist) {
                const QModelIndex item =
                    lvPlaylist->indexAt(lvPlaylist->viewport()->mapFrom(this, point));
                if (item.isValid())
                    m_playlist->SetItemSubtitle(item.row(), file.toStdString());
            } else {
                comboSub->setEditText(file);
            }
        } else {
            mediaDropped = true;
            if (onPlaylist) {
                m_playlist->AddItem(file.toStdString(), {});
                mediaDropped = false;
            } else {
                if (i == 0)
                    SetMediaFile(file);
                if (files.size() > 1) {
                    ShowPlaylist();
                    m_playlist->AddItem(file.toStdString(), {});
                }
            }
        }
        BringWindowsToFront();
    }
    if (mediaDropped && CurrentOptions().AutoStartDragDrop)
        m_playback->ActionStartExecute();
}

void TZUVMainForm::dragEnterEvent(QDragEnterEvent* event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    if (!urls.isEmpty() &&
        std::all_of(urls.begin(), urls.end(), [](const QUrl& url) { return url.isLocalFile(); }))
        event->acceptProposedAction();
}

void TZUVMainForm::dropEvent(QDropEvent* event)
{
    QStringList files;
    for (const QUrl& url : event->mimeData()->urls()) {
        if (url.isLocalFile())
            files << url.toLocalFile();
    }
    if (files.isEmpty())
        return;
    event->acceptProposedAction();
    DropFiles(files, event->position().toPoint());
}

void TZUVMainForm::ReleaseOwnedWindows()
{
    delete m_settings;
    m_settings = nullptr;
    delete m_result;
    m_result = nullptr;
    delete m_equalizer;
    m_equalizer = nullptr;
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
    if ((event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) && btnStart)
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
    if (event->type() == QEvent::DragEnter && HasLocalFiles(*static_cast<QDropEvent*>(event)) &&
        (watched == comboFile->lineEdit() || watched == comboSub->lineEdit() ||
         watched == comboParams->lineEdit())) {
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
