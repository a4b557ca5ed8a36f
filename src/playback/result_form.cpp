#include "playback/result_form.h"

#include <QPlainTextEdit>
#include <QScrollBar>
#include <QShowEvent>
#include <QVBoxLayout>

#include <algorithm>

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

namespace {

bool IsUtf8Continuation(char byte)
{
    return (static_cast<unsigned char>(byte) & 0xC0u) == 0x80u;
}

} // namespace

// Appends `line` to `text`, cut into shown lines.
void TResultForm::AppendShownLines(std::string& text, std::string_view line)
{
    for (bool first = true; first || !line.empty(); first = false) {
        if (!first)
            text += '\n';
        std::size_t cut = std::min(line.size(), kMaxShownLineBytes);
        if (cut < line.size()) {
            // Back to the start of a character; a run of stray continuation bytes is cut anyway.
            std::size_t start = cut;
            while (start > cut - 3 && IsUtf8Continuation(line[start]))
                --start;
            if (!IsUtf8Continuation(line[start]))
                cut = start;
        }
        text.append(line.substr(0, cut));
        line.remove_prefix(cut);
    }
}

void TResultForm::AddLine(std::string_view line)
{
    AddLines({std::string(line)});
}

void TResultForm::AddLines(const std::vector<std::string>& lines)
{
    if (lines.empty())
        return;
    std::string joined;
    std::size_t size = lines.size();
    for (const std::string& line : lines)
        size += line.size() + line.size() / kMaxShownLineBytes;
    joined.reserve(size);
    for (const std::string& line : lines) {
        if (&line != &lines.front())
            joined += '\n';
        AppendShownLines(joined, line);
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
