#pragma once

#include <QString>

namespace zuv {

class TZUVMainForm;

// Shows the main window, each page of the settings dialog and the equalizer in turn and saves a
// picture of each into `folder` (main.png, settings-video.png ... settings-info.png,
// equalizer.png). Every saved file and the program folder are named on standard output. The
// answer is the program's exit code: 0 when every window appeared and was saved; 1 otherwise,
// after naming the window on standard error.
int TakeScreenshots(TZUVMainForm& form, const QString& folder);

} // namespace zuv
