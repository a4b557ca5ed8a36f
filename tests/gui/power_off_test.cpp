#include "platform/power.h"
#include "platform/system_utils.h"
#include "shutdown/qt/power_off.h"
#include "support/test_support.h"

#include <QTest>

#include <sys/stat.h>

using namespace zuv;

// Every power-off here goes through ZUVORA_POWEROFF_COMMAND to a script; the machine stays on.
class PowerOffTest : public QObject
{
    Q_OBJECT

private:
    static std::string Script(const test::TempDir& folder, const std::string& name,
                              const std::string& body)
    {
        const std::string path = folder.file(name);
        test::WriteFile(path, "#!/bin/sh\n" + body + "\n");
        ::chmod(path.c_str(), 0755);
        return path;
    }

private slots:
    void RunsTheCommandInsteadOfThePowerOff()
    {
        test::TempDir folder;
        const std::string script =
            Script(folder, "power off.sh", "printf '%s|' \"$@\" > \"$(dirname \"$0\")/marker\"");
        test::ScopedEnv command("ZUVORA_POWEROFF_COMMAND",
                                "\"" + script + "\" --now \"two words\" 'single");
        QVERIFY(!GetEnvVar("ZUVORA_POWEROFF_COMMAND").empty());
        QCOMPARE(PowerOff(), platform::kPowerOffAccepted);
        // Split by the C runtime rules, not by a shell: single quotes are ordinary characters.
        QCOMPARE(test::ReadFile(folder.file("marker")),
                 std::optional<std::string>("--now|two words|'single|"));
    }

    void FailingCommandIsFailure()
    {
        test::TempDir folder;
        const std::string script = Script(folder, "refuse.sh", "exit 1");
        {
            test::ScopedEnv command("ZUVORA_POWEROFF_COMMAND", script);
            QVERIFY(!GetEnvVar("ZUVORA_POWEROFF_COMMAND").empty());
            QCOMPARE(PowerOff(), platform::kPowerOffFailed);
        }
        {
            test::ScopedEnv command("ZUVORA_POWEROFF_COMMAND", folder.file("missing"));
            QVERIFY(!GetEnvVar("ZUVORA_POWEROFF_COMMAND").empty());
            QCOMPARE(PowerOff(), platform::kPowerOffFailed);
        }
        {
            test::ScopedEnv command("ZUVORA_POWEROFF_COMMAND", "   ");
            QVERIFY(!GetEnvVar("ZUVORA_POWEROFF_COMMAND").empty());
            QCOMPARE(PowerOff(), platform::kPowerOffFailed);
        }
    }

    void CommandStillRunningIsAccepted()
    {
        test::TempDir folder;
        const std::string script = Script(folder, "slow.sh", "sleep 1; exit 1");
        QCOMPARE(platform::RunPowerOffCommand({script}, std::chrono::milliseconds(0)),
                 platform::kPowerOffAccepted);
    }
};

QTEST_MAIN(PowerOffTest)
#include "power_off_test.moc"
