#include "foundation/Messages.h"

#include <cstdio>

namespace kvq {

namespace {

TStderrSink& StderrSink() {
  static TStderrSink sink;
  return sink;
}

TMessageSink*& Current() {
  static TMessageSink* sink = nullptr;
  return sink;
}

TMessageSink& Sink() { return Current() ? *Current() : StderrSink(); }

}  // namespace

TMessageSink* SetMessageSink(TMessageSink* sink) {
  TMessageSink* previous = Current();
  Current() = sink;
  return previous;
}

void ShowError(std::string_view text) { Sink().Show(MessageKind::Error, text); }
void ShowWarning(std::string_view text) { Sink().Show(MessageKind::Warning, text); }
void ShowInfo(std::string_view text) { Sink().Show(MessageKind::Info, text); }
bool Ask(std::string_view text) { return Sink().Ask(text); }
void ProcessPendingEvents() { Sink().ProcessPendingEvents(); }
Choice AskAbortRetryIgnore(std::string_view title, std::string_view text) {
  return Sink().AbortRetryIgnore(title, text);
}
void RequestApplicationClose() { Sink().RequestClose(); }

void TStderrSink::Show(MessageKind kind, std::string_view text) {
  const char* prefix = "";
  if (kind == MessageKind::Warning) prefix = "Warning: ";
  if (kind == MessageKind::Error && text.substr(0, 5) != "Error") prefix = "Error: ";
  std::fprintf(stderr, "%s%.*s\n", prefix, static_cast<int>(text.size()), text.data());
}

bool TStderrSink::Ask(std::string_view text) {
  std::fprintf(stderr, "%.*s (answered no)\n", static_cast<int>(text.size()), text.data());
  return false;
}

TRecordingSink::TRecordingSink() : previous_(SetMessageSink(this)) {}

TRecordingSink::~TRecordingSink() { SetMessageSink(previous_); }

void TRecordingSink::Show(MessageKind kind, std::string_view text) { entries.push_back({kind, std::string(text)}); }

bool TRecordingSink::Ask(std::string_view text) {
  entries.push_back({MessageKind::Question, std::string(text)});
  if (answers.empty()) return defaultAnswer;
  const bool a = answers.front();
  answers.pop_front();
  return a;
}

Choice TRecordingSink::AbortRetryIgnore(std::string_view title, std::string_view text) {
  entries.push_back({MessageKind::Question, std::string(title) + ": " + std::string(text)});
  if (choices.empty()) return Choice::Ignore;
  const Choice c = choices.front();
  choices.pop_front();
  return c;
}

std::vector<std::string> TRecordingSink::Texts(MessageKind kind) const {
  std::vector<std::string> r;
  for (const auto& e : entries)
    if (e.kind == kind) r.push_back(e.text);
  return r;
}

bool TRecordingSink::Contains(std::string_view fragment) const {
  for (const auto& e : entries)
    if (e.text.find(fragment) != std::string::npos) return true;
  return false;
}

}  // namespace kvq
