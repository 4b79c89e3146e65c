#include "editor/ownerview.h"

IOwnerView& GetNullOwnerView() {
  static IOwnerView view;
  return view;
}
