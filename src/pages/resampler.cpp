// The resampling kernels: plain, SSE2 and AVX2 with FMA, all with the same
// arithmetic and so the same bytes.

#include "pages/resampler.h"

#include <cmath>
#include <string>
#include <utility>

#if defined(__SSE2__)
#include <immintrin.h>
#endif

#include "base/error.h"
#include "pages/jpeg_halving.h"

namespace trovik::pages {

namespace {

// One channel step of the weighted sum: the product is carried exactly (a byte
// times a float fits a double), the sum is rounded to a float after each
// addition.
inline float addWeighted(float sum, uint8_t value, float weight) {
  return static_cast<float>(static_cast<double>(sum) + static_cast<double>(value) * static_cast<double>(weight));
}

inline uint8_t channelByte(float sum) {
  // Nearest with ties to even: the default rounding mode of the conversion.
  long v = std::lrintf(sum);
  return static_cast<uint8_t>(v < 0 ? 0 : (v > 255 ? 255 : v));
}

Tap tapOf(int t, float scale, int size) {
  float s = static_cast<float>(t) / scale;
  int i = static_cast<int>(s);
  float f = s - static_cast<float>(i);
  // A neighbour clamped to the edge only ever carries a zero weight.
  if (i > size - 1) i = size - 1;
  return Tap{i, i + 1 < size ? i + 1 : size - 1, 1.0f - f, f};
}

void pixelScalar(const Tap& c, const Tap& row, const uint8_t* r0, const uint8_t* r1, uint8_t* d) {
  // Column offset outer, row offset inner.
  const uint8_t* p[4] = {r0 + c.index0 * 3, r1 + c.index0 * 3, r0 + c.index1 * 3, r1 + c.index1 * 3};
  const float wt[4] = {c.w0 * row.w0, c.w0 * row.w1, c.w1 * row.w0, c.w1 * row.w1};
  float b = 0.0f, g = 0.0f, r = 0.0f;
  for (int k = 0; k < 4; ++k) {
    b = addWeighted(b, p[k][0], wt[k]);
    g = addWeighted(g, p[k][1], wt[k]);
    r = addWeighted(r, p[k][2], wt[k]);
  }
  d[0] = channelByte(b);
  d[1] = channelByte(g);
  d[2] = channelByte(r);
}

#if defined(__SSE2__)
// Target pixels side by side, one per double lane, with exactly the scalar
// arithmetic: float weights, exact products, sums rounded to float.
struct ByteAsDouble {
  double v[256];
  ByteAsDouble() {
    for (int i = 0; i < 256; ++i) v[i] = i;
  }
};
const ByteAsDouble kByte;

inline __m128d roundToFloat(__m128d v) { return _mm_cvtps_pd(_mm_cvtpd_ps(v)); }

inline void store2(__m128d sums, uint8_t* d0, uint8_t* d1) {
  // The sums are floats, so rounding the doubles to integers (nearest, ties
  // to even) is rounding the floats.
  __m128i n = _mm_cvtpd_epi32(sums);
  int a = _mm_cvtsi128_si32(n), b = _mm_cvtsi128_si32(_mm_shuffle_epi32(n, 1));
  *d0 = static_cast<uint8_t>(a < 0 ? 0 : (a > 255 ? 255 : a));
  *d1 = static_cast<uint8_t>(b < 0 ? 0 : (b > 255 ? 255 : b));
}

// Pixels x .. x+3: lanes (x, x+1) and (x+2, x+3), so that six independent
// sums are in flight while each waits for its roundings.
void pixelQuad(const Tap* c, const Tap& row, const uint8_t* r0, const uint8_t* r1, uint8_t* d) {
  const __m128 rw = _mm_setr_ps(row.w0, row.w1, row.w0, row.w1);
  alignas(16) float wt[4][4];
  const uint8_t* p[4][4];
  for (int n = 0; n < 4; ++n) {
    _mm_store_ps(wt[n], _mm_mul_ps(_mm_setr_ps(c[n].w0, c[n].w0, c[n].w1, c[n].w1), rw));
    const int i0 = c[n].index0 * 3, i1 = c[n].index1 * 3;
    p[n][0] = r0 + i0, p[n][1] = r1 + i0, p[n][2] = r0 + i1, p[n][3] = r1 + i1;
  }
  __m128d b0 = _mm_setzero_pd(), g0 = b0, r0s = b0, b1 = b0, g1 = b0, r1s = b0;
  for (int k = 0; k < 4; ++k) {
    const __m128d wA = _mm_set_pd(wt[1][k], wt[0][k]);
    const __m128d wB = _mm_set_pd(wt[3][k], wt[2][k]);
    const uint8_t *a0 = p[0][k], *a1 = p[1][k], *a2 = p[2][k], *a3 = p[3][k];
    b0 = roundToFloat(_mm_add_pd(b0, _mm_mul_pd(_mm_set_pd(kByte.v[a1[0]], kByte.v[a0[0]]), wA)));
    b1 = roundToFloat(_mm_add_pd(b1, _mm_mul_pd(_mm_set_pd(kByte.v[a3[0]], kByte.v[a2[0]]), wB)));
    g0 = roundToFloat(_mm_add_pd(g0, _mm_mul_pd(_mm_set_pd(kByte.v[a1[1]], kByte.v[a0[1]]), wA)));
    g1 = roundToFloat(_mm_add_pd(g1, _mm_mul_pd(_mm_set_pd(kByte.v[a3[1]], kByte.v[a2[1]]), wB)));
    r0s = roundToFloat(_mm_add_pd(r0s, _mm_mul_pd(_mm_set_pd(kByte.v[a1[2]], kByte.v[a0[2]]), wA)));
    r1s = roundToFloat(_mm_add_pd(r1s, _mm_mul_pd(_mm_set_pd(kByte.v[a3[2]], kByte.v[a2[2]]), wB)));
  }
  store2(b0, d, d + 3);
  store2(g0, d + 1, d + 4);
  store2(r0s, d + 2, d + 5);
  store2(b1, d + 6, d + 9);
  store2(g1, d + 7, d + 10);
  store2(r1s, d + 8, d + 11);
}

// The same arithmetic four pixels to a register where the processor has AVX2
// and FMA: byte to double is exact, and a fused multiply-add of an exact
// product rounds once to double, exactly as the separate add does.
__attribute__((target("avx2,fma"))) inline __m256d roundToFloat4(__m256d v) {
  return _mm256_cvtps_pd(_mm256_cvtpd_ps(v));
}

__attribute__((target("avx2,fma"))) inline void store4(__m256d sums, uint8_t* d) {
  alignas(16) int n[4];
  _mm_store_si128(reinterpret_cast<__m128i*>(n), _mm256_cvtpd_epi32(sums));
  for (int i = 0; i < 4; ++i) d[i * 3] = static_cast<uint8_t>(n[i] < 0 ? 0 : (n[i] > 255 ? 255 : n[i]));
}

// The column taps laid out lane by lane for the vector path.
struct ColumnLanes {
  std::vector<float> w0, w1;
  std::vector<int> off0, off1;  // byte offsets of the two source pixels in a row
  explicit ColumnLanes(const std::vector<Tap>& cols) {
    for (const Tap& c : cols) {
      w0.push_back(c.w0), w1.push_back(c.w1);
      off0.push_back(c.index0 * 3), off1.push_back(c.index1 * 3);
    }
  }
};

// Returns the first column it left for the other paths: one whose taps reach
// the last source pixel, where a 4-byte load would pass the row's end.
__attribute__((target("avx2,fma"))) int rowAvx2(const std::vector<Tap>& cols, const ColumnLanes& lanes,
                                                int sourceWidth, const Tap& row, const uint8_t* r0,
                                                const uint8_t* r1, uint8_t* d) {
  const int count = static_cast<int>(cols.size());
  const __m128 rw0 = _mm_set1_ps(row.w0), rw1 = _mm_set1_ps(row.w1);
  const __m128i byteMask = _mm_set1_epi32(0xFF);
  int x = 0;
  // Eight pixels per step, two groups of four, so that six sums wait for
  // their roundings side by side.
  for (; x + 7 < count && cols[static_cast<size_t>(x) + 7].index1 <= sourceWidth - 2; x += 8, d += 24) {
    __m256d w[2][4];
    __m128i off[2][2];
    for (int h = 0; h < 2; ++h) {
      const size_t at = static_cast<size_t>(x) + 4 * static_cast<size_t>(h);
      const __m128 cw0 = _mm_loadu_ps(&lanes.w0[at]);
      const __m128 cw1 = _mm_loadu_ps(&lanes.w1[at]);
      // w = wx_i * wy_j rounded to float, then widened exactly.
      w[h][0] = _mm256_cvtps_pd(_mm_mul_ps(cw0, rw0));
      w[h][1] = _mm256_cvtps_pd(_mm_mul_ps(cw0, rw1));
      w[h][2] = _mm256_cvtps_pd(_mm_mul_ps(cw1, rw0));
      w[h][3] = _mm256_cvtps_pd(_mm_mul_ps(cw1, rw1));
      off[h][0] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(&lanes.off0[at]));
      off[h][1] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(&lanes.off1[at]));
    }
    __m256d b0 = _mm256_setzero_pd(), g0 = b0, r0s = b0, b1 = b0, g1 = b0, r1s = b0;
    for (int k = 0; k < 4; ++k) {
      // Taps in order: (ix, iy), (ix, iy+1), (ix+1, iy), (ix+1, iy+1).
      const int* src = reinterpret_cast<const int*>((k & 1) ? r1 : r0);
      // Each lane loads blue, green, red and one byte beyond.
      const __m128i p0 = _mm_i32gather_epi32(src, off[0][k >> 1], 1);
      const __m128i p1 = _mm_i32gather_epi32(src, off[1][k >> 1], 1);
      b0 = roundToFloat4(_mm256_fmadd_pd(_mm256_cvtepi32_pd(_mm_and_si128(p0, byteMask)), w[0][k], b0));
      b1 = roundToFloat4(_mm256_fmadd_pd(_mm256_cvtepi32_pd(_mm_and_si128(p1, byteMask)), w[1][k], b1));
      g0 = roundToFloat4(
          _mm256_fmadd_pd(_mm256_cvtepi32_pd(_mm_and_si128(_mm_srli_epi32(p0, 8), byteMask)), w[0][k], g0));
      g1 = roundToFloat4(
          _mm256_fmadd_pd(_mm256_cvtepi32_pd(_mm_and_si128(_mm_srli_epi32(p1, 8), byteMask)), w[1][k], g1));
      r0s = roundToFloat4(
          _mm256_fmadd_pd(_mm256_cvtepi32_pd(_mm_and_si128(_mm_srli_epi32(p0, 16), byteMask)), w[0][k], r0s));
      r1s = roundToFloat4(
          _mm256_fmadd_pd(_mm256_cvtepi32_pd(_mm_and_si128(_mm_srli_epi32(p1, 16), byteMask)), w[1][k], r1s));
    }
    store4(b0, d);
    store4(g0, d + 1);
    store4(r0s, d + 2);
    store4(b1, d + 12);
    store4(g1, d + 13);
    store4(r1s, d + 14);
  }
  return x;
}

bool avx2Allowed = true;

bool hasAvx2Fma() {
  static const bool yes = __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
  return yes && avx2Allowed;
}
#endif

}  // namespace

void ResampleAllowWideVectors(bool allowed) {
#if defined(__SSE2__)
  avx2Allowed = allowed;
#else
  (void)allowed;
#endif
}

#if defined(__SSE2__)
struct Resampler::Lanes : ColumnLanes {
  using ColumnLanes::ColumnLanes;
};
#else
struct Resampler::Lanes {};
#endif

Resampler::Resampler(int w, int h, int newWidth, int newHeight)
    : w_(w), h_(h), newWidth_(newWidth), newHeight_(newHeight) {
  if (w < 2 || h < 2 || newWidth < 1 || newHeight < 1) {
    throw Error(text::Cp1250::FromBytes("ResampleBilinear: source of " + std::to_string(w) + " x " +
                                        std::to_string(h) + " cannot be scaled"));
  }
  xs_ = static_cast<float>(newWidth) / static_cast<float>(w - 1);
  ys_ = static_cast<float>(newHeight) / static_cast<float>(h - 1);
  // The column mapping is the same for every row.
  cols_.resize(static_cast<size_t>(newWidth));
  for (int x = 0; x < newWidth; ++x) cols_[static_cast<size_t>(x)] = tapOf(x, xs_, w);
#if defined(__SSE2__)
  if (hasAvx2Fma()) lanes_ = std::make_unique<Lanes>(cols_);
#endif
}

Resampler::~Resampler() = default;

Tap Resampler::rowTap(int y) const { return tapOf(y, ys_, h_); }

void Resampler::row(int y, const uint8_t* r0, const uint8_t* r1, uint8_t* d) const {
  const Tap row = rowTap(y);
  int x = 0;
#if defined(__SSE2__)
  if (lanes_) x = rowAvx2(cols_, *lanes_, w_, row, r0, r1, d);
  for (; x + 3 < newWidth_; x += 4) pixelQuad(&cols_[static_cast<size_t>(x)], row, r0, r1, d + x * 3);
#endif
  for (; x < newWidth_; ++x) pixelScalar(cols_[static_cast<size_t>(x)], row, r0, r1, d + x * 3);
}

void ResampleBilinear(Bitmap& bitmap, int newWidth, int newHeight) {
  Resampler resampler(bitmap.width, bitmap.height, newWidth, newHeight);
  Bitmap out;
  out.width = newWidth;
  out.height = newHeight;
  out.bgr.resize(static_cast<size_t>(newWidth) * newHeight * 3);
  for (int y = 0; y < newHeight; ++y) {
    const Tap tap = resampler.rowTap(y);
    resampler.row(y, bitmap.row(tap.index0), bitmap.row(tap.index1), out.row(y));
  }
  bitmap = std::move(out);
}

}  // namespace trovik::pages
