#include "widgets/qt/history_combo.h"

#include "platform/file_names.h"
#include "platform/qt/file_name.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSignalBlocker>

namespace zuv {

THistoryCombo::THistoryCombo(QWidget* parent)
    : QComboBox(parent), m_rule(CompletionRuleFor(platform::FileNamesIgnoreCase()))
{
    setEditable(true);
    // The list grows only by our own rule, and completion is ours too.
    setInsertPolicy(QComboBox::NoInsert);
    setCompleter(nullptr);
    connect(lineEdit(), &QLineEdit::textEdited, this, &THistoryCombo::Change);
}

std::vector<std::string> THistoryCombo::Entries() const
{
    std::vector<std::string> entries;
    entries.reserve(static_cast<std::size_t>(count()));
    for (int i = 0; i < count(); ++i)
        entries.push_back(platform::NameToBytes(itemText(i)));
    return entries;
}

void THistoryCombo::LoadPersist()
{
    if (!m_persist.enable)
        return;
    const std::vector<std::string> entries = LoadHistory(m_persist);
    const QString text = currentText();
    {
        // Filling the list moves the current entry about; only the end state is news.
        const QSignalBlocker blocker(this);
        clear();
        for (const std::string& entry : entries)
            addItem(platform::NameToQString(entry));
        setCurrentIndex(-1);
    }
    setEditText(text);
}

std::error_code THistoryCombo::SavePersist() const
{
    return SaveHistory(m_persist, Entries());
}

void THistoryCombo::DoExit()
{
    const QString text = currentText();
    if (m_autoHistory &&
        IsNewHistoryEntry(Entries(), platform::NameToBytes(text), m_rule.matchCase))
        addItem(text);
}

void THistoryCombo::Change()
{
    m_completed = false;
    if (!m_typed)
        return;
    QLineEdit* edit = lineEdit();
    const QString text = edit->text();
    const int typedLength =
        edit->hasSelectedText() ? edit->selectionStart() : edit->cursorPosition();
    const auto completion =
        CompleteFromHistory(Entries(), platform::NameToBytes(text),
                            platform::NameToBytes(text.left(typedLength)).size(), m_rule);
    if (!completion)
        return;
    m_completedEntry = static_cast<int>(completion->entry);
    m_completedPrefix = typedLength;
    m_releasedText = QString::fromStdString(completion->releasedText);
    m_completed = true;
    setCurrentIndex(m_completedEntry);
    const QString completed = platform::NameToQString(completion->text);
    edit->setText(completed);
    // The next typed character replaces the completed part.
    edit->setSelection(typedLength, static_cast<int>(completed.size()) - typedLength);
}

void THistoryCombo::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Backspace:
    case Qt::Key_Delete:
        m_typed = false;
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (const auto entry = FindHistoryEntry(Entries(), platform::NameToBytes(currentText()),
                                                m_rule.matchCase)) {
            const int index = static_cast<int>(*entry);
            setCurrentIndex(index);
            setEditText(itemText(index));
            // Choosing an entry selects its whole text, so the completion below finds no prefix.
            lineEdit()->selectAll();
            Change();
        }
        break;
    default:
        m_typed = true;
        break;
    }
    QComboBox::keyPressEvent(event);
}

void THistoryCombo::keyReleaseEvent(QKeyEvent* event)
{
    QComboBox::keyReleaseEvent(event);
    if (!m_completed)
        return;
    m_completed = false;
    if (m_completedEntry < 0 || m_completedEntry >= count())
        return;
    // Where the entry's case wins, the whole text becomes the entry as stored.
    setCurrentIndex(m_completedEntry);
    setEditText(m_releasedText);
    lineEdit()->setSelection(m_completedPrefix,
                             static_cast<int>(m_releasedText.size()) - m_completedPrefix);
}

void THistoryCombo::focusOutEvent(QFocusEvent* event)
{
    // Opening the drop-down list or switching windows does not leave the box.
    if (event->reason() != Qt::PopupFocusReason && event->reason() != Qt::ActiveWindowFocusReason)
        DoExit();
    QComboBox::focusOutEvent(event);
}

} // namespace zuv
