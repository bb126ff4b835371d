#include "app/TimeRange.h"

#include <QComboBox>
#include <QDateEdit>
#include <QTimeEdit>

#include "app/QtTime.h"
#include "foundation/Messages.h"

namespace kvq {

const QStringList& TTimeRange::Items() {
  static const QStringList items{
      QStringLiteral("As Entered Below:"), QStringLiteral("Last Month"),   QStringLiteral("This Month"),
      QStringLiteral("Last Week"),         QStringLiteral("This Week"),    QStringLiteral("Last 5 Days"),
      QStringLiteral("Last 3 Days"),       QStringLiteral("Last 2 Days"),  QStringLiteral("Yesterday"),
      QStringLiteral("Today"),             QStringLiteral("Last 12 Hours"), QStringLiteral("Last 6 Hours"),
      QStringLiteral("Last 3 Hours"),      QStringLiteral("Last 2 Hours"), QStringLiteral("Last Hour"),
      QStringLiteral("This Hour"),         QStringLiteral("Now"),          QStringLiteral("Next Hour"),
      QStringLiteral("Tomorrow"),          QStringLiteral("Next Week"),    QStringLiteral("Next Month")};
  return items;
}

TTimeRange::TTimeRange(QComboBox* since, QDateEdit* startDate, QTimeEdit* startTime, QComboBox* until,
                       QDateEdit* endDate, QTimeEdit* endTime, QObject* parent)
    : QObject(parent),
      since_(since),
      startDate_(startDate),
      startTime_(startTime),
      until_(until),
      endDate_(endDate),
      endTime_(endTime) {
  for (QComboBox* combo : {since_, until_}) {
    combo->clear();
    combo->addItems(Items());
    combo->setMaxVisibleItems(Items().size());
  }
  connect(since_, &QComboBox::activated, this, [this] { UpdatePickers(true); });
  connect(until_, &QComboBox::activated, this, [this] { UpdatePickers(false); });
}

void TTimeRange::UpdatePickers(bool start) {
  QComboBox* combo = start ? since_ : until_;
  QDateEdit* date = start ? startDate_ : endDate_;
  QTimeEdit* time = start ? startTime_ : endTime_;
  const int item = combo->currentIndex();
  if (item > 0) {
    const TimeTag t = EvaluateTimeExpression(combo->currentText().toUpper().toStdString(), 0);
    const QDateTime dt = ToQDateTime(TimeTagToDateTime(t));
    date->setDate(dt.date());
    time->setTime(dt.time());
  } else {
    time->setTime(QTime(0, 0));
  }
  date->setEnabled(item == 0);
  time->setEnabled(item == 0);
}

void TTimeRange::SetItem(bool start, int item) {
  (start ? since_ : until_)->setCurrentIndex(item);
  UpdatePickers(start);
}

int TTimeRange::Item(bool start) const { return (start ? since_ : until_)->currentIndex(); }

DateTimeValue TTimeRange::Value(bool start) const {
  const QDate date = (start ? startDate_ : endDate_)->date();
  const QTime time = (start ? startTime_ : endTime_)->time();
  return FromQDate(date) + time.msecsSinceStartOfDay() / 86400000.0;
}

void TTimeRange::SetValue(bool start, DateTimeValue value) {
  const QDateTime dt = ToQDateTime(value);
  (start ? startDate_ : endDate_)->setDate(dt.date());
  (start ? startTime_ : endTime_)->setTime(dt.time());
}

bool TTimeRange::Evaluate(DateTimeValue& start, DateTimeValue& end) {
  // relative times are taken at the moment of retrieval
  if (Item(true) > 0) UpdatePickers(true);
  if (Item(false) > 0) UpdatePickers(false);
  start = Value(true);
  end = Value(false);
  if (DateTimeToTimeTag(start) >= DateTimeToTimeTag(end)) {
    ShowError("Error 1410: The starting time must be earlier than the ending time.");
    return false;
  }
  return true;
}

}  // namespace kvq
