// The desktop program's messages sink: every message of the lower layers
// becomes a modal message box (error icon and one OK button for errors),
// questions get Yes and No, and a close request is posted to the main window.
#pragma once

#include <QPointer>
#include <QWidget>

#include "foundation/Messages.h"

namespace kvq {

class TMessageBoxSink : public TMessageSink {
 public:
  // Installs itself for its lifetime, then puts the previous sink back.
  TMessageBoxSink();
  ~TMessageBoxSink() override;
  TMessageBoxSink(const TMessageBoxSink&) = delete;
  TMessageBoxSink& operator=(const TMessageBoxSink&) = delete;

  // The window message boxes are centred on and close requests go to; it may
  // be destroyed before the sink (the boxes then have no parent).
  void SetMainWindow(QWidget* window) { window_ = window; }

  void Show(MessageKind kind, std::string_view text) override;
  bool Ask(std::string_view text) override;
  void ProcessPendingEvents() override;
  Choice AbortRetryIgnore(std::string_view title, std::string_view text) override;
  void RequestClose() override;

 private:
  QPointer<QWidget> window_;
  TMessageSink* previous_;
};

}  // namespace kvq
