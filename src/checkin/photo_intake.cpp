#include "checkin/photo_intake.h"

#include <algorithm>

#include "media/exif_writer.h"
#include "media/image_scale.h"
#include "media/jpeg_encoder.h"
#include "media/picture.h"

namespace ld::checkin {

namespace {

constexpr int kPreviewLongSide = 160;

Size Within(Size natural, int longSide) {
    const int longest = std::max(natural.width, natural.height);
    if (longest <= longSide) return natural;
    const double scale = static_cast<double>(longSide) / longest;
    return {std::max(1, static_cast<int>(natural.width * scale + 0.5)),
            std::max(1, static_cast<int>(natural.height * scale + 0.5))};
}

// libjpeg makes a grey picture of whatever is missing; a photo cut off on the way is sent
// again rather than shown half grey to the audience.
bool EndsWhole(std::string_view jpeg) {
    while (!jpeg.empty() && (jpeg.back() == '\0' || jpeg.back() == '\n' || jpeg.back() == '\r'))
        jpeg.remove_suffix(1);
    return jpeg.ends_with("\xFF\xD9");
}

}  // namespace

std::string EncodeStoredPhoto(const Image& upright) {
    JpegEncodeOptions previewOptions;
    previewOptions.quality = 80;
    ExifBlock exif;
    exif.orientation = 1;
    exif.thumbnail =
        EncodeJpeg(ScaleImage(upright, Within(upright.size(), kPreviewLongSide)), previewOptions);
    JpegEncodeOptions options;
    options.quality = 88;
    options.segments.push_back({0xE1, MakeExifPayload(exif)});
    return EncodeJpeg(upright, options);
}

Intake TakeInPhoto(std::string_view upload) {
    Intake intake;
    const PictureKind kind = RecognisePicture(upload);
    if (kind == PictureKind::None) {
        intake.problem = "无法识别这张照片，请换一张照片，或不带照片签到";
        return intake;
    }
    if (kind == PictureKind::Jpeg && !EndsWhole(upload)) {
        intake.problem = "照片没有传完整，请重新发送";
        return intake;
    }
    const Size natural = ReadPictureSize(upload);
    const Size target = Within(natural, kStoredLongSide);
    Image picture = DecodePicture(upload, target.width, target.height);
    if (picture.empty()) {
        intake.problem = "照片无法打开，请换一张照片，或不带照片签到";
        return intake;
    }
    if (picture.size() != Within(picture.size(), kStoredLongSide))
        picture = ScaleImage(picture, Within(picture.size(), kStoredLongSide));
    intake.jpeg = EncodeStoredPhoto(picture);
    return intake;
}

}  // namespace ld::checkin
