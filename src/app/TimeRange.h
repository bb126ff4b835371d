// The time range of the "Data Retrieval" group: two combos with the same 21
// items ("As Entered Below:" and relative times) and their date and time
// pickers.
#pragma once

#include <QObject>
#include <QStringList>

#include "foundation/TimeBase.h"

class QComboBox;
class QDateEdit;
class QTimeEdit;

namespace kvq {

class TTimeRange : public QObject {
  Q_OBJECT

 public:
  // The 21 combo items; index 9 is "Today", 16 "Now".
  static const QStringList& Items();
  static constexpr int kAsEntered = 0;
  static constexpr int kToday = 9;
  static constexpr int kNow = 16;

  // Fills both combos and follows their changes (none owned).
  TTimeRange(QComboBox* since, QDateEdit* startDate, QTimeEdit* startTime, QComboBox* until, QDateEdit* endDate,
             QTimeEdit* endTime, QObject* parent = nullptr);

  // Relative item: the pickers take the item's time (relative to now); item
  // 0: the time picker goes to 00:00:00 of the date picker's date. The
  // pickers are enabled only with item 0.
  void UpdatePickers(bool start);
  // Sets a combo's item and updates its pickers.
  void SetItem(bool start, int item);
  int Item(bool start) const;
  // Date of the date picker plus time of day of the time picker.
  DateTimeValue Value(bool start) const;
  // Writes both pickers of one side.
  void SetValue(bool start, DateTimeValue value);

  // The Retrieve button's checks: relative items are evaluated again; false
  // (after "Error 1410: The starting time must be earlier than the ending
  // time.") when the start is not earlier than the end.
  bool Evaluate(DateTimeValue& start, DateTimeValue& end);

 private:
  QComboBox* since_;
  QDateEdit* startDate_;
  QTimeEdit* startTime_;
  QComboBox* until_;
  QDateEdit* endDate_;
  QTimeEdit* endTime_;
};

}  // namespace kvq
