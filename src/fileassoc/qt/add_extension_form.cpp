#include "fileassoc/qt/add_extension_form.h"

#include "lang/qt/translate.h"
#include "widgets/qt/control_fit.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace zuv {

namespace {

constexpr char kSection[] = "FileAssoc";

} // namespace

TAddExtensionForm::TAddExtensionForm(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("AddExtensionForm"));
    edExt = new QLineEdit(this);
    edExt->setObjectName(QStringLiteral("edExt"));
    btnOk = new QPushButton(QStringLiteral("OK"), this);
    btnOk->setObjectName(QStringLiteral("btnOk"));
    btnOk->setDefault(true);
    btnCancel = new QPushButton(QStringLiteral("Mégsem"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    connect(btnOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->addWidget(edExt);
    layout->addStretch();
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnOk);
    buttons->addWidget(btnCancel);
    layout->addLayout(buttons);

    setWindowTitle(GetText(kSection, "200", QStringLiteral("Kiterjesztés hozzáadása")));
    TranslateComponent(btnOk, kSection, "201");
    TranslateComponent(btnCancel, kSection, "202");
    // As drawn, or larger where the font and the captions need it.
    FitFixedWindow(*this, {226, 85});
}

QString TAddExtensionForm::Extension() const
{
    return edExt->text();
}

void TAddExtensionForm::showEvent(QShowEvent* event)
{
    // Centred on the desktop, not on the window that opened it.
    if (const QScreen* desktop = screen())
        move(desktop->availableGeometry().center() - rect().center());
    QDialog::showEvent(event);
}

} // namespace zuv
