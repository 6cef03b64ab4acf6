#pragma once

#include "convert/ppt_export.h"

#include <QImage>
#include <QString>

#include <filesystem>

// The pixels of a slide's image in images, exported from a deck of
// slideCount slides; null when the file does not decode. For tests that link
// Qt's Gui module.
inline QImage SlidePixels(const std::filesystem::path& images, int slide, int slideCount)
{
    const std::filesystem::path file =
        images / SlideImageName(slide, SlideNumberDigits(slideCount));
    return QImage(QString::fromStdString(file.string())).convertToFormat(QImage::Format_RGB32);
}
