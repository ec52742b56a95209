#pragma once

// A small turning globe that shows a session is under way: drawn frame by frame on a
// timer, so it needs no video file and scales with the screen.

#include <QTimer>
#include <QWidget>

namespace tessel {

class TGlobeAnimation : public QWidget {
    Q_OBJECT

  public:
    explicit TGlobeAnimation(QWidget* parent = nullptr);

    void Play();
    void Stop();
    bool Active() const { return timer_.isActive(); }
    // The turn shown, 0 to kFrames - 1; it advances one step per tick while playing.
    int Frame() const { return frame_; }
    static constexpr int kFrames = 36;

    QSize sizeHint() const override { return {48, 48}; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    void NextFrame();

    QTimer timer_;
    int frame_ = 0;
};

}  // namespace tessel
