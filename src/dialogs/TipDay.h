#pragma once

// Tip of the day: one random line of Tips.txt under "Did you know...", another on request,
// and the "Show at startup" choice handed back to the main window when the dialog closes.

#include <QDialog>
#include <functional>
#include <memory>
#include <optional>

#include "dialogs/core/Tips.h"

namespace Ui {
class TfrmTips;
}

namespace tessel {

class TfrmTips : public QDialog {
    Q_OBJECT

  public:
    // Called with the check box whenever the dialog closes: the main window keeps it as its
    // tips-at-start value and writes it to the registry as TipDay.
    using TStoreShowAtStart = std::function<void(bool showAtStart)>;

    // `programFolder` ends with a separator; Tips.txt is read from it. `random` defaults to a
    // generator seeded by the system.
    TfrmTips(const QString& programFolder, TStoreShowAtStart storeShowAtStart,
             TRandomBelow random = {}, QWidget* parent = nullptr);
    ~TfrmTips() override;

    void SetShowAtStart(bool showAtStart);

    // Every way of closing (Close, Escape, the close box) passes here.
    void done(int result) override;

  private slots:
    void btnNextClick();
    void btnCloseClick();

  private:
    void ShowRandomTip();

    std::unique_ptr<Ui::TfrmTips> ui_;
    std::optional<TTips> tips_;
    TStoreShowAtStart storeShowAtStart_;
    TRandomBelow random_;
};

}  // namespace tessel
