#include "fileassoc/qt/file_assoc_form.h"

#include "fileassoc/association_backend.h"
#include "fileassoc/qt/add_extension_form.h"
#include "lang/qt/translate.h"
#include "util/text_utils.h"
#include "widgets/qt/control_fit.h"
#include "widgets/qt/dialogs.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <vector>

namespace zuv {

namespace {

constexpr char kSection[] = "FileAssoc";
// A row's file type (ProgID, MIME type), empty when it has none.
constexpr int kFileTypeRole = Qt::UserRole;

// The drawn window and list, the least they get.
constexpr QSize kDrawnSize(377, 263);
constexpr QSize kDrawnListSize(361, 217);
constexpr int kDrawnFirstColumn = 80;

// Five buttons share one row under the list: each only as wide as its caption needs.
void FitToCaption(QPushButton* button)
{
    button->setFixedWidth(std::max(ButtonSizeForCaption(*button).width(), 56));
}

} // namespace

TFileAssocForm::TFileAssocForm(QWidget* parent, AssociationBackend& backend,
                               const std::string& fileTypes)
    : QDialog(parent), m_backend(backend)
{
    setObjectName(QStringLiteral("FileAssocForm"));
    setWindowTitle(QStringLiteral("Filetípusok"));
    CreateControls();
    Translate();

    lvTypes->setUpdatesEnabled(false);
    for (const std::string& extension : SplitFileTypes(fileTypes)) {
        if (!AddExtensionRow(extension))
            break;
    }
    lvTypes->setUpdatesEnabled(true);
}

void TFileAssocForm::FitToTexts()
{
    for (QPushButton* button : {btnSelectAll, btnAdd, btnDel, btnOk, btnCancel})
        FitToCaption(button);
    // The column captions: the first column as drawn or wider, the two that share the rest
    // each with room for the longer of their captions, also when a scroll bar takes its part.
    const QHeaderView* header = lvTypes->header();
    const int first = std::max(kDrawnFirstColumn, header->sectionSizeHint(0));
    lvTypes->setColumnWidth(0, first);
    const int shared = std::max(header->sectionSizeHint(1), header->sectionSizeHint(2));
    const int scrollBar =
        lvTypes->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, lvTypes);
    lvTypes->setMinimumSize(
        kDrawnListSize.expandedTo({first + 2 * shared + scrollBar + 2 * lvTypes->frameWidth(), 0}));
    FitFixedWindow(*this, kDrawnSize);
}

void TFileAssocForm::CreateControls()
{
    lvTypes = new QTreeWidget(this);
    lvTypes->setObjectName(QStringLiteral("lvTypes"));
    lvTypes->setColumnCount(3);
    lvTypes->setHeaderLabels(
        {QStringLiteral("Kiterjesztés"), QStringLiteral("Leírás"), QStringLiteral("Jelenleg:")});
    lvTypes->setRootIsDecorated(false);
    lvTypes->setItemsExpandable(false);
    lvTypes->setUniformRowHeights(true);
    lvTypes->setSelectionMode(QAbstractItemView::SingleSelection);
    lvTypes->setSelectionBehavior(QAbstractItemView::SelectRows);
    lvTypes->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lvTypes->setAllColumnsShowFocus(true);
    QHeaderView* header = lvTypes->header();
    header->setStretchLastSection(false);
    header->setSectionResizeMode(0, QHeaderView::Interactive);
    header->setSectionResizeMode(1, QHeaderView::Stretch);
    header->setSectionResizeMode(2, QHeaderView::Stretch);
    lvTypesColumn0 = new ListColumn(lvTypes->model(), 0);
    lvTypesColumn0->setObjectName(QStringLiteral("lvTypesColumn0"));
    lvTypesColumn1 = new ListColumn(lvTypes->model(), 1);
    lvTypesColumn1->setObjectName(QStringLiteral("lvTypesColumn1"));
    lvTypesColumn2 = new ListColumn(lvTypes->model(), 2);
    lvTypesColumn2->setObjectName(QStringLiteral("lvTypesColumn2"));

    btnSelectAll = new QPushButton(QStringLiteral("&Mindet kijelöli"), this);
    btnAdd = new QPushButton(QStringLiteral("&Új"), this);
    btnDel = new QPushButton(QStringLiteral("&Töröl"), this);
    btnOk = new QPushButton(QStringLiteral("OK"), this);
    btnCancel = new QPushButton(QStringLiteral("Mégsem"), this);
    const std::pair<QPushButton*, const char*> names[] = {
        {btnSelectAll, "btnSelectAll"}, {btnAdd, "btnAdd"}, {btnDel, "btnDel"}, {btnOk, "btnOk"},
        {btnCancel, "btnCancel"},
    };
    for (const auto& [button, name] : names)
        button->setObjectName(QLatin1String(name));
    for (QPushButton* button : {btnSelectAll, btnAdd, btnDel, btnCancel})
        button->setAutoDefault(false);
    btnOk->setDefault(true);
    connect(btnSelectAll, &QPushButton::clicked, this, &TFileAssocForm::btnSelectAllClick);
    connect(btnAdd, &QPushButton::clicked, this, &TFileAssocForm::btnAddClick);
    connect(btnDel, &QPushButton::clicked, this, &TFileAssocForm::btnDelClick);
    connect(btnOk, &QPushButton::clicked, this, &TFileAssocForm::btnOkClick);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(lvTypes, &QTreeWidget::itemChanged, this, &TFileAssocForm::FollowFileType);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->setSpacing(6);
    layout->addWidget(lvTypes);
    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(4);
    buttons->addWidget(btnSelectAll);
    buttons->addWidget(btnAdd);
    buttons->addWidget(btnDel);
    buttons->addStretch();
    buttons->addWidget(btnOk);
    buttons->addWidget(btnCancel);
    layout->addLayout(buttons);
}

void TFileAssocForm::Translate()
{
    setWindowTitle(GetText(kSection, "100", windowTitle()));
    const std::pair<QObject*, const char*> components[] = {
        {btnSelectAll, "101"},   {btnAdd, "102"},         {btnDel, "103"},
        {btnOk, "104"},          {btnCancel, "105"},      {lvTypesColumn0, "110"},
        {lvTypesColumn1, "111"}, {lvTypesColumn2, "112"},
    };
    for (const auto& [component, key] : components)
        TranslateComponent(component, kSection, key);
    FitToTexts();
}

void TFileAssocForm::ShowRegistryError(const std::string& text)
{
    MessageBox::Show(this, QMessageBox::Critical,
                     GetText("Errors", "200", QStringLiteral("Registry hiba")),
                     QString::fromStdString(text));
}

bool TFileAssocForm::AddExtensionRow(const std::string& extension)
{
    auto* item = new QTreeWidgetItem(lvTypes);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable |
                   Qt::ItemNeverHasChildren);
    item->setText(0, QString::fromStdString(extension));
    item->setCheckState(0, Qt::Unchecked);
    const AssociationRowState row = m_backend.ReadRow(extension);
    if (!row.status.ok()) {
        ShowRegistryError(row.status.errorText);
        lvTypes->clear();
        m_listEmptiedByError = true;
        return false;
    }
    item->setText(1, QString::fromStdString(row.description));
    item->setText(2, QString::fromStdString(row.program));
    const QString fileType = QString::fromStdString(row.fileType);
    Qt::CheckState state = row.owned ? Qt::Checked : Qt::Unchecked;
    // A row of a type already listed shows what OK will do with that type.
    for (int index = 0; index < lvTypes->topLevelItemCount() - 1 && !fileType.isEmpty(); ++index) {
        const QTreeWidgetItem* other = lvTypes->topLevelItem(index);
        if (other->data(0, kFileTypeRole).toString() == fileType) {
            state = other->checkState(0);
            break;
        }
    }
    {
        const QSignalBlocker blocker(lvTypes);
        item->setData(0, kFileTypeRole, fileType);
        item->setCheckState(0, state);
    }
    return true;
}

void TFileAssocForm::FollowFileType(QTreeWidgetItem* changed)
{
    // The extensions of one file type are taken over and given back together.
    const QString fileType = changed->data(0, kFileTypeRole).toString();
    if (fileType.isEmpty())
        return;
    const QSignalBlocker blocker(lvTypes);
    for (int index = 0; index < lvTypes->topLevelItemCount(); ++index) {
        QTreeWidgetItem* item = lvTypes->topLevelItem(index);
        if (item != changed && item->data(0, kFileTypeRole).toString() == fileType)
            item->setCheckState(0, changed->checkState(0));
    }
}

void TFileAssocForm::btnSelectAllClick()
{
    for (int index = 0; index < lvTypes->topLevelItemCount(); ++index)
        lvTypes->topLevelItem(index)->setCheckState(0, Qt::Checked);
}

void TFileAssocForm::btnAddClick()
{
    TAddExtensionForm dialog(this);
    if (dialog.exec() == QDialog::Accepted)
        AddExtensionRow(ExtensionFromInput(dialog.Extension().toStdString()));
}

void TFileAssocForm::btnDelClick()
{
    const QList<QTreeWidgetItem*> selected = lvTypes->selectedItems();
    if (selected.isEmpty())
        return;
    QTreeWidgetItem* item = selected.first();
    std::string question =
        GetText(kSection, "301", QStringLiteral("Töröljem a \"%e\" kiterjesztést a listából?"))
            .toStdString();
    ReplaceAll(question, "%e", item->text(0).toStdString());
    // Only the list forgets the extension; its association stays as it is.
    if (MessageBox::Show(this, QMessageBox::Question,
                         GetText(kSection, "300", QStringLiteral("Törlés")),
                         QString::fromStdString(question),
                         QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes)
        delete item;
}

void TFileAssocForm::btnOkClick()
{
    std::vector<AssociationChoice> rows;
    for (int index = 0; index < lvTypes->topLevelItemCount(); ++index) {
        const QTreeWidgetItem* item = lvTypes->topLevelItem(index);
        rows.push_back({item->text(0).toStdString(), item->checkState(0) == Qt::Checked});
    }
    const AssociationApplyResult result = ApplyAssociationChoices(m_backend, rows);
    if (!result.status.ok())
        ShowRegistryError(result.status.errorText);
    // The user never removed what an error while filling took away.
    if ((result.status.ok() || result.listKept) && !m_listEmptiedByError)
        m_newFileTypes = result.fileTypes;
    accept();
}

void TFileAssocForm::showEvent(QShowEvent* event)
{
    // Centred on the desktop, not on the window that opened it.
    if (const QScreen* desktop = screen())
        move(desktop->availableGeometry().center() - rect().center());
    QDialog::showEvent(event);
}

} // namespace zuv
