// The rows the view's list control shows selected.
#pragma once

#include "library/record_exchange.h"

// Asks the open view's list control which rows are selected.
class ViewSelection : public RowSelection {
  public:
    bool ViewOpen() const override;
    bool IsSelected(int index) const override;
};
