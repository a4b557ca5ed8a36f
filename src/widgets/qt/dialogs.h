#pragma once

#include <QMessageBox>
#include <QString>
#include <QStringList>

#include <deque>
#include <functional>
#include <optional>

class QWidget;

namespace zuv {

// Modal message boxes of the program. Tests queue answers so that no box ever blocks them; each
// shown box is recorded.
class MessageBox
{
public:
    struct Shown
    {
        QMessageBox::Icon icon;
        QString caption;
        QString text;
    };

    static QMessageBox::StandardButton Show(QWidget* owner, QMessageBox::Icon icon,
                                            const QString& caption, const QString& text,
                                            QMessageBox::StandardButtons buttons = QMessageBox::Ok);

    // Test seam: the next boxes answer these buttons at once instead of waiting for the user.
    static void SetNextAnswer(QMessageBox::StandardButton answer);
    // Test seam: answer every box with its default button (Ok/Yes...) without showing it.
    static void SetAutoAnswer(bool on);
    // After a request to end (a logout, say) nobody may be asked to wait: every box from then on
    // takes its default button unseen, and its text goes to standard error and the system log.
    // A box open at that moment is closed by the end of the event loops and reported too.
    static void SetUnattended(bool on);
    static bool Unattended();
    static const std::vector<Shown>& ShownBoxes();
    static void ClearShownBoxes();
};

// A file open or save dialog as the program configures it: title, filter in the
// "description|patterns|description|patterns" form, initial folder.
class FileDialog
{
public:
    enum class Mode
    {
        OpenFiles, // several existing files
        OpenFile,  // one existing file
        SaveFile,  // asks before overwriting
    };

    FileDialog(Mode mode, QString dialogTitle, QString dialogFilter = {});

    QString title;
    QString filter;
    QString initialFolder;
    QString defaultSuffix;

    // The chosen files in the dialog's order; empty when the user cancels.
    QStringList Execute(QWidget* owner);

    // Turns "Movie files|*.avi;*.mpg|All files|*.*" into Qt's name filters, "*.*" into "*".
    static QStringList NameFilters(const QString& filter);

    // Test seam: the next Execute calls return these answers (empty list = cancel).
    static void SetNextAnswer(const QStringList& files);
    static std::optional<FileDialog> LastShown();

private:
    Mode m_mode;
};

} // namespace zuv
