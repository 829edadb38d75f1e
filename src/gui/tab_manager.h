#pragma once
// Tab "PDA Manažér": the device pane and the PC pane of the file manager,
// their right-click menus, keys and double clicks.

#include <QComboBox>
#include <QFileSystemModel>
#include <QMenu>
#include <QPushButton>
#include <QTreeView>

#include "gui/context.h"
#include "gui/file_grid.h"
#include "gui/widgets.h"

namespace trovik::gui {

class TabManager : public Tab {
  Q_OBJECT
 public:
  TabManager(Context& context, QWidget* parent = nullptr);
  void refresh() override;

 protected:
  // A tree moved while its tab was hidden scrolled in a view of no height.
  void showEvent(QShowEvent* event) override;

 public:

  FileGrid* deviceGrid() const { return stringPda_; }
  FileGrid* pcGrid() const { return stringPc_; }
  QMenu* pcMenu() const { return popupMenu1_; }
  QMenu* deviceMenu() const { return popupMenu2_; }
  // Switches the folder tree; false when there is no such folder.
  bool setTreeFolder(const QString& folder);

 public slots:
  // The five commands of the menu "Súbor" / "Funkcie manažéra".
  void copyToDevice();
  void openAssociated();
  void copyToPc();
  void deleteOnDevice();
  void createDeviceFolder();

 signals:
  void treeFolderChanged(const QString& folder);

 private:
  QWidget* buildDevicePane();
  void connectCommands();
  // Runs a file manager command with the panes' context.
  void withManager(const std::function<void(device::Manager&)>& command);
  QWidget* buildPcPane();

  QPushButton* readDevice_ = nullptr;
  FileGrid* stringPda_ = nullptr;
  FileGrid* stringPc_ = nullptr;
  PanelBar* statusBar2_ = nullptr;
  PanelBar* statusBar3_ = nullptr;
  PanelBar* statusBar4_ = nullptr;
  PanelBar* statusBar5_ = nullptr;
  QComboBox* drives_ = nullptr;
  QTreeView* directoryListBox1_ = nullptr;
  QFileSystemModel* folders_ = nullptr;
  QMenu* popupMenu1_ = nullptr;
  QMenu* popupMenu2_ = nullptr;
  QString treeFolder_;
  // The folder the tree is to show in its middle once the folders above it
  // are read (the model reads them in the background); empty when none.
  QString centreOn_;
  bool centreWhenShown_ = false;
  void showTreeFolder(const QModelIndex& index);
  int pdaPressedRow_ = -1;
  int pdaPressedColumn_ = -1;
  int pcPressedRow_ = -1;
  int pcPressedColumn_ = -1;
};

}  // namespace trovik::gui
