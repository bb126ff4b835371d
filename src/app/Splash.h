// The busy box: a small borderless window with a bold text and a turning
// picture, shown by the views while they write to the database.
#pragma once

#include <QPixmap>
#include <QWidget>
#include <memory>
#include <vector>

class QTimer;

namespace Ui {
class TSplashForm;
}

namespace kvq {

class TSplashForm : public QWidget {
  Q_OBJECT

 public:
  // The picture changes every 400 ms.
  static constexpr int kFrameIntervalMs = 400;

  // Creates the box (hidden), 256 x 53, borderless and always on top, and
  // makes it the program-wide busy box. Closing it frees it (delete on
  // close) and clears the program-wide reference.
  explicit TSplashForm(QWidget* parent = nullptr);
  ~TSplashForm() override;
  TSplashForm(const TSplashForm&) = delete;
  TSplashForm& operator=(const TSplashForm&) = delete;

  // The busy box that exists now, or null.
  static TSplashForm* Current();

  // Sets the bold text; a "\r\n" line break of the callers becomes a line.
  void SetText(const QString& text);
  QString Text() const;

  // The picture shown now (0 .. FrameCount() - 1).
  int FrameIndex() const { return frame_; }
  int FrameCount() const { return static_cast<int>(frames_.size()); }

 public slots:
  // Shows the next picture, index 0 again after the last.
  void tmrAnimateTimer();

 protected:
  void showEvent(QShowEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  std::unique_ptr<Ui::TSplashForm> ui_;
  QTimer* tmrAnimate;            // Qt child
  std::vector<QPixmap> frames_;  // the image list
  int frame_ = 0;
};

// Creates the busy box with `text` (or reuses the one that is open), shows
// it centred on the screen and lets it paint. The box lives until
// CloseBusyBox() or its own close().
TSplashForm* ShowBusyBox(const QString& text);

// Closes (and so frees) the busy box if one is open.
void CloseBusyBox();

// Shows the busy box for its lifetime: for a database write loop.
class TBusyBox {
 public:
  explicit TBusyBox(const QString& text) { ShowBusyBox(text); }
  ~TBusyBox() { CloseBusyBox(); }
  TBusyBox(const TBusyBox&) = delete;
  TBusyBox& operator=(const TBusyBox&) = delete;
};

}  // namespace kvq
