#include "playback/result_form.h"

#include <QPlainTextEdit>
#include <QScrollBar>
#include <QShowEvent>
#include <QVBoxLayout>

namespace zuv {

TResultForm::TResultForm(QWidget* parent)
    : QWidget(parent, Qt::Tool), m_memo(new QPlainTextEdit(this))
{
    setObjectName(QStringLiteral("ResultForm"));
    setWindowTitle(QStringLiteral("MPlayer kimenet"));
    resize(504, 332);

    m_memo->setObjectName(QStringLiteral("Memo"));
    m_memo->setReadOnly(true);
    m_memo->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    m_memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // A log that is never edited: keeping undo steps would only double its memory.
    m_memo->setUndoRedoEnabled(false);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_memo);
}

void TResultForm::SetCaptionProvider(std::function<std::string()> provider)
{
    m_captionProvider = std::move(provider);
}

void TResultForm::Clear()
{
    m_memo->clear();
}

void TResultForm::AppendText(const QString& text)
{
    m_memo->appendPlainText(text);
    m_memo->moveCursor(QTextCursor::End);
    m_memo->verticalScrollBar()->setValue(m_memo->verticalScrollBar()->maximum());
}

void TResultForm::AddLine(std::string_view line)
{
    AppendText(QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size())));
}

void TResultForm::AddLines(const std::vector<std::string>& lines)
{
    if (lines.empty())
        return;
    std::string joined;
    std::size_t size = lines.size();
    for (const std::string& line : lines)
        size += line.size();
    joined.reserve(size);
    for (const std::string& line : lines) {
        if (&line != &lines.front())
            joined += '\n';
        joined += line;
    }
    AppendText(QString::fromStdString(joined));
}

void TResultForm::Show()
{
    if (!isVisible())
        show();
}

void TResultForm::Translate()
{
    if (!m_captionProvider)
        return;
    const std::string caption = m_captionProvider();
    if (!caption.empty())
        setWindowTitle(QString::fromStdString(caption));
}

void TResultForm::showEvent(QShowEvent* event)
{
    if (!event->spontaneous())
        Translate();
    QWidget::showEvent(event);
}

} // namespace zuv
