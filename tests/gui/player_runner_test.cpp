#include "playback/qt/player_runner.h"
#include "playback/qt/result_form.h"
#include "support/fake_player.h"
#include "support/find_control.h"
#include "support/test_support.h"

#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTest>

#include <cerrno>
#include <csignal>

using namespace zuv;

namespace {

bool ProcessGone(int pid)
{
    return ::kill(pid, 0) != 0 && errno == ESRCH;
}

} // namespace

class PlayerRunnerTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_folder = std::make_unique<test::TempDir>();
        m_runner = std::make_unique<PlayerRunner>();
        m_runner->SetProgramFolder(m_folder->path());
        connect(m_runner.get(), &PlayerRunner::LinesReceived, &m_form, &TResultForm::AddLines);
    }

    void cleanup()
    {
        m_runner.reset();
        m_form.Clear();
        m_folder.reset();
    }

    void linesReachTheResultWindowAndTheEndIsSignalled()
    {
        test::WriteFakePlayer(m_folder->path(), "echo \"$@\"; printf 'A: 1\\rA: 2\\r\\n'; exit 1");
        QSignalSpy exited(m_runner.get(), &PlayerRunner::Exited);
        QVERIFY(!m_runner->Start("mplayer clip.avi -vo null", 2).failed());
        QVERIFY(m_runner->IsRunning());
        QVERIFY(exited.wait(10000));
        QCOMPARE(exited.front().front().toInt(), 1);
        QVERIFY(!m_runner->IsRunning());
        QCOMPARE(test::Find<QPlainTextEdit>(&m_form, "Memo")->toPlainText(),
                 QStringLiteral("clip.avi -vo null\nA: 2"));
    }

    void aFailedStartNamesTheError()
    {
        test::ScopedEnv path("PATH", m_folder->path());
        const platform::ProcessStartError error = m_runner->Start("mplayer x", 2);
        QCOMPARE(error.step, platform::ProcessStartStep::CreateProcess);
        QVERIFY(error.error == std::errc::no_such_file_or_directory);
        QVERIFY(!m_runner->IsRunning());
    }

    void oneRunAtATimeAndTheNextStartsFromTheEndHandler()
    {
        test::WriteFakePlayer(m_folder->path(), "echo \"$1\"");
        QSignalSpy exited(m_runner.get(), &PlayerRunner::Exited);
        bool restarted = false;
        connect(m_runner.get(), &PlayerRunner::Exited, this, [&](int) {
            if (!restarted)
                restarted = !m_runner->Start("mplayer second", 2).failed();
        });
        QVERIFY(!m_runner->Start("mplayer first", 2).failed());
        QVERIFY(m_runner->Start("mplayer again", 2).error == std::errc::device_or_resource_busy);
        QTRY_COMPARE_WITH_TIMEOUT(exited.size(), 2, 10000);
        QCOMPARE(test::Find<QPlainTextEdit>(&m_form, "Memo")->toPlainText(),
                 QStringLiteral("first\nsecond"));
    }

    void stopEndsTheRunWith255()
    {
        test::WriteFakePlayer(m_folder->path(), "while :; do echo flood; done");
        QSignalSpy exited(m_runner.get(), &PlayerRunner::Exited);
        QVERIFY(!m_runner->Start("mplayer", 2).failed());
        QTRY_VERIFY_WITH_TIMEOUT(test::Find<QPlainTextEdit>(&m_form, "Memo")->blockCount() > 10,
                                 10000);
        m_runner->Stop();
        QVERIFY(exited.wait(10000));
        QCOMPARE(exited.front().front().toInt(), 255);
        m_runner->Stop();
    }

    void destroyingTheRunnerWhileTheWorkerWaitsStopsThePlayer()
    {
        test::WriteFakePlayer(m_folder->path(), "while :; do echo flood; done");
        QVERIFY(!m_runner->Start("mplayer", 2).failed());
        auto* Memo = test::Find<QPlainTextEdit>(&m_form, "Memo");
        QTRY_VERIFY_WITH_TIMEOUT(Memo->blockCount() > 10, 10000);
        const int pid = m_runner->ProcessId();
        m_runner.reset();
        QVERIFY(ProcessGone(pid));
        // What the worker had posted is dropped with the runner.
        const int lines = Memo->blockCount();
        QCoreApplication::processEvents();
        QCOMPARE(Memo->blockCount(), lines);
    }

private:
    std::unique_ptr<test::TempDir> m_folder;
    std::unique_ptr<PlayerRunner> m_runner;
    TResultForm m_form;
};

QTEST_MAIN(PlayerRunnerTest)
#include "player_runner_test.moc"
