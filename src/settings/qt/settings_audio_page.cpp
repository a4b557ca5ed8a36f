#include "settings/qt/settings_audio_page.h"

#include "util/number_format.h"
#include "widgets/qt/accessible_name.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace zuv {

AudioPage::AudioPage(const SettingsHooks& hooks)
    : SettingsPage("TabSheet2", QStringLiteral("&Audio"))
{
    Label2 = AddHeading("Label2", QStringLiteral("Audio beállítások"));
    cbNormalize = AddCheck("cbNormalize", QStringLiteral("Hang normalizálása"));
    cbSetChannels = Named(new QCheckBox(QStringLiteral("Csatornák száma"), this), "cbSetChannels");
    comboChannels = Named(new QComboBox(this), "comboChannels");
    for (int count = 1; count <= kChannelEntryCount; ++count)
        comboChannels->addItem(QString::number(count));
    comboChannels->setCurrentIndex(-1);
    comboChannels->setEnabled(false);
    AddRow(cbSetChannels, comboChannels);
    cbDolbySurroundDecode =
        AddCheck("cbDolbySurroundDecode", QStringLiteral("Dolby Surround dekódolása"));
    cbSubChannel = AddCheck("cbSubChannel", QStringLiteral("Sub-woofer emuláció (B+J csatorna)"));
    Label9 = Named(new QLabel(QStringLiteral("(5.1-es hang esetén kapcsold ki)"), this), "Label9");
    PageLayout()->addWidget(Label9);
    PageLayout()->addSpacing(6);
    // One line like every other text here: the dialog widens for it rather than guessing a height.
    Label3 =
        Named(new QLabel(QStringLiteral("Ezek nem minden hangártyával működnek:"), this), "Label3");
    PageLayout()->addWidget(Label3);
    cbEqualizer = Named(new QCheckBox(QStringLiteral("Ekvalizer"), this), "cbEqualizer");
    btnShowEQ = Named(new QPushButton(QStringLiteral("Beállít"), this), "btnShowEQ");
    btnShowEQ->setEnabled(false);
    AddRow(cbEqualizer, btnShowEQ);
    cbCustomChannelMapping =
        AddCheck("cbCustomChannelMapping", QStringLiteral("Saját AC3 csatorna-mixelés"));
    cbCustomChannelMapping->hide();
    comboCustomChannelMapping = Named(new QComboBox(this), "comboCustomChannelMapping");
    comboCustomChannelMapping->setEnabled(false);
    comboCustomChannelMapping->hide();
    PageLayout()->addWidget(comboCustomChannelMapping);
    PageLayout()->addStretch();

    EnableWith(cbSetChannels, {comboChannels});
    EnableWith(cbEqualizer, {btnShowEQ});
    EnableWith(cbCustomChannelMapping, {comboCustomChannelMapping});
    connect(btnShowEQ, &QPushButton::clicked, this, [&hooks] {
        if (hooks.showEqualizer)
            hooks.showEqualizer();
    });
}

void AudioPage::Translate()
{
    TranslateCaption("101");
    TranslateComponents({
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
    });
    NameAfter(comboChannels, cbSetChannels);
    NameAfter(comboCustomChannelMapping, cbCustomChannelMapping);
}

void AudioPage::ApplyOptions(const Options& options)
{
    cbNormalize->setChecked(options.Normalize);
    cbSetChannels->setChecked(options.SetChannels);
    comboChannels->setCurrentIndex(ChannelEntryIndex(options.Channels));
    cbSubChannel->setChecked(options.EmulateSubwoofer);
    cbEqualizer->setChecked(options.EQ);
    cbCustomChannelMapping->setChecked(options.CustomAC3Mixing);
    comboCustomChannelMapping->setCurrentIndex(comboCustomChannelMapping->findText(
        QString::fromStdString(options.MixerProfile), Qt::MatchFixedString));
}

void AudioPage::GatherOptions(Options& options) const
{
    options.Normalize = cbNormalize->isChecked();
    options.SetChannels = cbSetChannels->isChecked();
    options.Channels = ChannelsFromEntryIndex(comboChannels->currentIndex());
    options.EmulateSubwoofer = cbSubChannel->isChecked();
    options.EQ = cbEqualizer->isChecked();
    options.CustomAC3Mixing = cbCustomChannelMapping->isChecked();
    options.MixerProfile = FormatInteger(comboCustomChannelMapping->currentIndex());
}

} // namespace zuv
