#include "equalizer/qt/eq_form.h"
#include "lang/language.h"
#include "support/find_control.h"
#include "support/test_support.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTest>

#include <memory>

using namespace zuv;

namespace {

const char* const kPresetFile = "[Rock]\r\n"
                                "Value=5:4:3:2:1:0:-1:-2:-3:-4.5\r\n"
                                "Comment=kept\r\n"
                                "\r\n"
                                "[Flat]\r\n"
                                "Value=0:0:0:0:0:0:0:0:0:0\r\n"
                                "\r\n";

const EqualizerPositions kRock = {-50, -40, -30, -20, -10, 0, 10, 20, 30, 45};

QStringList Entries(const QComboBox* combo)
{
    QStringList entries;
    for (int index = 0; index < combo->count(); ++index)
        entries << combo->itemText(index);
    return entries;
}

// What the user does when picking an entry of the drop-down.
void Pick(TEQForm& form, int index)
{
    auto* comboPreset = test::Find<QComboBox>(&form, "comboPreset");
    comboPreset->setCurrentIndex(index);
    emit comboPreset->activated(index);
}

} // namespace

class EqFormTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<test::TempDir> m_profile;
    std::unique_ptr<test::TempDir> m_program;

    PresetFolders Folders() const { return {m_profile->path(), m_program->path()}; }

private slots:
    void init()
    {
        m_profile = std::make_unique<test::TempDir>();
        m_program = std::make_unique<test::TempDir>();
        Langunit() = Language(m_program->path());
    }
    void cleanup()
    {
        Langunit() = Language();
        m_profile.reset();
        m_program.reset();
    }

    void startsFlatWithNothingChosen()
    {
        test::WriteFile(m_program->file("equalizer.ini"), kPresetFile);
        TEQForm form(nullptr, Folders());
        QCOMPARE(form.windowTitle(), QStringLiteral("Ekvalizer"));
        // As drawn, or wider where the captions need it; never resized by the user.
        QCOMPARE(form.size().expandedTo(QSize(377, 200)), form.size());
        QCOMPARE(form.height(), 200);
        QCOMPARE(form.minimumSize(), form.maximumSize());
        auto* comboPreset = test::Find<QComboBox>(&form, "comboPreset");
        QCOMPARE(Entries(comboPreset),
                 (QStringList{QStringLiteral("Alapérték"), QStringLiteral("Rock"),
                              QStringLiteral("Flat")}));
        QCOMPARE(comboPreset->currentIndex(), -1);
        QVERIFY(!test::Find<QPushButton>(&form, "btnSave")->isEnabled());
        QVERIFY(!test::Find<QPushButton>(&form, "btnDel")->isEnabled());
        QCOMPARE(form.GetEQSettings(), std::string("0:0:0:0:0:0:0:0:0:0"));
        QCOMPARE(form.GetEQPreset(), std::string());
        QCOMPARE(test::Find<QSlider>(&form, "TrackBar1")->minimum(), -120);
        QCOMPARE(test::Find<QSlider>(&form, "TrackBar10")->maximum(), 120);
        auto* TrackBar5 = test::Find<QSlider>(&form, "TrackBar5");
        QCOMPARE(TrackBar5->pageStep(), 20);
        QCOMPARE(TrackBar5->tickInterval(), 20);
    }

    void everyPositionRoundTripsThroughTheSliders()
    {
        TEQForm form(nullptr, Folders());
        const QSlider* bars[] = {
            test::Find<QSlider>(&form, "TrackBar1"), test::Find<QSlider>(&form, "TrackBar2"),
            test::Find<QSlider>(&form, "TrackBar3"), test::Find<QSlider>(&form, "TrackBar4"),
            test::Find<QSlider>(&form, "TrackBar5"), test::Find<QSlider>(&form, "TrackBar6"),
            test::Find<QSlider>(&form, "TrackBar7"), test::Find<QSlider>(&form, "TrackBar8"),
            test::Find<QSlider>(&form, "TrackBar9"), test::Find<QSlider>(&form, "TrackBar10")};
        for (int position = -120; position <= 120; ++position) {
            EqualizerPositions wanted{};
            for (int band = 0; band < kEqualizerBandCount; ++band)
                wanted[band] = (position + 120 + 37 * band) % 241 - 120;
            QVERIFY(form.SetEQSettings(FormatBandValueString(wanted)));
            const std::string text = form.GetEQSettings();
            QVERIFY(form.SetEQSettings("0:0:0:0:0:0:0:0:0:0"));
            QVERIFY(form.SetEQSettings(text));
            for (int band = 0; band < kEqualizerBandCount; ++band)
                QCOMPARE(bars[band]->value(), wanted[band]);
        }
    }

    void readsFieldsByTheStoredRules()
    {
        TEQForm form(nullptr, Folders());
        QVERIFY(form.SetEQSettings("13:-20:1.25:-0.1:0:0:0:0:0:11.5"));
        QCOMPARE(form.Positions(), (EqualizerPositions{-120, 120, -12, 1, 0, 0, 0, 0, 0, -115}));
        QCOMPARE(form.GetEQSettings(), std::string("12:-12:1.2:-0.1:0:0:0:0:0:11.5"));

        const EqualizerPositions before = form.Positions();
        QVERIFY(!form.SetEQSettings(""));
        QVERIFY(!form.SetEQSettings("1:1:1:1:1:1:1:1:1"));
        QCOMPARE(form.Positions(), before);

        QVERIFY(form.SetEQSettings("1:2:3:4:5:6:7:8:9:10:11"));
        QCOMPARE(form.Positions(),
                 (EqualizerPositions{-10, -20, -30, -40, -50, -60, -70, -80, -90, -100}));

        // Reading stops at the fourth field; the text still counts.
        QVERIFY(form.SetEQSettings("-1:-2:-3:loud:5:5:5:5:5:5"));
        QCOMPARE(form.Positions(),
                 (EqualizerPositions{10, 20, 30, -40, -50, -60, -70, -80, -90, -100}));
    }

    void thumbOfPlusTwelveDecibelsIsAtTheTop()
    {
        TEQForm form(nullptr, Folders());
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QSlider* bar = test::Find<QSlider>(&form, "TrackBar3");
        // The style option the slider paints with; reached through a public member pointer.
        struct Access : QSlider
        {
            using QSlider::initStyleOption;
        };
        const auto handleTop = [bar](int value) {
            bar->setValue(value);
            QStyleOptionSlider option;
            (bar->*(&Access::initStyleOption))(&option);
            return bar->style()
                ->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, bar)
                .top();
        };
        const int plusTwelve = handleTop(-120);
        const int minusTwelve = handleTop(120);
        QVERIFY(plusTwelve < minusTwelve);
        QVERIFY(plusTwelve < bar->height() / 4);
    }

    void pickingEntriesLoadsPresetsAndTheDefaultFlattens()
    {
        test::WriteFile(m_program->file("equalizer.ini"), kPresetFile);
        TEQForm form(nullptr, Folders());
        Pick(form, 1);
        QCOMPARE(form.Positions(), kRock);
        auto* btnSave = test::Find<QPushButton>(&form, "btnSave");
        QVERIFY(btnSave->isEnabled());
        auto* btnDel = test::Find<QPushButton>(&form, "btnDel");
        QVERIFY(btnDel->isEnabled());
        QCOMPARE(form.GetEQPreset(), std::string("Rock"));

        Pick(form, 0);
        QCOMPARE(form.Positions(), EqualizerPositions{});
        QVERIFY(!btnSave->isEnabled());
        QVERIFY(!btnDel->isEnabled());
        QCOMPARE(form.GetEQPreset(), std::string());

        // The program choosing an entry loads nothing and leaves the buttons.
        form.SetEQPreset("ROCK");
        auto* comboPreset = test::Find<QComboBox>(&form, "comboPreset");
        QCOMPARE(comboPreset->currentIndex(), 1);
        QCOMPARE(form.Positions(), EqualizerPositions{});
        QVERIFY(!btnSave->isEnabled());
        form.SetEQPreset("Jazz");
        QCOMPARE(comboPreset->currentIndex(), -1);
        form.SetEQPreset("");
        QCOMPARE(comboPreset->currentIndex(), 0);
    }

    void typingChangesOnlyTheButtonsAndSaveReplacesInAnyCase()
    {
        test::WriteFile(m_program->file("equalizer.ini"), kPresetFile);
        TEQForm form(nullptr, Folders());
        Pick(form, 0);
        QVERIFY(form.SetEQSettings("1:1:1:1:1:1:1:1:1:1"));
        auto* comboPreset = test::Find<QComboBox>(&form, "comboPreset");
        QLineEdit* edit = comboPreset->lineEdit();
        edit->selectAll();
        QTest::keyClicks(edit, QStringLiteral("rock"));
        QCOMPARE(comboPreset->currentIndex(), -1);
        QCOMPARE(comboPreset->currentText(), QStringLiteral("rock"));
        auto* btnSave = test::Find<QPushButton>(&form, "btnSave");
        QVERIFY(btnSave->isEnabled());
        auto* btnDel = test::Find<QPushButton>(&form, "btnDel");
        QVERIFY(!btnDel->isEnabled());
        // Leaving the field (as the click on Ment does) must not load the preset of that name.
        emit edit->editingFinished();
        QCOMPARE(comboPreset->currentIndex(), -1);
        QCOMPARE(comboPreset->currentText(), QStringLiteral("rock"));
        QCOMPARE(form.GetEQSettings(), std::string("1:1:1:1:1:1:1:1:1:1"));

        QTest::mouseClick(btnSave, Qt::LeftButton);
        QCOMPARE(form.PresetFile().PresetNames(), (std::vector<std::string>{"Rock", "Flat"}));
        QCOMPARE(form.PresetFile().PresetValue("Rock"), std::string("1:1:1:1:1:1:1:1:1:1"));
        QCOMPARE(form.PresetFile().Document().Value("Rock", "Comment"), std::string("kept"));
        QCOMPARE(comboPreset->currentIndex(), 1);
        QCOMPARE(form.GetEQPreset(), std::string("Rock"));
        QVERIFY(btnSave->isEnabled());
        QVERIFY(!btnDel->isEnabled());

        // A new name goes to the end of the list and is chosen.
        edit->selectAll();
        QTest::keyClicks(edit, QStringLiteral("Mine"));
        btnSave->click();
        QCOMPARE(Entries(comboPreset).last(), QStringLiteral("Mine"));
        QCOMPARE(comboPreset->currentIndex(), 3);
    }

    void deletingLeavesNothingChosen()
    {
        test::WriteFile(m_program->file("equalizer.ini"), kPresetFile);
        TEQForm form(nullptr, Folders());
        form.btnDelClick(); // nothing chosen: nothing happens
        QCOMPARE(form.PresetFile().PresetNames().size(), std::size_t{2});
        Pick(form, 2);
        test::Find<QPushButton>(&form, "btnDel")->click();
        QCOMPARE(form.PresetFile().PresetNames(), (std::vector<std::string>{"Rock"}));
        auto* comboPreset = test::Find<QComboBox>(&form, "comboPreset");
        QCOMPARE(Entries(comboPreset),
                 (QStringList{QStringLiteral("Alapérték"), QStringLiteral("Rock")}));
        QCOMPARE(comboPreset->currentIndex(), -1);
        QCOMPARE(comboPreset->currentText(), QString());
    }

    void storedNameAndDifferentGainsBothShowAtStart()
    {
        test::WriteFile(m_program->file("equalizer.ini"), kPresetFile);
        TEQForm form(nullptr, Folders());
        Options options;
        options.EQPreset = "rock";
        options.EQSettings = "-1:-1:-1:-1:-1:-1:-1:-1:-1:2.5";
        form.ApplyOptions(options);
        QCOMPARE(test::Find<QComboBox>(&form, "comboPreset")->currentText(),
                 QStringLiteral("Rock"));
        QCOMPARE(form.Positions(), (EqualizerPositions{10, 10, 10, 10, 10, 10, 10, 10, 10, -25}));

        Options gathered;
        form.GatherOptions(gathered);
        QCOMPARE(gathered.EQPreset, std::string("Rock"));
        QCOMPARE(gathered.EQSettings, std::string("-1:-1:-1:-1:-1:-1:-1:-1:-1:2.5"));
    }

    void profileFileWinsAndIsWrittenBackAtDestruction()
    {
        test::WriteFile(m_program->file("equalizer.ini"), kPresetFile);
        test::WriteFile(m_profile->file("equalizer.ini"), "[Mine]\nValue=1:1:1:1:1:1:1:1:1:1\n");
        {
            TEQForm form(nullptr, Folders());
            auto* comboPreset = test::Find<QComboBox>(&form, "comboPreset");
            QCOMPARE(Entries(comboPreset),
                     (QStringList{QStringLiteral("Alapérték"), QStringLiteral("Mine")}));
            comboPreset->lineEdit()->setText(QStringLiteral("Loud"));
            form.SetEQSettings("12:12:12:12:12:12:12:12:12:12");
            form.btnSaveClick();
            // Nothing reaches the disk before the window goes.
            QCOMPARE(test::ReadFile(m_profile->file("equalizer.ini")),
                     std::string("[Mine]\nValue=1:1:1:1:1:1:1:1:1:1\n"));
        }
        QCOMPARE(test::ReadFile(m_profile->file("equalizer.ini")),
                 std::string("[Mine]\r\nValue=1:1:1:1:1:1:1:1:1:1\r\n\r\n"
                             "[Loud]\r\nValue=12:12:12:12:12:12:12:12:12:12\r\n\r\n"));
        QCOMPARE(test::ReadFile(m_program->file("equalizer.ini")), std::string(kPresetFile));
    }

    void unwritableProgramFolderFallsBackToTheProfile()
    {
        // The program folder is a plain file, so nothing can be written into it.
        const std::string blocked = m_program->file("blocked");
        test::WriteFile(blocked, "");
        {
            TEQForm form(nullptr, {m_profile->path(), blocked + "/"});
            auto* comboPreset = test::Find<QComboBox>(&form, "comboPreset");
            QCOMPARE(comboPreset->count(), 1);
            comboPreset->lineEdit()->setText(QStringLiteral("Mine"));
            form.btnSaveClick();
        }
        QCOMPARE(test::ReadFile(m_profile->file("equalizer.ini")),
                 std::string("[Mine]\r\nValue=0:0:0:0:0:0:0:0:0:0\r\n\r\n"));
    }

    void closingOnlyHides()
    {
        TEQForm form(nullptr, Folders());
        form.show();
        QVERIFY(form.SetEQSettings("3:3:3:3:3:3:3:3:3:3"));
        QTest::mouseClick(test::Find<QPushButton>(&form, "btnClose"), Qt::LeftButton);
        QVERIFY(form.isHidden());
        form.show();
        QCOMPARE(form.GetEQSettings(), std::string("3:3:3:3:3:3:3:3:3:3"));
    }

    void translatesFromTheLanguageFile()
    {
        test::WriteFile(m_program->file("t.lng"), "[Equalizer]\n"
                                                  "100=Equalizer\n"
                                                  "101=Default\n"
                                                  "102=Close\n"
                                                  "103=\n"
                                                  "105=Presets\n");
        TEQForm form(nullptr, Folders());
        QVERIFY(Langunit().LoadLanguage("t"));
        form.TranslateEQForm();
        QCOMPARE(form.windowTitle(), QStringLiteral("Equalizer"));
        QCOMPARE(test::Find<QPushButton>(&form, "btnClose")->text(), QStringLiteral("Close"));
        QCOMPARE(test::Find<QPushButton>(&form, "btnSave")->text(), QStringLiteral("Ment"));
        QCOMPARE(test::Find<QPushButton>(&form, "btnDel")->text(), QStringLiteral("Töröl"));
        QCOMPARE(test::Find<QLabel>(&form, "Label14")->text(), QStringLiteral("Presets"));
        auto* comboPreset = test::Find<QComboBox>(&form, "comboPreset");
        // The default entry takes its name when the list is next built.
        QCOMPARE(comboPreset->itemText(0), QStringLiteral("Alapérték"));
        form.LoadPresetList();
        QCOMPARE(comboPreset->itemText(0), QStringLiteral("Default"));

        // The caption keeps the last language's text when the file no longer has one.
        Langunit().UnloadLanguage();
        form.TranslateEQForm();
        QCOMPARE(form.windowTitle(), QStringLiteral("Equalizer"));
    }
};

QTEST_MAIN(EqFormTest)
#include "eq_form_test.moc"
