#pragma once
// The sample pictures, drawn here so that the project ships no photos it did
// not make itself.

#include <QImage>
#include <QString>
#include <string>

namespace tessaria {

// One of SamplePictures() by its file name, as it is stored.
QImage DrawSamplePicture(const std::string& fileName);

// Draws every sample picture into `folder` as JPEG. Raises std::runtime_error.
void WriteSamplePictures(const QString& folder);

} // namespace tessaria
