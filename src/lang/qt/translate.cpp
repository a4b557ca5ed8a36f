#include "lang/qt/translate.h"

#include "lang/language.h"
#include "widgets/qt/dialogs.h"

#include <QAbstractItemModel>
#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>

#include <stdexcept>
#include <typeinfo>

namespace zuv {

namespace {

QTabWidget* OwningTabWidget(const QWidget* page)
{
    // A page sits in the tab widget's stacked widget.
    for (QWidget* parent = page->parentWidget(); parent; parent = parent->parentWidget()) {
        if (auto* tabs = qobject_cast<QTabWidget*>(parent))
            return tabs;
    }
    return nullptr;
}

// The exact class: a class derived from a supported one does not match.
template <class Component>
Component* ExactlyA(QObject* component)
{
    return typeid(*component) == typeid(Component) ? static_cast<Component*>(component) : nullptr;
}

} // namespace

QString TabSheet::Caption() const
{
    const QTabWidget* tabs = OwningTabWidget(this);
    return tabs ? tabs->tabText(tabs->indexOf(const_cast<TabSheet*>(this))) : windowTitle();
}

void TabSheet::SetCaption(const QString& caption)
{
    setWindowTitle(caption);
    if (QTabWidget* tabs = OwningTabWidget(this))
        tabs->setTabText(tabs->indexOf(this), caption);
}

// A child of its model: the model outlives it.
ListColumn::ListColumn(QAbstractItemModel* model, int column)
    : QObject(model), m_model(model), m_column(column)
{}

QString ListColumn::Caption() const
{
    return m_model->headerData(m_column, Qt::Horizontal).toString();
}

void ListColumn::SetCaption(const QString& caption)
{
    m_model->setHeaderData(m_column, Qt::Horizontal, caption);
}

void SetComponentText(QObject* component, const QString& text)
{
    if (auto* label = ExactlyA<QLabel>(component))
        label->setText(text);
    else if (auto* button = ExactlyA<QPushButton>(component))
        button->setText(text);
    else if (auto* check = ExactlyA<QCheckBox>(component))
        check->setText(text);
    else if (auto* page = ExactlyA<TabSheet>(component))
        page->SetCaption(text);
    else if (auto* action = ExactlyA<QAction>(component))
        action->setText(text);
    else if (auto* column = ExactlyA<ListColumn>(component))
        column->SetCaption(text);
    else
        throw std::logic_error("wrong class");
}

void SetComponentText(FileDialog& dialog, const QString& text)
{
    dialog.title = text;
}

void TranslateComponent(QObject* component, std::string_view section, std::string_view key)
{
    const QString text = GetTextOrEmpty(section, key);
    if (!text.isEmpty())
        SetComponentText(component, text);
}

void TranslateComponent(FileDialog& dialog, std::string_view section, std::string_view key)
{
    const QString text = GetTextOrEmpty(section, key);
    if (!text.isEmpty())
        SetComponentText(dialog, text);
}

QString GetText(std::string_view section, std::string_view key, const QString& builtIn)
{
    return QString::fromStdString(Langunit().GetText(section, key, builtIn.toStdString()));
}

QString GetTextOrEmpty(std::string_view section, std::string_view key)
{
    return QString::fromStdString(Langunit().GetTextOrEmpty(section, key));
}

} // namespace zuv
