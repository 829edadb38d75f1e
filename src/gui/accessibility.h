#pragma once
// What a screen reader needs of the window that Qt does not find by itself:
// fields named by the label in front of them, and the mark of a check-list
// entry reported as the state of a check box.

#include <QString>

class QListWidget;
class QWidget;

namespace trovik::gui {

// Makes every label the buddy of the field it stands in front of, in the
// layouts under `root`: the cell to its left in a grid, the widget before it
// in a row, or the widget under it in a column. A field that already has a
// label or an accessible name of its own is left as it is. Called once the
// window is built, so a field added the usual way is named without more.
void BuddyLabels(QWidget* root);

// The name a control shows no text for (an icon-only button, a field without
// a label); also its tool tip when it has none.
void NameControl(QWidget* control, const QString& name);

// Gives every CheckListBox an accessible interface whose entries are check
// boxes, marked or not (Qt's own list reports plain entries); once.
void InstallCheckListAccessible();

// Tells a screen reader that entry `row` of `list` was marked or unmarked.
void AnnounceMark(QListWidget* list, int row);

}  // namespace trovik::gui
