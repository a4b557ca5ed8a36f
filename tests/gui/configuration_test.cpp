#include "equalizer/qt/eq_form.h"
#include "lang/qt/translate.h"
#include "main_window_fixture.h"
#include "playback/qt/playlist_model.h"
#include "playback/qt/result_form.h"
#include "settings/qt/settings_form.h"
#include "support/find_control.h"
#include "support/write_faults.h"
#include "util/ini_document.h"
#include "widgets/qt/history_combo.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QTabBar>
#include <QTabWidget>
#include <QTreeView>

#include <algorithm>
#include <fcntl.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace zuv;
using zuv::test::FileSizeLimit;
using zuv::test::ImmutableFolder;
using zuv::test::MainWindowFixture;
using zuv::test::ReadFile;
using zuv::test::WriteFile;

namespace {

void ShowFontPage(TSettingsForm& settings)
{
    settings.show();
    test::Find<QTabWidget>(&settings, "PageControl1")
        ->setCurrentWidget(test::Find<TabSheet>(&settings, "TabSheet3"));
    QCoreApplication::processEvents();
}

#define ZUV_OPTION_FIELDS(X)                                                                       \
    X(Language)                                                                                    \
    X(LastFile)                                                                                    \
    X(LastSubFile)                                                                                 \
    X(Parameters)                                                                                  \
    X(Fullscreen)                                                                                  \
    X(Idx)                                                                                         \
    X(DisableScrSaver)                                                                             \
    X(Shutdown)                                                                                    \
    X(OnTop)                                                                                       \
    X(Playlist)                                                                                    \
    X(AutoStartDragDrop)                                                                           \
    X(AutoStartCmdLine)                                                                            \
    X(ShowResultWindow)                                                                            \
    X(ShowResultOnErrorOnly)                                                                       \
    X(MPlayerPriority)                                                                             \
    X(SettingsPage)                                                                                \
    X(OneInstanceOnly)                                                                             \
    X(FileTypes)                                                                                   \
    X(Double)                                                                                      \
    X(dri)                                                                                         \
    X(GraphicEq)                                                                                   \
    X(ForceYUY2)                                                                                   \
    X(PostProcessing)                                                                              \
    X(Expand)                                                                                      \
    X(PanScan)                                                                                     \
    X(PanScanValue)                                                                                \
    X(CustomVolume)                                                                                \
    X(Volume)                                                                                      \
    X(Normalize)                                                                                   \
    X(ExtraStereo)                                                                                 \
    X(ExtraStereoVal)                                                                              \
    X(SetChannels)                                                                                 \
    X(Channels)                                                                                    \
    X(EmulateSubwoofer)                                                                            \
    X(EQ)                                                                                          \
    X(EQPreset)                                                                                    \
    X(EQSettings)                                                                                  \
    X(CustomAC3Mixing)                                                                             \
    X(MixerProfile)                                                                                \
    X(Font)                                                                                        \
    X(FontFace)                                                                                    \
    X(SetFontScale)                                                                                \
    X(FontScale)                                                                                   \
    X(SubCp)                                                                                       \
    X(SubfontOutline)                                                                              \
    X(SubfontOutlineValue)                                                                         \
    X(SubfontBlur)                                                                                 \
    X(SubfontBlurValue)                                                                            \
    X(Player)

QString Shown(const std::string& value)
{
    return QLatin1Char('"') + QString::fromStdString(value) + QLatin1Char('"');
}
QString Shown(bool value)
{
    return value ? QStringLiteral("on") : QStringLiteral("off");
}
QString Shown(int value)
{
    return QString::number(value);
}
QString Shown(double value)
{
    return QString::number(value, 'g', 17);
}

// "Key: actual / expected" for every field whose values differ, `skipped` left out.
QString DifferingFields(const Options& actual, const Options& expected,
                        const QStringList& skipped = {})
{
    QStringList lines;
#define ZUV_COMPARE_FIELD(name)                                                                    \
    if (!skipped.contains(QStringLiteral(#name)) && !(actual.name == expected.name))               \
        lines << QStringLiteral(#name ": ") + Shown(actual.name) + QStringLiteral(" / ") +         \
                     Shown(expected.name);
    ZUV_OPTION_FIELDS(ZUV_COMPARE_FIELD)
#undef ZUV_COMPARE_FIELD
    return lines.join(QLatin1Char('\n'));
}

// The fields that still hold their default value, `skipped` left out.
QString FieldsAtTheirDefault(const Options& actual, const QStringList& skipped)
{
    const Options defaults = OptionsAsControlsHold(Options{});
    QStringList lines;
#define ZUV_SAME_FIELD(name)                                                                       \
    if (!skipped.contains(QStringLiteral(#name)) && actual.name == defaults.name)                  \
        lines << QStringLiteral(#name);
    ZUV_OPTION_FIELDS(ZUV_SAME_FIELD)
#undef ZUV_SAME_FIELD
    return lines.join(QLatin1Char(' '));
}

std::vector<std::string> Entries(const THistoryCombo* combo)
{
    return combo->Entries();
}

IniDocument ReadIni(const std::string& path)
{
    return IniDocument::Parse(ReadFile(path).value_or(std::string()));
}

std::vector<std::string> SectionNames(const IniDocument& document)
{
    std::vector<std::string> names;
    for (const IniDocument::Section& section : document.Sections())
        names.push_back(section.name);
    return names;
}

// The settings dialog's switches that are off at the first start.
QList<QCheckBox*> SettingsSwitchesOffAtFirstStart(const TSettingsForm& settings)
{
    QList<QCheckBox*> checks;
    for (const char* name :
         {"cbDri", "cbEq2", "cbYUY2", "cbPostProcessing", "cbExpand", "cbPanScan", "cbNormalize",
          "cbSetChannels", "cbSubChannel", "cbEqualizer", "cbCustomChannelMapping",
          "cbAutostartDragDrop", "cbAutostartCmd", "cbOneInstance", "cbFontScale",
          "cbSubFontOutline", "cbSubFontBlur"})
        checks << test::Find<QCheckBox>(&settings, name);
    return checks;
}

// Moves every control of every window away from the value it shows at the first start.
void SetEveryControlAwayFromItsDefault(TZUVMainForm& form)
{
    Langunit().LoadLanguage("deu");
    test::Find<THistoryCombo>(&form, "comboFile")
        ->setEditText(QStringLiteral("/films/Last film.avi"));
    test::Find<THistoryCombo>(&form, "comboSub")
        ->setEditText(QStringLiteral("/films/Last film.srt,/films/second.srt"));
    test::Find<THistoryCombo>(&form, "comboParams")->setEditText(QStringLiteral("-aspect 16:9"));
    for (QCheckBox* check :
         {test::Find<QCheckBox>(&form, "cbFullscreen"), test::Find<QCheckBox>(&form, "cbIdx"),
          test::Find<QCheckBox>(&form, "cbShutdown"), test::Find<QCheckBox>(&form, "cbOnTop"),
          test::Find<QCheckBox>(&form, "cbCustomVolume"),
          test::Find<QCheckBox>(&form, "cbExtraStereo")})
        check->setChecked(true);
    form.ShowPlaylist();
    test::Find<QSlider>(&form, "tbVolume")->setValue(37);
    test::Find<QSlider>(&form, "tbExtraStereo")->setValue(11);

    TSettingsForm& settings = *form.SettingsForm();
    for (QCheckBox* check : SettingsSwitchesOffAtFirstStart(settings))
        check->setChecked(true);
    for (QCheckBox* check : {test::Find<QCheckBox>(&settings, "cbDoubleBuffer"),
                             test::Find<QCheckBox>(&settings, "cbDisableScrSaver"),
                             test::Find<QCheckBox>(&settings, "cbShowResult"),
                             test::Find<QCheckBox>(&settings, "cbResultIfUnclean")})
        check->setChecked(false);
    test::Find<QSlider>(&settings, "tbPanScan")->setValue(73);
    test::Find<QComboBox>(&settings, "comboChannels")->setCurrentIndex(1);
    test::Find<QSlider>(&settings, "tbPriority")->setValue(4);
    test::Find<QComboBox>(&settings, "cbPlayer")->setCurrentIndex(kPlayerMpv);
    test::Find<QTabWidget>(&settings, "PageControl1")->setCurrentIndex(2);
    auto* comboFont = test::Find<QComboBox>(&settings, "comboFont");
    ShowFontPage(settings); // the font list is read when first shown
    QVERIFY2(comboFont->count() > 1, "the font list holds no font");
    comboFont->setCurrentIndex(comboFont->count() - 1);
    test::Find<QLineEdit>(&settings, "edFont")->setText(QStringLiteral("/fonts/own font.ttf"));
    test::Find<QSlider>(&settings, "tbFontScale")->setValue(4);
    test::Find<QSlider>(&settings, "tbSubFontOutline")->setValue(5);
    test::Find<QSlider>(&settings, "tbSubFontBlur")->setValue(7);
    test::Find<QComboBox>(&settings, "comboSubCp")->setEditText(QStringLiteral("utf-8"));

    TEQForm& equalizer = *form.EQForm();
    QVERIFY(equalizer.SetEQSettings("1:2:3:4:5.5:-6:-7:-8.5:9:-12"));
    test::Find<QComboBox>(&equalizer, "comboPreset")->setEditText(QStringLiteral("Rock"));
    equalizer.btnSaveClick();
}

// The names of the files put in place or deleted in a folder, in order, a repeated name once.
class FolderWatch
{
public:
    explicit FolderWatch(const std::string& folder)
        : m_fd(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC))
    {
        ::inotify_add_watch(m_fd, folder.c_str(), IN_MOVED_TO | IN_DELETE);
    }
    ~FolderWatch() { ::close(m_fd); }
    FolderWatch(const FolderWatch&) = delete;
    FolderWatch& operator=(const FolderWatch&) = delete;

    // Deleted files carry a leading "-". An atomic write shows as the rename onto the file.
    std::vector<std::string> Changes()
    {
        std::vector<std::string> changes;
        alignas(inotify_event) char buffer[4096];
        ssize_t length = 0;
        while ((length = ::read(m_fd, buffer, sizeof buffer)) > 0) {
            for (ssize_t offset = 0; offset < length;) {
                const auto* event = reinterpret_cast<const inotify_event*>(buffer + offset);
                offset += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
                const std::string name = event->len ? event->name : "";
                const std::string change = (event->mask & IN_DELETE) ? "-" + name : name;
                if (changes.empty() || changes.back() != change)
                    changes.push_back(change);
            }
        }
        return changes;
    }

private:
    int m_fd;
};

} // namespace

class ConfigurationTest : public QObject
{
    Q_OBJECT

private slots:
    void firstStartShowsTheDefaultInEveryControl()
    {
        MainWindowFixture fixture;
        TZUVMainForm& form = *fixture.form;
        const TSettingsForm& settings = *form.SettingsForm();

        auto* cbResultIfUnclean = test::Find<QCheckBox>(&settings, "cbResultIfUnclean");
        for (const QCheckBox* check :
             {test::Find<QCheckBox>(&settings, "cbDisableScrSaver"),
              test::Find<QCheckBox>(&settings, "cbDoubleBuffer"),
              test::Find<QCheckBox>(&settings, "cbShowResult"), cbResultIfUnclean})
            QVERIFY2(check->isChecked(), qPrintable(check->text()));
        QVERIFY(cbResultIfUnclean->isEnabled());
        for (const QCheckBox* check :
             {test::Find<QCheckBox>(&form, "cbFullscreen"), test::Find<QCheckBox>(&form, "cbLoop"),
              test::Find<QCheckBox>(&form, "cbIdx"), test::Find<QCheckBox>(&form, "cbShutdown"),
              test::Find<QCheckBox>(&form, "cbOnTop"),
              test::Find<QCheckBox>(&form, "cbCustomVolume"),
              test::Find<QCheckBox>(&form, "cbExtraStereo")})
            QVERIFY2(!check->isChecked(), qPrintable(check->text()));
        for (const QCheckBox* check : SettingsSwitchesOffAtFirstStart(settings))
            QVERIFY2(!check->isChecked(), qPrintable(check->text()));
        auto* tbVolume = test::Find<QSlider>(&form, "tbVolume");
        QCOMPARE(tbVolume->value(), 100);
        QCOMPARE(test::Find<QLabel>(&form, "lVolume")->text(), QStringLiteral("100"));
        QVERIFY(!tbVolume->isEnabled());
        auto* tbExtraStereo = test::Find<QSlider>(&form, "tbExtraStereo");
        QCOMPARE(tbExtraStereo->value(), 25);
        QVERIFY(!tbExtraStereo->isEnabled());
        QVERIFY(!form.PlaylistShown());
        QVERIFY(!form.WindowsOnTop());
        QVERIFY(test::Find<THistoryCombo>(&form, "comboFile")->currentText().isEmpty());
        QVERIFY(test::Find<THistoryCombo>(&form, "comboSub")->currentText().isEmpty());
        QVERIFY(test::Find<THistoryCombo>(&form, "comboParams")->currentText().isEmpty());
        QCOMPARE(form.FileTypes(),
                 std::string(".avi;.mpg;.mpeg;.mpe;.wmv;.asf;.mov;.qt;.rm;.rmvb"));

        QCOMPARE(test::Find<QSlider>(&settings, "tbPanScan")->value(), 50);
        QCOMPARE(test::Find<QLabel>(&settings, "labelPanScan")->text(), QStringLiteral("50 %"));
        QCOMPARE(test::Find<QComboBox>(&settings, "comboChannels")->currentText(),
                 QStringLiteral("6"));
        QCOMPARE(test::Find<QSlider>(&settings, "tbPriority")->value(), 2);
        QCOMPARE(test::Find<QLabel>(&settings, "labelPriority")->text(), QStringLiteral("Normál"));
        QCOMPARE(test::Find<QSlider>(&settings, "tbFontScale")->value(), 10);
        QCOMPARE(test::Find<QLabel>(&settings, "labelFontScale")->text(), QStringLiteral("3 %"));
        QCOMPARE(test::Find<QSlider>(&settings, "tbSubFontOutline")->value(), 2);
        QCOMPARE(test::Find<QSlider>(&settings, "tbSubFontBlur")->value(), 2);
        QCOMPARE(test::Find<QComboBox>(&settings, "comboSubCp")->currentText(),
                 QStringLiteral("latin2"));
        QVERIFY(test::Find<QComboBox>(&settings, "comboFont")->currentText().isEmpty());
        QVERIFY(test::Find<QLineEdit>(&settings, "edFont")->text().isEmpty());
        QCOMPARE(test::Find<QComboBox>(&settings, "comboCustomChannelMapping")->currentIndex(), -1);
        QCOMPARE(test::Find<QTabWidget>(&settings, "PageControl1")->currentIndex(), 4);
        QCOMPARE(form.EQForm()->GetEQPreset(), std::string());
        QCOMPARE(form.EQForm()->GetEQSettings(), std::string("0:0:0:0:0:0:0:0:0:0"));

        // The same through the record, which is what the exit stores.
        Options expected = OptionsAsControlsHold(Options{});
        expected.EQSettings = "0:0:0:0:0:0:0:0:0:0";
        expected.MixerProfile = "-1";
        const QString differences = DifferingFields(form.CurrentOptions(), expected);
        QVERIFY2(differences.isEmpty(), qPrintable(differences));
    }

    void restartKeepsEveryOptionHistoryAndPanel()
    {
        MainWindowFixture fixture;
        SetEveryControlAwayFromItsDefault(*fixture.form);
        if (QTest::currentTestFailed())
            return;
        TZUVMainForm* form = fixture.form.get();
        test::Find<QCheckBox>(form, "cbLoop")->setChecked(true);
        for (const char* text : {"/films/a.avi", "/films/b.avi", "/films/c.avi"})
            test::Find<THistoryCombo>(form, "comboFile")->addItem(QString::fromUtf8(text));
        test::Find<THistoryCombo>(form, "comboSub")->addItem(QStringLiteral("/films/a.srt"));
        test::Find<THistoryCombo>(form, "comboParams")->addItem(QStringLiteral("-vf scale"));
        test::Find<THistoryCombo>(form, "comboParams")->addItem(QStringLiteral("-af volnorm"));
        const Options before = form->CurrentOptions();
        const QString untouched = FieldsAtTheirDefault(
            before, {QStringLiteral("FileTypes"), QStringLiteral("MixerProfile")});
        QVERIFY2(untouched.isEmpty(), qPrintable(QStringLiteral("left at default: ") + untouched));
        const auto files = Entries(test::Find<THistoryCombo>(form, "comboFile"));
        const auto subtitles = Entries(test::Find<THistoryCombo>(form, "comboSub"));
        const auto parameters = Entries(test::Find<THistoryCombo>(form, "comboParams"));

        fixture.Restart();
        form = fixture.form.get();
        const QString differences = DifferingFields(form->CurrentOptions(), before);
        QVERIFY2(differences.isEmpty(), qPrintable(differences));
        QCOMPARE(Entries(test::Find<THistoryCombo>(form, "comboFile")), files);
        QCOMPARE(Entries(test::Find<THistoryCombo>(form, "comboSub")), subtitles);
        QCOMPARE(Entries(test::Find<THistoryCombo>(form, "comboParams")), parameters);
        QVERIFY(form->PlaylistShown());
        QVERIFY(test::Find<QTreeView>(form, "lvPlaylist")->isVisibleTo(form));
        QCOMPARE(test::Find<QTabWidget>(form->SettingsForm(), "PageControl1")->currentIndex(), 2);
        QVERIFY(form->WindowsOnTop());
        QVERIFY(!test::Find<QCheckBox>(form, "cbLoop")->isChecked());
        // The reactions of the controls ran as if the user had set them.
        QVERIFY(test::Find<QSlider>(form, "tbVolume")->isEnabled());
        QCOMPARE(test::Find<QLabel>(form, "lVolume")->text(), QStringLiteral("37"));
        QVERIFY(test::Find<QSlider>(form->SettingsForm(), "tbPanScan")->isEnabled());
        QCOMPARE(test::Find<QLabel>(form->SettingsForm(), "labelPanScan")->text(),
                 QStringLiteral("73 %"));
        QVERIFY(!test::Find<QCheckBox>(form->SettingsForm(), "cbResultIfUnclean")->isEnabled());

        // Whatever it was at exit.
        test::Find<QCheckBox>(form, "cbLoop")->setChecked(true);
        fixture.Restart();
        QVERIFY(!test::Find<QCheckBox>(fixture.form.get(), "cbLoop")->isChecked());
    }

    // The settings dialog, the equalizer and the result window are built when first opened; a run
    // that never opens them stores what they would have shown.
    void windowsNeverOpenedAreNotBuiltAndTheirOptionsSurvive()
    {
        MainWindowFixture fixture;
        SetEveryControlAwayFromItsDefault(*fixture.form);
        if (QTest::currentTestFailed())
            return;
        const Options before = fixture.form->CurrentOptions();
        fixture.Restart();
        QVERIFY(fixture.form->findChildren<TSettingsForm*>().isEmpty());
        QVERIFY(fixture.form->findChildren<TEQForm*>().isEmpty());
        const QWidgetList windows = QApplication::topLevelWidgets();
        QVERIFY(std::none_of(windows.begin(), windows.end(), [](const QWidget* window) {
            return qobject_cast<const TResultForm*>(window) != nullptr;
        }));
        fixture.Restart();
        const QString differences = DifferingFields(fixture.form->CurrentOptions(), before);
        QVERIFY2(differences.isEmpty(), qPrintable(differences));
    }

    void storedValuesOutsideTheRangesAreBroughtIntoTheControls()
    {
        MainWindowFixture fixture(MainWindowFixture::NotStarted{});
        const std::string path = fixture.program.file("zuv.ini");
        WriteFile(path, "[Main]\r\nSettingsPage=7\r\nFileTypes=.mkv;.webm\r\n"
                        "[Audio]\r\nVolume=300\r\nChannels=9\r\nMixerProfile=Stereo\r\n"
                        "[Font]\r\nFontScale=7\r\nFontFace=No Such Font\r\n");
        fixture.Start();
        TZUVMainForm* form = fixture.form.get();
        TSettingsForm* settings = form->SettingsForm();
        QCOMPARE(test::Find<QSlider>(form, "tbVolume")->value(), 255);
        QCOMPARE(test::Find<QSlider>(settings, "tbFontScale")->value(), 25);
        QCOMPARE(test::Find<QComboBox>(settings, "comboChannels")->currentIndex(), -1);
        QVERIFY(test::Find<QComboBox>(settings, "comboChannels")->currentText().isEmpty());
        Options gathered; // gathering reads the font list to judge the stored face
        settings->GatherOptions(gathered);
        QCOMPARE(test::Find<QComboBox>(settings, "comboFont")->currentIndex(), -1);
        QCOMPARE(gathered.FontFace, std::string());
        QCOMPARE(form->FileTypes(), std::string(".mkv;.webm"));
        // What the file-type window sets lasts until the end of the run only.
        form->SetFileTypes(".ogg");
        fixture.Close();

        IniDocument stored = ReadIni(path);
        QCOMPARE(stored.Value("Audio", "Volume"), std::optional<std::string>("255"));
        QCOMPARE(stored.Value("Audio", "Channels"), std::optional<std::string>("0"));
        QCOMPARE(stored.Value("Audio", "MixerProfile"), std::optional<std::string>("-1"));
        QCOMPARE(stored.Value("Main", "SettingsPage"), std::optional<std::string>("-1"));
        QCOMPARE(stored.Value("Font", "FontScale"), std::optional<std::string>("6"));
        QCOMPARE(stored.Value("Font", "FontFace"), std::optional<std::string>(""));
        QCOMPARE(stored.Value("Main", "FileTypes"), std::optional<std::string>(".mkv;.webm"));

        WriteFile(path, "[Audio]\r\nVolume=-5\r\n[Font]\r\nFontScale=1.2\r\n"
                        "[Main]\r\nSettingsPage=-3\r\n");
        fixture.Start();
        form = fixture.form.get();
        settings = form->SettingsForm();
        QCOMPARE(test::Find<QSlider>(form, "tbVolume")->value(), 0);
        QCOMPARE(test::Find<QSlider>(settings, "tbFontScale")->value(), 1);
        QCOMPARE(test::Find<QLabel>(settings, "labelFontScale")->text(), QStringLiteral("1.2 %"));
        // No page was active, but the user picks one: that one is stored.
        QTabBar* tabs = test::Find<QTabWidget>(settings, "PageControl1")->tabBar();
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(1).center());
        QCOMPARE(test::Find<QTabWidget>(settings, "PageControl1")->currentIndex(), 1);
        fixture.Close();
        stored = ReadIni(path);
        QCOMPARE(stored.Value("Audio", "Volume"), std::optional<std::string>("0"));
        QCOMPARE(stored.Value("Font", "FontScale"), std::optional<std::string>("1.2"));
        QCOMPARE(stored.Value("Main", "SettingsPage"), std::optional<std::string>("1"));
        QVERIFY(!stored.Value("Main", "FileTypes"));
    }

    void historiesFollowTheOptionsWithTheNewestTen()
    {
        MainWindowFixture fixture;
        TZUVMainForm& form = *fixture.form;
        for (int n = 1; n <= 12; ++n)
            test::Find<THistoryCombo>(&form, "comboFile")
                ->addItem(QStringLiteral("/films/%1.avi").arg(n));
        test::Find<THistoryCombo>(&form, "comboParams")->addItem(QStringLiteral("-nosound"));
        fixture.Close();

        // No file anywhere before: it is made in the program folder, not the profile folder.
        QVERIFY(!ReadFile(fixture.ProfileFolder() + "zuv.ini"));
        const IniDocument stored = ReadIni(fixture.program.file("zuv.ini"));
        QCOMPARE(SectionNames(stored),
                 (std::vector<std::string>{"Main", "Video", "Audio", "Font", "Parameters", "Files",
                                           "Subtitles", "Player"}));
        for (int slot = 1; slot <= 10; ++slot) {
            const std::string key = "Item" + std::to_string(slot);
            QCOMPARE(stored.Value("Files", key),
                     std::optional<std::string>("/films/" + std::to_string(slot + 2) + ".avi"));
            QCOMPARE(stored.Value("Subtitles", key), std::optional<std::string>(""));
            QCOMPARE(stored.Value("Parameters", key),
                     std::optional<std::string>(slot == 1 ? "-nosound" : ""));
        }
        QVERIFY(!stored.Value("Files", "Item11"));
    }

    void onlyTheProfileFileIsReadAndWrittenWhenBothExist()
    {
        MainWindowFixture fixture(MainWindowFixture::NotStarted{});
        const std::string programText = "[Audio]\r\nVolume=11\r\n[Files]\r\nItem1=/program.avi\r\n";
        WriteFile(fixture.program.file("zuv.ini"), programText);
        WriteFile(fixture.ProfileFolder() + "zuv.ini",
                  "[Audio]\r\nVolume=22\r\n[Files]\r\nItem1=/profile.avi\r\n");
        fixture.Start();
        QCOMPARE(test::Find<QSlider>(fixture.form.get(), "tbVolume")->value(), 22);
        QCOMPARE(Entries(test::Find<THistoryCombo>(fixture.form.get(), "comboFile")),
                 std::vector<std::string>{"/profile.avi"});
        test::Find<QSlider>(fixture.form.get(), "tbVolume")->setValue(33);
        fixture.Close();
        QCOMPARE(ReadFile(fixture.program.file("zuv.ini")), std::optional(programText));
        const IniDocument stored = ReadIni(fixture.ProfileFolder() + "zuv.ini");
        QCOMPARE(stored.Value("Audio", "Volume"), std::optional<std::string>("33"));
        QCOMPARE(stored.Value("Files", "Item1"), std::optional<std::string>("/profile.avi"));
    }

    void unwritableProgramFolderMovesOptionsAndHistoriesToTheProfile()
    {
        MainWindowFixture fixture(MainWindowFixture::NotStarted{});
        const std::string programText =
            "[Audio]\r\nVolume=44\r\n[Subtitles]\r\nItem1=/films/old.srt\r\n";
        WriteFile(fixture.program.file("zuv.ini"), programText);
        fixture.Start();
        QCOMPARE(test::Find<QSlider>(fixture.form.get(), "tbVolume")->value(), 44);
        test::Find<QSlider>(fixture.form.get(), "tbExtraStereo")->setValue(7);
        test::Find<THistoryCombo>(fixture.form.get(), "comboFile")
            ->addItem(QStringLiteral("/films/new.avi"));
        {
            ImmutableFolder locked(fixture.program.path());
            if (!locked.Active())
                QSKIP("this file system or container cannot make a folder unwritable for root");
            fixture.Close();
        }
        QVERIFY(MessageBox::ShownBoxes().empty());
        QCOMPARE(ReadFile(fixture.program.file("zuv.ini")), std::optional(programText));
        const IniDocument stored = ReadIni(fixture.ProfileFolder() + "zuv.ini");
        QCOMPARE(stored.Value("Audio", "Volume"), std::optional<std::string>("44"));
        QCOMPARE(stored.Value("Audio", "ExtraStereoVal"), std::optional<std::string>("7"));
        QCOMPARE(stored.Value("Files", "Item1"), std::optional<std::string>("/films/new.avi"));
        QCOMPARE(stored.Value("Subtitles", "Item1"), std::optional<std::string>("/films/old.srt"));

        fixture.Start();
        QCOMPARE(test::Find<QSlider>(fixture.form.get(), "tbExtraStereo")->value(), 7);
        QCOMPARE(Entries(test::Find<THistoryCombo>(fixture.form.get(), "comboFile")),
                 std::vector<std::string>{"/films/new.avi"});
        QCOMPARE(fixture.session->Configuration().Path(), fixture.ProfileFolder() + "zuv.ini");
    }

    void unreadableProgramFileIsLeftAloneAndTheProfileTakesOver()
    {
        MainWindowFixture fixture(MainWindowFixture::NotStarted{});
        // A folder in place of the file: nothing to read, and nothing there may be replaced.
        QCOMPARE(::mkdir(fixture.program.file("zuv.ini").c_str(), 0755), 0);
        fixture.Start();
        QCOMPARE(test::Find<QSlider>(fixture.form.get(), "tbVolume")->value(), 100);
        test::Find<QSlider>(fixture.form.get(), "tbVolume")->setValue(55);
        test::Find<THistoryCombo>(fixture.form.get(), "comboSub")
            ->addItem(QStringLiteral("/films/x.srt"));
        fixture.Close();
        QVERIFY(MessageBox::ShownBoxes().empty());
        const IniDocument stored = ReadIni(fixture.ProfileFolder() + "zuv.ini");
        QCOMPARE(stored.Value("Audio", "Volume"), std::optional<std::string>("55"));
        QCOMPARE(stored.Value("Subtitles", "Item1"), std::optional<std::string>("/films/x.srt"));
        fixture.Start();
        QCOMPARE(test::Find<QSlider>(fixture.form.get(), "tbVolume")->value(), 55);
        QCOMPARE(Entries(test::Find<THistoryCombo>(fixture.form.get(), "comboSub")),
                 std::vector<std::string>{"/films/x.srt"});
    }

    void failureInBothFoldersIsShownNotSwallowed()
    {
        MainWindowFixture fixture;
        fixture.form->Playlist()->AddItem("/films/" + std::string(100, 'a') + ".avi", {});
        {
            FileSizeLimit limit(64);
            fixture.Close();
        }
        const auto& boxes = MessageBox::ShownBoxes();
        QVERIFY(!boxes.empty());
        const QString profileFile = QString::fromStdString(fixture.ProfileFolder() + "zuv.ini");
        QVERIFY2(boxes.front().text.contains(profileFile), qPrintable(boxes.front().text));
        QCOMPARE(boxes.front().icon, QMessageBox::Critical);
        const bool playlistReported =
            std::any_of(boxes.begin(), boxes.end(), [](const MessageBox::Shown& box) {
                return box.text.contains(QStringLiteral("playlist.txt"));
            });
        QVERIFY(playlistReported);
    }

    void exitStoresOptionsThenPresetsThenHistoriesThenThePlaylist()
    {
        MainWindowFixture fixture;
        fixture.form->Playlist()->AddItem("/films/a.avi", {});
        {
            FolderWatch watch(fixture.program.path());
            fixture.Close();
            QCOMPARE(watch.Changes(), (std::vector<std::string>{"zuv.ini", "equalizer.ini",
                                                                "zuv.ini", "playlist.txt"}));
        }
        fixture.Start();
        QCOMPARE(fixture.form->Playlist()->Count(), 1);
        fixture.form->Playlist()->Clear();
        FolderWatch watch(fixture.program.path());
        fixture.Close();
        QCOMPARE(watch.Changes(), (std::vector<std::string>{"zuv.ini", "equalizer.ini", "zuv.ini",
                                                            "-playlist.txt"}));
    }
};

QTEST_MAIN(ConfigurationTest)
#include "configuration_test.moc"
