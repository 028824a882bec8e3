#pragma once

#include <QString>

namespace zanfold {

// The built-in sample: an album of photos of mixed orientation and a template project folder with
// placeholders and masks, all generated here (deterministically), so a new user can try the whole job.
struct Sample {
    QString album;       // the album folder
    QString projectFile; // 样例模板/样例模板.aep
};

// Writes what is missing of the sample into `folder`; the reason when something could not be written.
Sample writeSample(const QString& folder, int jobs, QString* error);

// Writes `count` photo-like JPEGs of width x height (quality 90) named prefix0001.jpg … into `folder`,
// skipping files that exist. False with the reason when one could not be written.
bool writeSamplePhotos(const QString& folder, const QString& prefix, int count, int width, int height,
                       unsigned seed, int jobs, QString* error);

} // namespace zanfold
