#pragma once

#include "options/options.h"

#include <QWidget>

#include <functional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;
class QTabWidget;

namespace zuv {

class TabSheet;
class TMarkupLabel;

// The settings dialog: the less frequent options on five pages (Video, Audio, Font, Other, Info).
// It has no caption bar of its own and hangs at the main window's right edge, following it.
class TSettingsForm : public QWidget
{
    Q_OBJECT

public:
    // Things the dialog opens that other windows own.
    struct Hooks
    {
        std::function<void()> showEqualizer;
        std::function<void()> showFileTypes;
        // Opens a file in the desktop's program for it (the key-binding file).
        std::function<void(const QString& path)> openFile;
        // Asks for a font file or folder; empty when cancelled.
        std::function<QString(const QString& title, const QString& startFolder)> browseFont;
    };

    // `mainWindow` owns the dialog and is the window it hangs beside.
    explicit TSettingsForm(QWidget* mainWindow);

    void SetHooks(Hooks hooks) { m_hooks = std::move(hooks); }

    // Puts the dialog at the main window's right edge, 16 pixels below its top.
    void PlaceBesideMainWindow();
    // The subtitle text scale: 1 + 0.2 x tbFontScale position.
    double GetSubFontScale() const;
    // tbFontScale to (v - 1) x 5 rounded half up, within 0..25.
    void SetSubFontScale(double scale);
    void TranslateSettingsForm();
    // Fills `%v` and `%m` of the information text; may run again when a version becomes known.
    void SetVersions(const QString& programVersion, const QString& playerVersion);
    // Builds the language list from the language files.
    void FillLanguageList();

    // The options this dialog holds, from and to the controls.
    void ApplyOptions(const Options& options);
    void GatherOptions(Options& options) const;

    // Controls, named as the dialog was designed.
    QTabWidget* PageControl1;
    TabSheet* TabSheet1;
    TabSheet* TabSheet2;
    TabSheet* TabSheet3;
    TabSheet* TabSheet4;
    TabSheet* TabSheet5;

    QLabel* Label1;
    QCheckBox* cbDoubleBuffer;
    QCheckBox* cbDri;
    QCheckBox* cbEq2;
    QCheckBox* cbPostProcessing;
    QLabel* Label8;
    QCheckBox* cbYUY2;
    QCheckBox* cbExpand;
    QCheckBox* cbPanScan;
    QLabel* labelPanScan;
    QSlider* tbPanScan;

    QLabel* Label2;
    QCheckBox* cbNormalize;
    QCheckBox* cbSetChannels;
    QComboBox* comboChannels;
    QCheckBox* cbDolbySurroundDecode;
    QCheckBox* cbSubChannel;
    QLabel* Label9;
    QLabel* Label3;
    QCheckBox* cbEqualizer;
    QPushButton* btnShowEQ;
    QCheckBox* cbCustomChannelMapping;
    QComboBox* comboCustomChannelMapping;

    QLabel* Label4;
    QComboBox* comboFont;
    QLineEdit* edFont;
    QPushButton* btnBrowseFont;
    QCheckBox* cbFontScale;
    QLabel* labelFontScale;
    QSlider* tbFontScale;
    QCheckBox* cbSubFontOutline;
    QSlider* tbSubFontOutline;
    QCheckBox* cbSubFontBlur;
    QSlider* tbSubFontBlur;
    QLabel* Label5;
    QComboBox* comboSubCp;

    QCheckBox* cbDisableScrSaver;
    QCheckBox* cbAutostartDragDrop;
    QCheckBox* cbAutostartCmd;
    QCheckBox* cbOneInstance;
    QCheckBox* cbShowResult;
    QCheckBox* cbResultIfUnclean;
    QLabel* Label10;
    QLabel* labelPriority;
    QSlider* tbPriority;
    QPushButton* btnFileAssoc;
    QPushButton* btnSetKeys;

    TMarkupLabel* InfoLabel;
    QLabel* Label7;
    QComboBox* comboLang;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateVideoPage();
    void CreateAudioPage();
    void CreateFontPage();
    void CreateOtherPage();
    void CreateInfoPage();
    void ConnectRules();
    void ShowInfoText();
    void FillFontList() const;
    void SetActivePage(int storedPage);
    void PageChosen();

    void tbPanScanChange();
    void tbFontScaleChange();
    void tbPriorityChange();
    void edFontChange();
    void comboFontChange();
    void comboLangChange(int index);
    void btnSetKeysClick();
    void btnBrowseFontClick();

    Hooks m_hooks;
    QStringList m_infoLines; // the information text with "%v" and "%m" still in place
    QString m_programVersion;
    QString m_playerVersion;
    QString m_infoLastLine; // the language file's last line, once one had it
    bool m_fillingLanguages = false;
    int m_languageEntry = 0;     // the entry of comboLang chosen last
    bool m_noActivePage = false; // a stored page outside the range leaves none chosen
    // Reading the installed fonts costs tens of milliseconds, so comboFont is filled when it is
    // first seen or its text is first needed; until then the stored face waits here.
    mutable bool m_fontListFilled = false;
    QString m_storedFontFace;
};

// The information text of the Info page, twelve lines with "%v" and "%m" still in place.
QStringList SettingsInfoText();

} // namespace zuv
