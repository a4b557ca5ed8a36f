#include "equalizer/qt/eq_form.h"
#include "fake_opener.h"
#include "fileassoc/qt/file_assoc_form.h"
#include "lang/language.h"
#include "lang/qt/translate.h"
#include "main_window_fixture.h"
#include "platform/folders.h"
#include "settings/font_list.h"
#include "settings/qt/settings_form.h"
#include "settings/qt/settings_info_page.h"
#include "support/find_control.h"
#include "support/test_support.h"
#include "util/text_utils.h"
#include "widgets/qt/dialogs.h"
#include "widgets/qt/markup_label.h"
#include "widgets/window_placement.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSlider>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <QUrl>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

using namespace zuv;

namespace {

const std::string kDejaVuSans = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
const std::string kDejaVuBold = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";

QString Q(const std::string& text)
{
    return QString::fromStdString(text);
}

void CopyFile(const std::string& from, const std::string& to)
{
    std::filesystem::create_directories(std::filesystem::path(to).parent_path());
    std::filesystem::copy_file(from, to, std::filesystem::copy_options::overwrite_existing);
}

// Fontconfig sees only a font folder of the test's own: DejaVu Sans and DejaVu Sans Bold as
// TrueType files, and one face in a file that is not TrueType.
class TestFonts
{
public:
    explicit TestFonts(const test::TempDir& root)
        : folder(root.file("fonts/")), m_env("FONTCONFIG_FILE", root.file("fonts.conf")),
          m_path("FONTCONFIG_PATH", std::nullopt), m_dataHome("XDG_DATA_HOME", root.file("data"))
    {
        CopyFile(kDejaVuSans, folder + "Sans.ttf");
        CopyFile(kDejaVuBold, folder + "Bold.ttf");
        test::WriteFile(root.file("fonts.conf"),
                        "<?xml version=\"1.0\"?>\n<!DOCTYPE fontconfig SYSTEM \"fonts.dtd\">\n"
                        "<fontconfig>\n  <dir>" +
                            folder + "</dir>\n  <cachedir>" + root.file("cache") +
                            "</cachedir>\n</fontconfig>\n");
    }

    static bool Available()
    {
        return std::filesystem::exists(kDejaVuSans) && std::filesystem::exists(kDejaVuBold);
    }

    std::string folder;

private:
    test::ScopedEnv m_env, m_path, m_dataHome;
};

QStringList Entries(const QComboBox* combo)
{
    QStringList entries;
    for (int index = 0; index < combo->count(); ++index)
        entries << combo->itemText(index);
    return entries;
}

// The options the settings dialog holds, as name=value texts, for comparing whole records.
QStringList SettingsFields(const Options& o)
{
    const auto flag = [](bool on) { return on ? QStringLiteral("1") : QStringLiteral("0"); };
    const auto number = [](double value) { return QString::number(value); };
    return {
        QStringLiteral("DisableScrSaver=") + flag(o.DisableScrSaver),
        QStringLiteral("AutoStartDragDrop=") + flag(o.AutoStartDragDrop),
        QStringLiteral("AutoStartCmdLine=") + flag(o.AutoStartCmdLine),
        QStringLiteral("ShowResultWindow=") + flag(o.ShowResultWindow),
        QStringLiteral("ShowResultOnErrorOnly=") + flag(o.ShowResultOnErrorOnly),
        QStringLiteral("MPlayerPriority=") + number(o.MPlayerPriority),
        QStringLiteral("SettingsPage=") + number(o.SettingsPage),
        QStringLiteral("OneInstanceOnly=") + flag(o.OneInstanceOnly),
        QStringLiteral("Double=") + flag(o.Double),
        QStringLiteral("dri=") + flag(o.dri),
        QStringLiteral("GraphicEq=") + flag(o.GraphicEq),
        QStringLiteral("ForceYUY2=") + flag(o.ForceYUY2),
        QStringLiteral("PostProcessing=") + flag(o.PostProcessing),
        QStringLiteral("Expand=") + flag(o.Expand),
        QStringLiteral("PanScan=") + flag(o.PanScan),
        QStringLiteral("PanScanValue=") + number(o.PanScanValue),
        QStringLiteral("Normalize=") + flag(o.Normalize),
        QStringLiteral("SetChannels=") + flag(o.SetChannels),
        QStringLiteral("Channels=") + number(o.Channels),
        QStringLiteral("EmulateSubwoofer=") + flag(o.EmulateSubwoofer),
        QStringLiteral("EQ=") + flag(o.EQ),
        QStringLiteral("CustomAC3Mixing=") + flag(o.CustomAC3Mixing),
        QStringLiteral("MixerProfile=") + Q(o.MixerProfile),
        QStringLiteral("Font=") + Q(o.Font),
        QStringLiteral("FontFace=") + Q(o.FontFace),
        QStringLiteral("SetFontScale=") + flag(o.SetFontScale),
        QStringLiteral("FontScale=") + number(o.FontScale),
        QStringLiteral("SubCp=") + Q(o.SubCp),
        QStringLiteral("SubfontOutline=") + flag(o.SubfontOutline),
        QStringLiteral("SubfontOutlineValue=") + number(o.SubfontOutlineValue),
        QStringLiteral("SubfontBlur=") + flag(o.SubfontBlur),
        QStringLiteral("SubfontBlurValue=") + number(o.SubfontBlurValue),
        QStringLiteral("Player=") + number(o.Player),
    };
}

// Every settings switch set to `on`, every number and text to a value of its own.
Options AllSettings(bool on)
{
    Options o;
    o.DisableScrSaver = o.AutoStartDragDrop = o.AutoStartCmdLine = o.ShowResultWindow = on;
    o.ShowResultOnErrorOnly = o.OneInstanceOnly = on;
    o.Double = o.dri = o.GraphicEq = o.ForceYUY2 = o.PostProcessing = o.Expand = o.PanScan = on;
    o.Normalize = o.SetChannels = o.EmulateSubwoofer = o.EQ = o.CustomAC3Mixing = on;
    o.SetFontScale = o.SubfontOutline = o.SubfontBlur = on;
    o.MPlayerPriority = on ? 3 : 0;
    o.SettingsPage = on ? 1 : 3;
    o.PanScanValue = on ? 77 : 0;
    o.Channels = on ? 2 : 5;
    o.MixerProfile = "-1"; // the hidden list has no entries, so nothing is ever chosen
    o.Font = on ? "/fonts/a b.ttf" : "x.ttf";
    o.FontFace = on ? "DejaVu Sans" : "";
    o.FontScale = on ? 2.4 : 6.0;
    o.SubCp = on ? "cp1250" : "utf-8";
    o.SubfontOutlineValue = on ? 8 : 0;
    o.SubfontBlurValue = on ? 5 : 1;
    o.Player = on ? kPlayerMpv : kPlayerMPlayer;
    return o;
}

// The settings dialog beside a plain window, as standalone as it gets.
struct StandaloneDialog
{
    StandaloneDialog() : form(new TSettingsForm(&main)) {}
    QWidget main;
    TSettingsForm* form;
};

QString LangText(const char* key)
{
    return GetTextOrEmpty("Settings", key);
}

} // namespace

class SettingsFormTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<test::TempDir> m_program;

    void WriteLanguage(const std::string& baseName, const std::string& text)
    {
        test::WriteFile(m_program->file("lang/" + baseName + ".lng"), text);
    }
    void CopyShippedLanguage(const std::string& baseName)
    {
        CopyFile(test::TestDataPath("../../lang/" + baseName + ".lng"),
                 m_program->file("lang/" + baseName + ".lng"));
    }

private slots:
    void init()
    {
        m_program = std::make_unique<test::TempDir>();
        platform::SetProgramFolderForTesting(m_program->path());
        Langunit() = Language(m_program->file("lang/"));
        MessageBox::SetAutoAnswer(true);
        MessageBox::ClearShownBoxes();
    }
    void cleanup()
    {
        MessageBox::SetAutoAnswer(false);
        Langunit() = Language();
        platform::SetProgramFolderForTesting({});
        m_program.reset();
    }

    void controlsStartAsDesigned()
    {
        StandaloneDialog dialog;
        TSettingsForm* f = dialog.form;
        // The designed size, or more where the texts of the language and font need it; never
        // resizable by the user.
        QVERIFY(f->width() >= 247 && f->height() >= 287);
        QCOMPARE(f->minimumSize(), f->maximumSize());
        QVERIFY(f->windowFlags() & Qt::FramelessWindowHint);
        QCOMPARE(test::Find<QTabWidget>(f, "PageControl1")->count(), 5);
        QCOMPARE(test::Find<QTabWidget>(f, "PageControl1")->currentIndex(), 0);

        const QList<QCheckBox*> checks = f->findChildren<QCheckBox*>();
        QCOMPARE(checks.size(), 22);
        for (const QCheckBox* check : checks)
            QVERIFY2(!check->isChecked(), qPrintable(check->text()));
        // Off, and enabled only by their source.
        for (QWidget* off : std::initializer_list<QWidget*>{
                 test::Find<QLabel>(f, "labelPanScan"), test::Find<QSlider>(f, "tbPanScan"),
                 test::Find<QComboBox>(f, "comboChannels"), test::Find<QPushButton>(f, "btnShowEQ"),
                 test::Find<QComboBox>(f, "comboCustomChannelMapping"),
                 test::Find<QCheckBox>(f, "cbFontScale"), test::Find<QLabel>(f, "labelFontScale"),
                 test::Find<QSlider>(f, "tbFontScale"),
                 test::Find<QCheckBox>(f, "cbSubFontOutline"),
                 test::Find<QSlider>(f, "tbSubFontOutline"),
                 test::Find<QCheckBox>(f, "cbSubFontBlur"), test::Find<QSlider>(f, "tbSubFontBlur"),
                 test::Find<QCheckBox>(f, "cbResultIfUnclean")})
            QVERIFY2(!off->isEnabled(), qPrintable(off->objectName()));
        QVERIFY(test::Find<QCheckBox>(f, "cbDolbySurroundDecode")->isEnabled());

        // No channel-mixing profile exists: both controls hidden, the list empty.
        QVERIFY(test::Find<QCheckBox>(f, "cbCustomChannelMapping")->isHidden());
        QVERIFY(test::Find<QComboBox>(f, "comboCustomChannelMapping")->isHidden());
        QCOMPARE(test::Find<QComboBox>(f, "comboCustomChannelMapping")->count(), 0);

        QCOMPARE(Entries(test::Find<QComboBox>(f, "comboChannels")),
                 QStringList({QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"),
                              QStringLiteral("4"), QStringLiteral("5"), QStringLiteral("6")}));
        QCOMPARE(test::Find<QComboBox>(f, "comboChannels")->currentIndex(), -1);
        QVERIFY(test::Find<QComboBox>(f, "comboSubCp")->isEditable());
        QCOMPARE(test::Find<QComboBox>(f, "comboSubCp")->count(), 17);
        QCOMPARE(test::Find<QComboBox>(f, "comboSubCp")->itemText(15), QStringLiteral("utf-8"));
        QCOMPARE(test::Find<QComboBox>(f, "comboSubCp")->currentText(), QStringLiteral("latin2"));
        QCOMPARE(test::Find<QLineEdit>(f, "edFont")->text(), QString());
        QVERIFY(!test::Find<QComboBox>(f, "comboLang")->isEditable());
        QVERIFY(!test::Find<QComboBox>(f, "comboFont")->isEditable());

        struct Bar
        {
            QSlider* bar;
            int minimum, maximum, page, tick, position;
        };
        for (const Bar& b : {Bar{test::Find<QSlider>(f, "tbPanScan"), 0, 99, 10, 10, 49},
                             Bar{test::Find<QSlider>(f, "tbFontScale"), 0, 25, 1, 5, 1},
                             Bar{test::Find<QSlider>(f, "tbSubFontOutline"), 0, 8, 1, 1, 2},
                             Bar{test::Find<QSlider>(f, "tbSubFontBlur"), 0, 8, 1, 1, 2},
                             Bar{test::Find<QSlider>(f, "tbPriority"), 0, 4, 1, 1, 0}}) {
            QCOMPARE(b.bar->minimum(), b.minimum);
            QCOMPARE(b.bar->maximum(), b.maximum);
            QCOMPARE(b.bar->pageStep(), b.page);
            QCOMPARE(b.bar->tickInterval(), b.tick);
            QCOMPARE(b.bar->value(), b.position);
            QCOMPARE(b.bar->orientation(), Qt::Horizontal);
        }
        // The doubled ampersand shows as one.
        QCOMPARE(test::Find<QCheckBox>(f, "cbAutostartDragDrop")->text(),
                 QStringLiteral("Automatikus lejátszás Drag&&Drop"));
    }

    void valueLabelsFollowTheirTrackBars()
    {
        StandaloneDialog dialog;
        TSettingsForm* f = dialog.form;
        QCOMPARE(test::Find<QLabel>(f, "labelPanScan")->text(), QStringLiteral("49 %"));
        test::Find<QSlider>(f, "tbPanScan")->setValue(0);
        QCOMPARE(test::Find<QLabel>(f, "labelPanScan")->text(), QStringLiteral("0 %"));
        test::Find<QSlider>(f, "tbPanScan")->setValue(99);
        QCOMPARE(test::Find<QLabel>(f, "labelPanScan")->text(), QStringLiteral("99 %"));

        // A stored value equal to the initial position moves nothing, and the label is right.
        StandaloneDialog fresh;
        Options options;
        options.PanScanValue = 49;
        fresh.form->ApplyOptions(options);
        QCOMPARE(test::Find<QLabel>(fresh.form, "labelPanScan")->text(), QStringLiteral("49 %"));

        QCOMPARE(test::Find<QLabel>(f, "labelFontScale")->text(), QStringLiteral("1.2 %"));
        const std::pair<int, const char*> scales[] = {{0, "1 %"},   {1, "1.2 %"}, {3, "1.6 %"},
                                                      {7, "2.4 %"}, {10, "3 %"},  {25, "6 %"}};
        for (const auto& [position, label] : scales) {
            test::Find<QSlider>(f, "tbFontScale")->setValue(position);
            QCOMPARE(test::Find<QLabel>(f, "labelFontScale")->text(), QString::fromUtf8(label));
        }

        QCOMPARE(test::Find<QLabel>(f, "labelPriority")->text(), QStringLiteral("Alacsony"));
        test::Find<QSlider>(f, "tbPriority")->setValue(2);
        QCOMPARE(test::Find<QLabel>(f, "labelPriority")->text(), QStringLiteral("Normál"));
        test::Find<QSlider>(f, "tbPriority")->setValue(4);
        QCOMPARE(test::Find<QLabel>(f, "labelPriority")->text(), QStringLiteral("Magas"));

        // Three names: the fields are not trimmed, and the missing ones give an empty label.
        WriteLanguage("three", "[Settings]\n257=Egy, Kettő ,Három\n");
        QVERIFY(Langunit().LoadLanguage("three"));
        f->TranslateSettingsForm();
        QCOMPARE(test::Find<QLabel>(f, "labelPriority")->text(), QString()); // still at 4
        const char* expected[] = {"Egy", " Kettő ", "Három", "", ""};
        for (int position = 0; position <= 4; ++position) {
            test::Find<QSlider>(f, "tbPriority")->setValue(position);
            QCOMPARE(test::Find<QLabel>(f, "labelPriority")->text(),
                     QString::fromUtf8(expected[position]));
        }
    }

    void subFontScaleRoundsAndClamps()
    {
        StandaloneDialog dialog;
        TSettingsForm* f = dialog.form;
        const std::pair<double, int> cases[] = {{3.0, 10}, {1.2, 1},  {0.5, 0},  {7.0, 25},
                                                {1.1, 1},  {1.09, 0}, {-4.0, 0}, {6.0, 25}};
        for (const auto& [scale, position] : cases) {
            f->SetSubFontScale(scale);
            QCOMPARE(test::Find<QSlider>(f, "tbFontScale")->value(), position);
        }
        for (int position = 0; position <= 25; ++position) {
            test::Find<QSlider>(f, "tbFontScale")->setValue(position);
            const double scale = f->GetSubFontScale();
            QCOMPARE(scale, 1.0 + position / 5.0);
            test::Find<QSlider>(f, "tbFontScale")->setValue(position == 0 ? 25 : 0);
            f->SetSubFontScale(scale);
            QCOMPARE(test::Find<QSlider>(f, "tbFontScale")->value(), position);
        }
    }

    void enablingRulesDoNotChain()
    {
        StandaloneDialog dialog;
        TSettingsForm* f = dialog.form;
        const std::pair<QCheckBox*, std::vector<QWidget*>> rules[] = {
            {test::Find<QCheckBox>(f, "cbPanScan"),
             {test::Find<QSlider>(f, "tbPanScan"), test::Find<QLabel>(f, "labelPanScan")}},
            {test::Find<QCheckBox>(f, "cbSetChannels"),
             {test::Find<QComboBox>(f, "comboChannels")}},
            {test::Find<QCheckBox>(f, "cbEqualizer"), {test::Find<QPushButton>(f, "btnShowEQ")}},
            {test::Find<QCheckBox>(f, "cbCustomChannelMapping"),
             {test::Find<QComboBox>(f, "comboCustomChannelMapping")}},
            {test::Find<QCheckBox>(f, "cbShowResult"),
             {test::Find<QCheckBox>(f, "cbResultIfUnclean")}},
            {test::Find<QCheckBox>(f, "cbFontScale"),
             {test::Find<QSlider>(f, "tbFontScale"), test::Find<QLabel>(f, "labelFontScale")}},
            {test::Find<QCheckBox>(f, "cbSubFontOutline"),
             {test::Find<QSlider>(f, "tbSubFontOutline")}},
            {test::Find<QCheckBox>(f, "cbSubFontBlur"), {test::Find<QSlider>(f, "tbSubFontBlur")}},
        };
        for (const auto& [source, targets] : rules) {
            for (const bool on : {true, false, true}) {
                source->setChecked(on);
                for (const QWidget* target : targets)
                    QVERIFY2(target->isEnabled() == on, qPrintable(source->text()));
            }
        }

        test::Find<QLineEdit>(f, "edFont")->setText(QStringLiteral("/fonts/a.ttf"));
        for (QCheckBox* check :
             {test::Find<QCheckBox>(f, "cbFontScale"), test::Find<QCheckBox>(f, "cbSubFontOutline"),
              test::Find<QCheckBox>(f, "cbSubFontBlur")})
            QVERIFY(check->isEnabled());
        test::Find<QCheckBox>(f, "cbSubFontBlur")->setChecked(false);

        // Emptying edFont disables the check boxes; their ticks and dependants stay.
        test::Find<QLineEdit>(f, "edFont")->clear();
        for (QCheckBox* check :
             {test::Find<QCheckBox>(f, "cbFontScale"), test::Find<QCheckBox>(f, "cbSubFontOutline"),
              test::Find<QCheckBox>(f, "cbSubFontBlur")})
            QVERIFY(!check->isEnabled());
        QVERIFY(test::Find<QCheckBox>(f, "cbFontScale")->isChecked());
        QVERIFY(test::Find<QCheckBox>(f, "cbSubFontOutline")->isChecked());
        QVERIFY(!test::Find<QCheckBox>(f, "cbSubFontBlur")->isChecked());
        QVERIFY(test::Find<QSlider>(f, "tbFontScale")->isEnabled());
        QVERIFY(test::Find<QLabel>(f, "labelFontScale")->isEnabled());
        QVERIFY(test::Find<QSlider>(f, "tbSubFontOutline")->isEnabled());
        QVERIFY(!test::Find<QSlider>(f, "tbSubFontBlur")->isEnabled());

        // The same from a stored configuration: a ticked scale without a font.
        StandaloneDialog stored;
        Options options;
        options.SetFontScale = true;
        options.ShowResultWindow = false;
        options.ShowResultOnErrorOnly = true;
        stored.form->ApplyOptions(options);
        QVERIFY(!test::Find<QCheckBox>(stored.form, "cbFontScale")->isEnabled());
        QVERIFY(test::Find<QCheckBox>(stored.form, "cbFontScale")->isChecked());
        QVERIFY(test::Find<QSlider>(stored.form, "tbFontScale")->isEnabled());
        QVERIFY(!test::Find<QCheckBox>(stored.form, "cbResultIfUnclean")->isEnabled());
        QVERIFY(test::Find<QCheckBox>(stored.form, "cbResultIfUnclean")->isChecked());
    }

    void fontListFillsEdFontOnUserChoiceOnly()
    {
        if (!TestFonts::Available())
            QSKIP("fonts-dejavu-core is not installed");
        test::TempDir root;
        TestFonts fonts(root);
        const QStringList names{QString(), QStringLiteral("DejaVu Sans"),
                                QStringLiteral("DejaVu Sans Bold")};

        // The stored face is judged against the list even when nobody has looked at it yet.
        const std::pair<const char*, const char*> faces[] = {
            {"DejaVu Sans", "DejaVu Sans"},
            {"dejavu sans BOLD", "DejaVu Sans Bold"},
            {"Arial", ""},
            {"", ""}};
        for (const auto& [stored, gathered] : faces) {
            StandaloneDialog dialog;
            Options options;
            options.FontFace = stored;
            options.Font = "/elsewhere/own.ttf";
            dialog.form->ApplyOptions(options);
            Options back;
            back.FontFace = "left over";
            dialog.form->GatherOptions(back);
            QCOMPARE(Q(back.FontFace), QString::fromUtf8(gathered));
            QCOMPARE(Q(back.Font), QStringLiteral("/elsewhere/own.ttf"));
        }

        StandaloneDialog dialog;
        TSettingsForm* f = dialog.form;
        Options options;
        options.FontFace = "dejavu sans";
        options.SettingsPage = 2;
        f->ApplyOptions(options);
        dialog.main.show();
        f->show();
        QVERIFY(QTest::qWaitForWindowExposed(f));
        QCOMPARE(Entries(test::Find<QComboBox>(f, "comboFont")), names);
        QCOMPARE(test::Find<QComboBox>(f, "comboFont")->currentIndex(), 1);
        // Selecting the stored face is not a user's choice: edFont keeps its text.
        QCOMPARE(test::Find<QLineEdit>(f, "edFont")->text(), QString());

        test::Find<QComboBox>(f, "comboFont")->setFocus();
        QTest::keyClick(test::Find<QComboBox>(f, "comboFont"), Qt::Key_Down);
        QCOMPARE(test::Find<QComboBox>(f, "comboFont")->currentIndex(), 2);
        QCOMPARE(test::Find<QLineEdit>(f, "edFont")->text(), Q(fonts.folder + "Bold.ttf"));
        QVERIFY(test::Find<QCheckBox>(f, "cbFontScale")->isEnabled());
        QTest::keyClick(test::Find<QComboBox>(f, "comboFont"), Qt::Key_Up);
        QCOMPARE(test::Find<QLineEdit>(f, "edFont")->text(), Q(fonts.folder + "Sans.ttf"));

        // The empty entry stands for no font.
        QTest::keyClick(test::Find<QComboBox>(f, "comboFont"), Qt::Key_Home);
        QCOMPARE(test::Find<QComboBox>(f, "comboFont")->currentIndex(), 0);
        QCOMPARE(test::Find<QLineEdit>(f, "edFont")->text(), QString());
        QVERIFY(!test::Find<QCheckBox>(f, "cbFontScale")->isEnabled());
    }

    void optionsRoundTrip()
    {
        if (!TestFonts::Available())
            QSKIP("fonts-dejavu-core is not installed");
        test::TempDir root;
        TestFonts fonts(root);
        for (const bool on : {true, false}) {
            StandaloneDialog dialog;
            const Options stored = AllSettings(on);
            dialog.form->ApplyOptions(stored);
            Options gathered = AllSettings(!on);
            dialog.form->GatherOptions(gathered);
            QCOMPARE(SettingsFields(gathered), SettingsFields(stored));
        }

        // Applying again over a used dialog (its font list read by now) changes every control.
        StandaloneDialog dialog;
        for (const bool on : {true, false, true}) {
            dialog.form->ApplyOptions(AllSettings(on));
            Options gathered = AllSettings(!on);
            dialog.form->GatherOptions(gathered);
            QCOMPARE(SettingsFields(gathered), SettingsFields(AllSettings(on)));
        }
    }

    void choicesOutsideTheirRange()
    {
        StandaloneDialog dialog;
        TSettingsForm* f = dialog.form;
        Options options;
        options.SettingsPage = 5;
        options.Channels = 7;
        options.PanScanValue = 150;
        options.MPlayerPriority = -2;
        options.SubfontOutlineValue = 9;
        options.SubfontBlurValue = -1;
        options.FontScale = 9.5;
        options.MixerProfile = "0";
        f->ApplyOptions(options);
        Options back;
        f->GatherOptions(back);
        QCOMPARE(back.SettingsPage, -1);
        QCOMPARE(back.Channels, 0);
        QCOMPARE(test::Find<QComboBox>(f, "comboChannels")->currentIndex(), -1);
        QCOMPARE(back.PanScanValue, 99);
        QCOMPARE(back.MPlayerPriority, 0);
        QCOMPARE(back.SubfontOutlineValue, 8);
        QCOMPARE(back.SubfontBlurValue, 0);
        QCOMPARE(back.FontScale, 6.0);
        QCOMPARE(Q(back.MixerProfile), QStringLiteral("-1"));

        // No page shows until the user picks one; the tab they pick is stored.
        dialog.main.show();
        f->show();
        QVERIFY(QTest::qWaitForWindowExposed(f));
        QVERIFY(!test::Find<QTabWidget>(f, "PageControl1")->currentWidget()->isVisible());
        options.SettingsPage = -1;
        options.Channels = 0;
        f->ApplyOptions(options);
        f->GatherOptions(back);
        QCOMPARE(back.SettingsPage, -1);
        QCOMPARE(back.Channels, 0);

        QTabBar* tabs = test::Find<QTabWidget>(f, "PageControl1")->tabBar();
        const int current = test::Find<QTabWidget>(f, "PageControl1")->currentIndex();
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(current).center());
        QVERIFY(test::Find<QTabWidget>(f, "PageControl1")->currentWidget()->isVisible());
        f->GatherOptions(back);
        QCOMPARE(back.SettingsPage, current);

        options.SettingsPage = 7;
        f->ApplyOptions(options);
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(3).center());
        QCOMPARE(test::Find<QTabWidget>(f, "PageControl1")->currentIndex(), 3);
        QVERIFY(test::Find<QTabWidget>(f, "PageControl1")->currentWidget()->isVisible());
        f->GatherOptions(back);
        QCOMPARE(back.SettingsPage, 3);

        // A valid page after none shows it again.
        options.SettingsPage = -1;
        f->ApplyOptions(options);
        options.SettingsPage = 3;
        f->ApplyOptions(options);
        QVERIFY(test::Find<QTabWidget>(f, "PageControl1")->currentWidget()->isVisible());
    }

    void translationAppliesTheSettingsTexts()
    {
        CopyShippedLanguage("enu");
        QVERIFY(Langunit().LoadLanguage("enu"));
        StandaloneDialog dialog;
        TSettingsForm* f = dialog.form;
        QString browseTitle;
        TSettingsForm::Hooks hooks;
        hooks.browseFont = [&](const QString& title, const QString&) {
            browseTitle = title;
            return QString();
        };
        f->SetHooks(hooks);
        f->TranslateSettingsForm();

        const auto text = [](QObject* component) -> QString {
            if (auto* page = qobject_cast<TabSheet*>(component))
                return page->Caption();
            if (auto* label = qobject_cast<QLabel*>(component))
                return label->text();
            return qobject_cast<QAbstractButton*>(component)->text();
        };
        const std::pair<QObject*, const char*> components[] = {
            {test::Find<TabSheet>(f, "TabSheet1"), "100"},
            {test::Find<TabSheet>(f, "TabSheet2"), "101"},
            {test::Find<TabSheet>(f, "TabSheet3"), "102"},
            {test::Find<TabSheet>(f, "TabSheet4"), "103"},
            {test::Find<TabSheet>(f, "TabSheet5"), "104"},
            {test::Find<QLabel>(f, "Label1"), "220"},
            {test::Find<QCheckBox>(f, "cbDoubleBuffer"), "221"},
            {test::Find<QCheckBox>(f, "cbDri"), "222"},
            {test::Find<QCheckBox>(f, "cbEq2"), "223"},
            {test::Find<QCheckBox>(f, "cbYUY2"), "224"},
            {test::Find<QCheckBox>(f, "cbPostProcessing"), "225"},
            {test::Find<QLabel>(f, "Label8"), "226"},
            {test::Find<QCheckBox>(f, "cbExpand"), "227"},
            {test::Find<QCheckBox>(f, "cbPanScan"), "228"},
            {test::Find<QLabel>(f, "Label2"), "240"},
            {test::Find<QCheckBox>(f, "cbNormalize"), "241"},
            {test::Find<QCheckBox>(f, "cbSetChannels"), "242"},
            {test::Find<QCheckBox>(f, "cbSubChannel"), "243"},
            {test::Find<QLabel>(f, "Label9"), "244"},
            {test::Find<QCheckBox>(f, "cbDolbySurroundDecode"), "245"},
            {test::Find<QLabel>(f, "Label3"), "246"},
            {test::Find<QCheckBox>(f, "cbEqualizer"), "247"},
            {test::Find<QPushButton>(f, "btnShowEQ"), "248"},
            {test::Find<QCheckBox>(f, "cbCustomChannelMapping"), "249"},
            {test::Find<QCheckBox>(f, "cbDisableScrSaver"), "251"},
            {test::Find<QCheckBox>(f, "cbAutostartDragDrop"), "252"},
            {test::Find<QCheckBox>(f, "cbAutostartCmd"), "253"},
            {test::Find<QCheckBox>(f, "cbShowResult"), "254"},
            {test::Find<QCheckBox>(f, "cbResultIfUnclean"), "255"},
            {test::Find<QLabel>(f, "Label10"), "256"},
            {test::Find<QPushButton>(f, "btnFileAssoc"), "260"},
            {test::Find<QPushButton>(f, "btnSetKeys"), "261"},
            {test::Find<QCheckBox>(f, "cbOneInstance"), "262"},
            {test::Find<QLabel>(f, "Label4"), "300"},
            {test::Find<QPushButton>(f, "btnBrowseFont"), "302"},
            {test::Find<QCheckBox>(f, "cbFontScale"), "310"},
            {test::Find<QLabel>(f, "Label5"), "320"},
            {test::Find<QCheckBox>(f, "cbSubFontOutline"), "330"},
            {test::Find<QCheckBox>(f, "cbSubFontBlur"), "331"},
            {test::Find<QLabel>(f, "Label7"), "400"},
        };
        for (const auto& [component, key] : components) {
            QVERIFY2(!LangText(key).isEmpty(), key);
            QCOMPARE(text(component), LangText(key));
        }
        QCOMPARE(test::Find<QTabWidget>(f, "PageControl1")->tabText(2), LangText("102"));
        QCOMPARE(test::Find<QLabel>(f, "labelPriority")->text(),
                 LangText("257").split(QLatin1Char(',')).first());
        QCOMPARE(test::Find<TMarkupLabel>(f, "InfoLabel")->HTMLText().last(), LangText("501"));
        test::Find<QPushButton>(f, "btnBrowseFont")->click();
        QCOMPARE(browseTitle, LangText("303"));

        // Keys the file lacks, or holds empty, keep the built-in captions; the window caption
        // and the value labels are not translated.
        WriteLanguage("part", "[Settings]\n221=\n257=Low,Below normal,Normal\n400=Language:\n");
        QVERIFY(Langunit().LoadLanguage("part"));
        StandaloneDialog partial;
        TSettingsForm* p = partial.form;
        const QStringList builtInLines = test::Find<TMarkupLabel>(p, "InfoLabel")->HTMLText();
        p->TranslateSettingsForm();
        QCOMPARE(test::Find<QCheckBox>(p, "cbDoubleBuffer")->text(),
                 QStringLiteral("Dupla buferelés"));
        QCOMPARE(test::Find<QTabWidget>(p, "PageControl1")->tabText(2),
                 QStringLiteral("&Betűkészlet"));
        QCOMPARE(test::Find<QPushButton>(p, "btnFileAssoc")->text(), QStringLiteral("Fájltípusok"));
        QCOMPARE(test::Find<QPushButton>(p, "btnSetKeys")->text(), QStringLiteral("Billentyű&k"));
        QCOMPARE(test::Find<QLabel>(p, "Label7")->text(), QStringLiteral("Language:"));
        QCOMPARE(test::Find<QLabel>(p, "labelPriority")->text(), QStringLiteral("Low"));
        QCOMPARE(p->windowTitle(), QStringLiteral("Beállítások"));
        QCOMPARE(test::Find<TMarkupLabel>(p, "InfoLabel")->HTMLText(), builtInLines);
        p->SetHooks(hooks);
        test::Find<QPushButton>(p, "btnBrowseFont")->click();
        QCOMPARE(browseTitle,
                 QStringLiteral("Válaszd ki betűtípust. Csak TrueType/OpenType jó! (*.TTF)"));
    }

    void infoTextHasItsTwelveLines()
    {
        StandaloneDialog dialog;
        TSettingsForm* f = dialog.form;
        const QStringList lines = SettingsInfoText();
        QCOMPARE(lines.size(), 12);
        QCOMPARE(lines[0], QStringLiteral("<b><u>Zuvora</u></b> v%v<br>"));
        QCOMPARE(lines[1], QStringLiteral("<br>"));
        QVERIFY(lines[2].endsWith(QStringLiteral("<br>")));
        QCOMPARE(lines[4], QStringLiteral("<br>"));
        QVERIFY(QRegularExpression(QStringLiteral("^WWW: <a href=\"([^\"]+)\">\\1</a><br>$"))
                    .match(lines[5])
                    .hasMatch());
        QVERIFY(
            QRegularExpression(QStringLiteral("^E-Mail: <a href=\"mailto:[^\"]+\">[^<]+</a><br>$"))
                .match(lines[6])
                .hasMatch());
        QCOMPARE(lines[7], QStringLiteral("<br>"));
        QCOMPARE(lines[8], QStringLiteral("<b><u>%p:</u></b> %m<br>"));
        QCOMPARE(lines[9], QStringLiteral("%p WWW: %w<br>"));
        QCOMPARE(lines[10], QStringLiteral("<br>"));
        QVERIFY(QRegularExpression(
                    QStringLiteral("^Feliratok letöltése: <a href=\"[^\"]+://[^\"]+\">[^<]+</a>$"))
                    .match(lines[11])
                    .hasMatch());

        // The program's version comes first, the player's when it has answered.
        f->SetVersions(QStringLiteral("1.4.0.7"), QString());
        QCOMPARE(test::Find<TMarkupLabel>(f, "InfoLabel")->HTMLText()[0],
                 QStringLiteral("<b><u>Zuvora</u></b> v1.4.0.7<br>"));
        QCOMPARE(test::Find<TMarkupLabel>(f, "InfoLabel")->HTMLText()[8],
                 QStringLiteral("<b><u>MPlayer:</u></b> <br>"));
        f->SetVersions(QStringLiteral("1.4.0.7"), QStringLiteral("1.5-12.2.0"));
        QCOMPARE(test::Find<TMarkupLabel>(f, "InfoLabel")->HTMLText()[0],
                 QStringLiteral("<b><u>Zuvora</u></b> v1.4.0.7<br>"));
        QCOMPARE(test::Find<TMarkupLabel>(f, "InfoLabel")->HTMLText()[8],
                 QStringLiteral("<b><u>MPlayer:</u></b> 1.5-12.2.0<br>"));
        // The home page is the running player's.
        QCOMPARE(test::Find<TMarkupLabel>(f, "InfoLabel")->HTMLText()[9],
                 QStringLiteral(
                     "MPlayer WWW: <a href=\"http://www.mplayerhq.hu\">www.mplayerhq.hu</a><br>"));
        f->SetVersions(QStringLiteral("1.4.0.7"), QStringLiteral("0.35.1"), QStringLiteral("mpv"));
        QCOMPARE(test::Find<TMarkupLabel>(f, "InfoLabel")->HTMLText()[9],
                 QStringLiteral("mpv WWW: <a href=\"https://mpv.io\">mpv.io</a><br>"));
        f->SetVersions(QStringLiteral("1.4.0.7"), QStringLiteral("1.5-12.2.0"));

        // 501 replaces the last line only where a language has it, and survives a later
        // version update.
        WriteLanguage("with",
                      "[Settings]\n501=Subtitles: <a href=\"https://subs.example\">here</a>\n");
        WriteLanguage("without", "[Settings]\n220=Video\n");
        QVERIFY(Langunit().LoadLanguage("without"));
        f->TranslateSettingsForm();
        QCOMPARE(test::Find<TMarkupLabel>(f, "InfoLabel")->HTMLText().last(), lines.last());
        QVERIFY(Langunit().LoadLanguage("with"));
        f->TranslateSettingsForm();
        const QString translated =
            QStringLiteral("Subtitles: <a href=\"https://subs.example\">here</a>");
        QCOMPARE(test::Find<TMarkupLabel>(f, "InfoLabel")->HTMLText().last(), translated);
        f->SetVersions(QStringLiteral("2.0"), QStringLiteral("1.5"));
        QCOMPARE(test::Find<TMarkupLabel>(f, "InfoLabel")->HTMLText().size(), 12);
        QCOMPARE(test::Find<TMarkupLabel>(f, "InfoLabel")->HTMLText().last(), translated);
        QCOMPARE(test::Find<TMarkupLabel>(f, "InfoLabel")->HTMLText()[0],
                 QStringLiteral("<b><u>Zuvora</u></b> v2.0<br>"));
        QVERIFY(Langunit().LoadLanguage("without"));
        f->TranslateSettingsForm();
        QCOMPARE(test::Find<TMarkupLabel>(f, "InfoLabel")->HTMLText().last(), translated);
    }

    void infoLabelDrawsTwelveLinesAndOpensLinks()
    {
        StandaloneDialog dialog;
        TSettingsForm* f = dialog.form;
        f->SetVersions(QStringLiteral("1.0"), QStringLiteral("1.5"));
        QVERIFY(test::Find<TMarkupLabel>(f, "InfoLabel")->AutoSizing());
        QStringList opened;
        test::Find<TMarkupLabel>(f, "InfoLabel")->SetLinkOpener([&](const QString& target) {
            opened << target;
        });
        test::Find<QTabWidget>(f, "PageControl1")
            ->setCurrentWidget(test::Find<TabSheet>(f, "TabSheet5"));
        dialog.main.show();
        f->show();
        QVERIFY(QTest::qWaitForWindowExposed(f));

        const MarkupLayout layout = test::Find<TMarkupLabel>(f, "InfoLabel")->CurrentLayout();
        QCOMPARE(layout.lines.size(), std::size_t{12});
        int height = 0;
        for (const MarkupLine& line : layout.lines)
            height += line.height;
        QCOMPARE(test::Find<TMarkupLabel>(f, "InfoLabel")->size(),
                 QSize(layout.widestLine + 6, height + 6));
        // The first run is bold and underlined; line 9 starts with the player's heading.
        QVERIFY(layout.lines[0].runs[0].style.bold && layout.lines[0].runs[0].style.underline);
        QCOMPARE(QString::fromStdString(layout.lines[8].runs[0].text), QStringLiteral("MPlayer:"));

        std::vector<std::string> targets;
        for (const MarkupLine& line : layout.lines) {
            for (const MarkupRun& run : line.runs) {
                if (!run.link)
                    continue;
                targets.push_back(*run.link);
                QTest::mouseClick(test::Find<TMarkupLabel>(f, "InfoLabel"), Qt::LeftButton, {},
                                  QPoint(run.x + run.width / 2, line.y + line.height / 2));
            }
        }
        QCOMPARE(targets.size(), std::size_t{4});
        QCOMPARE(opened.size(), 4);
        for (std::size_t index = 0; index < targets.size(); ++index)
            QCOMPARE(opened[static_cast<int>(index)], QString::fromStdString(targets[index]));
        QVERIFY(opened[1].startsWith(QStringLiteral("mailto:")));

        // Text that is not a link opens nothing.
        const MarkupLine& heading = layout.lines[0];
        QTest::mouseClick(test::Find<TMarkupLabel>(f, "InfoLabel"), Qt::LeftButton, {},
                          QPoint(heading.x + 2, heading.y + heading.height / 2));
        QCOMPARE(opened.size(), 4);
    }

    void languageListAsksForARestartAfterTheBuiltInLanguage()
    {
        CopyShippedLanguage("enu");
        CopyShippedLanguage("deu");
        QVERIFY(Langunit().LoadLanguage("enu"));
        int changes = 0;
        Langunit().SetLanguageChangedHandler([&] { ++changes; });
        StandaloneDialog dialog;
        TSettingsForm* f = dialog.form;
        f->FillLanguageList();
        QCOMPARE(test::Find<QComboBox>(f, "comboLang")->count(), 3);
        QCOMPARE(test::Find<QComboBox>(f, "comboLang")->itemText(0), QStringLiteral("<magyar>"));
        const int english = test::Find<QComboBox>(f, "comboLang")->currentIndex();
        QVERIFY(english > 0);
        const int german = english == 1 ? 2 : 1;
        const QString restart =
            QStringLiteral("A beállítások érvénybe léptetéséhez indítsd újra a programot!");

        // The entry already chosen: nothing happens.
        emit test::Find<QComboBox>(f, "comboLang")->activated(english);
        QCOMPARE(changes, 0);
        QVERIFY(MessageBox::ShownBoxes().empty());

        test::Find<QComboBox>(f, "comboLang")->setCurrentIndex(german);
        emit test::Find<QComboBox>(f, "comboLang")->activated(german);
        QCOMPARE(changes, 1);
        QCOMPARE(Q(Langunit().CurrentLanguage()), QStringLiteral("deu"));
        QVERIFY(MessageBox::ShownBoxes().empty());

        // By keyboard to the built-in language: the message in its own words.
        test::Find<QComboBox>(f, "comboLang")->setFocus();
        QTest::keyClick(test::Find<QComboBox>(f, "comboLang"), Qt::Key_Home);
        QCOMPARE(changes, 2);
        QCOMPARE(Q(Langunit().CurrentLanguage()), QString());
        QCOMPARE(MessageBox::ShownBoxes().size(), std::size_t{1});
        const MessageBox::Shown box = MessageBox::ShownBoxes().front();
        QCOMPARE(box.icon, QMessageBox::Warning);
        QCOMPARE(box.caption, QApplication::applicationName());
        QCOMPARE(box.text, restart);

        // Entry 0 again: already chosen, no second message.
        emit test::Find<QComboBox>(f, "comboLang")->activated(0);
        QCOMPARE(changes, 2);
        QCOMPARE(MessageBox::ShownBoxes().size(), std::size_t{1});

        // Back to a file: no message; its 401 text is the one a later restart message uses.
        test::Find<QComboBox>(f, "comboLang")->setCurrentIndex(english);
        emit test::Find<QComboBox>(f, "comboLang")->activated(english);
        QCOMPARE(changes, 3);
        QCOMPARE(MessageBox::ShownBoxes().size(), std::size_t{1});
        Langunit().SetLanguageChangedHandler({});
    }

    void placedBesideTheMainWindow()
    {
        // Left and width are those of the main window's outer frame, as the user sees it; the
        // dialog itself has no frame.
        StandaloneDialog dialog;
        QWidget& main = dialog.main;
        main.resize(400, 300);
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        main.resize(400 - (main.frameGeometry().width() - main.width()), 300);
        main.move(100, 50);
        QTRY_COMPARE(main.frameGeometry().topLeft(), QPoint(100, 50));
        QCOMPARE(main.frameGeometry().width(), 400);
        dialog.form->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog.form));
        QCOMPARE(dialog.form->frameGeometry().topLeft(), QPoint(500, 66));
        QCOMPARE(dialog.form->geometry().topLeft(), QPoint(500, 66));

        // Every show places it again.
        dialog.form->hide();
        main.move(20, 30);
        QTRY_COMPARE(main.frameGeometry().topLeft(), QPoint(20, 30));
        dialog.form->show();
        QCOMPARE(dialog.form->pos(), QPoint(420, 46));
    }

    void followsTheMainWindowAndOpensItsNeighbours()
    {
        test::MainWindowFixture fixture;
        TZUVMainForm& main = *fixture.form;
        TSettingsForm* f = main.SettingsForm();
        QVERIFY(f->windowFlags() & Qt::FramelessWindowHint);
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        main.move(100, 50);
        QTRY_COMPARE(main.frameGeometry().topLeft(), QPoint(100, 50));
        test::Find<QAction>(&main, "ActionSettings")->trigger();
        QVERIFY(f->isVisible());
        // Beside the main window where the screen has room, else at its left or over it.
        const auto beside = [&] {
            const QRect frame = main.frameGeometry();
            const QRect area = main.screen()->availableGeometry();
            const ScreenPoint place =
                PlaceBeside({frame.x(), frame.y(), frame.width(), frame.height()}, f->width(),
                            f->height(), 16, {area.x(), area.y(), area.width(), area.height()});
            return QPoint(place.x, place.y);
        };
        QCOMPARE(f->pos(), beside());
        main.move(150, 90);
        QTRY_COMPARE(main.frameGeometry().topLeft(), QPoint(150, 90));
        QTRY_COMPARE(f->pos(), beside());
        test::Find<QAction>(&main, "ActionSettings")->trigger();
        QVERIFY(!f->isVisible());

        // The key-binding file goes to the desktop without a word: the player's own file, or the
        // program folder's when there is one.
        test::ScopedEnv home("HOME", fixture.configHome.path());
        test::FakeOpener opener;
        test::Find<QPushButton>(f, "btnSetKeys")->click();
        QTRY_COMPARE(opener.Opened().size(), 1);
        std::remove(fixture.program.file("mplayer").c_str()); // the fake player's name
        test::WriteFile(fixture.program.file("mplayer/input.conf"), "q quit\n");
        test::Find<QPushButton>(f, "btnSetKeys")->click();
        QTRY_COMPARE(opener.Opened().size(), 2);
        QCOMPARE(opener.Opened().first(), Q(fixture.configHome.file(".mplayer/input.conf")));
        QCOMPARE(opener.Opened().last(), Q(fixture.program.file("mplayer/input.conf")));
        QVERIFY(MessageBox::ShownBoxes().empty());

        // The equalizer opens without blocking.
        test::Find<QCheckBox>(f, "cbEqualizer")->setChecked(true);
        test::Find<QPushButton>(f, "btnShowEQ")->click();
        QVERIFY(main.EQForm()->isVisible());
        QVERIFY(!main.EQForm()->isModal());
        QVERIFY(!QApplication::activeModalWidget());
        main.EQForm()->hide();

        // The font browser: its title, where it opens, and what it gives back.
        FileDialog::SetNextAnswer({QStringLiteral("/my fonts/a.ttf")});
        test::Find<QPushButton>(f, "btnBrowseFont")->click();
        QCOMPARE(test::Find<QLineEdit>(f, "edFont")->text(), QStringLiteral("/my fonts/a.ttf"));
        const std::optional<FileDialog> shown = FileDialog::LastShown();
        QVERIFY(shown.has_value());
        QCOMPARE(shown->title,
                 QStringLiteral("Válaszd ki betűtípust. Csak TrueType/OpenType jó! (*.TTF)"));
        QCOMPARE(shown->initialFolder, Q(FontBrowseFolder()));
        FileDialog::SetNextAnswer({});
        test::Find<QPushButton>(f, "btnBrowseFont")->click();
        QCOMPARE(test::Find<QLineEdit>(f, "edFont")->text(), QStringLiteral("/my fonts/a.ttf"));
    }

    void fileTypeWindowIsModalAndOkKeepsTheList()
    {
        test::TempDir data;
        test::ScopedEnv dataHome("XDG_DATA_HOME", data.path());
        test::MainWindowFixture fixture;
        TZUVMainForm& main = *fixture.form;
        TSettingsForm* f = main.SettingsForm();
        const std::string original = main.FileTypes();
        QVERIFY(!original.empty());

        // Runs `step` on the file-type window once it is up, then closes it with OK or Cancel.
        const auto openFileTypes = [&](const std::function<void(TFileAssocForm&)>& step, bool ok) {
            bool seen = false;
            QTimer::singleShot(0, [&] {
                auto* window = qobject_cast<TFileAssocForm*>(QApplication::activeModalWidget());
                if (!window)
                    return;
                seen = true;
                QCOMPARE(window->parentWidget(), static_cast<QWidget*>(f));
                step(*window);
                if (ok)
                    test::Find<QPushButton>(window, "btnOk")->click();
                else
                    test::Find<QPushButton>(window, "btnCancel")->click();
            });
            // Should the window not come up, the guard keeps the test from hanging.
            QTimer guard;
            guard.setSingleShot(true);
            QObject::connect(&guard, &QTimer::timeout, [] {
                if (QWidget* modal = QApplication::activeModalWidget())
                    modal->close();
            });
            guard.start(20000);
            test::Find<QPushButton>(f, "btnFileAssoc")->click();
            return seen;
        };

        QVERIFY(openFileTypes([](TFileAssocForm&) {}, true));
        QCOMPARE(main.FileTypes(), original);
        QVERIFY(!QApplication::activeModalWidget());

        const auto dropMpg = [](TFileAssocForm& window) {
            const QList<QTreeWidgetItem*> rows =
                test::Find<QTreeWidget>(&window, "lvTypes")
                    ->findItems(QStringLiteral(".mpg"), Qt::MatchExactly);
            QCOMPARE(rows.size(), 1);
            test::Find<QTreeWidget>(&window, "lvTypes")->setCurrentItem(rows.first());
            window.btnDelClick();
        };
        QVERIFY(openFileTypes(dropMpg, false));
        QCOMPARE(main.FileTypes(), original);

        QVERIFY(openFileTypes(dropMpg, true));
        std::string expected = original;
        ReplaceAll(expected, ".mpg;", "");
        QCOMPARE(Q(main.FileTypes()), Q(expected));
        QCOMPARE(Q(main.CurrentOptions().FileTypes), Q(expected));
        // The next opening lists what OK left.
        QStringList listed;
        QVERIFY(openFileTypes(
            [&](TFileAssocForm& window) {
                for (int row = 0;
                     row < test::Find<QTreeWidget>(&window, "lvTypes")->topLevelItemCount(); ++row)
                    listed
                        << test::Find<QTreeWidget>(&window, "lvTypes")->topLevelItem(row)->text(0);
            },
            false));
        QCOMPARE(listed.join(QLatin1Char(';')), Q(expected));
    }
};

QTEST_MAIN(SettingsFormTest)
#include "settings_form_test.moc"
