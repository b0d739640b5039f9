#include "common/date_list.h"

#include <algorithm>

const Date NoDate(2038, 1, 1, 0, 0, 0, -1);

DateList::~DateList() = default;

void DateList::Add(const Date& date) {
  if (!Contains(date)) dates_.push_back(date);
  std::sort(dates_.begin(), dates_.end());
}

void DateList::Remove(const Date& date) { std::erase(dates_, date); }

bool DateList::Contains(const Date& date) const { return Find(date) != dates_.end(); }

DateList::const_iterator DateList::Find(const Date& date) const {
  return std::find(dates_.begin(), dates_.end(), date);
}

Date DateList::First() const { return dates_.empty() ? NoDate : dates_.front(); }

Date DateList::Last() const { return dates_.empty() ? NoDate : dates_.back(); }

Date DateList::FirstAfter(const Date& date) const {
  const auto found = std::find_if(dates_.begin(), dates_.end(), [&](const Date& d) { return d > date; });
  return found == dates_.end() ? NoDate : *found;
}

Date DateList::LastBefore(const Date& date) const {
  const auto found = std::find_if(dates_.rbegin(), dates_.rend(), [&](const Date& d) { return d < date; });
  return found == dates_.rend() ? NoDate : *found;
}
