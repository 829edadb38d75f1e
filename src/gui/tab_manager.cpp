#include "gui/tab_manager.h"

#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QSplitter>
#include <QVBoxLayout>

#include "app/main_state.h"
#include "device/file_icons.h"
#include "device/listing.h"
#include "device/manager.h"
#include "device/panes.h"
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
  connectCommands();
}

void TabManager::withManager(const std::function<void(device::Manager&)>& command) {
  run([this, command] { command(context_.manager); });
}

void TabManager::copyToDevice() {
  const std::vector<int> rows = stringPc_->selectedCoreRows();
  withManager([rows](device::Manager& m) { device::KopirovaniesborudoPDA1Click(m, rows); });
}

void TabManager::openAssociated() {
  const int row = pcPressedRow_;
  withManager([row](device::Manager& m) {
    if (row > 0) device::Vymazaniesboru1Click(m, row);
  });
}

void TabManager::copyToPc() {
  const std::vector<int> rows = stringPda_->selectedCoreRows();
  withManager([rows](device::Manager& m) { device::MenuItem1Click(m, rows); });
}

void TabManager::deleteOnDevice() {
  const std::vector<int> rows = stringPda_->selectedCoreRows();
  withManager([rows](device::Manager& m) { device::MenuItem2Click(m, rows); });
}

void TabManager::createDeviceFolder() {
  withManager([](device::Manager& m) { device::Vytvoradresr1Click(m); });
}

void TabManager::connectCommands() {
  const auto action = [](QMenu* menu, const char* name) {
    return menu->findChild<QAction*>(QString::fromLatin1(name), Qt::FindDirectChildrenOnly);
  };
  connect(action(popupMenu1_, "KopirovaniesborudoPDA1"), &QAction::triggered, this, &TabManager::copyToDevice);
  connect(action(popupMenu1_, "Vymazaniesboru1"), &QAction::triggered, this, &TabManager::openAssociated);
  connect(action(popupMenu1_, "Refre1"), &QAction::triggered, this,
          [this] { withManager([](device::Manager& m) { device::Refre1Click(m); }); });
  connect(action(popupMenu2_, "MenuItem1"), &QAction::triggered, this, &TabManager::copyToPc);
  connect(action(popupMenu2_, "MenuItem2"), &QAction::triggered, this, &TabManager::deleteOnDevice);
  connect(action(popupMenu2_, "Vytvoradresr1"), &QAction::triggered, this, &TabManager::createDeviceFolder);
  connect(action(popupMenu2_, "Refre2"), &QAction::triggered, this,
          [this] { withManager([](device::Manager& m) { device::Refre2Click(m); }); });
  connect(readDevice_, &QPushButton::clicked, this,
          [this] { withManager([](device::Manager& m) { device::SpeedButton12Click(m); }); });

  // Presses are recorded; a right press opens the pane's menu (the device
  // pane's only over a row below the header).
  connect(stringPda_, &FileGrid::cellPressed, this, [this](int row, int column, Qt::MouseButton button, QPoint at) {
    pdaPressedRow_ = row;
    pdaPressedColumn_ = column;
    if (button == Qt::RightButton && row > 0) popupMenu2_->popup(at);
  });
  connect(stringPc_, &FileGrid::cellPressed, this, [this](int row, int column, Qt::MouseButton button, QPoint at) {
    pcPressedRow_ = row;
    pcPressedColumn_ = column;
    if (button == Qt::RightButton && row >= 0) popupMenu1_->popup(at);
  });
  // A release after a press on the header is a header click.
  connect(stringPda_, &FileGrid::mouseReleased, this, [this] {
    if (pdaPressedRow_ != 0) return;
    const int column = pdaPressedColumn_;
    run([this, column] { device::StringPDAMouseUp(context_.pda, column); });
  });
  connect(stringPc_, &FileGrid::mouseReleased, this, [this] {
    if (pcPressedRow_ != 0) return;
    const int column = pcPressedColumn_;
    run([this, column] { device::StringPCMouseUp(context_.pc, column); });
  });
  connect(stringPda_, &FileGrid::cellDoubleClicked, this, [this](int row, int) {
    withManager([row](device::Manager& m) { device::StringPDADblClick(m, row); });
  });
  connect(stringPc_, &FileGrid::cellDoubleClicked, this, [this](int row, int) {
    withManager([row](device::Manager& m) { device::StringPCDblClick(m, row); });
  });
  connect(stringPda_, &FileGrid::keyReleased, this, [this](int key) {
    if (key == Qt::Key_F5) copyToPc();
    if (key == Qt::Key_Delete) deleteOnDevice();
    if (key == Qt::Key_Tab) stringPc_->setFocus(Qt::TabFocusReason);
  });
  connect(stringPc_, &FileGrid::keyReleased, this, [this](int key) {
    if (key == Qt::Key_F5) copyToDevice();
    if (key == Qt::Key_Tab) stringPda_->setFocus(Qt::TabFocusReason);
  });
  stringPda_->setRowIcon([this](int row) {
    const device::Grid& grid = context_.pda.grid;
    return row >= 1 && row < static_cast<int>(grid.size()) ? device::DeviceRowIcon(grid[static_cast<size_t>(row)]) : -1;
  });
  stringPc_->setRowIcon([this](int row) {
    const device::Grid& grid = context_.pc.grid;
    return row >= 1 && row < static_cast<int>(grid.size()) ? device::PcRowIcon(grid[static_cast<size_t>(row)]) : -1;
  });
}

QWidget* TabManager::buildDevicePane() {
  auto* pane = new QWidget(this);
  pane->setObjectName(QStringLiteral("Panel3"));
  auto* column = new QVBoxLayout(pane);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(2);
  column->addWidget(MakeLabel(QStringLiteral("Label17"), QStringLiteral("PDA "), pane, true));
  stringPda_ = new FileGrid(QStringLiteral("StringPDA"), FileGrid::Kind::Device, {160, 64, 127, 10}, pane);
  stringPda_->setAccessibleName(QStringLiteral("PDA"));
  column->addWidget(stringPda_, 1);
  statusBar2_ = new PanelBar(QStringLiteral("StatusBar2"), {110, 100, 150}, pane);
  column->addWidget(statusBar2_);
  statusBar3_ = new PanelBar(QStringLiteral("StatusBar3"), {290, 70, 130}, pane);
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
  directoryListBox1_->setAccessibleName(QStringLiteral("PC adresáre"));
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
  stringPc_->setAccessibleName(QStringLiteral("PC"));
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
      // DirectoryListBox1Change: the PC pane lists and sorts the tree's folder.
      if (ToCore(folder) == context_.pc.folder) return;
      device::DirectoryListBox1Change(context_.pc, ToCore(folder));
      context_.main.currentPcFolder = context_.pc.folder;
    });
  });
  connect(drives_, &QComboBox::activated, this, [this](int index) { setTreeFolder(drives_->itemText(index)); });
  // Folders read after the tree moved push its folder down: it goes back to
  // the middle until its own folder is read, and the user's scrolling is
  // left alone after that.
  connect(folders_, &QFileSystemModel::directoryLoaded, this, [this](const QString& loaded) {
    if (centreOn_.isEmpty() || !(centreOn_ + QLatin1Char('/')).startsWith(QDir::cleanPath(loaded))) return;
    const QModelIndex index = folders_->index(centreOn_);
    if (index.isValid()) directoryListBox1_->scrollTo(index, QAbstractItemView::PositionAtCenter);
    if (QDir::cleanPath(loaded) == centreOn_) centreOn_.clear();
  });
  return pane;
}

void TabManager::showTreeFolder(const QModelIndex& index) {
  directoryListBox1_->setCurrentIndex(index);
  directoryListBox1_->scrollTo(index, QAbstractItemView::PositionAtCenter);
  centreOn_ = folders_->filePath(index);
  if (!directoryListBox1_->isVisible()) centreWhenShown_ = true;
}

void TabManager::showEvent(QShowEvent* event) {
  Tab::showEvent(event);
  const QModelIndex current = directoryListBox1_->currentIndex();
  if (centreWhenShown_ && current.isValid()) directoryListBox1_->scrollTo(current, QAbstractItemView::PositionAtCenter);
  centreWhenShown_ = false;
}

bool TabManager::setTreeFolder(const QString& folder) {
  const QFileInfo info(folder);
  if (folder.isEmpty() || !info.isDir()) return false;
  QString path = QDir::cleanPath(info.absoluteFilePath());
  const QModelIndex index = folders_->index(path);
  if (!index.isValid()) return false;
  showTreeFolder(index);
  const QString native = QDir::toNativeSeparators(path);
  if (native != treeFolder_) {
    treeFolder_ = native;
    emit treeFolderChanged(native);
  }
  return true;
}

namespace {

QList<QStringList> GridRows(const device::Grid& rows) {
  QList<QStringList> out;
  for (const device::GridRow& row : rows) {
    QStringList cells;
    for (const std::string& cell : row) cells << FromCore(cell);
    out << cells;
  }
  return out;
}

}  // namespace

void TabManager::refresh() {
  const device::DevicePane& pda = context_.pda;
  stringPda_->setRows(GridRows(pda.grid));
  stringPda_->setSortModes(pda.nameSort, pda.dateSort);
  for (int i = 0; i < 3; ++i) statusBar2_->setPanelText(i, FromCore(pda.status2[static_cast<size_t>(i)]));
  for (int i = 0; i < 3; ++i) statusBar3_->setPanelText(i, FromCore(pda.status3[static_cast<size_t>(i)]));
  const device::PcPane& pc = context_.pc;
  stringPc_->setRows(GridRows(pc.grid));
  stringPc_->setSortModes(pc.nameSort, pc.dateSort);
  for (int i = 0; i < 3; ++i) statusBar4_->setPanelText(i, FromCore(pc.status4[static_cast<size_t>(i)]));
  statusBar5_->setPanelText(0, FromCore(pc.status5));
  // The tree follows the pane (a double click on a folder row moves it).
  const QString folder = FromCore(pc.folder);
  if (!folder.isEmpty() && folder != treeFolder_) {
    treeFolder_ = folder;
    const QModelIndex index = folders_->index(QDir::cleanPath(QDir::fromNativeSeparators(folder)));
    if (index.isValid()) showTreeFolder(index);
  }
  stringPda_->viewport()->update();
  stringPc_->viewport()->update();
}

}  // namespace trovik::gui
