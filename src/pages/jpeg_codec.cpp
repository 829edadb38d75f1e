// JPEG decoding and encoding over libjpeg-turbo. The library reports fatal
// errors through error_exit, which by default ends the process; ours jumps
// back to the routine that started the work, which raises trovik::Error.
// Everything the jump must not lose lives in a job object of the caller, so
// the function holding the setjmp keeps only plain pointers.

#include <csetjmp>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>

// jpeglib.h needs size_t and FILE declared before it.
#include <jpeglib.h>

#include "base/error.h"
#include "pages/jpeg_halving.h"

namespace trovik::pages {
namespace {

struct ErrorManager {
  jpeg_error_mgr pub;  // first, so the library's pointer is also ours
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
  bool tooManyScans;
};

void errorExit(j_common_ptr cinfo) {
  auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
  (*cinfo->err->format_message)(cinfo, err->message);
  std::longjmp(err->jump, 1);
}

// Warnings (a truncated file, extraneous bytes) do not stop the decoder; they
// would otherwise go to stderr.
void outputMessage(j_common_ptr) {}

// A progressive file can declare any number of scans, and each is a full pass
// over the coefficients; counting them bounds the time a hostile file costs.
void scanMonitor(j_common_ptr cinfo) {
  if (!cinfo->is_decompressor) return;
  auto* d = reinterpret_cast<j_decompress_ptr>(cinfo);
  if (d->progressive_mode && d->input_scan_number > kMaxProgressiveScans) {
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    err->tooManyScans = true;
    std::longjmp(err->jump, 1);
  }
}

void initErrors(ErrorManager& err) {
  jpeg_std_error(&err.pub);
  err.pub.error_exit = errorExit;
  err.pub.output_message = outputMessage;
  err.message[0] = '\0';
  err.tooManyScans = false;
}

struct DecodeJob {
  jpeg_decompress_struct cinfo;
  ErrorManager err;
  jpeg_progress_mgr progress;
  bool created = false;
  bool tooLarge = false;
  Bitmap* out = nullptr;     // the whole picture, or
  RowSink* sink = nullptr;  // row by row
  const std::string* bytes = nullptr;
};

// Adobe CMYK/YCCK pictures come out of the library as inverted CMYK.
void cmykRowToBgr(const uint8_t* cmyk, uint8_t* bgr, int width, bool inverted) {
  for (int x = 0; x < width; ++x, cmyk += 4, bgr += 3) {
    int c = cmyk[0], m = cmyk[1], y = cmyk[2], k = cmyk[3];
    if (!inverted) c = 255 - c, m = 255 - m, y = 255 - y, k = 255 - k;
    bgr[0] = static_cast<uint8_t>((y * k + 127) / 255);
    bgr[1] = static_cast<uint8_t>((m * k + 127) / 255);
    bgr[2] = static_cast<uint8_t>((c * k + 127) / 255);
  }
}

bool runDecode(DecodeJob* job) {
  if (setjmp(job->err.jump)) return false;
  jpeg_create_decompress(&job->cinfo);
  job->created = true;
  job->progress.progress_monitor = scanMonitor;
  job->cinfo.progress = &job->progress;
  jpeg_mem_src(&job->cinfo, reinterpret_cast<const unsigned char*>(job->bytes->data()),
               static_cast<unsigned long>(job->bytes->size()));
  jpeg_read_header(&job->cinfo, TRUE);
  if (static_cast<int64_t>(job->cinfo.image_width) * job->cinfo.image_height > kMaxJpegPixels) {
    job->tooLarge = true;
    return false;
  }
  bool cmyk = job->cinfo.jpeg_color_space == JCS_CMYK || job->cinfo.jpeg_color_space == JCS_YCCK;
  job->cinfo.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGR;
  // Best quality: exact integer DCT and smooth chroma upsampling.
  job->cinfo.dct_method = JDCT_ISLOW;
  job->cinfo.do_fancy_upsampling = TRUE;
  jpeg_start_decompress(&job->cinfo);

  if (job->sink) {
    const int width = static_cast<int>(job->cinfo.output_width);
    job->sink->start(width, static_cast<int>(job->cinfo.output_height));
    // From the library's pool: nothing here needs a destructor the jump would skip.
    JSAMPARRAY cmykLine = cmyk ? (*job->cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&job->cinfo),
                                                                  JPOOL_IMAGE, job->cinfo.output_width * 4, 1)
                               : nullptr;
    while (job->cinfo.output_scanline < job->cinfo.output_height) {
      const int y = static_cast<int>(job->cinfo.output_scanline);
      uint8_t* target = job->sink->rowBuffer(y);
      if (cmyk) {
        jpeg_read_scanlines(&job->cinfo, cmykLine, 1);
        cmykRowToBgr(cmykLine[0], target, width, job->cinfo.saw_Adobe_marker);
      } else {
        JSAMPROW rows[1] = {target};
        jpeg_read_scanlines(&job->cinfo, rows, 1);
      }
      job->sink->row(y);
    }
    jpeg_finish_decompress(&job->cinfo);
    return true;
  }

  Bitmap& bmp = *job->out;
  bmp.width = static_cast<int>(job->cinfo.output_width);
  bmp.height = static_cast<int>(job->cinfo.output_height);
  bmp.bgr.resize(static_cast<size_t>(bmp.width) * bmp.height * 3);  // every row is written below
  if (cmyk) {
    JSAMPARRAY line = (*job->cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&job->cinfo), JPOOL_IMAGE,
                                                       job->cinfo.output_width * 4, 1);
    while (job->cinfo.output_scanline < job->cinfo.output_height) {
      int y = static_cast<int>(job->cinfo.output_scanline);
      jpeg_read_scanlines(&job->cinfo, line, 1);
      cmykRowToBgr(line[0], bmp.row(y), bmp.width, job->cinfo.saw_Adobe_marker);
    }
  } else {
    while (job->cinfo.output_scanline < job->cinfo.output_height) {
      JSAMPROW rows[1] = {bmp.row(static_cast<int>(job->cinfo.output_scanline))};
      jpeg_read_scanlines(&job->cinfo, rows, 1);
    }
  }
  jpeg_finish_decompress(&job->cinfo);
  return true;
}

struct EncodeJob {
  jpeg_compress_struct cinfo;
  ErrorManager err;
  bool created = false;
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
};

bool startEncode(EncodeJob* job, int width, int height, int quality) {
  if (setjmp(job->err.jump)) return false;
  jpeg_create_compress(&job->cinfo);
  job->created = true;
  jpeg_mem_dest(&job->cinfo, &job->buffer, &job->size);
  job->cinfo.image_width = static_cast<JDIMENSION>(width);
  job->cinfo.image_height = static_cast<JDIMENSION>(height);
  job->cinfo.input_components = 3;
  job->cinfo.in_color_space = JCS_EXT_BGR;
  jpeg_set_defaults(&job->cinfo);
  jpeg_set_quality(&job->cinfo, quality, TRUE);  // baseline tables
  jpeg_start_compress(&job->cinfo, TRUE);
  return true;
}

bool encodeRow(EncodeJob* job, const uint8_t* bgr) {
  if (setjmp(job->err.jump)) return false;
  // The library takes non-const rows but only reads them.
  JSAMPROW rows[1] = {const_cast<uint8_t*>(bgr)};
  jpeg_write_scanlines(&job->cinfo, rows, 1);
  return true;
}

bool finishEncode(EncodeJob* job) {
  if (setjmp(job->err.jump)) return false;
  jpeg_finish_compress(&job->cinfo);
  return true;
}

Error codecError(const std::string& message, const std::string& name) {
  return Error(text::Cp1250::FromBytes("JPEG error: " + message + " (" + name + ")"));
}

void decode(const std::string& bytes, const std::string& name, Bitmap* out, RowSink* sink) {
  DecodeJob job;
  std::memset(&job.cinfo, 0, sizeof job.cinfo);
  std::memset(&job.progress, 0, sizeof job.progress);
  job.cinfo.err = &job.err.pub;
  initErrors(job.err);
  job.out = out;
  job.sink = sink;
  job.bytes = &bytes;
  bool ok = false;
  try {
    ok = runDecode(&job);
  } catch (...) {  // the sink's own failure
    if (job.created) jpeg_destroy_decompress(&job.cinfo);
    throw;
  }
  if (job.created) jpeg_destroy_decompress(&job.cinfo);
  if (ok) return;
  if (job.tooLarge) {
    throw codecError("picture of " + std::to_string(job.cinfo.image_width) + " x " +
                         std::to_string(job.cinfo.image_height) + " pixels is above the limit of " +
                         std::to_string(kMaxJpegPixels / 1'000'000) + " megapixels",
                     name);
  }
  if (job.err.tooManyScans) {
    throw codecError("progressive file with more than " + std::to_string(kMaxProgressiveScans) + " scans", name);
  }
  throw codecError(job.err.message, name);
}

}  // namespace

Bitmap DecodeJpeg(const std::string& bytes, const std::string& name) {
  Bitmap bmp;
  decode(bytes, name, &bmp, nullptr);
  return bmp;
}

void DecodeJpegRows(const std::string& bytes, const std::string& name, RowSink& sink) {
  decode(bytes, name, nullptr, &sink);
}

struct JpegRowEncoder::Job : EncodeJob {};

JpegRowEncoder::JpegRowEncoder(int width, int height, int quality, std::string name)
    : job_(std::make_unique<Job>()), name_(std::move(name)) {
  std::memset(&job_->cinfo, 0, sizeof job_->cinfo);
  job_->cinfo.err = &job_->err.pub;
  initErrors(job_->err);
  if (!startEncode(job_.get(), width, height, quality)) throw codecError(job_->err.message, name_);
}

JpegRowEncoder::~JpegRowEncoder() {
  if (job_->created) jpeg_destroy_compress(&job_->cinfo);
  std::free(job_->buffer);
}

void JpegRowEncoder::write(const uint8_t* bgr) {
  if (!encodeRow(job_.get(), bgr)) throw codecError(job_->err.message, name_);
}

std::string JpegRowEncoder::finish() {
  if (!finishEncode(job_.get())) throw codecError(job_->err.message, name_);
  return std::string(reinterpret_cast<const char*>(job_->buffer), job_->size);
}

std::string EncodeJpeg(const Bitmap& bitmap, int quality, const std::string& name) {
  JpegRowEncoder encoder(bitmap.width, bitmap.height, quality, name);
  for (int y = 0; y < bitmap.height; ++y) encoder.write(bitmap.row(y));
  return encoder.finish();
}

}  // namespace trovik::pages
