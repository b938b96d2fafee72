#include "gui/qt_image_batch.h"

#include <QDir>
#include <QString>

namespace velquin {

QtBatchPictures::QtBatchPictures() {
  for (const PictureEntry& entry : kPictures) {
    pictures_[static_cast<std::size_t>(entry.id)] =
        std::make_unique<QtPicture>(entry.width, entry.height, entry.background);
  }
}

std::string QtBatchPictures::Save(const std::string& directory) {
  const QDir folder(directory.empty() ? QStringLiteral(".") : QString::fromStdString(directory));
  for (const PictureEntry& entry : kPictures) {
    const QString file = QString::fromLatin1(entry.name) + QStringLiteral(".png");
    const QString path = directory.empty() ? file : folder.filePath(file);
    std::string error = image(entry.id).Save(path);
    if (!error.empty()) return error;
  }
  return {};
}

std::string SavePicturePng(int width, int height, Colour background,
                           const std::function<void(Picture&)>& draw, const std::string& path) {
  QtPicture picture(width, height, background);
  draw(picture);
  return picture.Save(QString::fromStdString(path));
}

}  // namespace velquin
