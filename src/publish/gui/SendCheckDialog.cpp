#include "publish/gui/SendCheckDialog.h"

#include "platform/gui/TextConvert.h"
#include "ui_SendCheckDialog.h"

namespace tessel {

TfrmSendCheck::TfrmSendCheck(const std::vector<TSendFinding>& findings, QWidget* parent)
    : QDialog(parent), form_(std::make_unique<Ui::TfrmSendCheck>()) {
    Ui::TfrmSendCheck& f = *form_;
    f.setupUi(this);
    for (const TSendFinding& finding : findings) {
        f.lstFindings->addItem(ToQt(finding.text));
    }
    connect(f.btnSendAnyway, &QPushButton::clicked, this, &QDialog::accept);
    connect(f.btnGoBack, &QPushButton::clicked, this, &QDialog::reject);
}

TfrmSendCheck::~TfrmSendCheck() = default;

}  // namespace tessel
