#pragma once
// A minimal subject/observer pair without virtual operations. The module pairs its data module (the
// subject) with its display modules (the observers) through it.
#include <algorithm>
#include <vector>

// Names the pairing of a data module with its displays; it carries nothing.
struct ModuleNotification {};

template <typename Notification>
class Observer;

template <typename Notification>
class Subject {
public:
  using ObserverType = Observer<Notification>;

  // Appends `observer` unless it is already attached (then false, nothing changes).
  bool Attach(ObserverType* observer) {
    if (std::find(observers_.begin(), observers_.end(), observer) != observers_.end()) return false;
    observers_.push_back(observer);
    return true;
  }

  // Removes the first entry equal to `observer`; false when there was none.
  bool Detach(ObserverType* observer) {
    const auto found = std::find(observers_.begin(), observers_.end(), observer);
    if (found == observers_.end()) return false;
    observers_.erase(found);
    return true;
  }

  const std::vector<ObserverType*>& Observers() const { return observers_; }

protected:
  // Also makes each observer forget this subject, so that one outliving it never detaches through a
  // dangling pointer.
  void DetachAll() {
    for (ObserverType* observer : observers_)
      if (observer) observer->subject_ = nullptr;
    observers_.clear();
  }

private:
  std::vector<ObserverType*> observers_;
};

template <typename Notification>
class Observer {
public:
  using SubjectType = Subject<Notification>;

  explicit Observer(SubjectType* subject) : subject_(subject) {
    if (subject_) subject_->Attach(this);
  }
  ~Observer() {
    if (subject_) subject_->Detach(this);
  }
  Observer(const Observer&) = delete;
  Observer& operator=(const Observer&) = delete;

  SubjectType* GetSubject() const { return subject_; }

private:
  friend SubjectType;
  SubjectType* subject_;
};
