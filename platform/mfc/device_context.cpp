#include <map>
#include <memory>

#include "afxwin.h"

namespace {

// An object standing for a handle that the context did not get as a C++ object; it leaves the handle be.
template <typename Object>
class BorrowedObject : public Object {
public:
  explicit BorrowedObject(HGDIOBJ handle) { this->m_hObject = handle; }
  ~BorrowedObject() override { this->Detach(); }
};

}  // namespace

struct CDC::TemporaryObjects {
  std::map<HGDIOBJ, CGdiObject*> selected;  // the caller's objects selected now, by handle
  std::map<HGDIOBJ, std::unique_ptr<CGdiObject>> borrowed;
};

CDC::CDC() : temporaries_(new TemporaryObjects) {}

CDC::~CDC() {
  DeleteDC();
  delete temporaries_;
}

BOOL CDC::Attach(HDC dc) {
  if (dc == nullptr || m_hDC != nullptr) return FALSE;
  m_hDC = dc;
  return TRUE;
}

HDC CDC::Detach() {
  HDC dc = m_hDC;
  m_hDC = nullptr;
  return dc;
}

BOOL CDC::DeleteDC() {
  if (m_hDC == nullptr) return FALSE;
  return ::DeleteDC(Detach());
}

CGdiObject* CDC::Select(HGDIOBJ object) {
  HGDIOBJ previous = ::SelectObject(m_hDC, object);
  if (previous == nullptr) return nullptr;
  if (auto known = temporaries_->selected.find(previous); known != temporaries_->selected.end()) {
    CGdiObject* caller = known->second;
    temporaries_->selected.erase(known);  // only what is selected now is remembered
    return caller;
  }
  std::unique_ptr<CGdiObject>& borrowed = temporaries_->borrowed[previous];
  if (!borrowed) {
    if (GetObjectType(previous) == OBJ_PEN)
      borrowed = std::make_unique<BorrowedObject<CPen>>(previous);
    else
      borrowed = std::make_unique<BorrowedObject<CBrush>>(previous);
  }
  return borrowed.get();
}

CPen* CDC::SelectObject(CPen* pen) { return static_cast<CPen*>(SelectObject(static_cast<CGdiObject*>(pen))); }

CBrush* CDC::SelectObject(CBrush* brush) {
  return static_cast<CBrush*>(SelectObject(static_cast<CGdiObject*>(brush)));
}

CGdiObject* CDC::SelectObject(CGdiObject* object) {
  if (object == nullptr || object->m_hObject == nullptr) return nullptr;
  CGdiObject* previous = Select(object->m_hObject);
  if (previous != nullptr) temporaries_->selected[object->m_hObject] = object;
  return previous;
}

CGdiObject* CDC::SelectStockObject(int index) {
  HGDIOBJ stock = GetStockObject(index);
  return stock == nullptr ? nullptr : Select(stock);
}

BOOL CDC::Ellipse(int left, int top, int right, int bottom) { return ::Ellipse(m_hDC, left, top, right, bottom); }
