#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;

namespace zuv {

// Asks for one more extension for the file-type list. Any text is accepted.
class TAddExtensionForm : public QDialog
{
    Q_OBJECT

public:
    // Translates itself from the language file.
    explicit TAddExtensionForm(QWidget* parent = nullptr);

    // The text typed in edExt.
    QString Extension() const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QLineEdit* edExt = nullptr;
    QPushButton* btnOk = nullptr;
    QPushButton* btnCancel = nullptr;
};

} // namespace zuv
