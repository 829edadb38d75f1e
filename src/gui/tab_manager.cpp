#include "gui/tab_manager.h"

#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QSplitter>
#include <QVBoxLayout>

#include "app/settings.h"
#include "gui/dispatch.h"
#include "gui/qt_text.h"

namespace trovik::gui {
namespace {

QAction* AddItem(QMenu* menu, const QString& objectName, const QString& caption) {
  QAction* action = menu->addAction(caption);
  action->setObjectName(objectName);
  return action;
}

}  // namespace

TabManager::TabManager(Context& context, QWidget* parent) : Tab(context, QStringLiteral("TabSheet6"), parent) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(6, 6, 6, 4);
  layout->setSpacing(4);

  auto* top = new QHBoxLayout();
  readDevice_ = MakeButton(QStringLiteral("SpeedButton12"), QStringLiteral("Načítaj adresár PDA"), this);
  top->addWidget(readDevice_);
  top->addSpacing(12);
  auto* hint = MakeLabel(QStringLiteral("Label18"), QStringLiteral("Funkcie sú dostupné cez pravé tlačítko myšky"), this, true);
  hint->setStyleSheet(QStringLiteral("color: rgb(0, 128, 0);"));
  top->addWidget(hint);
  top->addStretch(1);
  layout->addLayout(top);

  auto* panes = new QSplitter(Qt::Horizontal, this);
  panes->setObjectName(QStringLiteral("Splitter3"));
  panes->setChildrenCollapsible(false);
  panes->addWidget(buildDevicePane());
  panes->addWidget(buildPcPane());
  panes->setSizes({410, 420});
  layout->addWidget(panes, 1);

  popupMenu1_ = new QMenu(this);
  popupMenu1_->setObjectName(QStringLiteral("PopupMenu1"));
  AddItem(popupMenu1_, QStringLiteral("KopirovaniesborudoPDA1"), QStringLiteral("Kopirovanie označených súborov do PDA"));
  AddItem(popupMenu1_, QStringLiteral("Vymazaniesboru1"), QStringLiteral("Otvor file v asociovanom programe"));
  AddItem(popupMenu1_, QStringLiteral("Refre1"), QStringLiteral("Refreš"));
  popupMenu2_ = new QMenu(this);
  popupMenu2_->setObjectName(QStringLiteral("PopupMenu2"));
  AddItem(popupMenu2_, QStringLiteral("MenuItem1"), QStringLiteral("Kopirovanie označených súborov do PC"));
  AddItem(popupMenu2_, QStringLiteral("MenuItem2"), QStringLiteral("Vymazanie označených súborov,adresárov"));
  AddItem(popupMenu2_, QStringLiteral("Vytvoradresr1"), QStringLiteral("Vytvor adresár"));
  AddItem(popupMenu2_, QStringLiteral("Refre2"), QStringLiteral("Refreš"));
}

QWidget* TabManager::buildDevicePane() {
  auto* pane = new QWidget(this);
  pane->setObjectName(QStringLiteral("Panel3"));
  auto* column = new QVBoxLayout(pane);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(2);
  column->addWidget(MakeLabel(QStringLiteral("Label17"), QStringLiteral("PDA "), pane, true));
  stringPda_ = new FileGrid(QStringLiteral("StringPDA"), FileGrid::Kind::Device, {160, 64, 127, 10}, pane);
  column->addWidget(stringPda_, 1);
  statusBar2_ = new PanelBar(QStringLiteral("StatusBar2"), {110, 100, 150}, pane);
  column->addWidget(statusBar2_);
  statusBar3_ = new PanelBar(QStringLiteral("StatusBar3"), {290, 70}, pane);
  column->addWidget(statusBar3_);
  return pane;
}

QWidget* TabManager::buildPcPane() {
  auto* pane = new QWidget(this);
  pane->setObjectName(QStringLiteral("Panel4"));
  auto* column = new QVBoxLayout(pane);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(2);
  auto* driveRow = new QHBoxLayout();
  driveRow->addWidget(MakeLabel(QStringLiteral("Label19"), QStringLiteral("PC disky"), pane, true));
  drives_ = new QComboBox(pane);
  drives_->setObjectName(QStringLiteral("DriveComboBox1"));
  for (const QFileInfo& drive : QDir::drives()) drives_->addItem(QDir::toNativeSeparators(drive.absoluteFilePath()));
  driveRow->addWidget(drives_, 1);
  column->addLayout(driveRow);

  folders_ = new QFileSystemModel(this);
  folders_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
  folders_->setRootPath(QDir::rootPath());
  directoryListBox1_ = new QTreeView(pane);
  directoryListBox1_->setObjectName(QStringLiteral("DirectoryListBox1"));
  directoryListBox1_->setModel(folders_);
  for (int c = 1; c < folders_->columnCount(); ++c) directoryListBox1_->hideColumn(c);
  directoryListBox1_->setHeaderHidden(true);
  directoryListBox1_->setRootIndex(folders_->index(QDir::rootPath()));
  directoryListBox1_->setMinimumHeight(110);
  auto* split = new QSplitter(Qt::Vertical, pane);
  split->setObjectName(QStringLiteral("Splitter4"));
  split->setChildrenCollapsible(false);
  split->addWidget(directoryListBox1_);
  stringPc_ = new FileGrid(QStringLiteral("StringPC"), FileGrid::Kind::Pc, {160, 55, 132}, split);
  split->addWidget(stringPc_);
  split->setSizes({150, 300});
  column->addWidget(split, 1);
  statusBar4_ = new PanelBar(QStringLiteral("StatusBar4"), {110, 100, 150}, pane);
  column->addWidget(statusBar4_);
  statusBar5_ = new PanelBar(QStringLiteral("StatusBar5"), {360}, pane);
  column->addWidget(statusBar5_);

  connect(directoryListBox1_->selectionModel(), &QItemSelectionModel::currentChanged, this,
          [this](const QModelIndex& current) {
            const QString folder = QDir::toNativeSeparators(folders_->filePath(current));
            if (folder.isEmpty() || folder == treeFolder_) return;
            treeFolder_ = folder;
            emit treeFolderChanged(folder);
          });
  connect(this, &TabManager::treeFolderChanged, this, [this](const QString& folder) {
    run([this, folder] {
      // DirectoryListBox1Change: the core follows the tree's folder.
      if (context_.main && ToCore(folder) != context_.main->currentPcFolder) app::SwitchPcFolder(*context_.main, ToCore(folder));
    });
  });
  connect(drives_, &QComboBox::activated, this, [this](int index) { setTreeFolder(drives_->itemText(index)); });
  return pane;
}

QString TabManager::treeFolder() const { return treeFolder_; }

bool TabManager::setTreeFolder(const QString& folder) {
  const QFileInfo info(folder);
  if (folder.isEmpty() || !info.isDir()) return false;
  QString path = QDir::cleanPath(info.absoluteFilePath());
  const QModelIndex index = folders_->index(path);
  if (!index.isValid()) return false;
  directoryListBox1_->setCurrentIndex(index);
  directoryListBox1_->scrollTo(index);
  const QString native = QDir::toNativeSeparators(path);
  if (native != treeFolder_) {
    treeFolder_ = native;
    emit treeFolderChanged(native);
  }
  return true;
}

namespace {

QList<QStringList> GridRows(const std::vector<app::GridRow>& rows) {
  QList<QStringList> out;
  for (const app::GridRow& row : rows) {
    QStringList cells;
    for (const std::string& cell : row) cells << FromCore(cell);
    out << cells;
  }
  return out;
}

}  // namespace

void TabManager::refresh() {
  const app::MainState* s = context_.main;
  if (s == nullptr) return;
  if (!s->stringPda.empty()) stringPda_->setRows(GridRows(s->stringPda));
  if (!s->stringPc.empty()) stringPc_->setRows(GridRows(s->stringPc));
  stringPda_->setSortModes(s->pdaSort.nameMode, s->pdaSort.dateMode);
  stringPc_->setSortModes(s->pcSort.nameMode, s->pcSort.dateMode);
  statusBar3_->setPanelText(0, FromCore(s->statusBar3Panel0));
  statusBar5_->setPanelText(0, FromCore(s->statusBar5Panel0));
}

}  // namespace trovik::gui
