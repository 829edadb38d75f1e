#pragma once
// The two panes of the "PDA Manažér" tab as core data: each grid row holds
// the same five cells (name, size or "<DIR>", date and time, device
// attributes, and a fifth cell carried along by the sort). Row 0 is the
// header, row 1 "..". The GUI shows these rows through a model.

#include <array>
#include <string>
#include <vector>

namespace trovik::device {

using GridRow = std::array<std::string, 5>;
using Grid = std::vector<GridRow>;

inline const std::string kDirCell = "<DIR>";

// The two fixed rows both grids start with.
Grid InitialGrid();

struct DevicePane {
  Grid grid = InitialGrid();             // StringPDA
  std::string folder = "\\Storage Card\\Geo\\";  // current device folder, ends with "\"
  int nameSort = 1;                      // 0 none, 1 ascending, 2 descending
  int dateSort = 0;
  std::array<std::string, 3> status2;    // StatusBar2: folders, files, bytes
  std::array<std::string, 3> status3;    // StatusBar3: folder, "<n>msec", the volume's free room
};

struct PcPane {
  Grid grid = InitialGrid();             // StringPC
  std::string folder;                    // current PC folder (1250), no trailing "/" but at the root
  int nameSort = 1;
  int dateSort = 0;
  std::array<std::string, 3> status4;    // StatusBar4: folders, files, bytes
  std::string status5;                   // StatusBar5, panel 0: the folder
};

}  // namespace trovik::device
