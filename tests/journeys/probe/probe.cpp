// A Qt "generic" plugin loaded into the real window for the journey tests
// (QT_QPA_GENERIC_PLUGINS=trovikprobe:SOCKET). It only reports what a person
// could see: where a widget is on the screen, whether it is shown and
// enabled, its text, its check state, the entries of a list, the cells of a
// grid, the tabs, the dialog in front and its buttons. It never acts on the
// window: every action of a journey is real X input.
//
// One request per line, one JSON answer per line:
//   w NAME       the widget or menu item with that object name
//   front        the modal dialog or popup menu in front, with its buttons
//   windows      every shown top-level window
//   focus        the widget with the keyboard focus
//   pixel X Y    the colour the screen shows at a global point

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QGenericPlugin>
#include <QHeaderView>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocalServer>
#include <QLocalSocket>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QScreen>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTabWidget>
#include <QTableWidget>
#include <QTextEdit>
#include <QTreeView>
#include <QWidget>

namespace {

QJsonObject Rect(const QRect& r) {
  return {{"x", r.x()}, {"y", r.y()}, {"w", r.width()}, {"h", r.height()}};
}

QRect Global(const QWidget* w, const QRect& local) { return QRect(w->mapToGlobal(local.topLeft()), local.size()); }

int CheckOf(const QVariant& v) { return v.isValid() ? v.toInt() : -1; }

// The entries of a list: text, check state (-1 without a box), selection,
// place of the entry and of its check box on the screen (empty when
// scrolled out of view).
QJsonArray ListEntries(const QListWidget* list) {
  QJsonArray entries;
  const QRect viewport = list->viewport()->rect();
  for (int i = 0; i < list->count(); ++i) {
    const QListWidgetItem* item = list->item(i);
    QRect r = list->visualItemRect(item);
    const bool shown = viewport.contains(r.center());
    QJsonObject e{{"text", item->text()},
                  {"check", (item->flags() & Qt::ItemIsUserCheckable) ? CheckOf(item->data(Qt::CheckStateRole)) : -1},
                  {"selected", item->isSelected()},
                  {"current", list->currentRow() == i},
                  {"shown", shown}};
    if (shown) {
      e["rect"] = Rect(Global(list->viewport(), r));
      QStyleOptionViewItem opt;
      opt.initFrom(list->viewport());
      opt.rect = r;
      opt.features = QStyleOptionViewItem::HasCheckIndicator | QStyleOptionViewItem::HasDisplay;
      opt.text = item->text();
      opt.font = list->font();
      opt.fontMetrics = list->fontMetrics();
      const QRect box = list->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &opt, list);
      e["box"] = Rect(Global(list->viewport(), box));
    }
    entries.append(e);
  }
  return entries;
}

QJsonObject Table(const QTableWidget* t) {
  QJsonArray rows;
  const QRect viewport = t->viewport()->rect();
  for (int r = 0; r < t->rowCount(); ++r) {
    QJsonArray cells;
    QJsonArray rects;
    for (int c = 0; c < t->columnCount(); ++c) {
      const QTableWidgetItem* item = t->item(r, c);
      cells.append(item ? item->text() : QString());
      const QRect cr = t->visualRect(t->model()->index(r, c));
      rects.append(viewport.contains(cr.center()) && !t->isColumnHidden(c) ? QJsonValue(Rect(Global(t->viewport(), cr)))
                                                                           : QJsonValue());
    }
    const bool selected = t->selectionModel() && t->selectionModel()->isRowSelected(r, QModelIndex());
    rows.append(QJsonObject{{"cells", cells}, {"rects", rects}, {"selected", selected}});
  }
  QJsonArray headers;
  const QHeaderView* h = t->horizontalHeader();
  for (int c = 0; c < t->columnCount(); ++c) {
    const QString text = t->model()->headerData(c, Qt::Horizontal).toString();
    const QRect r(h->sectionViewportPosition(c), 0, h->sectionSize(c), h->height());
    headers.append(QJsonObject{{"text", text},
                               {"hidden", t->isColumnHidden(c)},
                               {"rect", Rect(Global(h->viewport(), r))}});
  }
  return {{"rows", rows}, {"headers", headers}};
}

QJsonArray Tabs(const QTabWidget* tabs) {
  QJsonArray out;
  const QTabBar* bar = tabs->tabBar();
  for (int i = 0; i < bar->count(); ++i) {
    out.append(QJsonObject{{"text", bar->tabText(i)},
                           {"current", bar->currentIndex() == i},
                           {"rect", Rect(Global(bar, bar->tabRect(i)))}});
  }
  return out;
}

// The text a person reads on a widget.
QString TextOf(const QWidget* w) {
  if (auto* b = qobject_cast<const QAbstractButton*>(w)) return b->text();
  if (auto* e = qobject_cast<const QLineEdit*>(w)) return e->text();
  if (auto* l = qobject_cast<const QLabel*>(w)) return l->text();
  if (auto* p = qobject_cast<const QPlainTextEdit*>(w)) return p->toPlainText();
  if (auto* t = qobject_cast<const QTextEdit*>(w)) return t->toPlainText();
  if (auto* c = qobject_cast<const QComboBox*>(w)) return c->currentText();
  if (auto* d = qobject_cast<const QDialog*>(w)) return d->windowTitle();
  return {};
}

QJsonObject Describe(const QWidget* w) {
  QJsonObject o{{"found", true},
                {"name", w->objectName()},
                {"class", QString::fromLatin1(w->metaObject()->className())},
                {"visible", w->isVisible()},
                {"enabled", w->isEnabled()},
                {"rect", Rect(Global(w, w->rect()))},
                {"text", TextOf(w)},
                {"title", w->window()->windowTitle()}};
  if (auto* b = qobject_cast<const QAbstractButton*>(w); b && b->isCheckable()) o["checked"] = b->isChecked();
  if (auto* bar = qobject_cast<const QProgressBar*>(w)) {
    o["value"] = bar->value();
    o["maximum"] = bar->maximum();
  }
  if (auto* list = qobject_cast<const QListWidget*>(w)) o["entries"] = ListEntries(list);
  if (auto* table = qobject_cast<const QTableWidget*>(w)) {
    const QJsonObject t = Table(table);
    o["rows"] = t["rows"];
    o["headers"] = t["headers"];
  }
  if (auto* tabs = qobject_cast<const QTabWidget*>(w)) o["tabs"] = Tabs(tabs);
  if (auto* combo = qobject_cast<const QComboBox*>(w)) {
    QJsonArray items;
    for (int i = 0; i < combo->count(); ++i) items.append(combo->itemText(i));
    o["items"] = items;
  }
  // A status bar's panels are the labels inside it, left to right.
  if (w->objectName().startsWith(QStringLiteral("StatusBar"))) {
    QList<const QLabel*> labels;
    for (const QLabel* l : w->findChildren<const QLabel*>()) labels.append(l);
    std::sort(labels.begin(), labels.end(), [](const QLabel* a, const QLabel* b) {
      return a->mapToGlobal(QPoint(0, 0)).x() < b->mapToGlobal(QPoint(0, 0)).x();
    });
    QJsonArray panels;
    for (const QLabel* l : labels) {
      // Whether the panel's text fits the panel, as a person would read it whole.
      const bool whole = l->fontMetrics().horizontalAdvance(l->text()) <= l->parentWidget()->contentsRect().width();
      panels.append(QJsonObject{{"text", l->text()}, {"whole", whole}, {"rect", Rect(Global(l, l->rect()))}});
    }
    o["panels"] = panels;
  }
  return o;
}

// The menu item with that name, where a person can see it: its menu bar or
// shown popup menu.
QJsonObject DescribeAction(const QString& name) {
  for (QWidget* w : QApplication::allWidgets()) {
    if (!w->isVisible()) continue;
    auto* bar = qobject_cast<QMenuBar*>(w);
    auto* menu = qobject_cast<QMenu*>(w);
    if (!bar && !menu) continue;
    for (QAction* a : w->actions()) {
      // A menu's own name stands for the item that opens it.
      const bool named = a->objectName() == name || (a->menu() && a->menu()->objectName() == name);
      if (!named || !a->isVisible()) continue;
      const QRect r = bar ? bar->actionGeometry(a) : menu->actionGeometry(a);
      return {{"found", true},   {"name", name},
              {"class", "QAction"}, {"visible", true},
              {"enabled", a->isEnabled()}, {"text", a->text()},
              {"checked", a->isChecked()}, {"rect", Rect(Global(w, r))}};
    }
  }
  return {{"found", false}, {"name", name}};
}

QJsonObject Find(const QString& name) {
  const QWidget* best = nullptr;
  for (const QWidget* w : QApplication::allWidgets()) {
    if (w->objectName() != name) continue;
    if (!best || (w->isVisible() && !best->isVisible())) best = w;
  }
  if (best && !(qobject_cast<const QMenu*>(best) && !best->isVisible())) return Describe(best);
  const QJsonObject action = DescribeAction(name);
  if (action["found"].toBool() || !best) return action;
  return Describe(best);
}

QJsonArray Buttons(const QWidget* top) {
  QJsonArray out;
  for (const QAbstractButton* b : top->findChildren<const QAbstractButton*>()) {
    if (!b->isVisible()) continue;
    out.append(QJsonObject{{"text", b->text()},
                           {"name", b->objectName()},
                           {"enabled", b->isEnabled()},
                           {"rect", Rect(Global(b, b->rect()))}});
  }
  return out;
}

QJsonObject Front() {
  if (QWidget* popup = QApplication::activePopupWidget()) {
    QJsonArray items;
    if (auto* menu = qobject_cast<QMenu*>(popup)) {
      for (QAction* a : menu->actions()) {
        if (!a->isVisible() || a->isSeparator()) continue;
        items.append(QJsonObject{{"text", a->text()},
                                 {"name", a->objectName()},
                                 {"enabled", a->isEnabled()},
                                 {"rect", Rect(Global(menu, menu->actionGeometry(a)))}});
      }
    }
    return {{"kind", "popup"},
            {"class", QString::fromLatin1(popup->metaObject()->className())},
            {"rect", Rect(Global(popup, popup->rect()))},
            {"items", items}};
  }
  QWidget* modal = QApplication::activeModalWidget();
  if (!modal) return {{"kind", "none"}};
  QJsonObject o{{"kind", "modal"},
                {"class", QString::fromLatin1(modal->metaObject()->className())},
                {"name", modal->objectName()},
                {"title", modal->windowTitle()},
                {"rect", Rect(Global(modal, modal->rect()))},
                {"buttons", Buttons(modal)}};
  if (auto* box = qobject_cast<QMessageBox*>(modal)) {
    o["text"] = box->text();
    o["icon"] = static_cast<int>(box->icon());
  }
  QJsonArray edits;
  for (const QLineEdit* e : modal->findChildren<const QLineEdit*>()) {
    if (!e->isVisible()) continue;
    edits.append(QJsonObject{{"name", e->objectName()}, {"text", e->text()}, {"rect", Rect(Global(e, e->rect()))}});
  }
  o["edits"] = edits;
  QJsonArray labels;
  for (const QLabel* l : modal->findChildren<const QLabel*>()) {
    if (l->isVisible() && !l->text().isEmpty()) labels.append(l->text());
  }
  o["labels"] = labels;
  return o;
}

QJsonObject Windows() {
  QJsonArray out;
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (!w->isVisible()) continue;
    out.append(QJsonObject{{"class", QString::fromLatin1(w->metaObject()->className())},
                           {"name", w->objectName()},
                           {"title", w->windowTitle()},
                           {"modal", w->isModal()},
                           {"active", w->isActiveWindow()},
                           {"rect", Rect(QRect(w->frameGeometry()))}});
  }
  QWidget* active = QApplication::activeWindow();
  return {{"windows", out}, {"active", active ? active->objectName() : QString()}};
}

QJsonObject Focus() {
  QWidget* w = QApplication::focusWidget();
  if (!w) return {{"found", false}};
  return Describe(w);
}

QJsonObject Pixel(int x, int y) {
  QScreen* screen = QGuiApplication::screenAt(QPoint(x, y));
  if (!screen) return {{"colour", QString()}};
  const QPoint origin = screen->geometry().topLeft();
  const QImage image = screen->grabWindow(0, x - origin.x(), y - origin.y(), 1, 1).toImage();
  if (image.isNull()) return {{"colour", QString()}};
  return {{"colour", QColor(image.pixel(0, 0)).name()}};
}

QJsonObject Answer(const QString& request) {
  const QString verb = request.section(QLatin1Char(' '), 0, 0);
  const QString rest = request.section(QLatin1Char(' '), 1);
  if (verb == QStringLiteral("w")) return Find(rest);
  if (verb == QStringLiteral("front")) return Front();
  if (verb == QStringLiteral("windows")) return Windows();
  if (verb == QStringLiteral("focus")) return Focus();
  if (verb == QStringLiteral("pixel")) return Pixel(rest.section(' ', 0, 0).toInt(), rest.section(' ', 1, 1).toInt());
  return {{"error", QStringLiteral("unknown request")}};
}

class Probe : public QObject {
 public:
  explicit Probe(const QString& path) {
    QLocalServer::removeServer(path);
    server_.listen(path);
    connect(&server_, &QLocalServer::newConnection, this, [this] {
      while (QLocalSocket* socket = server_.nextPendingConnection()) {
        connect(socket, &QLocalSocket::readyRead, socket, [socket] {
          while (socket->canReadLine()) {
            const QString request = QString::fromUtf8(socket->readLine()).trimmed();
            socket->write(QJsonDocument(Answer(request)).toJson(QJsonDocument::Compact) + '\n');
            socket->flush();
          }
        });
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
      }
    });
  }

 private:
  QLocalServer server_;
};

}  // namespace

class TrovikProbePlugin : public QGenericPlugin {
  Q_OBJECT
  Q_PLUGIN_METADATA(IID QGenericPluginFactoryInterface_iid FILE "probe.json")
 public:
  QObject* create(const QString& key, const QString& socketPath) override {
    if (key.compare(QStringLiteral("trovikprobe"), Qt::CaseInsensitive) != 0 || socketPath.isEmpty()) return nullptr;
    return new Probe(socketPath);
  }
};

#include "probe.moc"
