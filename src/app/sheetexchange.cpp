#include "app/sheetexchange.h"

#include <QAbstractButton>
#include <QComboBox>
#include <vector>

namespace zeph {

namespace {

template <typename Control>
Control* Find(const QWidget& page, int id) {
  return qobject_cast<Control*>(FindControl(page, id));
}

void RadioByIds(CDataExchange& dx, const QWidget& page, const std::vector<int>& ids,
                std::int32_t& value) {
  if (dx.Failed()) return;
  const int count = static_cast<int>(ids.size());
  if (dx.IsSaving()) {
    value = -1;
    for (int i = 0; i < count; ++i) {
      auto* button = Find<QAbstractButton>(page, ids[static_cast<std::size_t>(i)]);
      if (button != nullptr && button->isChecked()) {
        value = i;
        break;
      }
    }
    return;
  }
  for (int i = 0; i < count; ++i) {
    auto* button = Find<QAbstractButton>(page, ids[static_cast<std::size_t>(i)]);
    if (button == nullptr) continue;
    // An exclusive button cannot be unchecked directly: none checked is allowed here.
    const bool exclusive = button->autoExclusive();
    button->setAutoExclusive(false);
    button->setChecked(i == value);
    button->setAutoExclusive(exclusive);
  }
}

}  // namespace

void DDX_Check(CDataExchange& dx, const QWidget& page, int id, std::int32_t& value) {
  if (dx.Failed()) return;
  auto* box = Find<QAbstractButton>(page, id);
  if (box == nullptr) return;
  if (dx.IsSaving()) {
    value = box->isChecked() ? 1 : 0;
  } else {
    box->setChecked(value != 0);
  }
}

void DDX_CBIndex(CDataExchange& dx, const QWidget& page, int id, std::int32_t& value) {
  if (dx.Failed()) return;
  auto* list = Find<QComboBox>(page, id);
  if (list == nullptr) return;
  if (dx.IsSaving()) {
    value = list->currentIndex();
  } else {
    list->setCurrentIndex(value >= 0 && value < list->count() ? value : -1);
  }
}

void DDX_Radio(CDataExchange& dx, const QWidget& page, int firstId, int count,
               std::int32_t& value) {
  std::vector<int> ids;
  for (int i = 0; i < count; ++i) ids.push_back(firstId + i);
  RadioByIds(dx, page, ids, value);
}

void DDX_Radio(CDataExchange& dx, const QWidget& page, std::initializer_list<int> ids,
               std::int32_t& value) {
  RadioByIds(dx, page, std::vector<int>(ids), value);
}

}  // namespace zeph
