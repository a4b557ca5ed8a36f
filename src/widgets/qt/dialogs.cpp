#include "widgets/qt/dialogs.h"

#include "platform/system_log.h"

#include <QFileDialog>

namespace zuv {

namespace {

std::deque<QMessageBox::StandardButton> g_nextAnswers;
bool g_autoAnswer = false;
bool g_unattended = false;
std::vector<MessageBox::Shown> g_shown;

std::deque<QStringList> g_nextFiles;
std::optional<FileDialog> g_lastFileDialog;

QMessageBox::StandardButton DefaultAnswer(QMessageBox::StandardButtons buttons)
{
    for (const auto button :
         {QMessageBox::Ok, QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel}) {
        if (buttons.testFlag(button))
            return button;
    }
    return QMessageBox::NoButton;
}

void ReportUnattended(const QString& caption, const QString& text)
{
    platform::ReportUnattended((caption + QStringLiteral(": ") + text).toStdString());
}

} // namespace

QMessageBox::StandardButton MessageBox::Show(QWidget* owner, QMessageBox::Icon icon,
                                             const QString& caption, const QString& text,
                                             QMessageBox::StandardButtons buttons)
{
    g_shown.push_back({icon, caption, text});
    if (!g_nextAnswers.empty()) {
        const auto answer = g_nextAnswers.front();
        g_nextAnswers.pop_front();
        return answer;
    }
    if (g_unattended) {
        ReportUnattended(caption, text);
        return DefaultAnswer(buttons);
    }
    if (g_autoAnswer)
        return DefaultAnswer(buttons);
    QMessageBox box(icon, caption, text, buttons, owner);
    const auto answer = static_cast<QMessageBox::StandardButton>(box.exec());
    if (!g_unattended)
        return answer;
    // Closed by a request to end, not by the user.
    ReportUnattended(caption, text);
    return DefaultAnswer(buttons);
}

void MessageBox::SetUnattended(bool on)
{
    g_unattended = on;
}

bool MessageBox::Unattended()
{
    return g_unattended;
}

void MessageBox::SetNextAnswer(QMessageBox::StandardButton answer)
{
    g_nextAnswers.push_back(answer);
}

void MessageBox::SetAutoAnswer(bool on)
{
    g_autoAnswer = on;
}

const std::vector<MessageBox::Shown>& MessageBox::ShownBoxes()
{
    return g_shown;
}

void MessageBox::ClearShownBoxes()
{
    g_shown.clear();
}

FileDialog::FileDialog(Mode mode, QString dialogTitle, QString dialogFilter)
    : title(std::move(dialogTitle)), filter(std::move(dialogFilter)), m_mode(mode)
{}

QStringList FileDialog::NameFilters(const QString& filter)
{
    // Pairs of description and patterns; Qt wants "description (patterns)" with blanks.
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
        // "*.*" means every file where the filters were written; here it would leave out the
        // names without a dot, which "*" takes in (and means every file on Windows too).
        for (QString& pattern : patterns) {
            if (pattern.trimmed() == QStringLiteral("*.*"))
                pattern = QStringLiteral("*");
        }
        filters << parts[i] + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) +
                       QLatin1Char(')');
    }
    if (filters.isEmpty())
        filters << QStringLiteral("(*)");
    return filters;
}

QStringList FileDialog::Execute(QWidget* owner)
{
    g_lastFileDialog = *this;
    if (!g_nextFiles.empty()) {
        QStringList answer = g_nextFiles.front();
        g_nextFiles.pop_front();
        return answer;
    }
    QFileDialog dialog(owner, title, initialFolder);
    dialog.setNameFilters(NameFilters(filter));
    dialog.setOption(QFileDialog::DontResolveSymlinks, false);
    switch (m_mode) {
    case Mode::OpenFiles:
        dialog.setFileMode(QFileDialog::ExistingFiles);
        break;
    case Mode::OpenFile:
        dialog.setFileMode(QFileDialog::ExistingFile);
        break;
    case Mode::SaveFile:
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setDefaultSuffix(defaultSuffix);
        break;
    }
    if (dialog.exec() != QDialog::Accepted)
        return {};
    initialFolder = dialog.directory().absolutePath();
    return dialog.selectedFiles();
}

void FileDialog::SetNextAnswer(const QStringList& files)
{
    g_nextFiles.push_back(files);
}

std::optional<FileDialog> FileDialog::LastShown()
{
    return g_lastFileDialog;
}

} // namespace zuv
