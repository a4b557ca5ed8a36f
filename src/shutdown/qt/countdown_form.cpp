#include "shutdown/qt/countdown_form.h"

#include "util/number_format.h"
#include "util/text_utils.h"
#include "widgets/qt/control_fit.h"
#include "widgets/qt/desktop_window.h"
#include "widgets/qt/markup_label.h"

#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QWindow>

#include <algorithm>
#include <limits>

namespace zuv {

namespace {

constexpr std::string_view kSection = "Shutdown";
constexpr std::string_view kDesignText =
    "<p align=\"center\"><br>A számítógép leáll <b>%s</b> másodperc múlva</p>";

// The drawn window: the label across its top, the button centred below it.
constexpr int kWidth = 242;
constexpr int kLabelTop = 8;
constexpr int kLabelHeight = 41;
constexpr QSize kButton(75, 25);
constexpr int kButtonGap = 3;
constexpr int kMargin = 8;

} // namespace

TCountdownForm::TCountdownForm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      m_lookup([](std::string_view, std::string_view, std::string_view builtIn) {
          return std::string(builtIn);
      }),
      m_template(kDesignText)
{
    setObjectName(QStringLiteral("CountdownForm"));
    setWindowTitle(QString::fromUtf8("Kikapcsolás"));

    Label = new TMarkupLabel(this);
    Label->setObjectName(QStringLiteral("Label"));
    Label->SetHTMLText(QString::fromUtf8(kDesignText.data(), kDesignText.size()));

    btnCancel = new QPushButton(QString::fromUtf8("Mégsem"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    LayOut();
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);

    Timer = new QTimer(this);
    Timer->setObjectName(QStringLiteral("Timer"));
    Timer->setInterval(1000);
    connect(Timer, &QTimer::timeout, this, &TCountdownForm::TimerTimer);
}

void TCountdownForm::SetTextLookup(TextLookup lookup)
{
    m_lookup = std::move(lookup);
}

void TCountdownForm::StartCountdown(int seconds)
{
    setWindowTitle(QString::fromStdString(m_lookup(kSection, "100", windowTitle().toStdString())));
    btnCancel->setText(
        QString::fromStdString(m_lookup(kSection, "102", btnCancel->text().toStdString())));

    // Taken afresh each time: the label's own text has the number filled in.
    const std::string translated = m_lookup(kSection, "101", "");
    m_template = translated.empty() ? std::string(kDesignText)
                                    : "<p align=\"center\">" + translated + "</p>";

    m_secondsLeft = seconds;
    ShowSeconds();
    // The count only gets shorter: the first text is the widest.
    LayOut();
    Timer->start();
}

void TCountdownForm::LayOut()
{
    // The sentence on one line as drawn, up to twice the drawn width; a longer one wraps and the
    // label grows downwards.
    const int natural = Label->LayoutAtWidth(QWIDGETSIZE_MAX).widestLine + 2 * kMargin;
    const QSize button = ButtonSizeForCaption(*btnCancel).expandedTo(kButton);
    const int width =
        std::max({kWidth, std::min(natural, 2 * kWidth), button.width() + 2 * kMargin});
    const int labelHeight = std::max(kLabelHeight, Label->LayoutAtWidth(width).totalHeight);
    Label->setGeometry(0, kLabelTop, width, labelHeight);
    const int buttonTop = kLabelTop + labelHeight + kButtonGap;
    btnCancel->setGeometry((width - button.width()) / 2, buttonTop, button.width(),
                           button.height());
    setFixedSize(width, buttonTop + button.height() + kMargin);
}

void TCountdownForm::TimerTimer()
{
    if (m_secondsLeft > std::numeric_limits<int>::min())
        --m_secondsLeft;
    ShowSeconds();
    if (m_secondsLeft <= 0)
        done(QDialog::Accepted);
}

void TCountdownForm::ShowSeconds()
{
    std::string text = m_template;
    ReplaceAll(text, "%s", FormatInteger(m_secondsLeft));
    Label->SetHTMLText(QString::fromStdString(text));
}

void TCountdownForm::done(int result)
{
    // Ticks after the window has closed would only count on unseen.
    Timer->stop();
    QDialog::done(result);
}

void TCountdownForm::showEvent(QShowEvent* event)
{
    if (const QScreen* screen = this->screen()) {
        // The frame is centred. The window manager draws it only once the window shows; until
        // then the main window's frame tells its size.
        QMargins margins = windowHandle() ? windowHandle()->frameMargins() : QMargins();
        if (const QWidget* owner = parentWidget(); margins.isNull() && owner) {
            const QRect outer = owner->window()->frameGeometry();
            const QRect inner = owner->window()->geometry();
            margins = QMargins(inner.left() - outer.left(), inner.top() - outer.top(),
                               outer.right() - inner.right(), outer.bottom() - inner.bottom());
        }
        const QRect frame(QPoint(), size().grownBy(margins));
        const QPoint client = screen->availableGeometry().center() - frame.center() +
                              QPoint(margins.left(), margins.top());
        // move() takes the frame's corner, as far as Qt knows the frame now.
        PlaceWindow(*this, client - (geometry().topLeft() - pos()));
    }
    QDialog::showEvent(event);
}

} // namespace zuv
