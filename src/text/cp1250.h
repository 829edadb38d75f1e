#pragma once
// Windows-1250 text as a type of its own, and the one way to write a Slovak
// literal: UTF-8 in the source, "Kód kešky"_1250, turned into 1250 bytes by
// the compiler. Where the core takes 1250 text (trovik::Error, the CLI's
// PrintLine1250, the page writers) it takes Cp1250, so a UTF-8 literal or string given there
// does not compile; bytes known to be 1250 go in through FromBytes, UTF-8 at
// run time through FromUtf8.

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>

namespace trovik::text {

class Cp1250 {
 public:
  Cp1250() = default;
  // Bytes that are 1250 already: the core's std::string texts, paths, numbers.
  static Cp1250 FromBytes(std::string bytes) { return Cp1250(std::move(bytes)); }
  // UTF-8 converted as Utf8To1250 does it (transliteration, "?" for the rest).
  static Cp1250 FromUtf8(std::string_view utf8);

  const std::string& bytes() const& { return bytes_; }
  std::string bytes() && { return std::move(bytes_); }
  bool empty() const { return bytes_.empty(); }

  Cp1250& operator+=(const Cp1250& more) {
    bytes_ += more.bytes_;
    return *this;
  }
  friend Cp1250 operator+(Cp1250 a, const Cp1250& b) {
    a += b;
    return a;
  }
  friend bool operator==(const Cp1250&, const Cp1250&) = default;

 private:
  explicit Cp1250(std::string bytes) : bytes_(std::move(bytes)) {}
  std::string bytes_;
};

namespace detail {

// The upper half of Windows-1250; the five unassigned bytes map to U+FFFD.
inline constexpr char16_t kUpper1250[128] = {
    0x20AC, 0xFFFD, 0x201A, 0xFFFD, 0x201E, 0x2026, 0x2020, 0x2021, 0xFFFD, 0x2030, 0x0160, 0x2039, 0x015A,
    0x0164, 0x017D, 0x0179, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0xFFFD, 0x2122,
    0x0161, 0x203A, 0x015B, 0x0165, 0x017E, 0x017A, 0x00A0, 0x02C7, 0x02D8, 0x0141, 0x00A4, 0x0104, 0x00A6,
    0x00A7, 0x00A8, 0x00A9, 0x015E, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x017B, 0x00B0, 0x00B1, 0x02DB, 0x0142,
    0x00B4, 0x00B5, 0x00B6, 0x00B7, 0x00B8, 0x0105, 0x015F, 0x00BB, 0x013D, 0x02DD, 0x013E, 0x017C, 0x0154,
    0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7, 0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD,
    0x00CE, 0x010E, 0x0110, 0x0143, 0x0147, 0x00D3, 0x00D4, 0x0150, 0x00D6, 0x00D7, 0x0158, 0x016E, 0x00DA,
    0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF, 0x0155, 0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7,
    0x010D, 0x00E9, 0x0119, 0x00EB, 0x011B, 0x00ED, 0x00EE, 0x010F, 0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4,
    0x0151, 0x00F6, 0x00F7, 0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9};

// A string literal as a template argument.
template <std::size_t N>
struct Utf8Literal {
  char chars[N] = {};
  constexpr Utf8Literal(const char (&s)[N]) {
    for (std::size_t i = 0; i < N; ++i) chars[i] = s[i];
  }
};

// Declared and never defined: reaching one while a literal is converted
// stops the compilation with its name in the message.
void literal_has_a_character_windows_1250_lacks();
void literal_is_not_valid_utf8();

template <std::size_t N>
struct Encoded1250 {
  char chars[N] = {};
  std::size_t size = 0;
};

template <std::size_t N>
consteval Encoded1250<N> Encode1250(const Utf8Literal<N>& in) {
  Encoded1250<N> out;
  const std::size_t end = N - 1;  // the terminating zero stays out
  for (std::size_t i = 0; i < end;) {
    const auto b = static_cast<unsigned char>(in.chars[i]);
    char32_t cp;
    std::size_t len;
    if (b < 0x80) {
      cp = b, len = 1;
    } else if (b >= 0xC2 && b <= 0xDF) {
      cp = b & 0x1Fu, len = 2;
    } else if (b >= 0xE0 && b <= 0xEF) {
      cp = b & 0x0Fu, len = 3;
    } else {
      // Four-byte characters lie beyond the code page as well.
      literal_is_not_valid_utf8();
      return out;
    }
    if (i + len > end) literal_is_not_valid_utf8();
    for (std::size_t k = 1; k < len; ++k) {
      const auto c = static_cast<unsigned char>(in.chars[i + k]);
      if ((c & 0xC0) != 0x80) literal_is_not_valid_utf8();
      cp = (cp << 6) | (c & 0x3Fu);
    }
    i += len;
    if (cp < 0x80) {
      out.chars[out.size++] = static_cast<char>(cp);
      continue;
    }
    std::size_t byte = 0;
    for (std::size_t u = 0; u < 128 && byte == 0; ++u) {
      if (kUpper1250[u] == cp && cp != 0xFFFD) byte = 0x80 + u;
    }
    if (byte == 0) literal_has_a_character_windows_1250_lacks();
    out.chars[out.size++] = static_cast<char>(byte);
  }
  return out;
}

template <Utf8Literal S>
inline constexpr Encoded1250<sizeof(S.chars)> kEncoded1250 = Encode1250(S);

}  // namespace detail

// The 1250 bytes of a UTF-8 literal, for constants that are searched for in
// 1250 text: text::Literal1250<"Obrázky:">.
template <detail::Utf8Literal S>
inline constexpr std::string_view Literal1250{detail::kEncoded1250<S>.chars, detail::kEncoded1250<S>.size};

}  // namespace trovik::text

namespace trovik {

// "Súbor neobsahuje žiadnu kešku"_1250: converted while compiling, and a
// character the code page lacks does not compile.
template <text::detail::Utf8Literal S>
text::Cp1250 operator""_1250() {
  return text::Cp1250::FromBytes(std::string(text::Literal1250<S>));
}

}  // namespace trovik
