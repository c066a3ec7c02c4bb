#pragma once

#include <QComboBox>

namespace kxp40s::ui {

// The window's lists: combo boxes that assistive technology calls by their
// accessible names once makeListsAccessible() has run.
class ListBox : public QComboBox {
    Q_OBJECT

  public:
    using QComboBox::QComboBox;
};

// Lets assistive technology call a list by its accessible name and read the
// chosen item as its value, instead of taking the chosen item for its name
// (once for the program, before the first list is asked about).
void makeListsAccessible();

}  // namespace kxp40s::ui
