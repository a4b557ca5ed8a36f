#pragma once

#include "widgets/markup_layout.h"

#include <QColor>
#include <QStringList>
#include <QWidget>

#include <functional>
#include <optional>

namespace zuv {

// A label that draws a small subset of HTML (bold, underline, line breaks, aligned paragraphs and
// links) in its window's font over a transparent background.
class TMarkupLabel : public QWidget
{
    Q_OBJECT

public:
    // Opens a link target in the browser or mail program.
    using LinkOpener = std::function<void(const QString& target)>;

    explicit TMarkupLabel(QWidget* parent = nullptr);

    // The text lines; they are joined with nothing between them, so only markup breaks lines.
    QStringList HTMLText() const { return m_lines; }
    void SetHTMLText(const QStringList& lines);
    void SetHTMLText(const QString& text) { SetHTMLText(QStringList{text}); }

    // The label takes the size of its text: widest line + 6 by the line heights + 6.
    bool AutoSizing() const { return m_autoSizing; }
    void SetAutoSizing(bool on);

    QColor URLColor() const { return m_urlColor; }
    void SetURLColor(const QColor& colour);

    // Links under the mouse drawn in HoverFontColor over HoverColor (either may be invalid: none).
    bool Hover() const { return m_hover; }
    void SetHover(bool on);
    QColor HoverColor() const { return m_hoverColor; }
    void SetHoverColor(const QColor& colour);
    QColor HoverFontColor() const { return m_hoverFontColor; }
    void SetHoverFontColor(const QColor& colour);

    // The layout as the label draws it now.
    MarkupLayout CurrentLayout() const;
    // The layout at a width with room below for every line: the height the whole text needs.
    MarkupLayout LayoutAtWidth(int width) const;

    // The target of the link at a point in label coordinates.
    std::optional<QString> LinkAt(const QPoint& point) const;

    // Replaces the opener (the desktop's URL handler) so that tests open nothing.
    void SetLinkOpener(LinkOpener opener);

    QSize sizeHint() const override;

signals:
    // A link whose target is neither a URL nor an e-mail address was clicked.
    void AnchorClick(const QString& target);
    void AnchorEnter(const QString& target);
    void AnchorExit(const QString& target);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void TextChanged();
    void AdjustSizeToText();
    void SetHoveredLink(const std::optional<QString>& link);

    QStringList m_lines;
    std::string m_text; // the lines joined, UTF-8
    bool m_autoSizing = false;
    QColor m_urlColor = Qt::blue;
    bool m_hover = false;
    QColor m_hoverColor;
    QColor m_hoverFontColor;
    std::optional<QString> m_hoveredLink;
    bool m_sizePending = false; // the text changed while the label was hidden
    LinkOpener m_opener;
};

} // namespace zuv
