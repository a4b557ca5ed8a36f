#pragma once

#include "app/qt/main_form.h"
#include "app/qt/program_session.h"
#include "lang/language.h"
#include "platform/folders.h"
#include "playback/qt/playback_control.h"
#include "support/fake_player.h"
#include "support/test_support.h"
#include "widgets/qt/dialogs.h"

#include <QTest>

#include <memory>

namespace zuv::test {

// A fake player for the main window: answers the option-list question with a banner, logs its
// arguments one per line, prints what FAKE_PLAYER_OUTPUT says and exits with FAKE_PLAYER_EXIT
// after FAKE_PLAYER_SLEEP seconds, removing itself first when FAKE_PLAYER_REMOVE_SELF is set. Each
// option-list question adds a line to FAKE_PLAYER_ASKED.
inline constexpr char kFakePlayerScript[] = R"(
if [ "$1" = "-list-options" ]; then
  [ -n "$FAKE_PLAYER_ASKED" ] && echo asked >> "$FAKE_PLAYER_ASKED"
  echo "MPlayer FAKE-1.0 (C) test"; exit 1
fi
if [ "$1" = "-frames" ]; then printf 'ID_VIDEO_WIDTH=720\nID_VIDEO_HEIGHT=304\n'; exit 0; fi
[ -n "$FAKE_PLAYER_LOG" ] && { for a in "$@"; do printf '%s\n' "$a"; done; echo ---; } >> "$FAKE_PLAYER_LOG"
[ -n "$FAKE_PLAYER_OUTPUT" ] && printf "$FAKE_PLAYER_OUTPUT"
[ -n "$FAKE_PLAYER_SLEEP" ] && sleep "$FAKE_PLAYER_SLEEP"
[ -n "$FAKE_PLAYER_REMOVE_SELF" ] && /bin/rm -f "$0"
exit ${FAKE_PLAYER_EXIT:-0}
)";

// A main window with its session, in a program folder and profile folder of its own, answering
// every message box at once. The player's version and dialect are known in advance unless
// `knownPlayer` is off; then the player is asked as in the program.
class MainWindowFixture
{
public:
    explicit MainWindowFixture(const QStringList& arguments = {}, bool withPlayer = true,
                               bool knownPlayer = true)
        : m_knownPlayer(knownPlayer)
    {
        Prepare(withPlayer);
        Start(arguments);
    }

    // Folders and player only: the test puts its files in place and then calls Start.
    struct NotStarted
    {};
    explicit MainWindowFixture(NotStarted) { Prepare(true); }

    ~MainWindowFixture()
    {
        form.reset();
        platform::SetProgramFolderForTesting({});
        Langunit() = Language();
        MessageBox::SetAutoAnswer(false);
    }

    // The profile folder of this fixture (where HomeFolder() points).
    std::string ProfileFolder() const { return configHome.path() + "zuvora/"; }

    // Closes the window as the user does: the exit steps run.
    void Close()
    {
        if (form)
            form->close();
    }

    // A new start on the same folders, as the next run of the program.
    void Start(const QStringList& arguments = {})
    {
        form.reset();
        platform::SetProgramFolderForTesting(program.path());
        Langunit() = Language(program.path() + "lang/");
        form = std::make_unique<TZUVMainForm>();
        session = new ProgramSession(*form);
        session->Startup(arguments);
        if (m_knownPlayer)
            form->Playback()->PlayerInfo().Set({"FAKE-1.0", PlayerDialect::Current});
        form->Playback()->SetScreenSize(ScreenSize{1024, 768});
    }

    // Closes the window and starts again.
    void Restart(const QStringList& arguments = {})
    {
        Close();
        Start(arguments);
    }

    // Each run's arguments, as the player saw them.
    std::vector<std::vector<std::string>> PlayerRuns() const
    {
        std::vector<std::vector<std::string>> runs(1);
        const auto log = ReadFile(program.file("args.log"));
        std::string line;
        for (const char c : log.value_or(std::string())) {
            if (c != '\n') {
                line += c;
                continue;
            }
            if (line == "---")
                runs.emplace_back();
            else
                runs.back().push_back(line);
            line.clear();
        }
        runs.pop_back();
        return runs;
    }

    // Waits until no player runs.
    bool WaitForIdle(int timeoutMs = 10000) const
    {
        QDeadlineTimer deadline(timeoutMs);
        while (form->Playback()->Playing() && !deadline.hasExpired())
            QTest::qWait(10);
        return !form->Playback()->Playing();
    }

    TempDir program;
    TempDir configHome;
    TempDir temp;
    std::unique_ptr<TZUVMainForm> form;
    ProgramSession* session = nullptr;

private:
    void Prepare(bool withPlayer)
    {
        MessageBox::SetAutoAnswer(true);
        MessageBox::ClearShownBoxes();
        if (withPlayer)
            WriteFakePlayer(program.path(), kFakePlayerScript);
    }

    bool m_knownPlayer = true;
    ScopedEnv m_profileEnv{"XDG_CONFIG_HOME", configHome.path()};
    ScopedEnv m_tempEnv{"TMPDIR", temp.path()};
    ScopedEnv m_logEnv{"FAKE_PLAYER_LOG", program.file("args.log")};
};

} // namespace zuv::test
