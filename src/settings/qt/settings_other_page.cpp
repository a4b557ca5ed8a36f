#include "settings/qt/settings_other_page.h"

#include "platform/folders.h"
#include "platform/system_utils.h"
#include "settings/key_bindings.h"
#include "util/text_utils.h"
#include "widgets/qt/accessible_name.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

#include <string>

namespace zuv {

namespace {

const char* const kPriorityNames = "Alacsony,Normál alatt,Normál,Normál felett,Magas";
const char* const kPlayerNames = "Automatikus,MPlayer,mpv";

} // namespace

OtherPage::OtherPage(const SettingsHooks& hooks)
    : SettingsPage("TabSheet4", QStringLiteral("&Egyéb")), m_hooks(hooks)
{
    cbDisableScrSaver = AddCheck("cbDisableScrSaver", QStringLiteral("Képernyővédő kikapcsolása"));
    cbAutostartDragDrop =
        AddCheck("cbAutostartDragDrop", QStringLiteral("Automatikus lejátszás Drag&&Drop"));
    cbAutostartCmd = AddCheck("cbAutostartCmd", QStringLiteral("Automatikus lejátszás parancssor"));
    cbOneInstance = AddCheck("cbOneInstance", QStringLiteral("Egyszerre 1 példány futhat"));
    cbShowResult = AddCheck("cbShowResult", QStringLiteral("MPlayer kimenet-ablak látszik"));
    cbResultIfUnclean =
        Named(new QCheckBox(QStringLiteral("Csak ha hiba történt"), this), "cbResultIfUnclean");
    cbResultIfUnclean->setEnabled(false);
    auto* indented = new QHBoxLayout;
    indented->addSpacing(16);
    indented->addWidget(cbResultIfUnclean);
    PageLayout()->addLayout(indented);
    PageLayout()->addSpacing(4);
    Label10 = Named(new QLabel(QStringLiteral("MPlayer prioritás:"), this), "Label10");
    labelPriority = MakeValueLabel("labelPriority");
    labelPriority->setMinimumWidth(90);
    AddRow(Label10, labelPriority);
    tbPriority = AddTrackBar("tbPriority", 0, 4, 1, 1, 0);
    PageLayout()->addSpacing(4);
    labelPlayer = Named(new QLabel(QStringLiteral("Lejátszó:"), this), "labelPlayer");
    cbPlayer = Named(new QComboBox(this), "cbPlayer");
    AddRow(labelPlayer, cbPlayer);
    PageLayout()->addSpacing(4);
    btnFileAssoc = Named(new QPushButton(QStringLiteral("Fájltípusok"), this), "btnFileAssoc");
    btnSetKeys = Named(new QPushButton(QStringLiteral("Billentyű&k"), this), "btnSetKeys");
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(btnFileAssoc);
    buttons->addWidget(btnSetKeys);
    PageLayout()->addLayout(buttons);
    PageLayout()->addStretch();

    EnableWith(cbShowResult, {cbResultIfUnclean});
    connect(cbDisableScrSaver, &QCheckBox::toggled, this, &OtherPage::DisableScrSaverToggled);
    connect(tbPriority, &QSlider::valueChanged, this, &OtherPage::tbPriorityChange);
    connect(btnFileAssoc, &QPushButton::clicked, this, [this] {
        if (m_hooks.showFileTypes)
            m_hooks.showFileTypes();
    });
    connect(btnSetKeys, &QPushButton::clicked, this, &OtherPage::btnSetKeysClick);
    tbPriorityChange();
    FillPlayerList();
}

void OtherPage::Translate()
{
    TranslateCaption("103");
    TranslateComponents({
        {cbDisableScrSaver, "251"},
        {cbAutostartDragDrop, "252"},
        {cbAutostartCmd, "253"},
        {cbShowResult, "254"},
        {cbResultIfUnclean, "255"},
        {Label10, "256"},
        {btnFileAssoc, "260"},
        {btnSetKeys, "261"},
        {cbOneInstance, "262"},
        {labelPlayer, "263"},
    });
    NameAfter(tbPriority, Label10);
    tbPriorityChange();
    FillPlayerList();
}

void OtherPage::FillPlayerList()
{
    std::string names =
        GetText(kSettingsSection, "264", QString::fromUtf8(kPlayerNames)).toStdString();
    const int chosen = cbPlayer->currentIndex();
    cbPlayer->clear();
    for (int entry = 0; entry < kPlayerChoiceCount; ++entry)
        cbPlayer->addItem(QString::fromStdString(SplitFirst(names, ",")));
    cbPlayer->setCurrentIndex(chosen < 0 ? 0 : chosen);
}

void OtherPage::tbPriorityChange()
{
    std::string names =
        GetText(kSettingsSection, "257", QString::fromUtf8(kPriorityNames)).toStdString();
    std::string name;
    for (int field = 0; field <= tbPriority->value(); ++field)
        name = SplitFirst(names, ",");
    labelPriority->setText(QString::fromStdString(name));
}

void OtherPage::btnSetKeysClick()
{
    if (m_hooks.openFile)
        m_hooks.openFile(
            QString::fromStdString(KeyBindingFile(platform::ProgramFolder(), GetEnvVar("HOME"))));
}

void OtherPage::ApplyOptions(const Options& options)
{
    cbDisableScrSaver->setChecked(options.DisableScrSaver);
    cbAutostartDragDrop->setChecked(options.AutoStartDragDrop);
    cbAutostartCmd->setChecked(options.AutoStartCmdLine);
    cbShowResult->setChecked(options.ShowResultWindow);
    cbResultIfUnclean->setChecked(options.ShowResultOnErrorOnly);
    tbPriority->setValue(ClampToRange(options.MPlayerPriority, kMPlayerPriorityRange));
    cbOneInstance->setChecked(options.OneInstanceOnly);
    // A stored choice outside the list is Automatic.
    const bool known = options.Player >= 0 && options.Player < kPlayerChoiceCount;
    cbPlayer->setCurrentIndex(known ? options.Player : kPlayerAutomatic);
}

void OtherPage::GatherOptions(Options& options) const
{
    options.DisableScrSaver = cbDisableScrSaver->isChecked();
    options.AutoStartDragDrop = cbAutostartDragDrop->isChecked();
    options.AutoStartCmdLine = cbAutostartCmd->isChecked();
    options.ShowResultWindow = cbShowResult->isChecked();
    options.ShowResultOnErrorOnly = cbResultIfUnclean->isChecked();
    options.MPlayerPriority = tbPriority->value();
    options.OneInstanceOnly = cbOneInstance->isChecked();
    options.Player = cbPlayer->currentIndex();
}

} // namespace zuv
