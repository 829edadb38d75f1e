#pragma once
// A streaming XML reader for waypoint files from anywhere: expat with
// namespace processing, fed a piece at a time, so memory stays bounded
// whatever the file's size. Files in the wild carry characters XML forbids
// (control bytes, "&#xB;") and broken UTF-8; those are mended on the way in
// rather than losing the whole file. Entity declarations are refused, so
// neither an entity bomb nor an external entity gets anywhere.

#include <string>
#include <string_view>

namespace trovik::waypoints {

// The bytes of a file on their way to the parser. In an ASCII-compatible
// encoding it drops the control bytes and character references XML forbids,
// and in UTF-8 it replaces an invalid sequence with U+FFFD. A sequence cut
// by the end of a piece waits for the next one. UTF-16 passes untouched.
class XmlByteFilter {
 public:
  // Appends the filtered bytes of `in` to `out`.
  void feed(std::string_view in, std::string& out);
  // The end of the file: what still waits goes out as it can.
  void finish(std::string& out);

 private:
  enum class Mode { Undecided, Utf8, SingleByte, Raw };
  void decide(std::string_view head);
  // Filters `in`; returns how many bytes it consumed (the rest waits).
  size_t run(std::string_view in, std::string& out, bool final);

  Mode mode_ = Mode::Undecided;
  std::string pending_;
};

// What a reader of a document does with it. Names arrive split into the
// namespace URI ("" for none) and the local name; `attributes` is expat's
// NULL-ended list of name/value pairs, names as "uri\x01local" or "local".
class XmlHandler {
 public:
  virtual ~XmlHandler() = default;
  virtual void start(std::string_view ns, std::string_view local, const char** attributes, long line) = 0;
  virtual void end(std::string_view ns, std::string_view local) = 0;
  virtual void text(std::string_view piece) = 0;
  // Asked after every call: true ends the reading early.
  virtual bool done() const { return false; }
};

// The value of the attribute without namespace named `local`, or nullptr.
const char* XmlAttribute(const char** attributes, std::string_view local);

// Reads the file through `handler`. Throws CannotOpenFile for a file that
// cannot be read and, for one that is not well-formed, "Chybný GPX súbor
// <path>: riadok L, stĺpec C: <reason>" (1250). Exceptions of the handler
// pass through.
void ReadXmlFile(const std::string& pathUtf8, XmlHandler& handler);

}  // namespace trovik::waypoints
