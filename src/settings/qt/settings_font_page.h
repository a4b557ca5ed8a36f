#pragma once

#include "options/options.h"
#include "settings/qt/settings_page_parts.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;

namespace zuv {

// The subtitle font page of the settings dialog.
class FontPage : public SettingsPage
{
    Q_OBJECT

public:
    explicit FontPage(const SettingsHooks& hooks);
    void Translate();
    void ApplyOptions(const Options& options);
    void GatherOptions(Options& options) const;
    // The subtitle text scale: 1 + 0.2 x tbFontScale position.
    double GetSubFontScale() const;
    // tbFontScale to (v - 1) x 5 rounded half up, within 0..25.
    void SetSubFontScale(double scale);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FillFontList() const;
    void tbFontScaleChange();
    void edFontChange();
    void comboFontChange();
    void btnBrowseFontClick();

    const SettingsHooks& m_hooks;
    QLabel* Label4 = nullptr;
    QComboBox* comboFont = nullptr;
    QLineEdit* edFont = nullptr;
    QPushButton* btnBrowseFont = nullptr;
    QCheckBox* cbFontScale = nullptr;
    QLabel* labelFontScale = nullptr;
    QSlider* tbFontScale = nullptr;
    QCheckBox* cbSubFontOutline = nullptr;
    QSlider* tbSubFontOutline = nullptr;
    QCheckBox* cbSubFontBlur = nullptr;
    QSlider* tbSubFontBlur = nullptr;
    QLabel* Label5 = nullptr;
    QComboBox* comboSubCp = nullptr;
    // Reading the installed fonts costs tens of milliseconds, so comboFont is filled when it is
    // first seen or its text is first needed; until then the stored face waits here.
    mutable bool m_fontListFilled = false;
    QString m_storedFontFace;
};

} // namespace zuv
