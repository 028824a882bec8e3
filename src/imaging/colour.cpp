#include "imaging/colour.h"

#include <QHash>

#include <lcms2.h>

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

ColourPlan buildPlan(const QByteArray& icc, DecodedPixels pixels) {
    ProfileHandle profile(cmsOpenProfileFromMem(icc.constData(), static_cast<cmsUInt32Number>(icc.size())));
    if (!profile.p) return {nullptr, true};
    const cmsColorSpaceSignature space = cmsGetColorSpace(profile.p);
    const bool cmyk = pixels == DecodedPixels::InvertedCmyk;
    // Grey photos decode to RGB rows: a grey profile is left aside rather than misapplied.
    if (space == cmsSigGrayData) return {};
    if ((cmyk && space != cmsSigCmykData) || (!cmyk && space != cmsSigRgbData)) return {nullptr, true};
    ProfileHandle srgb(cmsCreate_sRGBProfile());
    if (!cmyk && isSrgb(profile.p, srgb.p)) return {};
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
