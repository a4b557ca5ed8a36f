#include "settings/qt/settings_font_page.h"

#include "platform/qt/file_name.h"
#include "settings/font_list.h"
#include "util/number_format.h"
#include "widgets/qt/accessible_name.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QStyle>
#include <QVBoxLayout>

#include <string>
#include <vector>

namespace zuv {

FontPage::FontPage(const SettingsHooks& hooks)
    : SettingsPage("TabSheet3", QStringLiteral("&Betűkészlet")), m_hooks(hooks)
{
    Label4 = Named(new QLabel(QStringLiteral("Betűtípus (alapértelmezett: üres)"), this), "Label4");
    PageLayout()->addWidget(Label4);
    comboFont = Named(new QComboBox(this), "comboFont");
    comboFont->addItem(QString()); // no font; the installed ones follow when first needed
    // The installed fonts' names do not widen the dialog; the open list shows them whole.
    comboFont->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    comboFont->installEventFilter(this);
    PageLayout()->addWidget(comboFont);
    edFont = Named(new QLineEdit(this), "edFont");
    btnBrowseFont = Named(new QPushButton(QStringLiteral("Tallóz"), this), "btnBrowseFont");
    AddRow(edFont, btnBrowseFont);
    cbFontScale = Named(new QCheckBox(QStringLiteral("Betűtípus méret"), this), "cbFontScale");
    cbFontScale->setEnabled(false);
    labelFontScale = MakeValueLabel("labelFontScale");
    labelFontScale->setEnabled(false);
    AddRow(cbFontScale, labelFontScale);
    tbFontScale = AddTrackBar("tbFontScale", 0, 25, 1, 5, 1);
    tbFontScale->setEnabled(false);
    cbSubFontOutline = AddCheck("cbSubFontOutline", QStringLiteral("Betű szegélyméret"));
    cbSubFontOutline->setEnabled(false);
    tbSubFontOutline = AddTrackBar("tbSubFontOutline", 0, 8, 1, 1, 2);
    tbSubFontOutline->setEnabled(false);
    cbSubFontBlur = AddCheck("cbSubFontBlur", QStringLiteral("Betűszegély elmosás"));
    cbSubFontBlur->setEnabled(false);
    tbSubFontBlur = AddTrackBar("tbSubFontBlur", 0, 8, 1, 1, 2);
    tbSubFontBlur->setEnabled(false);
    Label5 = Named(new QLabel(QStringLiteral("Sub kódolás:"), this), "Label5");
    comboSubCp = Named(new QComboBox(this), "comboSubCp");
    comboSubCp->setEditable(true);
    comboSubCp->setInsertPolicy(QComboBox::NoInsert);
    for (const char* name :
         {"iso-8859-1", "iso-8859-2", "iso-8859-3", "iso-8859-5", "iso-8859-6", "iso-8859-7",
          "iso-8859-8", "iso-8859-9", "iso-8859-10", "iso-8859-13", "iso-8859-14", "iso-8859-15",
          "iso-8859-16", "koi-8", "chinese", "utf-8", "unicode"})
        comboSubCp->addItem(QString::fromLatin1(name));
    comboSubCp->setEditText(QStringLiteral("latin2"));
    AddRow(Label5, comboSubCp);
    PageLayout()->addStretch();

    EnableWith(cbFontScale, {tbFontScale, labelFontScale});
    EnableWith(cbSubFontOutline, {tbSubFontOutline});
    EnableWith(cbSubFontBlur, {tbSubFontBlur});
    connect(edFont, &QLineEdit::textChanged, this, &FontPage::edFontChange);
    connect(tbFontScale, &QSlider::valueChanged, this, &FontPage::tbFontScaleChange);
    connect(comboFont, &QComboBox::activated, this, &FontPage::comboFontChange);
    connect(btnBrowseFont, &QPushButton::clicked, this, &FontPage::btnBrowseFontClick);
    tbFontScaleChange();
}

void FontPage::Translate()
{
    TranslateCaption("102");
    TranslateComponents({
        {Label4, "300"},
        {btnBrowseFont, "302"},
        {cbFontScale, "310"},
        {Label5, "320"},
        {cbSubFontOutline, "330"},
        {cbSubFontBlur, "331"},
    });
    NameAfter(comboFont, Label4);
    NameAfter(edFont, Label4);
    NameAfter(tbFontScale, cbFontScale);
    NameAfter(tbSubFontOutline, cbSubFontOutline);
    NameAfter(tbSubFontBlur, cbSubFontBlur);
    NameAfter(comboSubCp, Label5);
}

double FontPage::GetSubFontScale() const
{
    return SubFontScaleFromPosition(tbFontScale->value());
}

void FontPage::SetSubFontScale(double scale)
{
    tbFontScale->setValue(SubFontScalePosition(scale));
}

void FontPage::tbFontScaleChange()
{
    labelFontScale->setText(QString::fromStdString(FormatDecimal(GetSubFontScale())) +
                            QStringLiteral(" %"));
}

void FontPage::edFontChange()
{
    const bool hasFont = !edFont->text().isEmpty();
    cbFontScale->setEnabled(hasFont);
    cbSubFontOutline->setEnabled(hasFont);
    cbSubFontBlur->setEnabled(hasFont);
}

void FontPage::comboFontChange()
{
    edFont->setText(
        platform::NameToQString(FontFileFromName(comboFont->currentText().toStdString())));
}

void FontPage::btnBrowseFontClick()
{
    if (!m_hooks.browseFont)
        return;
    const QString title =
        GetText(kSettingsSection, "303",
                QStringLiteral("Válaszd ki betűtípust. Csak TrueType/OpenType jó! (*.TTF)"));
    const QString path = m_hooks.browseFont(
        title, platform::NameToQString(FontBrowseFolder(platform::NameToBytes(edFont->text()))));
    if (!path.isEmpty())
        edFont->setText(path);
}

void FontPage::FillFontList() const
{
    if (m_fontListFilled)
        return;
    m_fontListFilled = true;
    std::vector<std::string> names;
    if (ReadInstalledFonts(names, true)) {
        for (const std::string& name : names)
            comboFont->addItem(QString::fromStdString(name));
    }
    QAbstractItemView* list = comboFont->view();
    list->setMinimumWidth(list->sizeHintForColumn(0) +
                          list->style()->pixelMetric(QStyle::PM_ScrollBarExtent) +
                          2 * list->frameWidth());
    comboFont->setCurrentIndex(comboFont->findText(m_storedFontFace, Qt::MatchFixedString));
}

void FontPage::ApplyOptions(const Options& options)
{
    m_storedFontFace = QString::fromStdString(options.FontFace);
    if (m_fontListFilled)
        comboFont->setCurrentIndex(comboFont->findText(m_storedFontFace, Qt::MatchFixedString));
    edFont->setText(platform::NameToQString(options.Font));
    cbFontScale->setChecked(options.SetFontScale);
    SetSubFontScale(options.FontScale);
    cbSubFontOutline->setChecked(options.SubfontOutline);
    tbSubFontOutline->setValue(
        ClampToRange(options.SubfontOutlineValue, kSubfontOutlineValueRange));
    cbSubFontBlur->setChecked(options.SubfontBlur);
    tbSubFontBlur->setValue(ClampToRange(options.SubfontBlurValue, kSubfontBlurValueRange));
    comboSubCp->setEditText(QString::fromStdString(options.SubCp));
}

void FontPage::GatherOptions(Options& options) const
{
    options.Font = platform::NameToBytes(edFont->text());
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

bool FontPage::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == comboFont && event->type() == QEvent::Show)
        FillFontList();
    return SettingsPage::eventFilter(watched, event);
}

} // namespace zuv
