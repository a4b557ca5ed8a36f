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

    // Controls, named as the window was designed.
    QSlider* TrackBar1 = nullptr;
    QSlider* TrackBar2 = nullptr;
    QSlider* TrackBar3 = nullptr;
    QSlider* TrackBar4 = nullptr;
    QSlider* TrackBar5 = nullptr;
    QSlider* TrackBar6 = nullptr;
    QSlider* TrackBar7 = nullptr;
    QSlider* TrackBar8 = nullptr;
    QSlider* TrackBar9 = nullptr;
    QSlider* TrackBar10 = nullptr;
    QLabel* Label14 = nullptr;
    QComboBox* comboPreset = nullptr;
    QPushButton* btnSave = nullptr;
    QPushButton* btnDel = nullptr;
    QPushButton* btnClose = nullptr;

    std::array<QSlider*, kEqualizerBandCount> m_bands{};
    EqualizerPresetFile m_presets;
    // Set while the line edit finishes an edit: the combo then picks a matching entry itself,
    // which is not a pick by the user.
    bool m_finishingEdit = false;
    int m_indexBeforeFinish = -1;
    QString m_textBeforeFinish;
    // Set once every control exists; a font change before that has nothing to fit.
    bool m_controlsCreated = false;
};

} // namespace zuv
