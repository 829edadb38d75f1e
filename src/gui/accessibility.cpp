#include "gui/accessibility.h"

#include <QAbstractSpinBox>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QBoxLayout>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTextEdit>
#include <map>

#include "gui/widgets.h"

namespace trovik::gui {
namespace {

bool IsField(const QWidget* w) {
  return qobject_cast<const QLineEdit*>(w) || qobject_cast<const QComboBox*>(w) ||
         qobject_cast<const QAbstractSpinBox*>(w) || qobject_cast<const QPlainTextEdit*>(w) ||
         qobject_cast<const QTextEdit*>(w);
}

bool HasLabel(const QWidget* field) {
  for (const QLabel* label : field->window()->findChildren<const QLabel*>()) {
    if (label->buddy() == field) return true;
  }
  return false;
}

void Pair(QWidget* first, QWidget* second) {
  auto* label = qobject_cast<QLabel*>(first);
  if (label == nullptr || second == nullptr || label->buddy() != nullptr || label->text().trimmed().isEmpty()) return;
  if (!IsField(second) || !second->accessibleName().isEmpty() || HasLabel(second)) return;
  label->setBuddy(second);
  // Qt finds a buddy among the field's siblings only.
  if (label->parentWidget() != second->parentWidget()) second->setAccessibleName(label->text().trimmed());
}

QWidget* WidgetAt(QLayoutItem* item) { return item != nullptr ? item->widget() : nullptr; }

void Walk(QLayout* layout) {
  if (auto* grid = qobject_cast<QGridLayout*>(layout)) {
    for (int i = 0; i < grid->count(); ++i) {
      int row = 0, column = 0, rows = 0, columns = 0;
      grid->getItemPosition(i, &row, &column, &rows, &columns);
      Pair(WidgetAt(grid->itemAt(i)), WidgetAt(grid->itemAtPosition(row, column + columns)));
    }
  } else if (auto* box = qobject_cast<QBoxLayout*>(layout)) {
    QWidget* before = nullptr;
    for (int i = 0; i < box->count(); ++i) {
      QLayoutItem* item = box->itemAt(i);
      // Spacing between a label and its field does not part them.
      if (item->spacerItem() != nullptr) continue;
      QWidget* w = item->widget();
      Pair(before, w);
      before = w;
    }
  }
  for (int i = 0; i < layout->count(); ++i) {
    if (QLayout* inner = layout->itemAt(i)->layout()) Walk(inner);
  }
}

// One entry of a check list, by its row: what the list shows at that row.
class EntryAccessible : public QAccessibleInterface,
                        public QAccessibleTableCellInterface,
                        public QAccessibleActionInterface {
 public:
  EntryAccessible(QListWidget* list, int row) : list_(list), row_(row) {}

  bool isValid() const override { return item() != nullptr; }
  QObject* object() const override { return nullptr; }
  QWindow* window() const override { return list_ ? list_->window()->windowHandle() : nullptr; }
  QAccessibleInterface* parent() const override { return list_ ? QAccessible::queryAccessibleInterface(list_) : nullptr; }
  QAccessibleInterface* child(int) const override { return nullptr; }
  int childCount() const override { return 0; }
  int indexOfChild(const QAccessibleInterface*) const override { return -1; }
  QAccessibleInterface* childAt(int, int) const override { return nullptr; }
  QString text(QAccessible::Text t) const override {
    const QListWidgetItem* entry = item();
    return entry != nullptr && t == QAccessible::Name ? entry->text() : QString();
  }
  void setText(QAccessible::Text, const QString&) override {}
  QRect rect() const override {
    const QListWidgetItem* entry = item();
    if (entry == nullptr) return {};
    const QRect r = list_->visualItemRect(entry);
    return QRect(list_->viewport()->mapToGlobal(r.topLeft()), r.size());
  }
  // Qt's bridge to the desktop (6.4) does not pass a checkable state on, so a
  // screen reader hears that an entry is a check box only from its role.
  QAccessible::Role role() const override {
    const QListWidgetItem* entry = item();
    return entry != nullptr && (entry->flags() & Qt::ItemIsUserCheckable) ? QAccessible::CheckBox
                                                                           : QAccessible::ListItem;
  }
  QAccessible::State state() const override {
    QAccessible::State st;
    const QListWidgetItem* entry = item();
    if (entry == nullptr) {
      st.invalid = true;
      return st;
    }
    if (!list_->isVisible() || !list_->viewport()->rect().intersects(list_->visualItemRect(entry))) st.invisible = true;
    st.selectable = true;
    st.focusable = true;
    st.selected = entry->isSelected();
    st.focused = list_->currentRow() == row_;
    if (entry->flags() & Qt::ItemIsUserCheckable) {
      st.checkable = true;
      st.checked = entry->checkState() == Qt::Checked;
    }
    return st;
  }
  void* interface_cast(QAccessible::InterfaceType type) override {
    if (type == QAccessible::TableCellInterface) return static_cast<QAccessibleTableCellInterface*>(this);
    if (type == QAccessible::ActionInterface) return static_cast<QAccessibleActionInterface*>(this);
    return nullptr;
  }

  bool isSelected() const override { return item() != nullptr && item()->isSelected(); }
  QList<QAccessibleInterface*> columnHeaderCells() const override { return {}; }
  QList<QAccessibleInterface*> rowHeaderCells() const override { return {}; }
  int columnIndex() const override { return 0; }
  int rowIndex() const override { return row_; }
  int columnExtent() const override { return 1; }
  int rowExtent() const override { return 1; }
  QAccessibleInterface* table() const override { return parent(); }

  QStringList actionNames() const override { return {toggleAction(), setFocusAction()}; }
  // Toggling is the user's own mark, as the Space key sets it.
  void doAction(const QString& name) override {
    QListWidgetItem* entry = item();
    if (entry == nullptr) return;
    if (name == toggleAction() && (entry->flags() & Qt::ItemIsUserCheckable)) {
      entry->setCheckState(entry->checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
    } else if (name == setFocusAction()) {
      list_->setCurrentRow(row_);
      list_->setFocus(Qt::OtherFocusReason);
    }
  }
  QStringList keyBindingsForAction(const QString& name) const override {
    return name == toggleAction() ? QStringList{QStringLiteral("Space")} : QStringList();
  }

 private:
  QListWidgetItem* item() const { return list_ ? list_->item(row_) : nullptr; }

  QPointer<QListWidget> list_;
  int row_;
};

// A check list: Qt's list, but with entries that tell their check box.
class CheckListAccessible : public QAccessibleWidget, public QAccessibleTableInterface {
 public:
  explicit CheckListAccessible(QListWidget* list) : QAccessibleWidget(list, QAccessible::List) {}
  ~CheckListAccessible() override {
    for (const auto& [row, id] : ids_) QAccessible::deleteAccessibleInterface(id);
  }

  void* interface_cast(QAccessible::InterfaceType type) override {
    if (type == QAccessible::TableInterface) return static_cast<QAccessibleTableInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
  }
  int childCount() const override { return list()->count(); }
  QAccessibleInterface* child(int index) const override { return entry(index); }
  int indexOfChild(const QAccessibleInterface* child) const override {
    const QAccessibleTableCellInterface* cell = child != nullptr ? const_cast<QAccessibleInterface*>(child)->tableCellInterface() : nullptr;
    return cell != nullptr && child->parent() == this ? cell->rowIndex() : -1;
  }
  QAccessibleInterface* childAt(int x, int y) const override {
    const QListWidgetItem* at = list()->itemAt(list()->viewport()->mapFromGlobal(QPoint(x, y)));
    return at != nullptr ? entry(list()->row(at)) : nullptr;
  }

  QAccessibleInterface* caption() const override { return nullptr; }
  QAccessibleInterface* summary() const override { return nullptr; }
  QAccessibleInterface* cellAt(int row, int column) const override { return column == 0 ? entry(row) : nullptr; }
  int selectedCellCount() const override { return static_cast<int>(list()->selectedItems().size()); }
  QList<QAccessibleInterface*> selectedCells() const override {
    QList<QAccessibleInterface*> out;
    for (int row : selectedRows()) out << entry(row);
    return out;
  }
  QString columnDescription(int) const override { return {}; }
  QString rowDescription(int) const override { return {}; }
  int columnCount() const override { return 1; }
  int rowCount() const override { return list()->count(); }
  int selectedColumnCount() const override { return 0; }
  int selectedRowCount() const override { return selectedCellCount(); }
  QList<int> selectedColumns() const override { return {}; }
  QList<int> selectedRows() const override {
    QList<int> rows;
    for (const QListWidgetItem* selected : list()->selectedItems()) rows << list()->row(selected);
    return rows;
  }
  bool isColumnSelected(int) const override { return false; }
  bool isRowSelected(int row) const override { return list()->item(row) != nullptr && list()->item(row)->isSelected(); }
  bool selectRow(int row) override {
    if (list()->item(row) == nullptr) return false;
    list()->setCurrentRow(row);
    return true;
  }
  bool selectColumn(int) override { return false; }
  bool unselectRow(int row) override {
    if (list()->item(row) == nullptr) return false;
    list()->item(row)->setSelected(false);
    return true;
  }
  bool unselectColumn(int) override { return false; }
  void modelChange(QAccessibleTableModelChangeEvent*) override {
    // Entries stand for rows; those past the end are gone.
    for (auto it = ids_.begin(); it != ids_.end();) {
      if (it->first >= list()->count()) {
        QAccessible::deleteAccessibleInterface(it->second);
        it = ids_.erase(it);
      } else {
        ++it;
      }
    }
  }

 private:
  QListWidget* list() const { return static_cast<QListWidget*>(object()); }
  QAccessibleInterface* entry(int row) const {
    if (row < 0 || row >= list()->count()) return nullptr;
    auto found = ids_.find(row);
    if (found == ids_.end()) {
      found = ids_.emplace(row, QAccessible::registerAccessibleInterface(new EntryAccessible(list(), row))).first;
    }
    return QAccessible::accessibleInterface(found->second);
  }

  mutable std::map<int, QAccessible::Id> ids_;
};

QAccessibleInterface* CheckListFactory(const QString& className, QObject* object) {
  auto* list = qobject_cast<CheckListBox*>(object);
  if (list == nullptr || className != QLatin1String(list->metaObject()->className())) return nullptr;
  return new CheckListAccessible(list);
}

}  // namespace

void InstallCheckListAccessible() {
  static const bool installed = [] {
    QAccessible::installFactory(CheckListFactory);
    return true;
  }();
  (void)installed;
}

void BuddyLabels(QWidget* root) {
  if (root->layout() != nullptr) Walk(root->layout());
  for (QWidget* w : root->findChildren<QWidget*>()) {
    if (w->layout() != nullptr) Walk(w->layout());
  }
}

void NameControl(QWidget* control, const QString& name) {
  control->setAccessibleName(name);
  if (control->toolTip().isEmpty()) control->setToolTip(name);
}

void AnnounceMark(QListWidget* list, int row) {
  if (!QAccessible::isActive()) return;
  QAccessibleInterface* view = QAccessible::queryAccessibleInterface(list);
  if (view == nullptr) return;
  QAccessibleTableInterface* table = view->tableInterface();
  QAccessibleInterface* entry = table != nullptr ? table->cellAt(row, 0) : nullptr;
  if (entry == nullptr) return;
  QAccessible::State changed;
  changed.checked = true;
  QAccessibleStateChangeEvent event(entry, changed);
  QAccessible::updateAccessibility(&event);
}

}  // namespace trovik::gui
