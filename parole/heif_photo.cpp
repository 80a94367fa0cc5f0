#include "heif_photo.h"

#include "photo_import.h"
#include "photo_orientation.h"
#include "ycbcr_shrink.h"

#include "library/picture_loader.h"

#include <libheif/heif.h>

#include <cstdio>
#include <memory>
#include <vector>

namespace quillo::parole {

namespace {

struct FreeContext {
    void operator()(heif_context* context) const { heif_context_free(context); }
};
struct ReleaseHandle {
    void operator()(heif_image_handle* handle) const { heif_image_handle_release(handle); }
};
struct ReleaseImage {
    void operator()(heif_image* image) const { heif_image_release(image); }
};
using Context = std::unique_ptr<heif_context, FreeContext>;
using Handle = std::unique_ptr<heif_image_handle, ReleaseHandle>;
using Image = std::unique_ptr<heif_image, ReleaseImage>;

// The EXIF orientation of the picture, when its file carries one.
QImageIOHandler::Transformations exifOrientationOf(const heif_image_handle* handle)
{
    heif_item_id id = 0;
    if (heif_image_handle_get_list_of_metadata_block_IDs(handle, "Exif", &id, 1) < 1)
        return QImageIOHandler::TransformationNone;
    QByteArray exif(qsizetype(heif_image_handle_get_metadata_size(handle, id)), Qt::Uninitialized);
    if (exif.isEmpty() || heif_image_handle_get_metadata(handle, id, exif.data()).code != heif_error_Ok)
        return QImageIOHandler::TransformationNone;
    return exifOrientation(exif);
}

// Each `factor` × `factor` block of interleaved RGB(A) pixels averaged into one.
QImage averagedDown(const uint8_t* pixels, int stride, int width, int height, bool alpha, int factor)
{
    const int channels = alpha ? 4 : 3;
    const int outWidth = (width + factor - 1) / factor;
    const int outHeight = (height + factor - 1) / factor;
    QImage out(outWidth, outHeight, alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    if (out.isNull())
        return out;
    std::vector<quint32> sums(static_cast<size_t>(outWidth) * 4);
    std::vector<quint32> counts(static_cast<size_t>(outWidth));
    for (int y = 0; y < outHeight; ++y) {
        std::fill(sums.begin(), sums.end(), 0);
        std::fill(counts.begin(), counts.end(), 0);
        for (int row = y * factor; row < qMin(height, (y + 1) * factor); ++row) {
            const uint8_t* line = pixels + qsizetype(row) * stride;
            for (int x = 0; x < width; ++x) {
                const int column = x / factor;
                for (int c = 0; c < channels; ++c)
                    sums[size_t(column) * 4 + size_t(c)] += line[x * channels + c];
                ++counts[size_t(column)];
            }
        }
        auto* to = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < outWidth; ++x) {
            const quint32 n = qMax<quint32>(1, counts[size_t(x)]);
            const quint32* s = &sums[size_t(x) * 4];
            to[x] = qRgba(int(s[0] / n), int(s[1] / n), int(s[2] / n), alpha ? int(s[3] / n) : 255);
        }
    }
    return out;
}

QImage shrunkRgba(const heif_image* decoded, int factor)
{
    int stride = 0;
    const uint8_t* pixels = heif_image_get_plane_readonly(decoded, heif_channel_interleaved, &stride);
    const int width = heif_image_get_width(decoded, heif_channel_interleaved);
    const int height = heif_image_get_height(decoded, heif_channel_interleaved);
    if (!pixels || width <= 0 || height <= 0)
        return {};
    return averagedDown(pixels, stride, width, height, true, factor);
}

QImage shrunkPlanes(const heif_image_handle* handle, const heif_image* decoded, int factor)
{
    const heif_colorspace space = heif_image_get_colorspace(decoded);
    const heif_chroma chroma = heif_image_get_chroma_format(decoded);
    if (space != heif_colorspace_YCbCr && space != heif_colorspace_monochrome)
        return {};
    YCbCrPlanes picture;
    const heif_channel channels[3] = {heif_channel_Y, heif_channel_Cb, heif_channel_Cr};
    for (int i = 0; i < (space == heif_colorspace_monochrome ? 1 : 3); ++i) {
        picture.planes[i] = heif_image_get_plane_readonly(decoded, channels[i], &picture.strides[i]);
        if (!picture.planes[i])
            return {};
    }
    picture.width = heif_image_get_width(decoded, heif_channel_Y);
    picture.height = heif_image_get_height(decoded, heif_channel_Y);
    picture.bits = heif_image_get_bits_per_pixel_range(decoded, heif_channel_Y);
    if (picture.width <= 0 || picture.height <= 0 || picture.bits < 8 || picture.bits > 16)
        return {};
    picture.chromaShiftX = chroma == heif_chroma_420 || chroma == heif_chroma_422 ? 1 : 0;
    picture.chromaShiftY = chroma == heif_chroma_420 ? 1 : 0;
    heif_color_profile_nclx* nclx = nullptr;
    if (heif_image_handle_get_nclx_color_profile(handle, &nclx).code == heif_error_Ok && nclx) {
        picture.matrix = int(nclx->matrix_coefficients);
        picture.fullRange = nclx->full_range_flag != 0;
        heif_nclx_color_profile_free(nclx);
    }
    return shrunkToRgb(picture, factor);
}

QString unreadable(const heif_error& error)
{
    std::fprintf(stderr, "quillo-parole: libheif: %s\n", error.message ? error.message : "?");
    return QStringLiteral("La foto non si apre: il file HEIC o AVIF è rovinato, incompleto, o di un tipo che non so "
                          "leggere.");
}

}  // namespace

bool looksLikeHeif(const QByteArray& head)
{
    if (head.size() < 12)
        return false;
    const heif_filetype_result kind =
        heif_check_filetype(reinterpret_cast<const uint8_t*>(head.constData()), int(head.size()));
    return kind == heif_filetype_yes_supported || kind == heif_filetype_yes_unsupported;
}

QImage readHeifPhoto(const QByteArray& file, int largestSide, QString* error)
{
    static const bool started = heif_init(nullptr).code == heif_error_Ok;  // for the process's life
    Q_UNUSED(started);
    auto fail = [&](const QString& why) {
        if (error)
            *error = why;
        return QImage();
    };
    const Context context(heif_context_alloc());
    heif_error status = heif_context_read_from_memory_without_copy(context.get(), file.constData(), size_t(file.size()), nullptr);
    if (status.code != heif_error_Ok)
        return fail(unreadable(status));
    heif_image_handle* primary = nullptr;
    status = heif_context_get_primary_image_handle(context.get(), &primary);
    const Handle handle(primary);
    if (status.code != heif_error_Ok)
        return fail(unreadable(status));
    const QSize size(heif_image_handle_get_width(primary), heif_image_handle_get_height(primary));
    if (!pictureSizeAcceptable(size))
        return fail(tooLarge(size));
    const int factor = qMax(1, (qMax(size.width(), size.height()) + 2 * largestSide - 1) / (2 * largestSide));
    // Planes of luma and chroma, as phones store their photos (4:2:0), so
    // that nothing is converted at full size; RGB only for a picture with
    // transparency.
    const bool alpha = heif_image_handle_has_alpha_channel(primary) != 0;
    heif_image* decoded = nullptr;
    status = heif_decode_image(primary, &decoded, alpha ? heif_colorspace_RGB : heif_colorspace_YCbCr,
                               alpha ? heif_chroma_interleaved_RGBA : heif_chroma_420, nullptr);
    const Image image(decoded);
    if (status.code != heif_error_Ok)
        return fail(unreadable(status));
    QImage shrunk = alpha ? shrunkRgba(decoded, factor) : shrunkPlanes(primary, decoded, factor);
    if (shrunk.isNull())
        return fail(QStringLiteral("La foto non si apre: è di un tipo di HEIC o AVIF che non so leggere, o manca la "
                                   "memoria."));
    // libheif has applied the file's own turn; EXIF speaks only where there
    // is none.
    return heifTurnsItself(file) ? shrunk : turned(shrunk, exifOrientationOf(primary));
}

}  // namespace quillo::parole
