#pragma once

#include <QDialog>

#include <optional>
#include <string>

class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace zuv {

class AssociationBackend;
class ListColumn;

// The file-type window: one row per extension of the FileTypes option with what opens it now and
// a check box for "this program opens it". Only OK changes the associations and the list.
class TFileAssocForm : public QDialog
{
    Q_OBJECT

public:
    // Translates itself and fills the list from `fileTypes` (extensions joined by ";"), reading
    // each extension's association from `backend`, which must outlive the window.
    TFileAssocForm(QWidget* parent, AssociationBackend& backend, const std::string& fileTypes);

    // The new FileTypes option: set only when OK went through without an error and no failed
    // read emptied the list.
    const std::optional<std::string>& NewFileTypes() const { return m_newFileTypes; }

    // Adds a row for the extension with its current association. False (after the error box,
    // with the list emptied) when the association could not be read.
    bool AddExtensionRow(const std::string& extension);

    // The handlers, public so that tests can drive them as the user would.
    void btnSelectAllClick();
    void btnAddClick();
    void btnDelClick();
    void btnOkClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void CreateControls();
    void Translate();
    // Buttons and columns as wide as their captions, the window as large as they need.
    void FitToTexts();
    void ShowRegistryError(const std::string& text);
    // Checks or clears the other rows of the changed row's file type with it.
    void FollowFileType(QTreeWidgetItem* changed);

    // Controls, named as the window was designed.
    QTreeWidget* lvTypes = nullptr;
    ListColumn* lvTypesColumn0 = nullptr;
    ListColumn* lvTypesColumn1 = nullptr;
    ListColumn* lvTypesColumn2 = nullptr;
    QPushButton* btnSelectAll = nullptr;
    QPushButton* btnAdd = nullptr;
    QPushButton* btnDel = nullptr;
    QPushButton* btnOk = nullptr;
    QPushButton* btnCancel = nullptr;

    AssociationBackend& m_backend;
    std::optional<std::string> m_newFileTypes;
    bool m_listEmptiedByError = false;
};

} // namespace zuv
