#include "layer_data.h"

#include <zlib.h>
#include <zstd.h>

#include <algorithm>
#include <bit>
#include <climits>
#include <memory>
#include <optional>

namespace yw::pack {

namespace {

// Base64 as Tiled writes it; white space (line breaks and indentation in
// TMX) is skipped, "=" may only pad the end.
std::optional<std::string> FromBase64(std::string_view text, std::string& error) {
  std::string bytes;
  bytes.reserve(text.size() / 4 * 3);
  uint32_t acc = 0;
  int bits = 0;
  bool padding = false;
  for (char c : text) {
    if (c == ' ' || c == '\t' || c == '\r' || c == '\n') continue;
    uint32_t v = 0;
    if (c >= 'A' && c <= 'Z')
      v = static_cast<uint32_t>(c - 'A');
    else if (c >= 'a' && c <= 'z')
      v = static_cast<uint32_t>(c - 'a' + 26);
    else if (c >= '0' && c <= '9')
      v = static_cast<uint32_t>(c - '0' + 52);
    else if (c == '+')
      v = 62;
    else if (c == '/')
      v = 63;
    else if (c == '=') {
      padding = true;
      continue;
    } else {
      error = "holds '" + std::string(1, c) + "', which is not Base64";
      return std::nullopt;
    }
    if (padding) {
      error = "holds Base64 after its '=' padding";
      return std::nullopt;
    }
    acc = (acc << 6) | v;
    bits += 6;
    if (bits >= 8) {
      bits -= 8;
      bytes.push_back(static_cast<char>((acc >> bits) & 0xFF));
    }
  }
  if (bits >= 6) {
    error = "Base64 text is cut short";
    return std::nullopt;
  }
  return bytes;
}

std::string TooLarge(size_t expected) {
  return "unpacks to more than " + std::to_string(expected) + " bytes (its " +
         std::to_string(expected / 4) + " cells take " + std::to_string(expected) + ")";
}

// zlib (RFC 1950) or gzip (RFC 1952) data into a buffer one byte larger
// than the layer needs: filling that byte means the data is too long.
std::optional<std::string> Inflate(std::string_view in, bool gzip, size_t expected,
                                   std::string& error) {
  const char* name = gzip ? "gzip" : "zlib";
  if (in.size() > UINT_MAX) {
    error = std::string(name) + " data is too large";
    return std::nullopt;
  }
  z_stream z{};
  if (inflateInit2(&z, gzip ? 16 + MAX_WBITS : MAX_WBITS) != Z_OK) {
    error = std::string("cannot start ") + name;
    return std::nullopt;
  }
  std::string out(expected + 1, '\0');
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in.data()));
  z.avail_in = static_cast<uInt>(in.size());
  z.next_out = reinterpret_cast<Bytef*>(out.data());
  z.avail_out = static_cast<uInt>(out.size());
  const int rc = inflate(&z, Z_FINISH);
  const std::string message = z.msg ? z.msg : "";
  inflateEnd(&z);
  if (rc == Z_STREAM_END) {
    out.resize(out.size() - z.avail_out);
    return out;
  }
  if (z.avail_out == 0)
    error = TooLarge(expected);
  else if (rc == Z_BUF_ERROR)
    error = std::string(name) + " data is cut short";
  else
    error = "is not valid " + std::string(name) + " data" +
            (message.empty() ? "" : " (" + message + ")");
  return std::nullopt;
}

struct ZstdFree {
  void operator()(ZSTD_DCtx* d) const { ZSTD_freeDCtx(d); }
};

// Zstandard data, streamed into a buffer one byte larger than the layer
// needs. The size a frame claims is not trusted, and the window the decoder
// may allocate is bounded by the layer's size.
std::optional<std::string> Unzstd(std::string_view in, size_t expected, std::string& error) {
  std::unique_ptr<ZSTD_DCtx, ZstdFree> d(ZSTD_createDCtx());
  if (!d) {
    error = "cannot start zstd";
    return std::nullopt;
  }
  const int windowLog = std::clamp(static_cast<int>(std::bit_width(expected)) + 1, 17, 27);
  ZSTD_DCtx_setParameter(d.get(), ZSTD_d_windowLogMax, windowLog);
  std::string out(expected + 1, '\0');
  ZSTD_inBuffer src{in.data(), in.size(), 0};
  ZSTD_outBuffer dst{out.data(), out.size(), 0};
  size_t rc = 1;
  while (rc != 0 && dst.pos < dst.size) {
    const size_t before = src.pos + dst.pos;
    rc = ZSTD_decompressStream(d.get(), &dst, &src);
    if (ZSTD_isError(rc)) {
      error = std::string("is not valid zstd data (") + ZSTD_getErrorName(rc) + ")";
      return std::nullopt;
    }
    if (src.pos + dst.pos == before) break;  // no progress: the input ended
  }
  if (rc != 0 && dst.pos <= expected) {
    error = "zstd data is cut short";
    return std::nullopt;
  }
  out.resize(dst.pos);
  return out;
}

}  // namespace

bool KnownCompression(std::string_view compression) {
  return compression.empty() || compression == "zlib" || compression == "gzip" ||
         compression == "zstd";
}

LayerData DecodeLayerData(std::string_view base64, std::string_view compression, size_t cells) {
  LayerData result;
  if (!KnownCompression(compression)) {
    result.error =
        "unknown compression '" + std::string(compression) + "' (Tiled writes zlib, gzip or zstd)";
    return result;
  }
  auto packed = FromBase64(base64, result.error);
  if (!packed) return result;
  std::optional<std::string> bytes;
  const size_t expected = cells * 4;
  if (compression.empty())
    bytes = std::move(packed);
  else if (compression == "zstd")
    bytes = Unzstd(*packed, expected, result.error);
  else
    bytes = Inflate(*packed, compression == "gzip", expected, result.error);
  if (!bytes) return result;
  if (!compression.empty() && bytes->size() > expected) {
    result.error = TooLarge(expected);
    return result;
  }
  if (bytes->size() % 4 != 0) {
    result.error = "holds " + std::to_string(bytes->size()) + " bytes, which is not whole tile ids";
    return result;
  }
  result.gids.reserve(bytes->size() / 4);
  for (size_t i = 0; i < bytes->size(); i += 4) {
    uint32_t gid = 0;
    for (size_t b = 4; b-- > 0;) gid = (gid << 8) | static_cast<uint8_t>((*bytes)[i + b]);
    result.gids.push_back(gid);
  }
  return result;
}

}  // namespace yw::pack
