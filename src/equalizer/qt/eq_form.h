#pragma once

#include "equalizer/band_values.h"
#include "equalizer/preset_file.h"
#include "options/options.h"

#include <QWidget>

#include <array>
#include <string>
#include <string_view>

class QComboBox;
class QLabel;
class QPushButton;
class QSlider;

namespace zuv {

// The equalizer tool window: ten band sliders, which are the only store of the gains, and the
// named presets of "equalizer.ini". Closing it only hides it; the presets reach the disk when the
// window is destroyed.
class TEQForm : public QWidget
{
    Q_OBJECT

public:
    // Reads the preset file from `folders` and builds the preset list.
    explicit TEQForm(QWidget* parent = nullptr, PresetFolders folders = PresetFolders::Default());
    // Writes the presets back (falling back to the profile folder).
    ~TEQForm() override;

    // The band value string of the sliders.
    std::string GetEQSettings() const;
    // Applies a band value string; false (nothing changed) when it is empty or too short.
    bool SetEQSettings(std::string_view text);
    // The preset name shown, or empty for the default entry.
    std::string GetEQPreset() const;
    // Selects the default entry (empty name) or the preset of that name, or nothing. The gains
    // and the buttons stay as they are.
    void SetEQPreset(std::string_view name);
    // Fills the preset list from the preset file, keeping the shown name selected when it is
    // still there.
    void LoadPresetList();
    void TranslateEQForm();

    // EQPreset first, then EQSettings, so the sliders show the gains last used.
    void ApplyOptions(const Options& options);
    void GatherOptions(Options& options) const;

    EqualizerPositions Positions() const;
    const EqualizerPresetFile& PresetFile() const { return m_presets; }

    // The handlers, public so that tests can drive them as the user would.
    void comboPresetChange();
    void btnSaveClick();
    void btnDelClick();
    void btnCloseClick();

    // Controls, named as the window was designed.
    QSlider* TrackBar1;
    QSlider* TrackBar2;
    QSlider* TrackBar3;
    QSlider* TrackBar4;
    QSlider* TrackBar5;
    QSlider* TrackBar6;
    QSlider* TrackBar7;
    QSlider* TrackBar8;
    QSlider* TrackBar9;
    QSlider* TrackBar10;
    QLabel* Label14;
    QComboBox* comboPreset;
    QPushButton* btnSave;
    QPushButton* btnDel;
    QPushButton* btnClose = nullptr;

protected:
    void changeEvent(QEvent* event) override;

private:
    void CreateControls();
    void ConnectHandlers();
    // Buttons as wide as their captions, the window as large as its controls need.
    void FitToTexts();
    void comboPresetEdited();
    int FindPresetEntry(std::string_view name) const;
    void SelectEntryKeepingText(int index, const QString& text);
    void SetPositions(const EqualizerPositions& positions);

    std::array<QSlider*, kEqualizerBandCount> m_bands{};
    EqualizerPresetFile m_presets;
    // Set while the line edit finishes an edit: the combo then picks a matching entry itself,
    // which is not a pick by the user.
    bool m_finishingEdit = false;
    int m_indexBeforeFinish = -1;
    QString m_textBeforeFinish;
};

} // namespace zuv
