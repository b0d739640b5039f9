#pragma once
// An ordered set of dates, carried by the file-open report a data module hands to the host.
#include <vector>

#include "atltime.h"

using Date = ATL::CTime;

// The date the queries answer when they find nothing: 1 January 2038, 00:00:00 local time.
extern const Date NoDate;

class DateList {
public:
  using const_iterator = std::vector<Date>::const_iterator;

  DateList() = default;
  DateList(const DateList&) = default;
  DateList& operator=(const DateList&) = default;
  virtual ~DateList();

  // Appends the date unless present, then sorts the whole list ascending.
  void Add(const Date& date);
  // Erases every date equal to `date`.
  void Remove(const Date& date);
  bool Contains(const Date& date) const;
  // Position of the first equal date, or end().
  const_iterator Find(const Date& date) const;
  Date First() const;
  Date Last() const;
  // The first date strictly after `date`, or NoDate.
  Date FirstAfter(const Date& date) const;
  // The last date strictly before `date`, or NoDate.
  Date LastBefore(const Date& date) const;

  const_iterator begin() const { return dates_.begin(); }
  const_iterator end() const { return dates_.end(); }
  std::size_t size() const { return dates_.size(); }
  bool empty() const { return dates_.empty(); }

private:
  std::vector<Date> dates_;
};
