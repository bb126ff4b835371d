// The messages seam: lower layers never open a window. They report through
// these functions, which hand the text to one replaceable sink: kvq prints to
// stderr, the desktop program shows message boxes, tests record.
#pragma once

#include <deque>
#include <string>
#include <string_view>
#include <vector>

namespace kvq {

enum class MessageKind { Error, Warning, Info, Question };
enum class Choice { Abort, Retry, Ignore };

class TMessageSink {
 public:
  virtual ~TMessageSink() = default;
  virtual void Show(MessageKind kind, std::string_view text) = 0;
  // A yes/no question; true for yes.
  virtual bool Ask(std::string_view text) = 0;
  // Lets the GUI run its pending events during a long operation.
  virtual void ProcessPendingEvents() {}
  // An Abort / Retry / Ignore question with a title; Ignore when unanswerable.
  virtual Choice AbortRetryIgnore(std::string_view /*title*/, std::string_view /*text*/) { return Choice::Ignore; }
  // Asks the application's main window to close (posted, not immediate).
  virtual void RequestClose() {}
};

// Installs `sink` (not owned; it must outlive its installation) and returns the
// previous one. Null restores the stderr sink.
TMessageSink* SetMessageSink(TMessageSink* sink);

void ShowError(std::string_view text);
void ShowWarning(std::string_view text);
void ShowInfo(std::string_view text);
bool Ask(std::string_view text);
void ProcessPendingEvents();
Choice AskAbortRetryIgnore(std::string_view title, std::string_view text);
void RequestApplicationClose();

// Prints "Error: ", "Warning: " or the bare text to stderr; answers questions no.
class TStderrSink : public TMessageSink {
 public:
  void Show(MessageKind kind, std::string_view text) override;
  bool Ask(std::string_view text) override;
};

// Records every message; answers questions from a queue (then `defaultAnswer`).
// Installs itself for its lifetime.
class TRecordingSink : public TMessageSink {
 public:
  struct Entry {
    MessageKind kind;
    std::string text;
  };
  TRecordingSink();
  ~TRecordingSink() override;
  TRecordingSink(const TRecordingSink&) = delete;
  TRecordingSink& operator=(const TRecordingSink&) = delete;

  void Show(MessageKind kind, std::string_view text) override;
  bool Ask(std::string_view text) override;
  void ProcessPendingEvents() override { ++pendingEventCalls; }
  Choice AbortRetryIgnore(std::string_view title, std::string_view text) override;
  void RequestClose() override { ++closeRequests; }

  // Texts of one kind, in order.
  std::vector<std::string> Texts(MessageKind kind) const;
  bool Contains(std::string_view fragment) const;

  std::vector<Entry> entries;
  std::deque<bool> answers;
  bool defaultAnswer = false;
  int pendingEventCalls = 0;
  std::deque<Choice> choices;  // answers to Abort/Retry/Ignore, then Ignore
  int closeRequests = 0;

 private:
  TMessageSink* previous_;
};

}  // namespace kvq
