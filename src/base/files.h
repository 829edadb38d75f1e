#pragma once
// PC file access of the core. Paths are in the file system's encoding (UTF-8);
// callers convert 1250 names with PcPath first. Every write goes to a
// temporary file beside the target and is renamed over it, so a failure never
// leaves a half-written file.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace trovik::files {

// The whole file as bytes; throws CannotOpenFile(path) when it cannot be read.
std::string ReadAll(const std::string& path);
// ReadAll split with text::SplitLines.
std::vector<std::string> ReadLines(const std::string& path);
// Writes `bytes` whole, then renames into place. Throws CannotCreateFile when
// the target is read-only or the temporary file cannot be created,
// UnableToWrite when writing or the rename fails; the old file is then intact
// and no temporary file is left. A symbolic link is written through: the file
// it names is replaced in that file's folder.
// `Flush::Later` leaves the data's trip to the disk to the system's own
// writeback, for files that can be made again from what the user keeps (a
// disk flush per file is most of the time of a run of many small files); the
// rename stays atomic for every reader.
enum class Flush { Now, Later };
void WriteAtomic(const std::string& path, std::string_view bytes, Flush flush = Flush::Now);
// For the many files of a run, written as with Flush::Later: a file that is
// not there yet is created in place (there is no old content to keep, a failed
// write removes it, and the file system is spared a rename per file); one
// that is there is replaced as WriteAtomic does.
void WriteNewOrAtomic(const std::string& path, std::string_view bytes);
// Lines each followed by CR LF, written with WriteAtomic.
void WriteLinesCrLf(const std::string& path, const std::vector<std::string>& lines);

bool Exists(const std::string& path);
bool IsDirectory(const std::string& path);
// Size in bytes, -1 when the file cannot be examined.
int64_t Size(const std::string& path);
// Creates the last level only; true when it exists afterwards.
bool CreateDir(const std::string& path);
// A unique name beside `path` for a temporary file of a whole-file write:
// `path` + kTempMarker + the writing process's id + "-" + a counter.
inline constexpr const char* kTempMarker = ".tmp~trovik";
std::string TempNameBeside(const std::string& path);
// The writer's process id of a name TempNameBeside made; nothing for any other name.
std::optional<long> TempWriterPid(std::string_view name);
// Removes from `folder` the temporary files of writes whose process is gone
// (a killed write leaves its file); returns how many.
int RemoveStaleTemps(const std::string& folder);
// A file the platform refuses to write over: its read-only attribute, played
// by the owner's write bit, or no write access.
bool ReadOnlyFile(const std::string& path);
// Where writing `path` lands: the end of its chain of symbolic links.
std::string FinalTarget(const std::string& path);

// The name after the last "/" or "\".
std::string FileNameOf(std::string_view path);
// Extension from the last "." after the last separator, dot included; "" when none.
std::string ExtensionOf(std::string_view path);

// 1250 text (a page name, a picture name) as a path of the file system.
std::string PcPath(std::string_view text1250);
// A file system path back as 1250 text (characters the code page lacks become "?").
std::string FromPcPath(std::string_view fsPath);

}  // namespace trovik::files
