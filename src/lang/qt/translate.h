#pragma once

#include <QString>
#include <QWidget>

#include <string_view>

class QAbstractItemModel;
class QTabWidget;

namespace zuv {

class FileDialog;

// A page of a tab widget whose caption the language file can set.
class TabSheet : public QWidget
{
    Q_OBJECT

public:
    explicit TabSheet(QWidget* parent = nullptr) : QWidget(parent) {}
    QString Caption() const;
    void SetCaption(const QString& caption);
};

// A column of a list whose caption the language file can set; the caption is the model's header
// text, so it can be set before any view shows the list.
class ListColumn : public QObject
{
    Q_OBJECT

public:
    ListColumn(QAbstractItemModel* model, int column);
    QString Caption() const;
    void SetCaption(const QString& caption);

private:
    QAbstractItemModel* m_model;
    int m_column;
};

// Puts a text on a component: the caption of a label, button, check box, tab page, action (and
// so its buttons and menu items) or list column. The class must match exactly; any other class
// is a fault of the calling code and throws std::logic_error("wrong class").
void SetComponentText(QObject* component, const QString& text);
// The title of an open dialog.
void SetComponentText(FileDialog& dialog, const QString& text);

// Applies the language file's text for section/key when it has a non-empty one; otherwise the
// component keeps its text.
void TranslateComponent(QObject* component, std::string_view section, std::string_view key);
void TranslateComponent(FileDialog& dialog, std::string_view section, std::string_view key);

// Language lookups as QStrings.
QString GetText(std::string_view section, std::string_view key, const QString& builtIn);
QString GetTextOrEmpty(std::string_view section, std::string_view key);

} // namespace zuv
