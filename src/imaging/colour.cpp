#include "imaging/colour.h"

#include <QHash>

#include <lcms2.h>

#include <algorithm>
#include <cmath>
#include <mutex>

namespace zanfold {

namespace {

// Distinct profiles kept; an album rarely holds more than a few.
constexpr int kMaxCachedProfiles = 64;

struct ProfileHandle {
    cmsHPROFILE p = nullptr;
    explicit ProfileHandle(cmsHPROFILE profile) : p(profile) {}
    ~ProfileHandle() {
        if (p) cmsCloseProfile(p);
    }
    ProfileHandle(const ProfileHandle&) = delete;
    ProfileHandle& operator=(const ProfileHandle&) = delete;
};

class LcmsTransform : public ColourTransform {
public:
    explicit LcmsTransform(cmsHTRANSFORM t) : t_(t) {}
    ~LcmsTransform() override { cmsDeleteTransform(t_); }
    void toSrgb(const uchar* in, uchar* rgb, int pixels) const override {
        cmsDoTransform(t_, in, rgb, static_cast<cmsUInt32Number>(pixels));
    }

private:
    cmsHTRANSFORM t_;
};

// A matrix-shaper RGB profile (Adobe RGB, Display P3, ProPhoto …) to sRGB: its tone curves to
// linear light by table, lcms2's matrix between the two sets of primaries, and the sRGB curve by table.
// Every value comes from lcms2; only the per-pixel arithmetic is ours, about five times faster.
class MatrixShaperTransform : public ColourTransform {
public:
    static std::shared_ptr<const ColourTransform> make(cmsHPROFILE profile, cmsHPROFILE srgb) {
        auto t = std::make_shared<MatrixShaperTransform>();
        const cmsTagSignature curves[3] = {cmsSigRedTRCTag, cmsSigGreenTRCTag, cmsSigBlueTRCTag};
        for (int c = 0; c < 3; ++c) {
            const auto* trc = static_cast<const cmsToneCurve*>(cmsReadTag(profile, curves[c]));
            if (!trc) return nullptr;
            for (int v = 0; v < 256; ++v)
                t->linear_[c][v] =
                    std::clamp(cmsEvalToneCurveFloat(trc, static_cast<float>(v) / 255.0f), 0.0f, 1.0f) * kTop;
        }
        // The matrix is what lcms2 makes of the unit colours on their way to linear sRGB.
        const cmsCIExyY d65{0.3127, 0.3290, 1.0};
        const cmsCIExyYTRIPLE srgbPrimaries{{0.64, 0.33, 1.0}, {0.30, 0.60, 1.0}, {0.15, 0.06, 1.0}};
        cmsToneCurve* identity = cmsBuildGamma(nullptr, 1.0);
        cmsToneCurve* linearCurves[3] = {identity, identity, identity};
        ProfileHandle linearSrgb(cmsCreateRGBProfile(&d65, &srgbPrimaries, linearCurves));
        cmsFreeToneCurve(identity);
        const cmsHTRANSFORM toLinear = cmsCreateTransform(profile, TYPE_RGB_FLT, linearSrgb.p, TYPE_RGB_FLT,
                                                          INTENT_PERCEPTUAL, cmsFLAGS_NOCACHE);
        if (!toLinear) return nullptr;
        const float units[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
        for (int c = 0; c < 3; ++c) {
            float column[3];
            cmsDoTransform(toLinear, units[c], column, 1);
            for (int r = 0; r < 3; ++r)
                t->matrix_[r][c] = column[r];
        }
        cmsDeleteTransform(toLinear);
        const auto* srgbCurve = static_cast<const cmsToneCurve*>(cmsReadTag(srgb, cmsSigRedTRCTag));
        cmsToneCurve* encode = srgbCurve ? cmsReverseToneCurve(srgbCurve) : nullptr;
        if (!encode) return nullptr;
        for (int v = 0; v < kLinearSteps; ++v) {
            const float e = cmsEvalToneCurveFloat(encode, static_cast<float>(v) / (kLinearSteps - 1));
            t->encode_[v] = static_cast<uchar>(std::clamp(std::lround(e * 255.0f), 0L, 255L));
        }
        cmsFreeToneCurve(encode);
        return t;
    }

    void toSrgb(const uchar* in, uchar* rgb, int pixels) const override {
        // In runs: the table look-ups one pixel at a time, the matrix over whole arrays, which the compiler
        // turns into vector arithmetic.
        constexpr int kRun = 64;
        float channel[3][kRun] = {};
        int value[3][kRun];
        for (int start = 0; start < pixels; start += kRun) {
            const int n = std::min(kRun, pixels - start);
            const uchar* from = in + 3 * start;
            for (int i = 0; i < n; ++i) {
                channel[0][i] = linear_[0][from[3 * i]];
                channel[1][i] = linear_[1][from[3 * i + 1]];
                channel[2][i] = linear_[2][from[3 * i + 2]];
            }
            for (int c = 0; c < 3; ++c) {
                const float m0 = matrix_[c][0], m1 = matrix_[c][1], m2 = matrix_[c][2];
                // Whole runs even at the end of a row (a fixed count vectorises; the spare lanes are unused).
                for (int i = 0; i < kRun; ++i) {
                    const float v = m0 * channel[0][i] + m1 * channel[1][i] + m2 * channel[2][i];
                    // |v| stays far below the range of int: the matrix holds small numbers.
                    const int k = static_cast<int>(v + 0.5f);
                    value[c][i] = k < 0 ? 0 : k > kLinearSteps - 1 ? kLinearSteps - 1 : k;
                }
            }
            uchar* to = rgb + 3 * start;
            for (int i = 0; i < n; ++i) {
                to[3 * i] = encode_[value[0][i]];
                to[3 * i + 1] = encode_[value[1][i]];
                to[3 * i + 2] = encode_[value[2][i]];
            }
        }
    }

private:
    // Linear light in steps fine enough for the darkest sRGB levels, in a table small enough for the cache.
    static constexpr int kLinearSteps = 1 << 14;
    static constexpr float kTop = kLinearSteps - 1;

    float linear_[3][256] = {};
    float matrix_[3][3] = {};
    uchar encode_[kLinearSteps] = {};
};

bool sameXyz(const cmsCIEXYZ* a, const cmsCIEXYZ* b) {
    constexpr double kTolerance = 0.002;
    return a && b && std::abs(a->X - b->X) < kTolerance && std::abs(a->Y - b->Y) < kTolerance &&
           std::abs(a->Z - b->Z) < kTolerance;
}

bool sameCurve(const cmsToneCurve* a, const cmsToneCurve* b) {
    if (!a || !b) return false;
    for (int i = 0; i <= 32; ++i) {
        const float v = static_cast<float>(i) / 32.0f;
        if (std::abs(cmsEvalToneCurveFloat(a, v) - cmsEvalToneCurveFloat(b, v)) > 0.5f / 255.0f) return false;
    }
    return true;
}

// An RGB profile whose colorants and tone curves are those of sRGB, whatever its name or bytes say.
bool isSrgb(cmsHPROFILE profile, cmsHPROFILE srgb) {
    if (cmsGetColorSpace(profile) != cmsSigRgbData || !cmsIsMatrixShaper(profile)) return false;
    for (cmsTagSignature tag : {cmsSigRedColorantTag, cmsSigGreenColorantTag, cmsSigBlueColorantTag}) {
        if (!sameXyz(static_cast<const cmsCIEXYZ*>(cmsReadTag(profile, tag)),
                     static_cast<const cmsCIEXYZ*>(cmsReadTag(srgb, tag))))
            return false;
    }
    for (cmsTagSignature tag : {cmsSigRedTRCTag, cmsSigGreenTRCTag, cmsSigBlueTRCTag}) {
        if (!sameCurve(static_cast<const cmsToneCurve*>(cmsReadTag(profile, tag)),
                       static_cast<const cmsToneCurve*>(cmsReadTag(srgb, tag))))
            return false;
    }
    return true;
}

// A matrix-shaper profile that describes colours at all: colorants of real, positive amounts and tone
// curves that rise from black to white within the range of light. A negative gamma or a zero colorant
// reads as a profile but would turn every pixel black (or into arithmetic outside any range).
bool sensibleMatrixShaper(cmsHPROFILE profile) {
    double whiteY = 0;
    for (cmsTagSignature tag : {cmsSigRedColorantTag, cmsSigGreenColorantTag, cmsSigBlueColorantTag}) {
        const auto* c = static_cast<const cmsCIEXYZ*>(cmsReadTag(profile, tag));
        if (!c || !std::isfinite(c->X) || !std::isfinite(c->Y) || !std::isfinite(c->Z)) return false;
        if (c->X < -0.05 || c->Y < -0.05 || c->Z < -0.05 || c->X + c->Y + c->Z <= 0.01) return false;
        whiteY += c->Y;
    }
    if (whiteY < 0.5 || whiteY > 2.0) return false;
    for (cmsTagSignature tag : {cmsSigRedTRCTag, cmsSigGreenTRCTag, cmsSigBlueTRCTag}) {
        const auto* curve = static_cast<const cmsToneCurve*>(cmsReadTag(profile, tag));
        if (!curve) return false;
        float last = -1;
        for (int i = 0; i <= 64; ++i) {
            const float v = cmsEvalToneCurveFloat(curve, static_cast<float>(i) / 64.0f);
            if (!std::isfinite(v) || v < -0.01f || v > 1.01f || v < last - 0.01f) return false;
            last = v;
        }
        if (last <= 0.5f) return false;
    }
    return true;
}

ColourPlan buildPlan(const QByteArray& icc, DecodedPixels pixels) {
    ProfileHandle profile(cmsOpenProfileFromMem(icc.constData(), static_cast<cmsUInt32Number>(icc.size())));
    if (!profile.p) return {nullptr, true};
    const cmsColorSpaceSignature space = cmsGetColorSpace(profile.p);
    const bool cmyk = pixels == DecodedPixels::InvertedCmyk;
    // Grey photos decode to RGB rows: a grey profile is left aside rather than misapplied.
    if (space == cmsSigGrayData) return {};
    if ((cmyk && space != cmsSigCmykData) || (!cmyk && space != cmsSigRgbData)) return {nullptr, true};
    if (!cmyk && cmsIsMatrixShaper(profile.p) && !sensibleMatrixShaper(profile.p)) return {nullptr, true};
    ProfileHandle srgb(cmsCreate_sRGBProfile());
    if (!cmyk && isSrgb(profile.p, srgb.p)) return {};
    if (!cmyk && cmsIsMatrixShaper(profile.p)) {
        if (auto fast = MatrixShaperTransform::make(profile.p, srgb.p)) return {std::move(fast), false};
    }
    // No one-pixel cache: the transform is shared by the decoding threads.
    const cmsHTRANSFORM t = cmsCreateTransform(profile.p, cmyk ? TYPE_CMYK_8_REV : TYPE_RGB_8, srgb.p,
                                               TYPE_RGB_8, INTENT_PERCEPTUAL, cmsFLAGS_NOCACHE);
    if (!t) return {nullptr, true};
    return {std::make_shared<LcmsTransform>(t), false};
}

} // namespace

ColourPlan colourPlanFor(const QByteArray& iccProfile, DecodedPixels pixels) {
    if (iccProfile.isEmpty()) return {};
    static std::mutex lock;
    static QHash<QByteArray, ColourPlan> plans;
    QByteArray key = iccProfile;
    key.append(pixels == DecodedPixels::InvertedCmyk ? 'K' : 'R');
    const std::lock_guard<std::mutex> hold(lock);
    const auto found = plans.constFind(key);
    if (found != plans.constEnd()) return *found;
    if (plans.size() >= kMaxCachedProfiles) plans.clear();
    const ColourPlan plan = buildPlan(iccProfile, pixels);
    plans.insert(key, plan);
    return plan;
}

} // namespace zanfold
