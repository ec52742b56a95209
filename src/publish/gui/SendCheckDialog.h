#pragma once

// The findings of the check before sending, in one short list: "Send anyway" accepts,
// "Go back" rejects. A finding the check knows how to mend gets a button of its own below
// the list; pressing it hands the finding to the caller, which mends the page.

#include <QDialog>
#include <functional>
#include <memory>
#include <vector>

#include "publish/core/SendCheck.h"

class QPushButton;

namespace Ui {
class TfrmSendCheck;
}

namespace tessel {

class TfrmSendCheck : public QDialog {
    Q_OBJECT

  public:
    // `mend` applies a finding's fix to the page and says whether that worked.
    using TMend = std::function<bool(const TSendFinding&)>;

    explicit TfrmSendCheck(const std::vector<TSendFinding>& findings, QWidget* parent = nullptr,
                           TMend mend = {});
    ~TfrmSendCheck() override;

    Ui::TfrmSendCheck& Form() const { return *form_; }
    // The button that mends finding `index`, or nullptr when it has none.
    QPushButton* FixButton(int index) const;

  private:
    void FixClicked(int index);

    std::unique_ptr<Ui::TfrmSendCheck> form_;
    std::vector<TSendFinding> findings_;
    std::vector<QPushButton*> fixButtons_;
    TMend mend_;
    int mended_ = 0;
};

}  // namespace tessel
