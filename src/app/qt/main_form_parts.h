#pragma once

// What the main window's source files share: its sources are split by concern (controls and
// options, layout, playlist panel, dropped files), all of them members of TZUVMainForm.

class QPushButton;
class QWidget;

namespace zuv {

// A button that Enter does not press unless it has the focus; its place comes from the layout.
QPushButton* MakeFormButton(QWidget* parent, const char* name);

} // namespace zuv
