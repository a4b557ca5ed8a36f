#include "app/qt/screenshot_tour.h"

#include "app/qt/main_form.h"
#include "equalizer/qt/eq_form.h"
#include "platform/folders.h"
#include "playback/qt/playback_control.h"
#include "settings/qt/settings_form.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QPixmap>
#include <QTabWidget>
#include <QTextStream>
#include <QThread>
#include <QWindow>

#include <cstdio>

namespace zuv {

namespace {

// A window manager or a busy X server may take a while to map a window.
constexpr int kAppearLimitMs = 10000;

bool WaitUntilExposed(QWidget* window)
{
    QElapsedTimer waited;
    waited.start();
    while (!window->windowHandle() || !window->windowHandle()->isExposed()) {
        if (waited.elapsed() > kAppearLimitMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        QThread::msleep(10);
    }
    // The first paint after the window was mapped.
    QCoreApplication::processEvents();
    return true;
}

} // namespace

int TakeScreenshots(TZUVMainForm& form, const QString& folder)
{
    QTextStream out(stdout);
    QTextStream errors(stderr);
    out << "program folder: " << QString::fromStdString(platform::ProgramFolder()) << '\n';

    // The caption and the Info page show the player's version once it has answered; the answer
    // is handed to the window by a queued call that is posted before Get() returns.
    form.Playback()->PlayerInfo().Get();
    QCoreApplication::processEvents();

    if (!QDir().mkpath(folder)) {
        errors << "Cannot create the folder " << folder << '\n';
        return 1;
    }
    const auto save = [&](QWidget* window, const QString& name) {
        if (!window->isVisible() || !WaitUntilExposed(window)) {
            errors << "The window did not appear: " << name << '\n';
            return false;
        }
        const QString path = QDir(folder).filePath(name + QStringLiteral(".png"));
        if (!window->grab().save(path, "PNG")) {
            errors << "Cannot save " << path << '\n';
            return false;
        }
        out << path << '\n';
        out.flush();
        return true;
    };

    bool allSaved = save(&form, QStringLiteral("main"));

    TSettingsForm* settings = form.SettingsForm();
    auto* pages = settings->findChild<QTabWidget*>(QStringLiteral("PageControl1"));
    if (!settings->isVisible())
        form.ActionSettingsExecute();
    const QString pageNames[] = {QStringLiteral("video"), QStringLiteral("audio"),
                                 QStringLiteral("font"), QStringLiteral("other"),
                                 QStringLiteral("info")};
    for (int page = 0; page < pages->count() && page < 5; ++page) {
        pages->setCurrentIndex(page);
        allSaved = save(settings, QStringLiteral("settings-") + pageNames[page]) && allSaved;
    }
    if (pages->count() != 5) {
        errors << "The settings dialog has " << pages->count() << " pages instead of 5\n";
        allSaved = false;
    }

    form.EQForm()->show();
    allSaved = save(form.EQForm(), QStringLiteral("equalizer")) && allSaved;
    return allSaved ? 0 : 1;
}

} // namespace zuv
