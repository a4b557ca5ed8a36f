#pragma once

#include "lang/qt/translate.h"
#include "widgets/qt/named_control.h"

#include <QString>

#include <functional>
#include <initializer_list>
#include <utility>

class QCheckBox;
class QHBoxLayout;
class QLabel;
class QSlider;
class QVBoxLayout;

namespace zuv {

// Things the settings dialog opens that other windows own.
struct SettingsHooks
{
    std::function<void()> showEqualizer;
    std::function<void()> showFileTypes;
    // Opens a file in the desktop's program for it (the key-binding file).
    std::function<void(const QString& path)> openFile;
    // Asks for a font file or folder; empty when cancelled.
    std::function<QString(const QString& title, const QString& startFolder)> browseFont;
};

// The language file's section of the settings dialog.
inline constexpr char kSettingsSection[] = "Settings";

// One page of the settings dialog. Each page makes, translates, fills and reads its own controls.
class SettingsPage : public TabSheet
{
    Q_OBJECT

public:
    SettingsPage(const char* name, const QString& caption);

protected:
    // The tab's caption from the language file, when it has one.
    void TranslateCaption(const char* key);
    // Applies the Settings texts of the language file to the page's components.
    static void TranslateComponents(std::initializer_list<std::pair<QObject*, const char*>> keys);
    // The page's column of controls.
    QVBoxLayout* PageLayout();
    QSlider* AddTrackBar(const char* name, int minimum, int maximum, int page, int tick,
                         int position);
    QSlider* MakeTrackBar(const char* name, int minimum, int maximum, int page, int tick,
                          int position);
    QCheckBox* AddCheck(const char* name, const QString& text);
    // A heading with a rule under it.
    QLabel* AddHeading(const char* name, const QString& text);
    // A right-aligned label that shows a track bar's value.
    QLabel* MakeValueLabel(const char* name);
    // A control with another beside it at the right edge.
    QHBoxLayout* AddRow(QWidget* left, QWidget* right);
    // Enables the targets exactly when the check box is on.
    void EnableWith(QCheckBox* source, std::initializer_list<QWidget*> targets);

private:
    QVBoxLayout* m_layout = nullptr;
};

} // namespace zuv
