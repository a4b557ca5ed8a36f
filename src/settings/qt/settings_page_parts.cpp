#include "settings/qt/settings_page_parts.h"

#include <QCheckBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QSlider>
#include <QVBoxLayout>

#include <vector>

namespace zuv {

SettingsPage::SettingsPage(const char* name, const QString& caption)
{
    setObjectName(QString::fromLatin1(name));
    SetCaption(caption);
}

void SettingsPage::TranslateCaption(const char* key)
{
    const QString caption = GetTextOrEmpty(kSettingsSection, key);
    if (!caption.isEmpty())
        SetCaption(caption);
}

void SettingsPage::TranslateComponents(std::initializer_list<std::pair<QObject*, const char*>> keys)
{
    for (const auto& [component, key] : keys)
        TranslateComponent(component, kSettingsSection, key);
}

QVBoxLayout* SettingsPage::PageLayout()
{
    if (!m_layout) {
        m_layout = new QVBoxLayout(this);
        m_layout->setContentsMargins(6, 6, 6, 6);
        m_layout->setSpacing(3);
    }
    return m_layout;
}

QSlider* SettingsPage::MakeTrackBar(const char* name, int minimum, int maximum, int page, int tick,
                                    int position)
{
    auto* bar = Named(new QSlider(Qt::Horizontal, this), name);
    bar->setRange(minimum, maximum);
    bar->setPageStep(page);
    bar->setSingleStep(1);
    bar->setTickInterval(tick);
    bar->setTickPosition(QSlider::TicksBelow);
    bar->setValue(position);
    return bar;
}

QSlider* SettingsPage::AddTrackBar(const char* name, int minimum, int maximum, int page, int tick,
                                   int position)
{
    QSlider* bar = MakeTrackBar(name, minimum, maximum, page, tick, position);
    PageLayout()->addWidget(bar);
    return bar;
}

QCheckBox* SettingsPage::AddCheck(const char* name, const QString& text)
{
    auto* check = Named(new QCheckBox(text, this), name);
    PageLayout()->addWidget(check);
    return check;
}

QLabel* SettingsPage::AddHeading(const char* name, const QString& text)
{
    auto* label = Named(new QLabel(text, this), name);
    // Only the weight is the label's own, so the size still follows the application font.
    QFont bold;
    bold.setBold(true);
    label->setFont(bold);
    PageLayout()->addWidget(label);
    auto* rule = new QFrame(this);
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);
    PageLayout()->addWidget(rule);
    return label;
}

QLabel* SettingsPage::MakeValueLabel(const char* name)
{
    auto* label = Named(new QLabel(this), name);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label->setMinimumWidth(48);
    return label;
}

QHBoxLayout* SettingsPage::AddRow(QWidget* left, QWidget* right)
{
    auto* row = new QHBoxLayout;
    row->addWidget(left, 1);
    row->addWidget(right);
    PageLayout()->addLayout(row);
    return row;
}

void SettingsPage::EnableWith(QCheckBox* source, std::initializer_list<QWidget*> targets)
{
    connect(source, &QCheckBox::toggled, this, [targets = std::vector<QWidget*>(targets)](bool on) {
        for (QWidget* target : targets)
            target->setEnabled(on);
    });
}

} // namespace zuv
