#include "settings/qt/settings_form.h"

#include "lang/language.h"
#include "lang/qt/translate.h"
#include "platform/folders.h"
#include "platform/system_utils.h"
#include "settings/font_list.h"
#include "settings/key_bindings.h"
#include "util/number_format.h"
#include "util/text_utils.h"
#include "widgets/qt/desktop_window.h"
#include "widgets/qt/dialogs.h"
#include "widgets/qt/markup_label.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProxyStyle>
#include <QPushButton>
#include <QSlider>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include <string>
#include <vector>

namespace zuv {

namespace {

constexpr char kSection[] = "Settings";
const char* const kPriorityNames = "Alacsony,Normál alatt,Normál,Normál felett,Magas";

QSlider* MakeTrackBar(QWidget* parent, int minimum, int maximum, int page, int tick, int position)
{
    auto* bar = new QSlider(Qt::Horizontal, parent);
    bar->setRange(minimum, maximum);
    bar->setPageStep(page);
    bar->setSingleStep(1);
    bar->setTickInterval(tick);
    bar->setTickPosition(QSlider::TicksBelow);
    bar->setValue(position);
    return bar;
}

// A heading with a rule under it.
QLabel* AddHeading(QVBoxLayout* layout, const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    layout->addWidget(label);
    auto* rule = new QFrame(parent);
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);
    layout->addWidget(rule);
    return label;
}

// Flat tabs with little room beside their captions, so that the five pages' tabs fit in one row
// of the narrow dialog (tab bars here have no second row).
class CompactTabStyle : public QProxyStyle
{
public:
    int pixelMetric(PixelMetric metric, const QStyleOption* option,
                    const QWidget* widget) const override
    {
        if (metric == PM_TabBarTabHSpace)
            return 10;
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
};

QLabel* MakeValueLabel(QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label->setMinimumWidth(48);
    return label;
}

QHBoxLayout* Row(QVBoxLayout* layout, QWidget* left, QWidget* right)
{
    auto* row = new QHBoxLayout;
    row->addWidget(left, 1);
    row->addWidget(right);
    layout->addLayout(row);
    return row;
}

QCheckBox* AddCheck(QVBoxLayout* layout, const QString& text, QWidget* parent)
{
    auto* check = new QCheckBox(text, parent);
    layout->addWidget(check);
    return check;
}

QVBoxLayout* PageLayout(QWidget* page)
{
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->setSpacing(3);
    return layout;
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
        QStringLiteral("<b><u>MPlayer:</u></b> %m<br>"),
        QStringLiteral("MPlayer WWW: <a href=\"http://www.mplayerhq.hu\">www.mplayerhq.hu</a><br>"),
        QStringLiteral("<br>"),
        QStringLiteral("Feliratok letöltése: <a href=\"https://www.opensubtitles.org/\">"
                       "opensubtitles.org</a>"),
    };
}

TSettingsForm::TSettingsForm(QWidget* mainWindow)
    : QWidget(mainWindow, Qt::Tool | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("SettingsForm"));
    setWindowTitle(QStringLiteral("Beállítások"));
    setFixedSize(247, 287);
    // Laid out for an 8-point font, like the main window; a window does not inherit its owner's.
    QFont designFont = font();
    designFont.setPointSize(8);
    setFont(designFont);

    auto* panel = new QFrame(this);
    panel->setFrameShape(QFrame::StyledPanel);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(panel);
    auto* panelLayout = new QVBoxLayout(panel);
    panelLayout->setContentsMargins(2, 2, 2, 2);
    PageControl1 = new QTabWidget(panel);
    PageControl1->setDocumentMode(true);
    // Owned by the dialog, created after the panel, so it outlives the tab bar that uses it.
    auto* tabStyle = new CompactTabStyle;
    tabStyle->setParent(this);
    PageControl1->tabBar()->setStyle(tabStyle);
    // Tabs that still do not fit (a long translation) stay reachable.
    PageControl1->setUsesScrollButtons(true);
    panelLayout->addWidget(PageControl1);

    CreateVideoPage();
    CreateAudioPage();
    CreateFontPage();
    CreateOtherPage();
    CreateInfoPage();
    ConnectRules();

    m_infoLines = SettingsInfoText();
    ShowInfoText();
    PageControl1->setCurrentIndex(0);
    tbPanScanChange();
    tbFontScaleChange();
    tbPriorityChange();
}

void TSettingsForm::CreateVideoPage()
{
    TabSheet1 = new TabSheet;
    PageControl1->addTab(TabSheet1, QStringLiteral("&Video"));
    auto* layout = PageLayout(TabSheet1);
    Label1 = AddHeading(layout, QStringLiteral("Video beállítások"), TabSheet1);
    cbDoubleBuffer = AddCheck(layout, QStringLiteral("Dupla buferelés"), TabSheet1);
    cbDri = AddCheck(layout, QStringLiteral("Direct rendering"), TabSheet1);
    cbEq2 = AddCheck(layout, QStringLiteral("Grafikus ekvalizer (fényerő stb.)"), TabSheet1);
    cbPostProcessing = AddCheck(layout, QStringLiteral("Post processing (képjavítás)"), TabSheet1);
    Label8 = new QLabel(QStringLiteral("(nagyon lassú lehet direct rendering-el)"), TabSheet1);
    Label8->setAlignment(Qt::AlignRight);
    layout->addWidget(Label8);
    cbYUY2 = AddCheck(layout, QStringLiteral("YUY2-es colorspace használata"), TabSheet1);
    cbExpand = AddCheck(layout, QStringLiteral("Kép kibővítése fekete sávval"), TabSheet1);
    cbPanScan = new QCheckBox(QStringLiteral("PanScan emuláció"), TabSheet1);
    labelPanScan = MakeValueLabel(TabSheet1);
    labelPanScan->setEnabled(false);
    Row(layout, cbPanScan, labelPanScan);
    tbPanScan = MakeTrackBar(TabSheet1, 0, 99, 10, 10, 49);
    tbPanScan->setEnabled(false);
    layout->addWidget(tbPanScan);
    layout->addStretch();
}

void TSettingsForm::CreateAudioPage()
{
    TabSheet2 = new TabSheet;
    PageControl1->addTab(TabSheet2, QStringLiteral("&Audio"));
    auto* layout = PageLayout(TabSheet2);
    Label2 = AddHeading(layout, QStringLiteral("Audio beállítások"), TabSheet2);
    cbNormalize = AddCheck(layout, QStringLiteral("Hang normalizálása"), TabSheet2);
    cbSetChannels = new QCheckBox(QStringLiteral("Csatornák száma"), TabSheet2);
    comboChannels = new QComboBox(TabSheet2);
    for (int count = 1; count <= kChannelEntryCount; ++count)
        comboChannels->addItem(QString::number(count));
    comboChannels->setCurrentIndex(-1);
    comboChannels->setEnabled(false);
    Row(layout, cbSetChannels, comboChannels);
    cbDolbySurroundDecode =
        AddCheck(layout, QStringLiteral("Dolby Surround dekódolása"), TabSheet2);
    cbSubChannel =
        AddCheck(layout, QStringLiteral("Sub-woofer emuláció (B+J csatorna)"), TabSheet2);
    Label9 = new QLabel(QStringLiteral("(5.1-es hang esetén kapcsold ki)"), TabSheet2);
    layout->addWidget(Label9);
    layout->addSpacing(6);
    Label3 = new QLabel(QStringLiteral("Ezek nem minden hangártyával működnek:"), TabSheet2);
    Label3->setWordWrap(true);
    layout->addWidget(Label3);
    cbEqualizer = new QCheckBox(QStringLiteral("Ekvalizer"), TabSheet2);
    btnShowEQ = new QPushButton(QStringLiteral("Beállít"), TabSheet2);
    btnShowEQ->setEnabled(false);
    Row(layout, cbEqualizer, btnShowEQ);
    cbCustomChannelMapping =
        AddCheck(layout, QStringLiteral("Saját AC3 csatorna-mixelés"), TabSheet2);
    cbCustomChannelMapping->hide();
    comboCustomChannelMapping = new QComboBox(TabSheet2);
    comboCustomChannelMapping->setEnabled(false);
    comboCustomChannelMapping->hide();
    layout->addWidget(comboCustomChannelMapping);
    layout->addStretch();
}

void TSettingsForm::CreateFontPage()
{
    TabSheet3 = new TabSheet;
    PageControl1->addTab(TabSheet3, QStringLiteral("&Betűkészlet"));
    auto* layout = PageLayout(TabSheet3);
    Label4 = new QLabel(QStringLiteral("Betűtípus (alapértelmezett: üres)"), TabSheet3);
    layout->addWidget(Label4);
    comboFont = new QComboBox(TabSheet3);
    comboFont->addItem(QString()); // no font; the installed ones follow when first needed
    comboFont->installEventFilter(this);
    layout->addWidget(comboFont);
    edFont = new QLineEdit(TabSheet3);
    btnBrowseFont = new QPushButton(QStringLiteral("Tallóz"), TabSheet3);
    Row(layout, edFont, btnBrowseFont);
    cbFontScale = new QCheckBox(QStringLiteral("Betűtípus méret"), TabSheet3);
    cbFontScale->setEnabled(false);
    labelFontScale = MakeValueLabel(TabSheet3);
    labelFontScale->setEnabled(false);
    Row(layout, cbFontScale, labelFontScale);
    tbFontScale = MakeTrackBar(TabSheet3, 0, 25, 1, 5, 1);
    tbFontScale->setEnabled(false);
    layout->addWidget(tbFontScale);
    cbSubFontOutline = AddCheck(layout, QStringLiteral("Betű szegélyméret"), TabSheet3);
    cbSubFontOutline->setEnabled(false);
    tbSubFontOutline = MakeTrackBar(TabSheet3, 0, 8, 1, 1, 2);
    tbSubFontOutline->setEnabled(false);
    layout->addWidget(tbSubFontOutline);
    cbSubFontBlur = AddCheck(layout, QStringLiteral("Betűszegély elmosás"), TabSheet3);
    cbSubFontBlur->setEnabled(false);
    tbSubFontBlur = MakeTrackBar(TabSheet3, 0, 8, 1, 1, 2);
    tbSubFontBlur->setEnabled(false);
    layout->addWidget(tbSubFontBlur);
    Label5 = new QLabel(QStringLiteral("Sub kódolás:"), TabSheet3);
    comboSubCp = new QComboBox(TabSheet3);
    comboSubCp->setEditable(true);
    comboSubCp->setInsertPolicy(QComboBox::NoInsert);
    for (const char* name :
         {"iso-8859-1", "iso-8859-2", "iso-8859-3", "iso-8859-5", "iso-8859-6", "iso-8859-7",
          "iso-8859-8", "iso-8859-9", "iso-8859-10", "iso-8859-13", "iso-8859-14", "iso-8859-15",
          "iso-8859-16", "koi-8", "chinese", "utf-8", "unicode"})
        comboSubCp->addItem(QString::fromLatin1(name));
    comboSubCp->setEditText(QStringLiteral("latin2"));
    Row(layout, Label5, comboSubCp);
    layout->addStretch();
}

void TSettingsForm::CreateOtherPage()
{
    TabSheet4 = new TabSheet;
    PageControl1->addTab(TabSheet4, QStringLiteral("&Egyéb"));
    auto* layout = PageLayout(TabSheet4);
    cbDisableScrSaver = AddCheck(layout, QStringLiteral("Képernyővédő kikapcsolása"), TabSheet4);
    cbAutostartDragDrop =
        AddCheck(layout, QStringLiteral("Automatikus lejátszás Drag&&Drop"), TabSheet4);
    cbAutostartCmd =
        AddCheck(layout, QStringLiteral("Automatikus lejátszás parancssor"), TabSheet4);
    cbOneInstance = AddCheck(layout, QStringLiteral("Egyszerre 1 példány futhat"), TabSheet4);
    cbShowResult = AddCheck(layout, QStringLiteral("MPlayer kimenet-ablak látszik"), TabSheet4);
    cbResultIfUnclean = new QCheckBox(QStringLiteral("Csak ha hiba történt"), TabSheet4);
    cbResultIfUnclean->setEnabled(false);
    auto* indented = new QHBoxLayout;
    indented->addSpacing(16);
    indented->addWidget(cbResultIfUnclean);
    layout->addLayout(indented);
    layout->addSpacing(4);
    Label10 = new QLabel(QStringLiteral("MPlayer prioritás:"), TabSheet4);
    labelPriority = MakeValueLabel(TabSheet4);
    labelPriority->setMinimumWidth(90);
    Row(layout, Label10, labelPriority);
    tbPriority = MakeTrackBar(TabSheet4, 0, 4, 1, 1, 0);
    layout->addWidget(tbPriority);
    layout->addSpacing(4);
    btnFileAssoc = new QPushButton(QStringLiteral("Fájltípusok"), TabSheet4);
    btnSetKeys = new QPushButton(QStringLiteral("Billentyű&k"), TabSheet4);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(btnFileAssoc);
    buttons->addWidget(btnSetKeys);
    layout->addLayout(buttons);
    layout->addStretch();
}

void TSettingsForm::CreateInfoPage()
{
    TabSheet5 = new TabSheet;
    PageControl1->addTab(TabSheet5, QStringLiteral("&Info"));
    InfoLabel = new TMarkupLabel(TabSheet5);
    InfoLabel->setGeometry(8, 8, 180, 162);
    InfoLabel->SetAutoSizing(true);
    Label7 = new QLabel(QStringLiteral("Nyelv:"), TabSheet5);
    comboLang = new QComboBox(TabSheet5);
    // The language row sits at the page's bottom, below the information text.
    auto* layout = new QVBoxLayout(TabSheet5);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->addStretch();
    auto* row = new QHBoxLayout;
    row->addWidget(Label7);
    row->addWidget(comboLang, 1);
    layout->addLayout(row);
}

void TSettingsForm::ConnectRules()
{
    const auto enableWith = [this](QCheckBox* source, std::initializer_list<QWidget*> targets) {
        connect(source, &QCheckBox::toggled, this,
                [targets = std::vector<QWidget*>(targets)](bool on) {
                    for (QWidget* target : targets)
                        target->setEnabled(on);
                });
    };
    enableWith(cbPanScan, {tbPanScan, labelPanScan});
    enableWith(cbSetChannels, {comboChannels});
    enableWith(cbEqualizer, {btnShowEQ});
    enableWith(cbCustomChannelMapping, {comboCustomChannelMapping});
    enableWith(cbShowResult, {cbResultIfUnclean});
    enableWith(cbFontScale, {tbFontScale, labelFontScale});
    enableWith(cbSubFontOutline, {tbSubFontOutline});
    enableWith(cbSubFontBlur, {tbSubFontBlur});
    connect(edFont, &QLineEdit::textChanged, this, &TSettingsForm::edFontChange);

    connect(tbPanScan, &QSlider::valueChanged, this, &TSettingsForm::tbPanScanChange);
    connect(tbFontScale, &QSlider::valueChanged, this, &TSettingsForm::tbFontScaleChange);
    connect(tbPriority, &QSlider::valueChanged, this, &TSettingsForm::tbPriorityChange);

    connect(comboFont, &QComboBox::activated, this, &TSettingsForm::comboFontChange);
    connect(PageControl1, &QTabWidget::tabBarClicked, this, [this](int index) {
        if (index >= 0)
            PageChosen();
    });
    connect(PageControl1, &QTabWidget::currentChanged, this, &TSettingsForm::PageChosen);
    connect(comboLang, &QComboBox::activated, this, &TSettingsForm::comboLangChange);
    connect(btnShowEQ, &QPushButton::clicked, this, [this] {
        if (m_hooks.showEqualizer)
            m_hooks.showEqualizer();
    });
    connect(btnFileAssoc, &QPushButton::clicked, this, [this] {
        if (m_hooks.showFileTypes)
            m_hooks.showFileTypes();
    });
    connect(btnSetKeys, &QPushButton::clicked, this, &TSettingsForm::btnSetKeysClick);
    connect(btnBrowseFont, &QPushButton::clicked, this, &TSettingsForm::btnBrowseFontClick);
}

void TSettingsForm::PlaceBesideMainWindow()
{
    const QWidget* main = parentWidget();
    if (!main)
        return;
    // The outer frame of the main window, as the user sees it.
    const QRect frame = main->frameGeometry();
    PlaceWindow(*this, QPoint(frame.left() + frame.width(), frame.top() + 16));
}

double TSettingsForm::GetSubFontScale() const
{
    return SubFontScaleFromPosition(tbFontScale->value());
}

void TSettingsForm::SetSubFontScale(double scale)
{
    tbFontScale->setValue(SubFontScalePosition(scale));
}

void TSettingsForm::tbPanScanChange()
{
    labelPanScan->setText(QString::number(tbPanScan->value()) + QStringLiteral(" %"));
}

void TSettingsForm::tbFontScaleChange()
{
    labelFontScale->setText(QString::fromStdString(FormatDecimal(GetSubFontScale())) +
                            QStringLiteral(" %"));
}

void TSettingsForm::tbPriorityChange()
{
    std::string names = GetText(kSection, "257", QString::fromUtf8(kPriorityNames)).toStdString();
    std::string name;
    for (int field = 0; field <= tbPriority->value(); ++field)
        name = SplitFirst(names, ",");
    labelPriority->setText(QString::fromStdString(name));
}

void TSettingsForm::edFontChange()
{
    const bool hasFont = !edFont->text().isEmpty();
    cbFontScale->setEnabled(hasFont);
    cbSubFontOutline->setEnabled(hasFont);
    cbSubFontBlur->setEnabled(hasFont);
}

void TSettingsForm::comboFontChange()
{
    edFont->setText(
        QString::fromStdString(FontFileFromName(comboFont->currentText().toStdString())));
}

void TSettingsForm::comboLangChange(int index)
{
    // Choosing the entry that is already chosen changes nothing and says nothing.
    if (m_fillingLanguages || index == m_languageEntry)
        return;
    m_languageEntry = index;
    Langunit().SelectLanguage(index);
    // Captions set from the language file stay until the next start.
    if (index == 0) {
        MessageBox::Show(this, QMessageBox::Warning, QApplication::applicationName(),
                         GetText(kSection, "401",
                                 QStringLiteral("A beállítások érvénybe léptetéséhez indítsd "
                                                "újra a programot!")));
    }
}

void TSettingsForm::btnSetKeysClick()
{
    if (m_hooks.openFile)
        m_hooks.openFile(
            QString::fromStdString(KeyBindingFile(platform::ProgramFolder(), GetEnvVar("HOME"))));
}

void TSettingsForm::btnBrowseFontClick()
{
    if (!m_hooks.browseFont)
        return;
    const QString title =
        GetText(kSection, "303",
                QStringLiteral("Válaszd ki betűtípust. Csak TrueType/OpenType jó! (*.TTF)"));
    const QString path = m_hooks.browseFont(
        title, QString::fromStdString(FontBrowseFolder(edFont->text().toStdString())));
    if (!path.isEmpty())
        edFont->setText(path);
}

void TSettingsForm::TranslateSettingsForm()
{
    const std::pair<QObject*, const char*> components[] = {
        {TabSheet1, "100"},
        {TabSheet2, "101"},
        {TabSheet3, "102"},
        {TabSheet4, "103"},
        {TabSheet5, "104"},
        {Label1, "220"},
        {cbDoubleBuffer, "221"},
        {cbDri, "222"},
        {cbEq2, "223"},
        {cbYUY2, "224"},
        {cbPostProcessing, "225"},
        {Label8, "226"},
        {cbExpand, "227"},
        {cbPanScan, "228"},
        {Label2, "240"},
        {cbNormalize, "241"},
        {cbSetChannels, "242"},
        {cbSubChannel, "243"},
        {Label9, "244"},
        {cbDolbySurroundDecode, "245"},
        {Label3, "246"},
        {cbEqualizer, "247"},
        {btnShowEQ, "248"},
        {cbCustomChannelMapping, "249"},
        {cbDisableScrSaver, "251"},
        {cbAutostartDragDrop, "252"},
        {cbAutostartCmd, "253"},
        {cbShowResult, "254"},
        {cbResultIfUnclean, "255"},
        {Label10, "256"},
        {btnFileAssoc, "260"},
        {btnSetKeys, "261"},
        {cbOneInstance, "262"},
        {Label4, "300"},
        {btnBrowseFont, "302"},
        {cbFontScale, "310"},
        {Label5, "320"},
        {cbSubFontOutline, "330"},
        {cbSubFontBlur, "331"},
        {Label7, "400"},
    };
    for (const auto& [component, key] : components)
        TranslateComponent(component, kSection, key);
    // A language without its own last line keeps the one shown so far.
    const QString lastLine = GetTextOrEmpty(kSection, "501");
    if (!lastLine.isEmpty()) {
        m_infoLastLine = lastLine;
        ShowInfoText();
    }
    tbPriorityChange();
}

void TSettingsForm::SetVersions(const QString& programVersion, const QString& playerVersion)
{
    m_programVersion = programVersion;
    m_playerVersion = playerVersion;
    ShowInfoText();
}

void TSettingsForm::ShowInfoText()
{
    // The placeholders stay in m_infoLines: the player's version arrives after the program's.
    QStringList lines;
    for (const QString& line : m_infoLines) {
        std::string text = line.toStdString();
        ReplaceAll(text, "%v", m_programVersion.toStdString());
        ReplaceAll(text, "%m", m_playerVersion.toStdString());
        lines.append(QString::fromStdString(text));
    }
    if (!m_infoLastLine.isEmpty() && !lines.isEmpty())
        lines.last() = m_infoLastLine;
    InfoLabel->SetHTMLText(lines);
}

void TSettingsForm::FillFontList() const
{
    if (m_fontListFilled)
        return;
    m_fontListFilled = true;
    std::vector<std::string> names;
    if (ReadInstalledFonts(names, true)) {
        for (const std::string& name : names)
            comboFont->addItem(QString::fromStdString(name));
    }
    comboFont->setCurrentIndex(comboFont->findText(m_storedFontFace, Qt::MatchFixedString));
}

void TSettingsForm::SetActivePage(int storedPage)
{
    const int page = SettingsPageIndex(storedPage);
    m_noActivePage = page < 0;
    if (page >= 0)
        PageControl1->setCurrentIndex(page);
    // With no active page only the tabs show, until the user picks one.
    PageControl1->currentWidget()->setVisible(!m_noActivePage);
}

void TSettingsForm::PageChosen()
{
    if (!m_noActivePage)
        return;
    m_noActivePage = false;
    PageControl1->currentWidget()->setVisible(true);
}

void TSettingsForm::FillLanguageList()
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

void TSettingsForm::ApplyOptions(const Options& options)
{
    cbDoubleBuffer->setChecked(options.Double);
    cbDri->setChecked(options.dri);
    cbEq2->setChecked(options.GraphicEq);
    cbYUY2->setChecked(options.ForceYUY2);
    cbPostProcessing->setChecked(options.PostProcessing);
    cbExpand->setChecked(options.Expand);
    cbPanScan->setChecked(options.PanScan);
    tbPanScan->setValue(ClampToRange(options.PanScanValue, kPanScanValueRange));

    cbNormalize->setChecked(options.Normalize);
    cbSetChannels->setChecked(options.SetChannels);
    comboChannels->setCurrentIndex(ChannelEntryIndex(options.Channels));
    cbSubChannel->setChecked(options.EmulateSubwoofer);
    cbEqualizer->setChecked(options.EQ);
    cbCustomChannelMapping->setChecked(options.CustomAC3Mixing);
    comboCustomChannelMapping->setCurrentIndex(comboCustomChannelMapping->findText(
        QString::fromStdString(options.MixerProfile), Qt::MatchFixedString));

    cbDisableScrSaver->setChecked(options.DisableScrSaver);
    cbAutostartDragDrop->setChecked(options.AutoStartDragDrop);
    cbAutostartCmd->setChecked(options.AutoStartCmdLine);
    cbShowResult->setChecked(options.ShowResultWindow);
    cbResultIfUnclean->setChecked(options.ShowResultOnErrorOnly);
    tbPriority->setValue(ClampToRange(options.MPlayerPriority, kMPlayerPriorityRange));
    cbOneInstance->setChecked(options.OneInstanceOnly);

    m_storedFontFace = QString::fromStdString(options.FontFace);
    if (m_fontListFilled)
        comboFont->setCurrentIndex(comboFont->findText(m_storedFontFace, Qt::MatchFixedString));
    edFont->setText(QString::fromStdString(options.Font));
    cbFontScale->setChecked(options.SetFontScale);
    SetSubFontScale(options.FontScale);
    cbSubFontOutline->setChecked(options.SubfontOutline);
    tbSubFontOutline->setValue(
        ClampToRange(options.SubfontOutlineValue, kSubfontOutlineValueRange));
    cbSubFontBlur->setChecked(options.SubfontBlur);
    tbSubFontBlur->setValue(ClampToRange(options.SubfontBlurValue, kSubfontBlurValueRange));
    comboSubCp->setEditText(QString::fromStdString(options.SubCp));

    SetActivePage(options.SettingsPage);
}

void TSettingsForm::GatherOptions(Options& options) const
{
    options.Double = cbDoubleBuffer->isChecked();
    options.dri = cbDri->isChecked();
    options.GraphicEq = cbEq2->isChecked();
    options.ForceYUY2 = cbYUY2->isChecked();
    options.PostProcessing = cbPostProcessing->isChecked();
    options.Expand = cbExpand->isChecked();
    options.PanScan = cbPanScan->isChecked();
    options.PanScanValue = tbPanScan->value();

    options.Normalize = cbNormalize->isChecked();
    options.SetChannels = cbSetChannels->isChecked();
    options.Channels = ChannelsFromEntryIndex(comboChannels->currentIndex());
    options.EmulateSubwoofer = cbSubChannel->isChecked();
    options.EQ = cbEqualizer->isChecked();
    options.CustomAC3Mixing = cbCustomChannelMapping->isChecked();
    options.MixerProfile = FormatInteger(comboCustomChannelMapping->currentIndex());

    options.DisableScrSaver = cbDisableScrSaver->isChecked();
    options.AutoStartDragDrop = cbAutostartDragDrop->isChecked();
    options.AutoStartCmdLine = cbAutostartCmd->isChecked();
    options.ShowResultWindow = cbShowResult->isChecked();
    options.ShowResultOnErrorOnly = cbResultIfUnclean->isChecked();
    options.MPlayerPriority = tbPriority->value();
    options.OneInstanceOnly = cbOneInstance->isChecked();
    options.SettingsPage = m_noActivePage ? -1 : PageControl1->currentIndex();

    options.Font = edFont->text().toStdString();
    // An empty stored face gathers back empty whatever the list holds; any other needs the list.
    if (m_fontListFilled || !m_storedFontFace.isEmpty()) {
        FillFontList();
        options.FontFace =
            comboFont->currentIndex() < 0 ? std::string() : comboFont->currentText().toStdString();
    } else {
        options.FontFace.clear();
    }
    options.SetFontScale = cbFontScale->isChecked();
    options.FontScale = GetSubFontScale();
    options.SubCp = comboSubCp->currentText().toStdString();
    options.SubfontOutline = cbSubFontOutline->isChecked();
    options.SubfontOutlineValue = tbSubFontOutline->value();
    options.SubfontBlur = cbSubFontBlur->isChecked();
    options.SubfontBlurValue = tbSubFontBlur->value();
}

void TSettingsForm::showEvent(QShowEvent* event)
{
    PlaceBesideMainWindow();
    QWidget::showEvent(event);
}

bool TSettingsForm::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == comboFont && event->type() == QEvent::Show)
        FillFontList();
    return QWidget::eventFilter(watched, event);
}

} // namespace zuv
