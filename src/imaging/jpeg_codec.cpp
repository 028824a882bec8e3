#include "imaging/jpeg_codec.h"

#include "imaging/regular_file.h"

#include <QRect>

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include <jpeglib.h>

#include <jerror.h>

namespace zanfold {

namespace {

// Pictures beyond this many pixels are refused: no camera makes them, and a forged header claiming
// 65535 x 65535 must not keep a worker busy for minutes.
constexpr qint64 kMaxPixels = qint64(1) << 30;
// Every 8 x 8 block of a Huffman-coded JPEG takes at least a bit or two, so a file holds at least about
// pixels / 512 bytes; one claiming far more pixels than that (here 8 times the bound) is forged or cut, and
// decoding it would take seconds for a picture of grey.
constexpr qint64 kMaxPixelsPerByte = 4096;
// Progressive files keep all coefficients in memory; past this libjpeg stops with an error.
constexpr long kMaxDecoderMemory = 1L << 30;

struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void onFatalError(j_common_ptr cinfo) {
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->message);
    std::longjmp(err->jump, 1);
}

// Warnings (corrupt data, a missing end of file) are counted, never printed.
void onMessage(j_common_ptr cinfo, int level) {
    if (level < 0) cinfo->err->num_warnings++;
}

void installErrorManager(ErrorManager& err) {
    jpeg_std_error(&err.pub);
    err.pub.error_exit = onFatalError;
    err.pub.emit_message = onMessage;
    err.message[0] = 0;
}

// Runs libjpeg calls; a fatal libjpeg error jumps back here. Only C frames without destructors lie between.
template <typename F> bool guarded(ErrorManager& err, F&& body) {
    if (setjmp(err.jump)) return false;
    body();
    return true;
}

quint16 read16(const uchar* p, bool bigEndian) {
    return bigEndian ? quint16(p[0] << 8 | p[1]) : quint16(p[1] << 8 | p[0]);
}

quint32 read32(const uchar* p, bool bigEndian) {
    return bigEndian ? quint32(p[0]) << 24 | quint32(p[1]) << 16 | quint32(p[2]) << 8 | p[3]
                     : quint32(p[3]) << 24 | quint32(p[2]) << 16 | quint32(p[1]) << 8 | p[0];
}

// The orientation tag (0x0112) of IFD0 in an APP1 "Exif" segment; 1 when absent or malformed.
int exifOrientation(const uchar* data, unsigned length) {
    if (length < 14 || std::memcmp(data, "Exif\0\0", 6) != 0) return 1;
    const uchar* tiff = data + 6;
    const unsigned size = length - 6;
    bool big;
    if (tiff[0] == 'M' && tiff[1] == 'M')
        big = true;
    else if (tiff[0] == 'I' && tiff[1] == 'I')
        big = false;
    else
        return 1;
    if (read16(tiff + 2, big) != 42) return 1;
    const quint32 ifd = read32(tiff + 4, big);
    if (ifd > size - 2) return 1;
    const unsigned entries = read16(tiff + ifd, big);
    for (unsigned i = 0; i < entries; ++i) {
        const quint64 at = quint64(ifd) + 2 + quint64(i) * 12;
        if (at + 12 > size) return 1;
        const uchar* e = tiff + at;
        if (read16(e, big) != 0x0112) continue;
        const int value = read16(e + 8, big); // a SHORT sits at the start of the value field
        return value >= 1 && value <= 8 ? value : 1;
    }
    return 1;
}

// Feeds libjpeg from the file in plain reads of kChunk bytes. A file that ends early, or whose read fails,
// ends in an inserted end-of-image marker and a warning: the decoder fills in the rest and the photo counts
// as damaged, as for any cut file.
constexpr qsizetype kChunk = 256 * 1024;

struct Source {
    jpeg_source_mgr pub;
    RegularFile* file = nullptr;
    std::vector<JOCTET> buffer;
};

void initSource(j_decompress_ptr) {}

boolean fillInput(j_decompress_ptr cinfo) {
    auto* src = reinterpret_cast<Source*>(cinfo->src);
    qint64 got = src->file->read(reinterpret_cast<char*>(src->buffer.data()), kChunk);
    if (got <= 0) {
        WARNMS(cinfo, JWRN_JPEG_EOF);
        src->buffer[0] = 0xFF;
        src->buffer[1] = JPEG_EOI;
        got = 2;
    }
    src->pub.next_input_byte = src->buffer.data();
    src->pub.bytes_in_buffer = static_cast<size_t>(got);
    return TRUE;
}

void skipInput(j_decompress_ptr cinfo, long count) {
    if (count <= 0) return;
    auto* src = reinterpret_cast<Source*>(cinfo->src);
    while (count > static_cast<long>(src->pub.bytes_in_buffer)) {
        count -= static_cast<long>(src->pub.bytes_in_buffer);
        fillInput(cinfo);
    }
    src->pub.next_input_byte += count;
    src->pub.bytes_in_buffer -= static_cast<size_t>(count);
}

void termSource(j_decompress_ptr) {}

} // namespace

struct JpegReader::Impl {
    explicit Impl(const QString& path) : file(path) {}

    RegularFile file;
    Source source;
    QByteArray head; // the first bytes of a file that is not a JPEG, for the other decoders
    qint64 length = 0;
    ErrorManager err{};
    jpeg_decompress_struct cinfo{};
    bool created = false;
    bool headerRead = false;
    bool decoded = false;
    bool jpeg = false;
    int orientation = 1;
    QByteArray iccProfile;
    bool profileRejected = false;
    QString error;

    ~Impl() {
        if (created) jpeg_destroy_decompress(&cinfo);
    }

    QString libjpegMessage() const { return QString::fromLocal8Bit(err.message); }
};

JpegReader::JpegReader(const QString& path) : d(std::make_unique<Impl>(path)) {
    if (!d->file.ok()) {
        d->error = d->file.error().description;
        return;
    }
    d->length = d->file.identity().size;
    Source& src = d->source;
    src.file = &d->file;
    src.buffer.resize(static_cast<size_t>(kChunk));
    const qint64 got = d->file.read(reinterpret_cast<char*>(src.buffer.data()), kChunk);
    if (got < 0) {
        d->error = d->file.error().description;
        return;
    }
    const uchar* data = src.buffer.data();
    d->jpeg = got >= 3 && data[0] == 0xFF && data[1] == 0xD8 && data[2] == 0xFF;
    if (!d->jpeg) {
        d->head = QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(got));
        d->error = QStringLiteral("not a JPEG file");
        return;
    }
    src.pub.init_source = initSource;
    src.pub.fill_input_buffer = fillInput;
    src.pub.skip_input_data = skipInput;
    src.pub.resync_to_restart = jpeg_resync_to_restart;
    src.pub.term_source = termSource;
    src.pub.next_input_byte = data;
    src.pub.bytes_in_buffer = static_cast<size_t>(got);
    installErrorManager(d->err);
    d->cinfo.err = &d->err.pub;
    const bool ok = guarded(d->err, [&] {
        jpeg_create_decompress(&d->cinfo);
        d->created = true;
        d->cinfo.mem->max_memory_to_use = kMaxDecoderMemory;
        d->cinfo.src = &d->source.pub;
        jpeg_save_markers(&d->cinfo, JPEG_APP0 + 1, 0xFFFF);
        jpeg_save_markers(&d->cinfo, JPEG_APP0 + 2, 0xFFFF); // ICC profile chunks
        jpeg_read_header(&d->cinfo, TRUE);
    });
    if (!ok) {
        d->error = d->libjpegMessage();
        return;
    }
    const qint64 pixels = qint64(d->cinfo.image_width) * d->cinfo.image_height;
    if (pixels > kMaxPixels) {
        d->error =
            QStringLiteral("picture too large: %1 x %2").arg(d->cinfo.image_width).arg(d->cinfo.image_height);
        return;
    }
    if (pixels > d->length * kMaxPixelsPerByte) {
        d->error = QStringLiteral("%1 x %2 pixels cannot be held in a file of %3 bytes")
                       .arg(d->cinfo.image_width)
                       .arg(d->cinfo.image_height)
                       .arg(d->length);
        return;
    }
    for (jpeg_saved_marker_ptr m = d->cinfo.marker_list; m; m = m->next) {
        // The first APP1 that is EXIF (others hold XMP) carries the orientation.
        if (m->marker == JPEG_APP0 + 1 && m->data_length >= 6 && std::memcmp(m->data, "Exif\0\0", 6) == 0) {
            d->orientation = exifOrientation(m->data, m->data_length);
            break;
        }
    }
    // Chunks out of order or missing give a warning (the photo counts as damaged) and no profile.
    JOCTET* icc = nullptr;
    unsigned int iccLength = 0;
    if (guarded(d->err, [&] { jpeg_read_icc_profile(&d->cinfo, &icc, &iccLength); }) && icc)
        d->iccProfile = QByteArray(reinterpret_cast<const char*>(icc), static_cast<qsizetype>(iccLength));
    std::free(icc);
    d->headerRead = true;
}

JpegReader::~JpegReader() = default;

QByteArray JpegReader::otherPicture(QString* error) {
    if (!d->jpeg && d->file.ok()) {
        const QByteArray rest = d->file.readAll();
        if (d->file.ok()) return d->head + rest;
    }
    if (error) *error = d->jpeg ? QStringLiteral("a JPEG file") : d->file.error().description;
    return {};
}

FileIdentity JpegReader::identity() const {
    return d->file.identity();
}

bool JpegReader::isJpeg() const {
    return d->jpeg;
}

bool JpegReader::ok() const {
    return d->headerRead && d->error.isEmpty();
}

QString JpegReader::error() const {
    return d->error;
}

QSize JpegReader::size() const {
    return ok() ? QSize(static_cast<int>(d->cinfo.image_width), static_cast<int>(d->cinfo.image_height))
                : QSize();
}

int JpegReader::orientation() const {
    return d->orientation;
}

bool JpegReader::damaged() const {
    return d->err.pub.num_warnings > 0;
}

bool JpegReader::profileRejected() const {
    return d->profileRejected;
}

QByteArray JpegReader::iccProfile() const {
    return d->iccProfile;
}

bool JpegReader::cmyk() const {
    return ok() && (d->cinfo.jpeg_color_space == JCS_CMYK || d->cinfo.jpeg_color_space == JCS_YCCK);
}

ColourPlan JpegReader::colourPlan() {
    if (!ok()) return {};
    const ColourPlan plan =
        colourPlanFor(d->iccProfile, cmyk() ? DecodedPixels::InvertedCmyk : DecodedPixels::Rgb);
    d->profileRejected = plan.rejected;
    return plan;
}

QSize JpegReader::scaledSize(int eighths) const {
    // libjpeg rounds scaled sizes up.
    const QSize s = size();
    return {static_cast<int>((qint64(s.width()) * eighths + 7) / 8),
            static_cast<int>((qint64(s.height()) * eighths + 7) / 8)};
}

bool JpegReader::decode(int eighths, const QRect& region, const RowSink& sink, bool fast,
                        const ColourTransform* rows) {
    if (!ok() || d->decoded) return false;
    d->decoded = true;
    jpeg_decompress_struct& c = d->cinfo;
    const bool cmyk = this->cmyk();
    const QRect full(QPoint(0, 0), scaledSize(eighths));
    if (region.intersected(full).isEmpty()) return true;
    // Chroma upsampling treats the edges of a cropped decode as picture edges; a margin of one iMCU keeps
    // the pixels of the region identical to those of a full decode.
    const int margin = 2 * eighths;
    const QRect want = region.adjusted(-margin, -margin, margin, margin).intersected(full);

    JDIMENSION xOffset = static_cast<JDIMENSION>(want.x());
    JDIMENSION cropWidth = static_cast<JDIMENSION>(want.width());
    bool ok = guarded(d->err, [&] {
        c.scale_num = static_cast<unsigned>(eighths);
        c.scale_denom = 8;
        c.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_RGB;
        c.dct_method = JDCT_ISLOW;
        c.do_fancy_upsampling = fast ? FALSE : TRUE;
        jpeg_start_decompress(&c);
        if (want.width() < static_cast<int>(c.output_width)) jpeg_crop_scanline(&c, &xOffset, &cropWidth);
        if (want.y() > 0) jpeg_skip_scanlines(&c, static_cast<JDIMENSION>(want.y()));
    });
    if (!ok) {
        d->error = d->libjpegMessage();
        return false;
    }
    const int components = c.output_components;
    std::vector<uchar> line(static_cast<size_t>(c.output_width) * components);
    std::vector<uchar> rgb(cmyk || rows ? static_cast<size_t>(c.output_width) * 3 : 0);
    for (int y = want.y(); y <= want.bottom(); ++y) {
        JSAMPROW row = line.data();
        JDIMENSION got = 0;
        ok = guarded(d->err, [&] { got = jpeg_read_scanlines(&c, &row, 1); });
        if (!ok || got != 1) {
            if (!ok) d->error = d->libjpegMessage();
            return ok;
        }
        const uchar* pixels = line.data();
        if (rows) {
            rows->toSrgb(line.data(), rgb.data(), static_cast<int>(cropWidth));
            pixels = rgb.data();
        } else if (cmyk) {
            // Adobe writes CMYK inverted, so each channel times K over 255 gives RGB.
            for (JDIMENSION i = 0; i < cropWidth; ++i) {
                const uchar* p = line.data() + 4 * i;
                rgb[3 * i] = static_cast<uchar>((p[0] * p[3] + 127) / 255);
                rgb[3 * i + 1] = static_cast<uchar>((p[1] * p[3] + 127) / 255);
                rgb[3 * i + 2] = static_cast<uchar>((p[2] * p[3] + 127) / 255);
            }
            pixels = rgb.data();
        }
        sink(y, pixels, static_cast<int>(xOffset));
    }
    return true;
}

QByteArray encodeJpeg(const QImage& image, int quality, QString* error) {
    if (image.isNull()) {
        if (error) *error = QStringLiteral("no image");
        return {};
    }
    const QImage rgb =
        image.format() == QImage::Format_RGB888 ? image : image.convertToFormat(QImage::Format_RGB888);
    ErrorManager err{};
    installErrorManager(err);
    jpeg_compress_struct c{};
    c.err = &err.pub;
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    bool created = false;
    const bool ok = guarded(err, [&] {
        jpeg_create_compress(&c);
        created = true;
        jpeg_mem_dest(&c, &buffer, &size);
        c.image_width = static_cast<JDIMENSION>(rgb.width());
        c.image_height = static_cast<JDIMENSION>(rgb.height());
        c.input_components = 3;
        c.in_color_space = JCS_RGB;
        jpeg_set_defaults(&c);
        jpeg_set_quality(&c, std::clamp(quality, 1, 100), TRUE);
        jpeg_start_compress(&c, TRUE);
        while (c.next_scanline < c.image_height) {
            JSAMPROW row = const_cast<JSAMPROW>(rgb.constScanLine(static_cast<int>(c.next_scanline)));
            jpeg_write_scanlines(&c, &row, 1);
        }
        jpeg_finish_compress(&c);
    });
    QByteArray out;
    if (ok)
        out = QByteArray(reinterpret_cast<const char*>(buffer), static_cast<qsizetype>(size));
    else if (error)
        *error = QString::fromLocal8Bit(err.message);
    if (created) jpeg_destroy_compress(&c);
    std::free(buffer);
    return out;
}

} // namespace zanfold
