#pragma once
// Data exchange for the controls of the option sheets' pages that the dialog framework does
// not cover: check boxes, drop lists and radio groups, each found by its control id.
#include <cstdint>
#include <initializer_list>

#include "controls/dialogplus.h"

class QWidget;

namespace zeph {

// A check box of page: 0 or 1.
void DDX_Check(CDataExchange& dx, const QWidget& page, int id, std::int32_t& value);
// A drop list by index (-1 none chosen).
void DDX_CBIndex(CDataExchange& dx, const QWidget& page, int id, std::int32_t& value);
// A radio group by the index of its checked button (-1 none); the buttons carry the ids
// firstId, firstId + 1, ... in order.
void DDX_Radio(CDataExchange& dx, const QWidget& page, int firstId, int count, std::int32_t& value);
// The same for buttons whose ids are listed in the order of their indexes.
void DDX_Radio(CDataExchange& dx, const QWidget& page, std::initializer_list<int> ids,
               std::int32_t& value);

}  // namespace zeph
