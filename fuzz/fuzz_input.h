#pragma once
// Splits a fuzz input into small choices (a few leading bytes) and the rest,
// so one target can steer several parsers from the same bytes.

#include <cstddef>
#include <cstdint>
#include <string>

namespace trovik::fuzz {

class Input {
 public:
  Input(const uint8_t* data, size_t size) : data_(reinterpret_cast<const char*>(data)), size_(size) {}
  // The next byte, 0 once the input is used up.
  uint8_t byte() { return pos_ < size_ ? static_cast<uint8_t>(data_[pos_++]) : 0; }
  // Up to `max` bytes, ended early by a NUL byte (which is consumed).
  std::string piece(size_t max) {
    std::string out;
    while (pos_ < size_ && out.size() < max) {
      char c = data_[pos_++];
      if (c == '\0') break;
      out += c;
    }
    return out;
  }
  std::string rest() {
    std::string out = size_ > pos_ ? std::string(data_ + pos_, size_ - pos_) : std::string();
    pos_ = size_;
    return out;
  }
  std::string all() const { return size_ ? std::string(data_, size_) : std::string(); }

 private:
  const char* data_;
  size_t size_;
  size_t pos_ = 0;
};

}  // namespace trovik::fuzz
