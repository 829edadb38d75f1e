#pragma once
// Folder listings of both panes and their sorting.

#include <cstdint>
#include <string>

#include "base/host.h"
#include "device/device_link.h"
#include "device/panes.h"

namespace trovik::device {

// The find record's name up to its first zero, at most 101 characters, in 1250.
std::string DeviceEntryName(const CE_FIND_DATA& data);
// A device time (ticks since 1601 UTC) as "yyyy.mm.dd hh:nn:ss" of UTC + 2 hours.
std::string FormatDeviceTime(uint64_t ticks);
// A PC time (seconds since 1970) in local time, to 2 seconds, "YYYY.MM.DD HH:MM:SS".
std::string FormatPcTime(int64_t unixSeconds);

// Lists the device folder given as a pattern (folder + "*") into the pane;
// connects first and closes the connection afterwards, then sorts.
void GetDirPDA(DeviceLink& link, Host& host, DevicePane& pane, const std::string& pattern);
// Lists a PC folder (1250 text) into the pane, in the order the system
// returns the entries, ".." always in row 1. A folder that cannot be read
// leaves the rows as they were and shows the counts 0.
void ListPcFolder(PcPane& pane, const std::string& folder);
// The folder tree's change: show, list and sort the new folder.
void DirectoryListBox1Change(PcPane& pane, const std::string& folder);

// Sorts rows 2 and below by the modes (both 0: no change).
void SortGrid(Grid& grid, int nameSort, int dateSort);
inline void Zotried(DevicePane& pane) { SortGrid(pane.grid, pane.nameSort, pane.dateSort); }
inline void Zotried2(PcPane& pane) { SortGrid(pane.grid, pane.nameSort, pane.dateSort); }

// A click on header cell `column`: changes the modes; true when the pane is
// to be sorted and repainted (columns 0 and 2).
bool HeaderClick(int& nameSort, int& dateSort, int column);
// The mouse-up handlers' header click, sorting the pane when it applies.
bool StringPDAMouseUp(DevicePane& pane, int column);
bool StringPCMouseUp(PcPane& pane, int column);

}  // namespace trovik::device
