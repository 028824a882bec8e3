#include "support/icc_profiles.h"

#include <lcms2.h>

#include <QtEndian>

#include <algorithm>

namespace zanfold::test {

namespace {

QByteArray saved(cmsHPROFILE profile) {
    cmsUInt32Number size = 0;
    cmsSaveProfileToMem(profile, nullptr, &size);
    QByteArray bytes(static_cast<qsizetype>(size), '\0');
    cmsSaveProfileToMem(profile, bytes.data(), &size);
    cmsCloseProfile(profile);
    return bytes;
}

// Ink amounts 0..1 (cyan, magenta, yellow, black) to Lab, as a plain subtractive mix.
cmsInt32Number inkToLab(const cmsUInt16Number in[], cmsUInt16Number out[], void*) {
    const double k = in[3] / 65535.0;
    double rgb[3];
    for (int i = 0; i < 3; ++i)
        rgb[i] = (1.0 - in[i] / 65535.0) * (1.0 - k);
    // Linear-light sRGB primaries to XYZ (D50 enough for a test), then Lab.
    const double X = 0.4360 * rgb[0] + 0.3851 * rgb[1] + 0.1431 * rgb[2];
    const double Y = 0.2225 * rgb[0] + 0.7169 * rgb[1] + 0.0606 * rgb[2];
    const double Z = 0.0139 * rgb[0] + 0.0971 * rgb[1] + 0.7141 * rgb[2];
    const cmsCIEXYZ xyz{X, Y, Z};
    cmsCIELab lab;
    cmsXYZ2Lab(cmsD50_XYZ(), &lab, &xyz);
    cmsFloat2LabEncoded(out, &lab);
    return TRUE;
}

} // namespace

QByteArray adobeRgbProfile() {
    cmsCIExyY white;
    cmsWhitePointFromTemp(&white, 6504);
    const cmsCIExyYTRIPLE primaries{{0.64, 0.33, 1.0}, {0.21, 0.71, 1.0}, {0.15, 0.06, 1.0}};
    cmsToneCurve* gamma = cmsBuildGamma(nullptr, 563.0 / 256.0);
    cmsToneCurve* curves[3] = {gamma, gamma, gamma};
    cmsHPROFILE profile = cmsCreateRGBProfile(&white, &primaries, curves);
    cmsFreeToneCurve(gamma);
    return saved(profile);
}

QByteArray rgbProfile(double gamma, const cmsCIExyYTRIPLE& primaries) {
    const cmsCIExyY white{0.3127, 0.3290, 1.0};
    cmsToneCurve* curve = cmsBuildGamma(nullptr, gamma);
    cmsToneCurve* curves[3] = {curve, curve, curve};
    cmsHPROFILE profile = cmsCreateRGBProfile(&white, &primaries, curves);
    cmsFreeToneCurve(curve);
    return saved(profile);
}

QByteArray negativeGammaProfile() {
    return rgbProfile(-2.2, {{0.64, 0.33, 1.0}, {0.21, 0.71, 1.0}, {0.15, 0.06, 1.0}});
}

QByteArray zeroColorantProfile() {
    QByteArray bytes = adobeRgbProfile();
    // The red colorant's tag data ("XYZ " and three numbers) set to nothing at all.
    const qsizetype tags = 132;
    const quint32 count = qFromBigEndian<quint32>(bytes.constData() + 128);
    for (quint32 i = 0; i < count; ++i) {
        const char* entry = bytes.constData() + tags + 12 * i;
        if (QByteArray(entry, 4) != "rXYZ") continue;
        const quint32 offset = qFromBigEndian<quint32>(entry + 4);
        std::fill(bytes.begin() + offset + 8, bytes.begin() + offset + 20, '\0');
    }
    return bytes;
}

QByteArray displayP3Profile() {
    const cmsCIExyY white{0.3127, 0.3290, 1.0};
    const cmsCIExyYTRIPLE primaries{{0.680, 0.320, 1.0}, {0.265, 0.690, 1.0}, {0.150, 0.060, 1.0}};
    // The sRGB tone curve, as Display P3 has it.
    const cmsFloat64Number srgbCurve[5] = {2.4, 1.0 / 1.055, 0.055 / 1.055, 1.0 / 12.92, 0.04045};
    cmsToneCurve* curve = cmsBuildParametricToneCurve(nullptr, 4, srgbCurve);
    cmsToneCurve* curves[3] = {curve, curve, curve};
    cmsHPROFILE profile = cmsCreateRGBProfile(&white, &primaries, curves);
    cmsFreeToneCurve(curve);
    return saved(profile);
}

QByteArray srgbProfile() {
    return saved(cmsCreate_sRGBProfile());
}

QByteArray cmykProfile() {
    cmsHPROFILE profile = cmsCreateProfilePlaceholder(nullptr);
    cmsSetProfileVersion(profile, 2.1); // a lone grid is stored as a version 2 lut16
    cmsSetDeviceClass(profile, cmsSigOutputClass);
    cmsSetColorSpace(profile, cmsSigCmykData);
    cmsSetPCS(profile, cmsSigLabData);
    cmsPipeline* toLab = cmsPipelineAlloc(nullptr, 4, 3);
    cmsStage* grid = cmsStageAllocCLut16bit(nullptr, 9, 4, 3, nullptr);
    cmsStageSampleCLut16bit(grid, inkToLab, nullptr, 0);
    cmsPipelineInsertStage(toLab, cmsAT_BEGIN, grid);
    cmsWriteTag(profile, cmsSigAToB0Tag, toLab);
    cmsWriteTag(profile, cmsSigMediaWhitePointTag, cmsD50_XYZ());
    cmsPipelineFree(toLab);
    return saved(profile);
}

std::array<int, 3> lcmsToSrgb(const QByteArray& profile, const std::array<int, 4>& pixel, bool cmyk) {
    cmsHPROFILE in = cmsOpenProfileFromMem(profile.constData(), static_cast<cmsUInt32Number>(profile.size()));
    cmsHPROFILE out = cmsCreate_sRGBProfile();
    cmsHTRANSFORM t =
        cmsCreateTransform(in, cmyk ? TYPE_CMYK_8_REV : TYPE_RGB_8, out, TYPE_RGB_8, INTENT_PERCEPTUAL, 0);
    unsigned char src[4], dst[3] = {0, 0, 0};
    for (int i = 0; i < 4; ++i)
        src[i] = static_cast<unsigned char>(std::clamp(pixel[i], 0, 255));
    if (t) cmsDoTransform(t, src, dst, 1);
    if (t) cmsDeleteTransform(t);
    cmsCloseProfile(in);
    cmsCloseProfile(out);
    return {dst[0], dst[1], dst[2]};
}

QByteArray lcmsToSrgb(const QByteArray& profile, const QByteArray& rgbPixels) {
    cmsHPROFILE in = cmsOpenProfileFromMem(profile.constData(), static_cast<cmsUInt32Number>(profile.size()));
    cmsHPROFILE out = cmsCreate_sRGBProfile();
    cmsHTRANSFORM t = cmsCreateTransform(in, TYPE_RGB_8, out, TYPE_RGB_8, INTENT_PERCEPTUAL, 0);
    QByteArray result(rgbPixels.size(), '\0');
    if (t)
        cmsDoTransform(t, rgbPixels.constData(), result.data(),
                       static_cast<cmsUInt32Number>(rgbPixels.size() / 3));
    if (t) cmsDeleteTransform(t);
    cmsCloseProfile(in);
    cmsCloseProfile(out);
    return result;
}

} // namespace zanfold::test
