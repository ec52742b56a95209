#pragma once

// The splash window: shown borderless at start for at least 2.5 seconds, and again as the
// About box, where a click on the picture closes it.

#include <QDialog>
#include <functional>

class QLabel;

namespace tessel {

class TSplashScreen : public QDialog {
    Q_OBJECT

  public:
    // Arranges for `fire` to run once after `milliseconds`, unless the context object dies
    // first. Tests hand in one that keeps `fire` and calls it when they choose.
    using TScheduleOnce =
        std::function<void(QObject* context, int milliseconds, std::function<void()> fire)>;

    static constexpr int kMinimumShowMs = 2500;

    explicit TSplashScreen(QWidget* parent = nullptr, TScheduleOnce schedule = {});

    // The About box face: the timer disabled, the picture clickable, the web address shown.
    void PrepareAsAbout();

    // What a click on the web address runs (the main window's "open the maker's site").
    void SetOpenWebSite(std::function<void()> openWebSite) {
        openWebSite_ = std::move(openWebSite);
    }

    // Start-up: shows the window and paints it at once, before the event loop runs.
    void ShowAtStart();

    // Start-up: keeps processing events until the window may close (the timer has fired).
    void WaitUntilClosable();

    bool TimerEnabled() const { return timerEnabled_; }
    void SetTimerEnabled(bool enabled) { timerEnabled_ = enabled; }
    bool CanClose() const { return !timerEnabled_; }
    // The picture takes clicks (which close the window) only when enabled.
    bool PictureEnabled() const { return pictureEnabled_; }
    void SetPictureEnabled(bool enabled);

    void done(int result) override;

  protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private slots:
    void TimerTimer();
    void imgSplashClick();
    void lblClick();

  private:
    QLabel* imgSplash_;
    QLabel* lbl_;
    bool timerEnabled_ = true;
    bool pictureEnabled_ = false;
    std::function<void()> openWebSite_;
};

}  // namespace tessel
