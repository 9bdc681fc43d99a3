// File access, size checks and messages shared by the codecs, and the
// format-independent entry points of Codecs.h.

#include "engine/CodecSupport.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "engine/Errors.h"

namespace codec {

std::vector<uint8_t> ReadFileBytes(const std::string& path, size_t maxBytes) {
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) throw EUserError(kPictureReadFailed, path, std::strerror(errno));
    std::vector<uint8_t> data;
    struct stat st {};
    if (fstat(fileno(f), &st) == 0 && st.st_size > 0)
        data.reserve(std::min<size_t>(size_t(st.st_size), maxBytes));
    uint8_t buffer[65536];
    bool failed = false;
    while (data.size() < maxBytes) {
        size_t want = std::min(sizeof buffer, maxBytes - data.size());
        size_t got = std::fread(buffer, 1, want, f);
        data.insert(data.end(), buffer, buffer + got);
        if (got < want) {
            failed = std::ferror(f) != 0;
            break;
        }
    }
    const int error = failed ? errno : 0;
    std::fclose(f);
    if (failed) throw EUserError(kPictureReadFailed, path, std::strerror(error));
    return data;
}

void CheckPictureSize(const std::string& name, int64_t width, int64_t height) {
    if (PictureSizeAllowed(width, height)) return;
    if (width <= 0 || height <= 0)
        throw EUserError(kPictureReadFailed, name,
                         "invalid size (" + std::to_string(width) + " x " + std::to_string(height) +
                             " pixels)");
    throw EUserError(kPictureReadFailed, name,
                     "too large (" + std::to_string(width) + " x " + std::to_string(height) + " pixels)");
}

void ThrowCorrupt(const std::string& name, const std::string& reason) {
    throw EUserError(kPictureReadFailed, name, reason);
}

void WritePictureFile(const std::string& path, const std::vector<uint8_t>& data) {
    auto fail = [&](int err) { throw EUserError(kPictureWriteFailed, path, std::strerror(err)); };
    std::string temp = path + ".XXXXXX";
    int fd = mkstemp(temp.data());
    if (fd < 0) fail(errno);
    size_t done = 0;
    while (done < data.size()) {
        ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            int err = errno;
            ::close(fd);
            ::unlink(temp.c_str());
            fail(err);
        }
        done += size_t(n);
    }
    // mkstemp creates the file readable by its owner only; a picture gets
    // the permissions of an ordinary new file.
    mode_t mask = umask(0);
    umask(mask);
    fchmod(fd, 0666 & ~mask);
    if (::close(fd) != 0) {
        int err = errno;
        ::unlink(temp.c_str());
        fail(err);
    }
    if (std::rename(temp.c_str(), path.c_str()) != 0) {
        int err = errno;
        ::unlink(temp.c_str());
        fail(err);
    }
}

void AdoptPixels(TBitmap32& out, TBitmap32&& decoded) {
    TDrawMode drawMode = out.DrawMode;
    uint8_t masterAlpha = out.MasterAlpha;
    TResamplerKind resampler = out.Resampler;
    TColor32 outer = out.OuterColor;
    QFont font = out.Font;
    TColor32 fontColor = out.FontColor;
    out = std::move(decoded);
    out.DrawMode = drawMode;
    out.MasterAlpha = masterAlpha;
    out.Resampler = resampler;
    out.OuterColor = outer;
    out.Font = font;
    out.FontColor = fontColor;
}

} // namespace codec

// ---- Any format ----

TPictureFormat SniffPictureFormat(const uint8_t* data, size_t size) {
    if (size >= 3 && data[0] == 0xFF && data[1] == 0xD8 && data[2] == 0xFF) return TPictureFormat::Jpeg;
    if (size >= 8 && std::memcmp(data, "\x89PNG\r\n\x1a\n", 8) == 0) return TPictureFormat::Png;
    if (size >= 6 && (std::memcmp(data, "GIF87a", 6) == 0 || std::memcmp(data, "GIF89a", 6) == 0))
        return TPictureFormat::Gif;
    if (size >= 2 && data[0] == 'B' && data[1] == 'M') return TPictureFormat::Bmp;
    return TPictureFormat::Unknown;
}

void DecodePictureMemory(const uint8_t* data, size_t size, TBitmap32& out) {
    switch (SniffPictureFormat(data, size)) {
    case TPictureFormat::Jpeg:
        return codec::DecodeJPEG(data, size, out, {}, codec::kMemoryName);
    case TPictureFormat::Png:
        return codec::DecodePNGToBitmap(data, size, out, codec::kMemoryName);
    case TPictureFormat::Gif:
        return codec::DecodeGIF(data, size, out, codec::kMemoryName);
    case TPictureFormat::Bmp:
        return codec::DecodeBMP(data, size, out, codec::kMemoryName);
    case TPictureFormat::Unknown:
        break;
    }
    codec::ThrowCorrupt(codec::kMemoryName, "unknown picture format");
}

TPictureSize ReadPictureSize(const std::string& path) {
    std::vector<uint8_t> data = codec::ReadFileBytes(path);
    switch (SniffPictureFormat(data.data(), data.size())) {
    case TPictureFormat::Jpeg:
        return codec::ReadJPEGSize(data.data(), data.size(), path);
    case TPictureFormat::Png:
        return codec::ReadPNGSize(data.data(), data.size(), path);
    case TPictureFormat::Gif:
        return codec::ReadGIFSize(data.data(), data.size(), path);
    case TPictureFormat::Bmp:
        return codec::ReadBMPSize(data.data(), data.size(), path);
    case TPictureFormat::Unknown:
        break;
    }
    codec::ThrowCorrupt(path, "unknown picture format");
}
