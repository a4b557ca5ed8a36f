#pragma once

#include "widgets/history_list.h"

#include <QComboBox>

#include <string>
#include <vector>

namespace zuv {

// An editable combo box that remembers the texts entered in it: a text is added to its list when
// the box loses the focus, typing completes from the list, and the list is stored in an ini file.
class THistoryCombo : public QComboBox
{
    Q_OBJECT

public:
    explicit THistoryCombo(QWidget* parent = nullptr);

    // Add the text to the list when the box loses the focus.
    bool AutoHistory() const { return m_autoHistory; }
    void SetAutoHistory(bool on) { m_autoHistory = on; }
    // How typing completes; by default as the file names of the system compare.
    const CompletionRule& Completion() const { return m_rule; }
    void SetCompletion(CompletionRule rule) { m_rule = rule; }

    HistoryPersist& Persist() { return m_persist; }
    const HistoryPersist& Persist() const { return m_persist; }
    // The ini file the list is kept in; the configuration sets it once it knows its path.
    void SetPersistKey(const std::string& path) { m_persist.key = path; }
    void SetPersistSection(const std::string& section) { m_persist.section = section; }

    // Replaces the list by the stored entries; the text shown in the box stays.
    void LoadPersist();
    // Stores the list; the caller reports a failure.
    std::error_code SavePersist() const;

    // The list, oldest first.
    std::vector<std::string> Entries() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void DoExit();
    void Change();

    bool m_autoHistory = true;
    CompletionRule m_rule;
    HistoryPersist m_persist;

    bool m_typed = true;      // the last key was one that types
    bool m_completed = false; // a completion waits for the key to be released
    int m_completedEntry = -1;
    QString m_releasedText;
    int m_completedPrefix = 0; // in characters of the edit field
};

} // namespace zuv
