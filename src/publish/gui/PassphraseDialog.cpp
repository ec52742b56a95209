#include "publish/gui/PassphraseDialog.h"

#include <QPushButton>

#include "ui_Passphrase.h"

namespace tessel {

TfrmPassphrase::TfrmPassphrase(const QString& keyFile, QWidget* parent)
    : QDialog(parent), form_(std::make_unique<Ui::TfrmPassphrase>()) {
    form_->setupUi(this);
    form_->lblPrompt->setText(
        tr("The key file %1 is locked with a passphrase. Type it to send; it is not stored.")
            .arg(keyFile));
    connect(form_->btnButtons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(form_->btnButtons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    form_->txtPassphrase->setFocus();
}

TfrmPassphrase::~TfrmPassphrase() {
    // What was typed does not stay in memory longer than the dialog.
    form_->txtPassphrase->clear();
}

QString TfrmPassphrase::Passphrase() const {
    return form_->txtPassphrase->text();
}

}  // namespace tessel
