#include "settings/qt/settings_form.h"

#include "lang/qt/translate.h"
#include "settings/qt/settings_audio_page.h"
#include "settings/qt/settings_font_page.h"
#include "settings/qt/settings_info_page.h"
#include "settings/qt/settings_other_page.h"
#include "settings/qt/settings_video_page.h"
#include "widgets/qt/accessible_name.h"
#include "widgets/qt/desktop_window.h"
#include "widgets/window_placement.h"

#include <QEvent>
#include <QFrame>
#include <QLayout>
#include <QProxyStyle>
#include <QScreen>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

namespace zuv {

namespace {

// Flat tabs with little room beside their captions, so that the five tabs fit in one row of the
// narrow dialog (tab bars here have no second row); the dialog widens for longer captions.
class CompactTabStyle : public QProxyStyle
{
public:
    int pixelMetric(PixelMetric metric, const QStyleOption* option,
                    const QWidget* widget) const override
    {
        if (metric == PM_TabBarTabHSpace)
            return 10;
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
};

} // namespace

TSettingsForm::TSettingsForm(QWidget* mainWindow)
    : QWidget(mainWindow, SecondaryWindowType() | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("SettingsForm"));
    setWindowTitle(QStringLiteral("Beállítások"));
    CloseOnEscape(*this);
    // The application's font, not the owner's: a window does not inherit it, and a larger
    // application font must make the dialog grow.

    auto* panel = new QFrame(this);
    panel->setFrameShape(QFrame::StyledPanel);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(panel);
    auto* panelLayout = new QVBoxLayout(panel);
    panelLayout->setContentsMargins(2, 2, 2, 2);
    PageControl1 = Named(new QTabWidget(panel), "PageControl1");
    PageControl1->setDocumentMode(true);
    // Owned by the dialog, created after the panel, so it outlives the tab bar that uses it.
    auto* tabStyle = new CompactTabStyle;
    tabStyle->setParent(this);
    PageControl1->tabBar()->setStyle(tabStyle);
    // Every tab stays whole: the dialog's width follows the tab bar's.
    PageControl1->setUsesScrollButtons(false);
    PageControl1->tabBar()->setElideMode(Qt::ElideNone);
    panelLayout->addWidget(PageControl1);

    TabSheet1 = new VideoPage;
    TabSheet2 = new AudioPage(m_hooks);
    TabSheet3 = new FontPage(m_hooks);
    TabSheet4 = new OtherPage(m_hooks);
    TabSheet5 = new InfoPage;
    for (SettingsPage* page : std::initializer_list<SettingsPage*>{TabSheet1, TabSheet2, TabSheet3,
                                                                   TabSheet4, TabSheet5})
        PageControl1->addTab(page, page->Caption());
    PageControl1->setCurrentIndex(0);

    connect(TabSheet4, &OtherPage::DisableScrSaverToggled, this,
            &TSettingsForm::DisableScrSaverToggled);
    connect(PageControl1, &QTabWidget::tabBarClicked, this, [this](int index) {
        if (index >= 0)
            PageChosen();
    });
    connect(PageControl1, &QTabWidget::currentChanged, this, &TSettingsForm::PageChosen);
    FitToTexts();
}

void TSettingsForm::PlaceBesideMainWindow()
{
    const QWidget* main = parentWidget();
    if (!main)
        return;
    // The outer frame of the main window, as the user sees it; this dialog has no frame.
    const QRect frame = main->frameGeometry();
    const QScreen* screen = main->screen();
    const QRect area = screen ? screen->availableGeometry() : QRect(frame.topLeft(), size());
    const ScreenPoint place =
        PlaceBeside({frame.left(), frame.top(), frame.width(), frame.height()}, width(), height(),
                    16, {area.left(), area.top(), area.width(), area.height()});
    PlaceWindow(*this, QPoint(place.x, place.y));
}

double TSettingsForm::GetSubFontScale() const
{
    return TabSheet3->GetSubFontScale();
}

void TSettingsForm::SetSubFontScale(double scale)
{
    TabSheet3->SetSubFontScale(scale);
}

void TSettingsForm::TranslateSettingsForm()
{
    TabSheet1->Translate();
    TabSheet2->Translate();
    TabSheet3->Translate();
    TabSheet4->Translate();
    TabSheet5->Translate();
    // No caption bar shows it, but screen readers and the window list say the title: the text
    // of the button that opens the dialog.
    QString title = GetText("Main", "201", QStringLiteral("Beállítások ->"));
    title.remove(QStringLiteral("->"));
    NameAfterCaption(this, title.trimmed());
    setWindowTitle(accessibleName());
    FitToTexts();
}

void TSettingsForm::SetVersions(const QString& programVersion, const QString& playerVersion,
                                const QString& playerName)
{
    TabSheet5->SetVersions(programVersion, playerVersion, playerName);
}

void TSettingsForm::FillLanguageList()
{
    TabSheet5->FillLanguageList();
}

void TSettingsForm::SetActivePage(int storedPage)
{
    const int page = SettingsPageIndex(storedPage);
    m_noActivePage = page < 0;
    if (page >= 0)
        PageControl1->setCurrentIndex(page);
    // With no active page only the tabs show, until the user picks one.
    PageControl1->currentWidget()->setVisible(!m_noActivePage);
}

void TSettingsForm::PageChosen()
{
    if (!m_noActivePage)
        return;
    m_noActivePage = false;
    PageControl1->currentWidget()->setVisible(true);
}

void TSettingsForm::ApplyOptions(const Options& options)
{
    TabSheet1->ApplyOptions(options);
    TabSheet2->ApplyOptions(options);
    TabSheet3->ApplyOptions(options);
    TabSheet4->ApplyOptions(options);
    SetActivePage(options.SettingsPage);
}

void TSettingsForm::GatherOptions(Options& options) const
{
    TabSheet1->GatherOptions(options);
    TabSheet2->GatherOptions(options);
    TabSheet3->GatherOptions(options);
    TabSheet4->GatherOptions(options);
    options.SettingsPage = m_noActivePage ? -1 : PageControl1->currentIndex();
}

void TSettingsForm::FitToTexts()
{
    if (m_fitting)
        return;
    m_fitting = true;
    // The tab widget asks every page, shown or not, so the size does not change with the page.
    layout()->activate();
    setFixedSize(QSize(kDesignedWidth, kDesignedHeight).expandedTo(layout()->totalSizeHint()));
    m_fitting = false;
    // A wider dialog may no longer fit on the side it hangs at.
    if (isVisible())
        PlaceBesideMainWindow();
}

bool TSettingsForm::event(QEvent* event)
{
    // Without a caption bar a click on a blank part is all the user can do to type here.
    if (event->type() == QEvent::MouseButtonPress && !isActiveWindow())
        BringToFront(*this);
    const bool handled = QWidget::event(event);
    // A text, a font or a value label changed the room the controls need.
    if (event->type() == QEvent::LayoutRequest)
        FitToTexts();
    return handled;
}

void TSettingsForm::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        FitToTexts();
}

void TSettingsForm::showEvent(QShowEvent* event)
{
    // Sized before it maps: a frameless window resized once shown gets its place from the X
    // server relative to the window manager's frame, and Qt then took it for (0, 0), so the
    // drop-down lists and clicks went astray until the next move.
    FitToTexts();
    PlaceBesideMainWindow();
    QWidget::showEvent(event);
}

} // namespace zuv
