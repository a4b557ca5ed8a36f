#include "widgets/qt/markup_label.h"

#include <QDesktopServices>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QShowEvent>
#include <QUrl>

#include <array>

namespace zuv {

namespace {

int StyleIndex(const MarkupStyle& style)
{
    return (style.bold ? 1 : 0) | (style.underline ? 2 : 0);
}

// Measures with the widget's font in the four looks a run can have (colour does not matter).
class FontMeasurer : public TextMeasurer
{
public:
    explicit FontMeasurer(const QFont& base)
    {
        for (int index = 0; index < 4; ++index) {
            QFont font(base);
            font.setBold((index & 1) != 0);
            font.setUnderline((index & 2) != 0);
            m_fonts[index] = font;
            m_metrics[index].emplace(font);
        }
    }

    int TextWidth(std::string_view text, const MarkupStyle& style) const override
    {
        return Metrics(style).horizontalAdvance(
            QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    }
    int TextHeight(const MarkupStyle& style) const override { return Metrics(style).height(); }

    const QFont& Font(const MarkupStyle& style) const { return m_fonts[StyleIndex(style)]; }
    const QFontMetrics& Metrics(const MarkupStyle& style) const
    {
        return *m_metrics[StyleIndex(style)];
    }

private:
    std::array<QFont, 4> m_fonts;
    std::array<std::optional<QFontMetrics>, 4> m_metrics;
};

} // namespace

TMarkupLabel::TMarkupLabel(QWidget* parent)
    : QWidget(parent), m_opener([](const QString& target) {
          QDesktopServices::openUrl(QUrl(target, QUrl::TolerantMode));
      })
{
    setMouseTracking(true);
    setAutoFillBackground(false);
}

void TMarkupLabel::SetHTMLText(const QStringList& lines)
{
    m_lines = lines;
    TextChanged();
}

void TMarkupLabel::SetAutoSizing(bool on)
{
    m_autoSizing = on;
    TextChanged();
}

void TMarkupLabel::SetURLColor(const QColor& colour)
{
    m_urlColor = colour;
    update();
}

void TMarkupLabel::SetHover(bool on)
{
    m_hover = on;
    update();
}

void TMarkupLabel::SetHoverColor(const QColor& colour)
{
    m_hoverColor = colour;
    update();
}

void TMarkupLabel::SetHoverFontColor(const QColor& colour)
{
    m_hoverFontColor = colour;
    update();
}

void TMarkupLabel::SetLinkOpener(LinkOpener opener)
{
    m_opener = std::move(opener);
}

void TMarkupLabel::TextChanged()
{
    m_text = m_lines.join(QString()).toStdString();
    AdjustSizeToText();
    update();
}

MarkupLayout TMarkupLabel::CurrentLayout() const
{
    return LayOutMarkup(m_text, {0, 0, width(), height()}, FontMeasurer(font()), m_autoSizing);
}

MarkupLayout TMarkupLabel::LayoutAtWidth(int width) const
{
    // Lines that do not fit the area are left out, so the area must be taller than any text.
    constexpr int kTallEnough = 1 << 20;
    return LayOutMarkup(m_text, {0, 0, width, kTallEnough}, FontMeasurer(font()), false);
}

void TMarkupLabel::AdjustSizeToText()
{
    if (!m_autoSizing)
        return;
    // Laying out the text costs; a hidden label (a page not shown yet) does it when it shows.
    if (!isVisible()) {
        m_sizePending = true;
        return;
    }
    m_sizePending = false;
    // The area is only 250 px taller than the label, so a long text may need a few rounds
    // before every line has room.
    for (int round = 0; round < 8; ++round) {
        const MarkupSize size = AutoSizeOf(CurrentLayout());
        if (size.width == width() && size.height == height())
            break;
        resize(size.width, size.height);
    }
    updateGeometry();
}

QSize TMarkupLabel::sizeHint() const
{
    if (!m_autoSizing)
        return QWidget::sizeHint();
    const MarkupSize size = AutoSizeOf(CurrentLayout());
    return {size.width, size.height};
}

std::optional<QString> TMarkupLabel::LinkAt(const QPoint& point) const
{
    const auto link = zuv::LinkAt(CurrentLayout(), point.x(), point.y());
    if (!link)
        return std::nullopt;
    return QString::fromStdString(*link);
}

void TMarkupLabel::paintEvent(QPaintEvent*)
{
    const FontMeasurer measurer(font());
    const MarkupLayout layout =
        LayOutMarkup(m_text, {0, 0, width(), height()}, measurer, m_autoSizing);
    QPainter painter(this);
    const QColor textColour = palette().color(QPalette::WindowText);
    for (const MarkupLine& line : layout.lines) {
        for (const MarkupRun& run : line.runs) {
            const QFontMetrics& metrics = measurer.Metrics(run.style);
            QColor colour = run.style.link ? m_urlColor : textColour;
            if (m_hover && run.link && m_hoveredLink &&
                *m_hoveredLink == QString::fromStdString(*run.link)) {
                if (m_hoverColor.isValid())
                    painter.fillRect(run.x, line.y, run.width, line.height, m_hoverColor);
                if (m_hoverFontColor.isValid())
                    colour = m_hoverFontColor;
            }
            painter.setFont(measurer.Font(run.style));
            painter.setPen(colour);
            painter.drawText(run.x, line.y + metrics.ascent(), QString::fromStdString(run.text));
        }
    }
}

void TMarkupLabel::SetHoveredLink(const std::optional<QString>& link)
{
    if (link == m_hoveredLink)
        return;
    const std::optional<QString> previous = m_hoveredLink;
    m_hoveredLink = link;
    if (previous)
        emit AnchorExit(*previous);
    if (link) {
        setCursor(Qt::PointingHandCursor);
        emit AnchorEnter(*link);
    } else {
        unsetCursor();
    }
    if (m_hover)
        update();
}

void TMarkupLabel::mouseMoveEvent(QMouseEvent* event)
{
    SetHoveredLink(LinkAt(event->position().toPoint()));
    QWidget::mouseMoveEvent(event);
}

void TMarkupLabel::leaveEvent(QEvent* event)
{
    SetHoveredLink(std::nullopt);
    QWidget::leaveEvent(event);
}

void TMarkupLabel::mousePressEvent(QMouseEvent* event)
{
    const auto link = LinkAt(event->position().toPoint());
    if (!link) {
        QWidget::mousePressEvent(event);
        return;
    }
    if (IsOpenableLinkTarget(link->toStdString())) {
        if (m_opener)
            m_opener(*link);
    } else {
        emit AnchorClick(*link);
    }
}

void TMarkupLabel::showEvent(QShowEvent* event)
{
    if (m_sizePending)
        AdjustSizeToText();
    QWidget::showEvent(event);
}

void TMarkupLabel::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange) {
        AdjustSizeToText();
        update();
    }
    QWidget::changeEvent(event);
}

} // namespace zuv
