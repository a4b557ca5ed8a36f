#include "equalizer/qt/eq_form.h"

#include "lang/qt/translate.h"
#include "util/case_fold.h"
#include "util/text_utils.h"
#include "widgets/qt/accessible_name.h"
#include "widgets/qt/control_fit.h"
#include "widgets/qt/desktop_window.h"

#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

namespace zuv {

namespace {

constexpr char kSection[] = "Equalizer";
// The drawn client area, the least the window gets.
constexpr QSize kDrawnSize(377, 200);

const char* const kBandLabels[kEqualizerBandCount] = {"31.25", "62.5", "125", "250", "500",
                                                      "1k",    "2k",   "4k",  "8k",  "16k"};

QString DefaultEntryName()
{
    return GetText(kSection, "101", QStringLiteral("Alapérték"));
}

QSlider* MakeBand(QWidget* parent)
{
    auto* bar = new QSlider(Qt::Vertical, parent);
    bar->setRange(kEqualizerMinPosition, kEqualizerMaxPosition);
    bar->setPageStep(20);
    bar->setSingleStep(1);
    bar->setTickInterval(20);
    bar->setTickPosition(QSlider::TicksRight);
    // The minimum (+12 dB) at the top; the arrow keys and the wheel move the thumb the way they
    // point.
    bar->setInvertedAppearance(true);
    bar->setInvertedControls(true);
    bar->setValue(0);
    return bar;
}

QLabel* MakeSmallLabel(const QString& text, Qt::Alignment alignment, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setAlignment(alignment);
    return label;
}

} // namespace

TEQForm::TEQForm(QWidget* parent, PresetFolders folders)
    : QWidget(parent, SecondaryWindowType()), m_presets(std::move(folders))
{
    setObjectName(QStringLiteral("EQForm"));
    setWindowTitle(QStringLiteral("Ekvalizer"));
    CloseOnEscape(*this);
    CreateControls();
    ConnectHandlers();
    LoadPresetList();
    // Nothing is chosen until the stored options arrive.
    comboPreset->setCurrentIndex(-1);
    TranslateEQForm();
}

TEQForm::~TEQForm()
{
    // Where the presets end up is no business of the user's: the fallback is silent.
    m_presets.WriteBack();
}

void TEQForm::CreateControls()
{
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(8, 6, 8, 6);
    outer->setSpacing(4);

    auto* bands = new QGridLayout;
    bands->setHorizontalSpacing(2);
    bands->setVerticalSpacing(0);
    auto* scale = new QVBoxLayout;
    scale->setSpacing(0);
    scale->addWidget(MakeSmallLabel(QStringLiteral("+12 dB"), Qt::AlignRight | Qt::AlignTop, this));
    scale->addStretch();
    scale->addWidget(
        MakeSmallLabel(QStringLiteral("0 dB"), Qt::AlignRight | Qt::AlignVCenter, this));
    scale->addStretch();
    scale->addWidget(
        MakeSmallLabel(QStringLiteral("-12 dB"), Qt::AlignRight | Qt::AlignBottom, this));
    bands->addLayout(scale, 0, 0);
    for (int band = 0; band < kEqualizerBandCount; ++band) {
        m_bands[band] = MakeBand(this);
        m_bands[band]->setObjectName(QStringLiteral("TrackBar") + QString::number(band + 1));
        bands->addWidget(m_bands[band], 0, band + 1, Qt::AlignHCenter);
        bands->addWidget(
            MakeSmallLabel(QString::fromLatin1(kBandLabels[band]), Qt::AlignHCenter, this), 1,
            band + 1);
        // The band's frequency under it is its name, in every language.
        m_bands[band]->setAccessibleName(QString::fromLatin1(kBandLabels[band]));
        bands->setColumnStretch(band + 1, 1);
    }
    TrackBar1 = m_bands[0];
    TrackBar2 = m_bands[1];
    TrackBar3 = m_bands[2];
    TrackBar4 = m_bands[3];
    TrackBar5 = m_bands[4];
    TrackBar6 = m_bands[5];
    TrackBar7 = m_bands[6];
    TrackBar8 = m_bands[7];
    TrackBar9 = m_bands[8];
    TrackBar10 = m_bands[9];
    outer->addLayout(bands, 1);

    auto* rule = new QFrame(this);
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);
    outer->addWidget(rule);

    auto* presets = new QHBoxLayout;
    Label14 = new QLabel(QStringLiteral("Beállítások"), this);
    comboPreset = new QComboBox(this);
    comboPreset->setObjectName(QStringLiteral("comboPreset"));
    // Our own line edit, so that we hear of a finished edit before the combo acts on it.
    auto* edit = new QLineEdit(comboPreset);
    connect(edit, &QLineEdit::editingFinished, this, [this] {
        m_finishingEdit = true;
        m_indexBeforeFinish = comboPreset->currentIndex();
        m_textBeforeFinish = comboPreset->lineEdit()->text();
    });
    comboPreset->setEditable(true);
    comboPreset->setLineEdit(edit);
    // Qt may select the entry that a typed name matches when the edit finishes (the click on
    // Ment finishes it); the name stays typed, or saving would store that preset's old gains.
    connect(edit, &QLineEdit::editingFinished, this, [this] {
        m_finishingEdit = false;
        if (comboPreset->currentIndex() != m_indexBeforeFinish)
            SelectEntryKeepingText(m_indexBeforeFinish, m_textBeforeFinish);
    });
    comboPreset->setInsertPolicy(QComboBox::NoInsert);
    // Room for a preset name of a dozen letters, whatever the captions beside it take.
    comboPreset->setMinimumContentsLength(12);
    comboPreset->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    // Completing a typed name would load a preset while the user types.
    comboPreset->setCompleter(nullptr);
    btnSave = new QPushButton(QStringLiteral("Ment"), this);
    btnSave->setEnabled(false);
    btnDel = new QPushButton(QStringLiteral("Töröl"), this);
    btnDel->setEnabled(false);
    btnClose = new QPushButton(QStringLiteral("Bezár"), this);
    Label14->setObjectName(QStringLiteral("Label14"));
    btnSave->setObjectName(QStringLiteral("btnSave"));
    btnDel->setObjectName(QStringLiteral("btnDel"));
    btnClose->setObjectName(QStringLiteral("btnClose"));
    for (QPushButton* button : {btnSave, btnDel, btnClose})
        button->setAutoDefault(false);
    presets->addWidget(Label14);
    presets->addWidget(comboPreset, 1);
    presets->addWidget(btnSave);
    presets->addWidget(btnDel);
    presets->addWidget(btnClose);
    outer->addLayout(presets);
    m_controlsCreated = true;
}

void TEQForm::ConnectHandlers()
{
    // Only what the user does: the program's own changes of the list never load a preset.
    connect(comboPreset, &QComboBox::activated, this, [this] {
        if (!m_finishingEdit)
            comboPresetChange();
    });
    connect(comboPreset->lineEdit(), &QLineEdit::textEdited, this, &TEQForm::comboPresetEdited);
    connect(btnSave, &QPushButton::clicked, this, &TEQForm::btnSaveClick);
    connect(btnDel, &QPushButton::clicked, this, &TEQForm::btnDelClick);
    connect(btnClose, &QPushButton::clicked, this, &TEQForm::btnCloseClick);
}

EqualizerPositions TEQForm::Positions() const
{
    EqualizerPositions positions{};
    for (int band = 0; band < kEqualizerBandCount; ++band)
        positions[band] = m_bands[band]->value();
    return positions;
}

void TEQForm::SetPositions(const EqualizerPositions& positions)
{
    for (int band = 0; band < kEqualizerBandCount; ++band)
        m_bands[band]->setValue(positions[band]);
}

std::string TEQForm::GetEQSettings() const
{
    return FormatBandValueString(Positions());
}

bool TEQForm::SetEQSettings(std::string_view text)
{
    EqualizerPositions positions = Positions();
    if (!ApplyBandValueString(text, positions))
        return false;
    SetPositions(positions);
    return true;
}

std::string TEQForm::GetEQPreset() const
{
    if (comboPreset->currentIndex() == 0)
        return {};
    return comboPreset->currentText().toStdString();
}

void TEQForm::SetEQPreset(std::string_view name)
{
    comboPreset->setCurrentIndex(name.empty() ? 0 : FindPresetEntry(name));
}

int TEQForm::FindPresetEntry(std::string_view name) const
{
    // The same letter-case rule as the preset file's section names.
    for (int index = 0; index < comboPreset->count(); ++index) {
        if (SameTextIgnoringCase(comboPreset->itemText(index).toStdString(), name))
            return index;
    }
    return -1;
}

void TEQForm::LoadPresetList()
{
    const std::string shown = comboPreset->currentText().toStdString();
    comboPreset->clear();
    comboPreset->addItem(DefaultEntryName());
    for (const std::string& name : m_presets.PresetNames())
        comboPreset->addItem(QString::fromStdString(name));
    comboPreset->setCurrentIndex(FindPresetEntry(shown));
}

void TEQForm::SelectEntryKeepingText(int index, const QString& text)
{
    QLineEdit* edit = comboPreset->lineEdit();
    const int cursor = edit->cursorPosition();
    comboPreset->setCurrentIndex(index);
    edit->setText(text);
    edit->setCursorPosition(cursor);
}

void TEQForm::comboPresetEdited()
{
    // A typed name is no entry of the list, even when it spells one.
    if (comboPreset->currentIndex() != -1)
        SelectEntryKeepingText(-1, comboPreset->lineEdit()->text());
    comboPresetChange();
}

void TEQForm::comboPresetChange()
{
    const int index = comboPreset->currentIndex();
    btnSave->setEnabled(index != 0);
    btnDel->setEnabled(index >= 1);
    if (index == 0)
        SetPositions({});
    else if (index >= 1)
        SetEQSettings(m_presets.PresetValue(comboPreset->itemText(index).toStdString()));
}

void TEQForm::btnSaveClick()
{
    m_presets.SavePreset(comboPreset->currentText().toStdString(), GetEQSettings());
    LoadPresetList();
}

void TEQForm::btnDelClick()
{
    if (comboPreset->currentIndex() < 1)
        return;
    m_presets.DeletePreset(comboPreset->currentText().toStdString());
    LoadPresetList();
}

void TEQForm::btnCloseClick()
{
    close();
}

void TEQForm::TranslateEQForm()
{
    setWindowTitle(GetText(kSection, "100", windowTitle()));
    const std::pair<QObject*, const char*> components[] = {
        {btnClose, "102"},
        {btnSave, "103"},
        {btnDel, "104"},
        {Label14, "105"},
    };
    for (const auto& [component, key] : components)
        TranslateComponent(component, kSection, key);
    NameAfter(comboPreset, Label14);
    FitToTexts();
}

void TEQForm::FitToTexts()
{
    // The buttons only as wide as their captions: the preset name gets the room. The window
    // grows where the captions need more than it was drawn with.
    for (QPushButton* button : {btnSave, btnDel, btnClose})
        button->setFixedWidth(std::max(ButtonSizeForCaption(*button).width(), 50));
    FitFixedWindow(*this, kDrawnSize);
}

void TEQForm::changeEvent(QEvent* event)
{
    // A new desktop font changes what the captions need.
    if (event->type() == QEvent::FontChange && m_controlsCreated)
        FitToTexts();
    QWidget::changeEvent(event);
}

void TEQForm::ApplyOptions(const Options& options)
{
    SetEQPreset(options.EQPreset);
    SetEQSettings(options.EQSettings);
}

void TEQForm::GatherOptions(Options& options) const
{
    options.EQPreset = GetEQPreset();
    options.EQSettings = GetEQSettings();
}

} // namespace zuv
